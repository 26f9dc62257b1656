// The playback dialog on the offscreen platform, heard through the real timer stand-in. The names
// of tones and durations are the model's; here, what the dialog does with them.
#include "devices/Speaker.h"
#include "test_speaker_support.h"
#include "ui/CPlayDlg.h"
#include "ui_editor_support.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

using namespace tinkla;

namespace
{

constexpr uint32_t kDivisorOfTone13 = 2711;

class PlayDlgTest : public ::testing::Test
{
protected:
    PlayDlgTest() { doc.OnNewDocument(); }
    CMelody& Melody() { return *doc.GetCurrentMelody(); }
    void AddNotes(std::initializer_list<int> tones, int duration = 4)
    {
        for (int tone : tones)
            Melody().AppendNote(static_cast<BYTE>(tone * 8 + duration));
    }
    uint32_t Sounding()
    {
        return dynamic_cast<Pit*>(Ports::Instance().Speaker())->SoundingDivisor();
    }

    test::ScriptedPrompter prompter;
    CTinklaDoc doc{&prompter};
    std::vector<uint32_t> events;
    ScopedSpeaker speaker{std::make_unique<Pit>(std::make_unique<test::RecordingSink>(&events))};
};

TEST_F(PlayDlgTest, OpensIdleThenShowsEachNoteAndClosesWithOkOnTheTickAfterTheEnd)
{
    AddNotes({13, 16}); // two sixteenths: the end is marked at tick 6, the dialog closes at 7
    Melody().Select(1);
    CPlayDlg dlg(&doc);
    dlg.show();
    EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8("Воспроизведение мелодии"));
    EXPECT_EQ(dlg.PlayButton()->text(), QString::fromUtf8("Играть"));
    EXPECT_FALSE(dlg.PlayButton()->isDefault() || dlg.PlayButton()->autoDefault());
    EXPECT_EQ(dlg.FromSelectedBox()->text(), QString::fromUtf8("Начать с выделенной ноты"));
    // A note is selected: the box can be used, and shows the choice remembered (not ticked).
    EXPECT_TRUE(dlg.FromSelectedBox()->isEnabled() && !dlg.FromSelectedBox()->isChecked());
    // The values have room for their longest texts: nothing clipped, no resizing as it plays.
    int valueWidth = 0;
    for (const QLabel* l : dlg.findChildren<QLabel*>())
        valueWidth = l->text().isEmpty() ? std::max(valueWidth, l->width()) : valueWidth;
    const QFontMetrics fm(dlg.font());
    EXPECT_GE(valueWidth, fm.horizontalAdvance(QString::fromUtf8("Соль#, Первая октава")));
    EXPECT_GE(valueWidth, fm.horizontalAdvance(QString::fromUtf8("Шестнадцатая")));
    EXPECT_GE(dlg.FromSelectedBox()->width(), dlg.FromSelectedBox()->sizeHint().width());
    EXPECT_TRUE(events.empty());

    dlg.OnPlay();
    EXPECT_EQ(dlg.PlayButton()->text(), QString::fromUtf8("Стоп"));
    EXPECT_FALSE(dlg.FromSelectedBox()->isEnabled());
    EXPECT_EQ(dlg.NoteNumberText(), QStringLiteral("1"));
    EXPECT_EQ(dlg.ToneText(), QString::fromUtf8("Ля, Первая октава"));
    EXPECT_EQ(dlg.DurationText(), QString::fromUtf8("Шестнадцатая"));
    int ticks = 0;
    for (; dlg.isVisible() && ticks < 1000; ++ticks)
        dlg.OnTimer();
    EXPECT_EQ(ticks, 7);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.NoteNumberText(), QStringLiteral("2")) << "the last note stays shown";
    EXPECT_EQ(Sounding(), 0u);
    EXPECT_EQ(Melody().GetSelected(), 1) << "the selection is left as it was";
}

