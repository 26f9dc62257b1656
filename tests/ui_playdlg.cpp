// The playback dialog on the offscreen platform, heard through the real timer stand-in.
#include "devices/Pit.h"
#include "devices/Speaker.h"
#include "document/TinklaDoc.h"
#include "model/Melody.h"
#include "support/ScriptedPrompter.h"
#include "ui/CPlayDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tinkla;

namespace
{

struct Recorder final : SoundSink {
    explicit Recorder(std::vector<uint32_t>* log) : log(log) {}
    void Tone(uint32_t d) override { log->push_back(d); }
    void Silence() override { log->push_back(0); }
    std::vector<uint32_t>* log;
};

constexpr uint32_t DivisorOf13()
{
    return 2711;
}

class PlayDlgTest : public ::testing::Test
{
protected:
    PlayDlgTest() : speaker(std::make_unique<Pit>(std::make_unique<Recorder>(&events)))
    {
        doc.OnNewDocument();
    }
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
    // Ticks the dialog until it ends; returns the number of ticks it took.
    int TickToEnd(CPlayDlg& dlg)
    {
        int ticks = 0;
        while (dlg.isVisible() && ticks < 1000) {
            dlg.OnTimer();
            ++ticks;
        }
        return ticks;
    }

    test::ScriptedPrompter prompter;
    CTinklaDoc doc{&prompter};
    std::vector<uint32_t> events;
    ScopedSpeaker speaker;
};

TEST_F(PlayDlgTest, OpensIdleWithItsTextsAndANonDefaultPlayButton)
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
    for (const QLabel* l : dlg.findChildren<QLabel*>())
        labels << l->text();
    for (const char* text : {"Номер ноты", "Тон", "Длительность"})
        EXPECT_TRUE(labels.contains(QString::fromUtf8(text))) << text;
    EXPECT_TRUE(dlg.NoteNumberText().isEmpty());
    EXPECT_TRUE(events.empty());
}

TEST_F(PlayDlgTest, LongestTextsFitWithoutClipping)
{
    AddNotes({12});
    CPlayDlg dlg(&doc);
    dlg.show();
    int width = 0;
    for (const QLabel* l : dlg.findChildren<QLabel*>())
        if (l->text().isEmpty())
            width = std::max(width, l->width());
    const QFontMetrics fm(dlg.font());
    EXPECT_GE(width, fm.horizontalAdvance(QString::fromUtf8("Соль#, Первая октава")));
    EXPECT_GE(width, fm.horizontalAdvance(QString::fromUtf8("Шестнадцатая")));
    EXPECT_GE(dlg.FromSelectedBox()->width(), dlg.FromSelectedBox()->sizeHint().width());
}

