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

// Enter (or Return) never ends a melody half played; any other way out ends it in silence, the
// note that was playing selected.
TEST_F(PlayDlgTest, WhilePlayingEndsInSilenceSelectingThePlayingNoteOrKeepsPlaying)
{
    AddNotes({10, 11, 12, 13, 14}, 3);
    const struct {
        const char* name;
        std::function<void(CPlayDlg*)> leave;
    } cases[] = {{"Stop", [](CPlayDlg* d) { QTest::mouseClick(d->PlayButton(), Qt::LeftButton); }},
                 {"Escape", [](CPlayDlg* d) { QTest::keyClick(d, Qt::Key_Escape); }},
                 {"CloseBox", [](CPlayDlg* d) { d->close(); }},
                 {"Enter", [](CPlayDlg* d) { QTest::keyClick(d, Qt::Key_Enter); }}};
    std::vector<int> marked; // outlives the dialogs, which report the end of the mark as they go
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const bool leaves = std::string(c.name) != "Enter";
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
        c.leave(dlg.get());
        EXPECT_EQ(dlg->isVisible(), !leaves);
        EXPECT_EQ(Sounding() != 0, !leaves);
        EXPECT_EQ(marked.back() == -1, leaves) << "the mark goes with the sound";
        EXPECT_EQ(dlg->result(), QDialog::Rejected);
        EXPECT_EQ(Melody().GetSelected(), leaves ? 2 : -1);
        EXPECT_TRUE(dlg->GetFromSelected());
        dlg.reset();
        EXPECT_EQ(Sounding(), 0u);
    }
}

// The user's story: the ticked box starts at the selected note and is the choice handed back.
TEST_F(PlayDlgTest, PlayCommandShowsEachNoteOnTheRealTimerEndsWithOkAndHandsTheChoiceBack)
{
    AddNotes({16, 13, 13}); // from the second: two sixteenths, about seven 55 ms ticks
    Melody().Select(1);
    QString lastShown;
    test::WhenModal([this, &lastShown](QWidget* w) {
        auto* dlg = qobject_cast<CPlayDlg*>(w);
        ASSERT_TRUE(dlg);
        EXPECT_EQ(dlg->windowTitle(), QString::fromUtf8("Воспроизведение мелодии"));
        EXPECT_EQ(dlg->PlayButton()->text(), QString::fromUtf8("Играть"));
        EXPECT_FALSE(dlg->PlayButton()->isDefault() || dlg->PlayButton()->autoDefault());
        QCheckBox* box = dlg->FromSelectedBox();
        EXPECT_EQ(box->text(), QString::fromUtf8("Начать с выделенной ноты"));
        // A note is selected: the box can be used, and shows the choice remembered (not ticked).
        EXPECT_TRUE(box->isEnabled() && !box->isChecked());
        // The values have room for their longest texts: nothing clipped, no resizing as it plays.
        int valueWidth = 0;
        for (const QLabel* l : dlg->findChildren<QLabel*>())
            valueWidth = l->text().isEmpty() ? std::max(valueWidth, l->width()) : valueWidth;
        const QFontMetrics fm(dlg->font());
        EXPECT_GE(valueWidth, fm.horizontalAdvance(QString::fromUtf8("Соль#, Первая октава")));
        EXPECT_GE(valueWidth, fm.horizontalAdvance(QString::fromUtf8("Шестнадцатая")));
        EXPECT_GE(box->width(), box->sizeHint().width());
        EXPECT_TRUE(events.empty());

        QTest::mouseClick(box, Qt::LeftButton); // the user's new choice
        QTest::mouseClick(dlg->PlayButton(), Qt::LeftButton);
        EXPECT_EQ(dlg->PlayButton()->text(), QString::fromUtf8("Стоп"));
        EXPECT_FALSE(box->isEnabled());
        EXPECT_EQ(dlg->NoteNumberText(), QStringLiteral("2"));
        EXPECT_EQ(dlg->ToneText(), QString::fromUtf8("Ля, Первая октава"));
        EXPECT_EQ(dlg->DurationText(), QString::fromUtf8("Шестнадцатая"));
        QObject::connect(dlg, &QDialog::finished, dlg,
                         [dlg, &lastShown] { lastShown = dlg->NoteNumberText(); });
    });
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(RunPlayCommand(&doc, nullptr), IDOK);
    EXPECT_GE(timer.elapsed(), 6 * PLAY_TICK_MS);
    EXPECT_EQ(lastShown, QStringLiteral("3")) << "the last note stays shown";
    EXPECT_TRUE(doc.GetPlayFromSelected());
    EXPECT_EQ(Melody().GetSelected(), 1) << "the selection is left as it was";
    EXPECT_EQ(events, (std::vector<uint32_t>{kDivisorOfTone13, 0, kDivisorOfTone13, 0}));
}

TEST_F(PlayDlgTest, MainWindowClosingUnderAPlayingDialogLeavesSilence)
{
    AddNotes({13, 14, 15}, 0); // long enough to still sound when the window goes
    auto* window = new QWidget;
    test::WhenModal([](QWidget* w) { static_cast<CPlayDlg*>(w)->OnPlay(); });
    QTimer::singleShot(3 * PLAY_TICK_MS, [window] { delete window; });
    EXPECT_EQ(RunPlayCommand(&doc, window), IDCANCEL);
    EXPECT_EQ(Sounding(), 0u);
    EXPECT_EQ(events, (std::vector<uint32_t>{kDivisorOfTone13, 0}));
}

} // namespace