// Enter (or Return) never ends a melody half played; every other way out ends it in silence, the
// note that was playing selected. Destroyed while playing, it leaves silence too.
TEST_F(PlayDlgTest, WhilePlayingEndsInSilenceSelectingThePlayingNoteOrKeepsPlaying)
{
    AddNotes({10, 11, 12, 13, 14}, 3);
    const struct {
        const char* name;
        int key;     // 0: the close box; -1: the Stop button
        bool leaves; // the dialog ends
    } cases[] = {{"Stop", -1, true},
                 {"Escape", Qt::Key_Escape, true},
                 {"CloseBox", 0, true},
                 {"Enter", Qt::Key_Enter, false}};
    std::vector<int> marked; // what the view is told to mark; outlives the dialogs, which tell it
                             // once more as they go
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Melody().Deselect();
        auto dlg = std::make_unique<CPlayDlg>(&doc);
        dlg->SetFromSelected(true); // no note to start from: not shown, but kept
        QObject::connect(dlg.get(), &CPlayDlg::playingNote, [&](int i) { marked.push_back(i); });
        dlg->show();
        EXPECT_FALSE(dlg->FromSelectedBox()->isEnabled() || dlg->FromSelectedBox()->isChecked());
        dlg->OnPlay();
        for (int i = 0; i < 12; ++i) // note 3 sounds from tick 10 to 14
            dlg->OnTimer();
        ASSERT_EQ(dlg->NoteNumberText(), QStringLiteral("3"));
        ASSERT_FALSE(marked.empty());
        EXPECT_EQ(marked.back(), Melody().GetPlayIndex());
        if (c.key > 0)
            QTest::keyClick(dlg.get(), static_cast<Qt::Key>(c.key));
        else if (c.key < 0)
            QTest::mouseClick(dlg->PlayButton(), Qt::LeftButton);
        else
            dlg->close();
        EXPECT_EQ(dlg->isVisible(), !c.leaves);
        EXPECT_EQ(dlg->IsPlaying(), !c.leaves);
        EXPECT_EQ(Sounding() != 0, !c.leaves);
        EXPECT_EQ(marked.back() == -1, c.leaves) << "the mark goes with the sound";
        if (c.leaves) {
            EXPECT_EQ(dlg->result(), QDialog::Rejected);
            EXPECT_EQ(Melody().GetSelected(), 2);
        }
        EXPECT_TRUE(dlg->GetFromSelected());
        dlg.reset();
        EXPECT_EQ(Sounding(), 0u);
    }
}

// Ticking the box starts the melody at the selected note, and is the choice handed back.
TEST_F(PlayDlgTest, PlayCommandPlayedToTheEndOnTheRealTimerIsOkAndHandsTheChoiceBack)
{
    AddNotes({16, 13}); // from the second: one sixteenth, about four 55 ms ticks
    Melody().Select(1);

    test::WhenModal([](QWidget* w) {
        auto* dlg = qobject_cast<CPlayDlg*>(w);
        ASSERT_TRUE(dlg);
        QTest::mouseClick(dlg->FromSelectedBox(), Qt::LeftButton); // the user's new choice
        QTest::mouseClick(dlg->PlayButton(), Qt::LeftButton);
    });
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(RunPlayCommand(&doc, nullptr), IDOK);
    EXPECT_GE(timer.elapsed(), 3 * PLAY_TICK_MS);
    EXPECT_TRUE(doc.GetPlayFromSelected());
    EXPECT_EQ(events, (std::vector<uint32_t>{kDivisorOfTone13, 0}));
}

TEST_F(PlayDlgTest, MainWindowClosingUnderAPlayingDialogLeavesSilence)
{
    AddNotes({13, 14, 15}, 0); // long enough to still sound when the window goes
    auto* window = new QWidget;
    QTimer::singleShot(0, [] {
        if (auto* dlg = qobject_cast<CPlayDlg*>(QApplication::activeModalWidget()))
            dlg->OnPlay();
    });
    QTimer::singleShot(3 * PLAY_TICK_MS, [window] { delete window; });
    EXPECT_EQ(RunPlayCommand(&doc, window), IDCANCEL);
    EXPECT_EQ(Sounding(), 0u);
    EXPECT_EQ(events, (std::vector<uint32_t>{kDivisorOfTone13, 0}));
}

} // namespace