struct ToneText {
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
    dlg.show();
    dlg.OnPlay();
    EXPECT_EQ(dlg.ToneText(), QString::fromUtf8(GetParam().text));
    EXPECT_EQ(dlg.NoteNumberText(), QStringLiteral("1"));
    EXPECT_EQ(dlg.DurationText(), QString::fromUtf8("Половина"));
    EXPECT_EQ(CPlayDlg::ToneName(GetParam().tone), QString::fromUtf8(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Octaves, PlayDlgTone,
    ::testing::Values(ToneText{0, "Соль#, Малая октава"}, ToneText{3, "Си, Малая октава"},
                      ToneText{4, "До, Первая октава"}, ToneText{12, "Соль#, Первая октава"},
                      ToneText{15, "Си, Первая октава"}, ToneText{16, "До, Вторая октава"},
                      ToneText{27, "Си, Вторая октава"}, ToneText{28, "До, Третья октава"},
                      ToneText{31, "Ре#, Третья октава"}));

TEST_F(PlayDlgTest, PlayedToTheEndClosesWithOkOnTheTickAfterTheEnd)
{
    AddNotes({13, 16}); // two sixteenths: the end is marked at tick 6, the dialog closes at 7
    Melody().Select(1);
    CPlayDlg dlg(&doc);
    dlg.show();
    dlg.OnPlay();
    EXPECT_EQ(dlg.PlayButton()->text(), QString::fromUtf8("Стоп"));
    EXPECT_FALSE(dlg.FromSelectedBox()->isEnabled());
    EXPECT_TRUE(dlg.IsPlaying());
    EXPECT_EQ(TickToEnd(dlg), 7);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_FALSE(dlg.IsPlaying());
    EXPECT_EQ(dlg.NoteNumberText(), QStringLiteral("2")) << "the last note stays shown";
    EXPECT_EQ(Sounding(), 0u);
    EXPECT_EQ(Melody().GetSelected(), 1) << "the selection is left as it was";
}

TEST_F(PlayDlgTest, StopSilencesSelectsThePlayingNoteAndCancels)
{
    AddNotes({10, 11, 12, 13, 14}, 3);
    CPlayDlg dlg(&doc);
    dlg.show();
    dlg.OnPlay();
    for (int i = 0; i < 12; ++i) // note 2 sounds from tick 10 to 14
        dlg.OnTimer();
    ASSERT_EQ(dlg.NoteNumberText(), QStringLiteral("3"));
    ASSERT_NE(Sounding(), 0u);
    QTest::mouseClick(dlg.PlayButton(), Qt::LeftButton);
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_FALSE(dlg.IsPlaying());
    EXPECT_EQ(Sounding(), 0u);
    EXPECT_EQ(Melody().GetSelected(), 2);
}

struct LeaveCase {
    const char* name;
    int key;     // 0: the close box
    bool leaves; // the dialog ends
};

class PlayDlgLeave : public PlayDlgTest, public ::testing::WithParamInterface<LeaveCase>
{
};

TEST_P(PlayDlgLeave, WhilePlayingEndsInSilenceOrKeepsPlaying)
{
    AddNotes({13, 14}, 2);
    CPlayDlg dlg(&doc);
    dlg.show();
    dlg.OnPlay();
    dlg.OnTimer();
    ASSERT_NE(Sounding(), 0u);
    if (GetParam().key)
        QTest::keyClick(&dlg, static_cast<Qt::Key>(GetParam().key));
    else
        dlg.close();
    if (GetParam().leaves) {
        EXPECT_FALSE(dlg.isVisible());
        EXPECT_EQ(dlg.result(), QDialog::Rejected);
        EXPECT_FALSE(dlg.IsPlaying());
        EXPECT_EQ(Sounding(), 0u);
        EXPECT_EQ(Melody().GetSelected(), 0);
    } else {
        EXPECT_TRUE(dlg.isVisible());
        EXPECT_TRUE(dlg.IsPlaying());
        EXPECT_NE(Sounding(), 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Ways, PlayDlgLeave,
                         ::testing::Values(LeaveCase{"Escape", Qt::Key_Escape, true},
                                           LeaveCase{"CloseBox", 0, true},
                                           LeaveCase{"Return", Qt::Key_Return, false},
                                           LeaveCase{"Enter", Qt::Key_Enter, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PlayDlgTest, CloseBoxBeforePlayLeavesTheMelodyAlone)
{
    AddNotes({13, 14});
    Melody().Select(1);
    CPlayDlg dlg(&doc);
    dlg.show();
    dlg.close();
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(Melody().GetSelected(), 1);
    EXPECT_TRUE(events.empty());
}

TEST_F(PlayDlgTest, DestroyedWhilePlayingLeavesSilence)
{
    AddNotes({13});
    {
        CPlayDlg dlg(&doc);
        dlg.show();
        dlg.OnPlay();
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
        FromSelectedCase{"NoSelectionKeepsTrue", -1, true, false, false, false, "1", true},
        FromSelectedCase{"NoSelectionKeepsFalse", -1, false, false, false, false, "1", false},
        FromSelectedCase{"NoSelectionIgnoresClicks", -1, true, true, false, false, "1", true},
        FromSelectedCase{"TickedStartsAtTheSelection", 4, true, false, true, true, "5", true},
        FromSelectedCase{"ClearStartsAtTheFirst", 4, false, false, true, false, "1", false},
        FromSelectedCase{"ClickTicks", 4, false, true, true, true, "5", true},
        FromSelectedCase{"ClickClears", 4, true, true, true, false, "1", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PlayDlgTest, PlayCommandClosedBeforePlayKeepsTheRememberedChoice)
{
    AddNotes({13});
    doc.SetPlayFromSelected(true);
    QTimer::singleShot(0, [] {
        if (QWidget* w = QApplication::activeModalWidget())
            w->close();
    });
    EXPECT_EQ(RunPlayCommand(&doc, nullptr), IDCANCEL);
    EXPECT_TRUE(doc.GetPlayFromSelected());
    EXPECT_TRUE(events.empty());
}

TEST_F(PlayDlgTest, PlayCommandPlayedToTheEndOnTheRealTimerIsOk)
{
    AddNotes({13}); // one sixteenth: about four 55 ms ticks
    Melody().Select(0);
    doc.SetPlayFromSelected(false);
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<CPlayDlg*>(QApplication::activeModalWidget());
        if (!dlg)
            return;
        QTest::mouseClick(dlg->FromSelectedBox(), Qt::LeftButton); // the user's new choice
        QTest::mouseClick(dlg->PlayButton(), Qt::LeftButton);
    });
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(RunPlayCommand(&doc, nullptr), IDOK);
    EXPECT_GE(timer.elapsed(), 3 * PLAY_TICK_MS);
    EXPECT_TRUE(doc.GetPlayFromSelected());
    EXPECT_EQ(events, (std::vector<uint32_t>{2711, 0}));
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
    EXPECT_EQ(events, (std::vector<uint32_t>{DivisorOf13(), 0}));
}

} // namespace
