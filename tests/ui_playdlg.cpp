// The playback dialog on the offscreen platform, heard through the real timer stand-in.
#include "devices/Speaker.h"
#include "test_speaker_support.h"
#include "ui/CPlayDlg.h"
#include "ui_editor_support.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

using namespace tinkla;
using tinkla::test::kRowName;

namespace
{

using tinkla::test::PrintTo;

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
    // Returns the number of ticks the dialog took to end.
    int TickToEnd(CPlayDlg& dlg)
    {
        int ticks = 0;
        for (; dlg.isVisible() && ticks < 1000; ++ticks)
            dlg.OnTimer();
        return ticks;
    }
    // Shows the dialog on the set and starts playing.
    void Play(CPlayDlg& dlg)
    {
        dlg.show();
        dlg.OnPlay();
    }

    test::ScriptedPrompter prompter;
    CTinklaDoc doc{&prompter};
    std::vector<uint32_t> events;
    ScopedSpeaker speaker{std::make_unique<Pit>(std::make_unique<test::RecordingSink>(&events))};
};

TEST_F(PlayDlgTest, OpensIdleWithItsTextsUnclippedAndANonDefaultPlayButton)
{
    AddNotes({13});
    CPlayDlg dlg(&doc);
    dlg.show();
    EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8("Воспроизведение мелодии"));
    EXPECT_EQ(dlg.PlayButton()->text(), QString::fromUtf8("Играть"));
    EXPECT_FALSE(dlg.PlayButton()->isDefault());
    EXPECT_FALSE(dlg.PlayButton()->autoDefault());
    EXPECT_EQ(dlg.FromSelectedBox()->text(), QString::fromUtf8("Начать с выделенной ноты"));
    QStringList labels;
    int valueWidth = 0;
    for (const QLabel* l : dlg.findChildren<QLabel*>()) {
        labels << l->text();
        if (l->text().isEmpty())
            valueWidth = std::max(valueWidth, l->width());
    }
    for (const char* text : {"Номер ноты", "Тон", "Длительность"})
        EXPECT_TRUE(labels.contains(QString::fromUtf8(text))) << text;
    const QFontMetrics fm(dlg.font());
    EXPECT_GE(valueWidth, fm.horizontalAdvance(QString::fromUtf8("Соль#, Первая октава")));
    EXPECT_GE(valueWidth, fm.horizontalAdvance(QString::fromUtf8("Шестнадцатая")));
    EXPECT_GE(dlg.FromSelectedBox()->width(), dlg.FromSelectedBox()->sizeHint().width());
    EXPECT_TRUE(dlg.NoteNumberText().isEmpty());
    EXPECT_TRUE(events.empty());
}

struct ToneText {
    const char* name;
    int tone;
    const char* text;
};

class PlayDlgTone : public PlayDlgTest, public ::testing::WithParamInterface<ToneText>
{
};

TEST_P(PlayDlgTone, ShowsNameAndOctave)
{
    AddNotes({GetParam().tone}, 1);
    CPlayDlg dlg(&doc);
    Play(dlg);
    EXPECT_EQ(dlg.ToneText(), QString::fromUtf8(GetParam().text));
    EXPECT_EQ(dlg.NoteNumberText(), QStringLiteral("1"));
    EXPECT_EQ(dlg.DurationText(), QString::fromUtf8("Половина"));
}

// The lowest and highest tones, and both sides of the first octave boundary.
INSTANTIATE_TEST_SUITE_P(Octaves, PlayDlgTone,
                         ::testing::Values(ToneText{"Lowest", 0, "Соль#, Малая октава"},
                                           ToneText{"B3", 3, "Си, Малая октава"},
                                           ToneText{"C4", 4, "До, Первая октава"},
                                           ToneText{"C5", 16, "До, Вторая октава"},
                                           ToneText{"C6", 28, "До, Третья октава"},
                                           ToneText{"Highest", 31, "Ре#, Третья октава"}),
                         kRowName);

TEST_F(PlayDlgTest, PlayedToTheEndClosesWithOkOnTheTickAfterTheEnd)
{
    AddNotes({13, 16}); // two sixteenths: the end is marked at tick 6, the dialog closes at 7
    Melody().Select(1);
    CPlayDlg dlg(&doc);
    Play(dlg);
    EXPECT_EQ(dlg.PlayButton()->text(), QString::fromUtf8("Стоп"));
    EXPECT_FALSE(dlg.FromSelectedBox()->isEnabled());
    EXPECT_EQ(TickToEnd(dlg), 7);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_FALSE(dlg.IsPlaying());
    EXPECT_EQ(dlg.NoteNumberText(), QStringLiteral("2")) << "the last note stays shown";
    EXPECT_EQ(Sounding(), 0u);
    EXPECT_EQ(Melody().GetSelected(), 1) << "the selection is left as it was";
}

struct LeaveCase {
    const char* name;
    int key;     // 0: the close box; -1: the Stop button
    bool leaves; // the dialog ends
};

class PlayDlgLeave : public PlayDlgTest, public ::testing::WithParamInterface<LeaveCase>
{
};

TEST_P(PlayDlgLeave, WhilePlayingEndsInSilenceSelectingThePlayingNoteOrKeepsPlaying)
{
    AddNotes({10, 11, 12, 13, 14}, 3);
    std::vector<int> marked; // what the view is told to mark; outlives the dialog, which tells
    CPlayDlg dlg(&doc);      // it once more as it goes
    QObject::connect(&dlg, &CPlayDlg::playingNote, [&marked](int i) { marked.push_back(i); });
    Play(dlg);
    for (int i = 0; i < 12; ++i) // note 3 sounds from tick 10 to 14
        dlg.OnTimer();
    ASSERT_EQ(dlg.NoteNumberText(), QStringLiteral("3"));
    ASSERT_FALSE(marked.empty());
    EXPECT_EQ(marked.back(), Melody().GetPlayIndex());
    if (GetParam().key > 0)
        QTest::keyClick(&dlg, static_cast<Qt::Key>(GetParam().key));
    else if (GetParam().key < 0)
        QTest::mouseClick(dlg.PlayButton(), Qt::LeftButton);
    else
        dlg.close();
    const bool leaves = GetParam().leaves;
    EXPECT_EQ(dlg.isVisible(), !leaves);
    EXPECT_EQ(dlg.IsPlaying(), !leaves);
    EXPECT_EQ(Sounding() != 0, !leaves);
    EXPECT_EQ(marked.back() == -1, leaves) << "the mark goes with the sound";
    if (leaves) {
        EXPECT_EQ(dlg.result(), QDialog::Rejected);
        EXPECT_EQ(Melody().GetSelected(), 2);
    }
}

INSTANTIATE_TEST_SUITE_P(Ways, PlayDlgLeave,
                         ::testing::Values(LeaveCase{"Stop", -1, true},
                                           LeaveCase{"Escape", Qt::Key_Escape, true},
                                           LeaveCase{"CloseBox", 0, true},
                                           LeaveCase{"Return", Qt::Key_Return, false},
                                           LeaveCase{"Enter", Qt::Key_Enter, false}),
                         kRowName);

TEST_F(PlayDlgTest, DestroyedWhilePlayingLeavesSilence)
{
    AddNotes({13});
    {
        CPlayDlg dlg(&doc);
        Play(dlg);
        ASSERT_NE(Sounding(), 0u);
    }
    EXPECT_EQ(Sounding(), 0u);
}

struct FromSelectedCase {
    const char* name;
    int selected;      // -1 none
    bool remembered;   // what the document hands in
    bool click;        // the user clicks the box once
    bool enabled;      // the box can be used
    bool checked;      // as it shows before Play
    const char* first; // note number shown after Play
    bool handedBack;
};

class PlayDlgFromSelected : public PlayDlgTest,
                            public ::testing::WithParamInterface<FromSelectedCase>
{
};

TEST_P(PlayDlgFromSelected, CheckBoxFollowsTheSelectionAndTheChoice)
{
    const FromSelectedCase& c = GetParam();
    AddNotes({1, 2, 3, 4, 5, 6});
    if (c.selected >= 0)
        Melody().Select(c.selected);
    CPlayDlg dlg(&doc);
    dlg.SetFromSelected(c.remembered);
    dlg.show();
    if (c.click)
        QTest::mouseClick(dlg.FromSelectedBox(), Qt::LeftButton);
    EXPECT_EQ(dlg.FromSelectedBox()->isEnabled(), c.enabled);
    EXPECT_EQ(dlg.FromSelectedBox()->isChecked(), c.checked);
    dlg.OnPlay();
    EXPECT_EQ(dlg.NoteNumberText(), QString::fromUtf8(c.first));
    EXPECT_EQ(dlg.GetFromSelected(), c.handedBack);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlayDlgFromSelected,
    ::testing::Values(
        FromSelectedCase{"NoSelectionKeepsFalse", -1, false, false, false, false, "1", false},
        FromSelectedCase{"NoSelectionIgnoresClicks", -1, true, true, false, false, "1", true},
        FromSelectedCase{"TickedStartsAtTheSelection", 4, true, false, true, true, "5", true},
        FromSelectedCase{"ClearStartsAtTheFirst", 4, false, false, true, false, "1", false},
        FromSelectedCase{"ClickTicks", 4, false, true, true, true, "5", true},
        FromSelectedCase{"ClickClears", 4, true, true, true, false, "1", false}),
    kRowName);

TEST_F(PlayDlgTest, PlayCommandClosedBeforePlayLeavesTheMelodyAndTheRememberedChoice)
{
    AddNotes({13, 14});
    Melody().Select(1);
    doc.SetPlayFromSelected(true);
    test::WhenModal([](QWidget* w) { w->close(); });
    EXPECT_EQ(RunPlayCommand(&doc, nullptr), IDCANCEL);
    EXPECT_TRUE(doc.GetPlayFromSelected());
    EXPECT_EQ(Melody().GetSelected(), 1);
    EXPECT_TRUE(events.empty());
}

TEST_F(PlayDlgTest, PlayCommandPlayedToTheEndOnTheRealTimerIsOk)
{
    AddNotes({13}); // one sixteenth: about four 55 ms ticks
    Melody().Select(0);
    doc.SetPlayFromSelected(false);
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
