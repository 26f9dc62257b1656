// The doorbell in the editor, on a simulated doorbell with a memory file of the test's own: what
// the windows add to the transfers the core tests (questions, messages, progress, the way out);
// the port and sound dialogs: the text the controls stand for, the check, a choice confirmed.
#include "bell/BellMessages.h"
#include "bell/DoorbellImage.h"
#include "devices/PortSpec.h"
#include "devices/SoundWav.h"
#include "model/Messages.h"
#include "test_bus_support.h"
#include "test_speaker_support.h"
#include "ui/CBellPortDlg.h"
#include "ui/CBellTestDlg.h"
#include "ui/CReadSetDlg.h"
#include "ui/CSoundDlg.h"
#include "ui/CTinklaApp.h"
#include "ui/Commands.h"
#include "ui_editor_support.h"

#include <QDeadlineTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>

using namespace tinkla;
using namespace tinkla::test;

namespace
{

using tinkla::test::PrintTo;

using Notes = std::vector<std::vector<BYTE>>;

// The message's own text; what follows a blank line is its details.
void ExpectShown(const ScriptedPrompter::Shown& shown, const char* text, unsigned type)
{
    EXPECT_EQ(shown.text.section(QStringLiteral("\n\n"), 0, 0), QString::fromUtf8(text));
    EXPECT_EQ(shown.type, type);
}

const Notes kStoredSet = {{Code(0, 0), Code(31, 4), Code(11, 3)}, {}, {Code(20, 1)}, {}};

struct Outcome {
    const char* name;
    int command; // ID_BELL_READ or ID_BELL_WRITE
    const char* options;
    Answer answer;
    const char* saveAs; // what the save dialog gives, in the test's folder ("" cancels it)
    bool reads;
    const char* failure; // the last message, if any
    bool escape = false; // the user ends the read part-way
};

class BellTest : public EditorTest, public ::testing::WithParamInterface<Outcome>
{
protected:
    // Without the port, --port or --speaker an earlier test left behind.
    void SetUp() override
    {
        DisconnectPort();
        int exitCode = 0;
        ASSERT_TRUE(CTinklaApp::ParseCommandLine({QStringLiteral("tinkla")}, &exitCode));
        EditorTest::SetUp();
    }
    void TearDown() override
    {
        EditorTest::TearDown();
        DisconnectPort();
        Ports::Instance().SetSpeaker(nullptr);
    }

    // The simulated doorbell on the test's memory file, with sim options (",absent"), traced.
    void Connect(const QString& options = {})
    {
        const QString port = QStringLiteral("sim:") + memory + options;
        SetSettingPort(port);
        QString error;
        ASSERT_TRUE(ConnectPort(port, &error, trace)) << error.toStdString();
    }
    // Doorbell memory as a write of kStoredSet would leave it: its image, and its format byte.
    void StoreInDoorbell()
    {
        SetFixture set(4, 63, kStoredSet);
        DoorbellImage image;
        ASSERT_TRUE(BuildDoorbellImage(set.doc, &image));
        BYTE format = 0;
        ASSERT_TRUE(EncodeFormatByte(4, &format));
        const QByteArray bytes(reinterpret_cast<const char*>(image.data()), image.size());
        WriteBytes(memory, bytes + char(format) + QByteArray(255, char(0xFF))); // 512 in all
    }
    Notes Content() const { return NotesOf(*doc); }
    std::string NewTrace()
    {
        std::fflush(nullptr);
        const QByteArray bytes = ReadBytes(trace).mid(m_traceSeen);
        m_traceSeen += bytes.size();
        return bytes.toStdString();
    }
    qsizetype ResetPulses() { return QString::fromStdString(NewTrace()).count("o 378 18\n"); }
    QTemporaryDir dir;
    const QString memory = dir.filePath(QStringLiteral("doorbell.bin"));
    const QString trace = dir.filePath(QStringLiteral("trace.txt"));
    qint64 m_traceSeen = 0;
};

using BellCommand = BellTest;

// A set read is one no file holds: untitled and modified, so a Save cannot overwrite the file the
// editor held before.
TEST_P(BellCommand, AsksFirstAndChangesTheSetOnlyByAReadThatWorks)
{
    const Outcome& b = GetParam();
    StoreInDoorbell();
    Connect(QString::fromUtf8(b.options));
    InsertNotes(2);
    const Notes own = Content();
    const QString mine = dir.filePath(QStringLiteral("mine.fml"));
    doc->SetPathName(mine, false);
    prompter.answers = {b.answer};
    const QString saved = b.saveAs && *b.saveAs ? dir.filePath(QString::fromUtf8(b.saveAs)) : "";
    prompter.files = {saved};
    if (b.escape)
        WhenModal([](QWidget* w) {
            auto* dlg = qobject_cast<CReadSetDlg*>(w);
            ASSERT_TRUE(dlg && QTest::qWaitForWindowExposed(dlg)); // the transfer waits for it
            for (int i = 0; i < 5; ++i)                            // inside the image read
                dlg->OnTimer();
            QTest::keyClick(dlg, Qt::Key_Escape);
        });
    NewTrace();
    Action(b.command)->trigger();

    ASSERT_EQ(prompter.shown.size() == 1, !b.failure) << prompter.texts().join('|').toStdString();
    if (b.command == ID_BELL_READ)
        ExpectShown(prompter.shown[0], kMsgReplaceSet, MB_YESNOCANCEL | MB_ICONQUESTION);
    if (b.failure)
        ExpectShown(prompter.shown.back(), b.failure, MB_OK | MB_ICONHAND);
    ASSERT_EQ(prompter.fileRequests.size(), b.saveAs ? 1u : 0u);
    EXPECT_EQ(Content(), b.reads ? kStoredSet : own);
    EXPECT_EQ(QFile::exists(saved), !saved.isEmpty() && !b.failure);
    EXPECT_EQ(doc->GetPathName(), b.reads ? QString() : mine);
    EXPECT_TRUE(doc->IsModified());
    const std::string lines = NewTrace();
    if (b.answer == IDCANCEL || (b.saveAs && !b.reads)) {
        EXPECT_TRUE(lines.empty()) << "the doorbell was touched";
    }
    const std::vector<BusFrame> frames = DecodeTrace(lines);
    if (b.escape) { // closed on the wire: the last byte read is not acknowledged, then a stop
        ASSERT_FALSE(frames.empty());
        const BusFrame& read = frames.back();
        ASSERT_GE(read.bytes.size(), 2u);
        EXPECT_EQ(read.bytes.front(), 0xA1);
        for (size_t i = 0; i + 1 < read.acked.size(); ++i)
            EXPECT_TRUE(read.acked[i]) << "byte " << i;
        EXPECT_FALSE(read.acked.back());
        EXPECT_TRUE(read.endedByStop);
        prompter.answers = {IDNO}; // so the next read works
        Action(ID_BELL_READ)->trigger();
        EXPECT_EQ(Content(), kStoredSet);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, BellCommand,
    ::testing::Values(
        Outcome{"Cancel", ID_BELL_READ, "", IDCANCEL, nullptr, false, nullptr},
        Outcome{"No", ID_BELL_READ, "", IDNO, nullptr, true, nullptr},
        Outcome{"YesThenCancelTheFileDialog", ID_BELL_READ, "", IDYES, "", true, nullptr},
        Outcome{"YesThenSave", ID_BELL_READ, "", IDYES, "saved.fml", true, nullptr},
        Outcome{"YesThenTheSaveFails", ID_BELL_READ, "", IDYES, "no/such/folder/set.fml", false,
                kMsgSaveFailed},
        Outcome{"NoThenEscape", ID_BELL_READ, "", IDNO, nullptr, false, nullptr, true},
        Outcome{"ReadNothingAnswers", ID_BELL_READ, ",absent", IDNO, nullptr, false, kMsgBellLink},
        Outcome{"WriteDataLineLow", ID_BELL_WRITE, ",sda-low", IDYES, nullptr, false, kMsgBellLink},
        Outcome{"WriteProtectedDoorbell", ID_BELL_WRITE, ",wp", IDYES, nullptr, false,
                kMsgBellVerify}),
    kRowName);

// Reports the clock line low, whatever it is, for a while: a doorbell stretching it forever.
class ClockHeldLow final : public PortDevice
{
public:
    explicit ClockHeldLow(std::unique_ptr<PortDevice> inner) : m_inner(std::move(inner)) {}
    void HoldFor(double ms) { m_until = TheClock().NowMs() + ms; }
    uint8_t In(uint16_t port) override
    {
        const bool held = port == kPortStatus && TheClock().NowMs() < m_until;
        return m_inner->In(port) & (held ? ~0x40 : 0xFF);
    }
    void Out(uint16_t port, uint8_t value) override { m_inner->Out(port, value); }
    std::unique_ptr<PortDevice> m_inner;
    double m_until = -1.0;
};

using BellDialogTest = BusTest;

// The read dialog on its own, ticked by hand on a fake clock (bus time-outs pass in no real time),
// on a doorbell whose image bytes are all zero: left inside its read, it holds the data line low.
TEST_F(BellDialogTest, FailureInsideTheImageReadLeavesTheBusFreeAndReachesTheCommand)
{
    QTemporaryDir dir;
    SimOptions options;
    options.path = dir.filePath(QStringLiteral("doorbell.bin"));
    WriteBytes(options.path, QByteArray(256, 0) + char(0xE0) + QByteArray(255, 0));
    auto* held = Install(std::make_unique<ClockHeldLow>(std::make_unique<SimDoorbell>(options)));
    const auto holdAfter = [&](CReadSetDlg& dlg, int ticks) { // the clock, after so many ticks
        for (int i = 0; i < ticks; ++i)
            dlg.OnTimer();
        held->HoldFor(5000.0);
    };
    CReadSetDlg failing;
    holdAfter(failing, 5);
    const double start = clock.Peek();
    failing.OnTimer();
    ASSERT_EQ(failing.State(), TransferState::Failed);
    EXPECT_STREQ(failing.Failure(), kMsgBellLink);
    // One 3-second limit (4 s on the whole-second clock); closing the read does not wait again.
    EXPECT_LT(clock.Peek() - start, 4100.0);
    clock.Advance(5000.0);
    // No reset pulse in between: only a bus left free lets the next read start.
    ReadSession next;
    while (!next.IsFinished())
        next.Tick();
    EXPECT_EQ(next.State(), TransferState::Done);

    // Closed (Esc, the close box) while the clock is held: the failure to close is kept to show.
    CReadSetDlg dlg;
    holdAfter(dlg, 3);
    dlg.reject();
    EXPECT_EQ(dlg.State(), TransferState::Cancelled);
    EXPECT_STREQ(dlg.Failure(), kMsgBellLink);
}

// The pulses themselves are the bus's; here, when the window sends them. Every way out goes
// through the same reject(): Cancel stands for them all. On the same speaker, a sound check of
// the one in use tries it in place (reopening would restart its recording), Cancel keeps it.
TEST_F(BellTest, TestWindowStopsOnStopAndOnTheWayOutSoundOutputIsCheckedThenInstalled)
{
    StoreInDoorbell();
    Connect();
    std::vector<uint32_t> sound;
    RecordSpeaker(&sound);
    NewTrace();
    WhenModal([&](QWidget* w) {
        auto* dlg = qobject_cast<CBellTestDlg*>(w);
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(ResetPulses(), 1) << "on opening";
        EXPECT_EQ(dlg->Status(), QString::fromUtf8(kBellTestIdle));
        EXPECT_TRUE(dlg->TestButton()->isDefault());

        QTest::mouseClick(dlg->TestButton(), Qt::LeftButton);
        EXPECT_EQ(dlg->TestButton()->text(), QStringLiteral("Стоп"));
        EXPECT_EQ(dlg->Status(), QString::fromUtf8(kBellTestPlaying));
        ASSERT_NE(sound.empty() ? 0u : sound.back(), 0u) << "no play pulse on Test";

        QTest::mouseClick(dlg->TestButton(), Qt::LeftButton);
        EXPECT_EQ(dlg->TestButton()->text(), QStringLiteral("Тест"));
        EXPECT_EQ(dlg->Status(), QString::fromUtf8(kBellTestIdle));
        EXPECT_EQ(ResetPulses(), 1) << "on Stop";
        EXPECT_EQ(sound.back(), 0u);

        QTest::mouseClick(dlg->TestButton(), Qt::LeftButton); // playing again when it goes
        NewTrace();
        QTest::mouseClick(dlg->CancelButton(), Qt::LeftButton);
    });
    Action(ID_BELL_TEST)->trigger();
    EXPECT_EQ(ResetPulses(), 1) << "on the way out";
    EXPECT_EQ(sound.back(), 0u);

    SetSettingSpeaker(QStringLiteral("none"));
    const QString wav = dir.filePath(QStringLiteral("tone.wav"));
    const auto sink = [] { return &dynamic_cast<Pit&>(*Ports::Instance().Speaker()).Sink(); };

    WhenModal([&](QWidget* w) {
        auto* dlg = qobject_cast<CSoundDlg*>(w);
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->SinkText(), QStringLiteral("none"));
        const PortDevice* before = Ports::Instance().Speaker();
        EXPECT_TRUE(dlg->OnCheck());
        EXPECT_EQ(Ports::Instance().Speaker(), before) << "the speaker in use was opened again";
        dlg->SetSinkText(QStringLiteral("pcspkr:/dev/input/no-such-speaker"));
        EXPECT_FALSE(dlg->OnCheck());
        EXPECT_TRUE(dlg->CheckText().contains(QStringLiteral("modprobe pcspkr")));
        dlg->reject();
    });
    Action(ID_SOUND_OUTPUT)->trigger();
    EXPECT_EQ(SettingSpeaker(), QStringLiteral("none"));
    EXPECT_NE(dynamic_cast<RecordingSink*>(sink()), nullptr);

    prompter.files.push_back(wav); // OK remembers and installs the choice
    WhenModal([&](QWidget* w) {
        auto* dlg = static_cast<CSoundDlg*>(w);
        dlg->SetSinkText(QStringLiteral("wav:") + dir.filePath(QStringLiteral("old.wav")));
        dlg->BrowseButton()->click();
        dlg->accept();
    });
    Action(ID_SOUND_OUTPUT)->trigger();
    EXPECT_EQ(SettingSpeaker(), QStringLiteral("wav:") + wav);
    EXPECT_NE(dynamic_cast<WavSink*>(sink()), nullptr);
}

// The steps of the next transfer dialog's bar from the moment it is up, and when each came.
struct PaintCounter : QObject {
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
    int paints = 0;
};

void FollowProgress(std::vector<std::pair<int, qint64>>* steps, PaintCounter* bar = nullptr)
{
    WhenModal([steps, bar](QWidget* w) {
        auto* dlg = qobject_cast<CTransferDlg*>(w);
        ASSERT_NE(dlg, nullptr);
        if (bar)
            dlg->Progress()->installEventFilter(bar);
        QObject::connect(dlg->Progress(), &QProgressBar::valueChanged, dlg, [=](int value) {
            steps->emplace_back(value, QDeadlineTimer::current().deadlineNSecs());
        });
    });
}

TEST_F(BellTest, UserStoryOnDefaultSettings)
{
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toLocal8Bit());
    frame->StartupDoorbell();
    EXPECT_EQ(ConnectedPortText(), QStringLiteral("sim"));
    InsertNotes(3);
    const Notes written = Content();
    std::vector<std::pair<int, qint64>> steps;
    prompter.answers = {IDYES};
    PaintCounter bar;
    FollowProgress(&steps, &bar);
    Action(ID_BELL_WRITE)->trigger();
    ExpectShown(prompter.shown.at(0), kMsgWriteBell, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(frame->statusBar()->currentMessage(),
              QStringLiteral("Набор мелодий записан в звонок."));
    EXPECT_EQ(QFile(DefaultDoorbellFile()).size(), SimDoorbell::kMemoryBytes);
    // The bar runs through the write and the verify, repainted as it goes (at every change shown).
    EXPECT_GE(bar.paints, 10) << "the bar was not repainted during the write";
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(steps.back().first, 2 * kTransferSteps);

    InsertNotes(1);
    steps.clear();
    prompter.answers = {IDNO};
    FollowProgress(&steps);
    Action(ID_BELL_READ)->trigger();
    EXPECT_EQ(Content(), written);
    EXPECT_TRUE(frame->statusBar()->currentMessage().contains(QStringLiteral("считан")));
    // 255 ticks, each near the 1 ms the timer asks for: repainting the bar does not hold them.
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(steps.back().first, kTransferSteps);
    EXPECT_LT((steps.back().second - steps.front().second) / 1e6, 255 * 4.0);
    qputenv("XDG_DATA_HOME", dataHome);
}

// A port that does not open at start-up: a line in the status bar, the reason with every doorbell
// command and in the port dialog, where another is chosen, checked, remembered and connected.
TEST_F(BellTest, PortThatDoesNotOpenIsReportedThenAnotherIsCheckedAndConnected)
{
    // The parport nodes the dialog offers come in number order.
    QStringList nodes;
    for (const char* name : {"parport10", "parport2", "parport0", "lp0"})
        WriteBytes(nodes.emplaceBack(dir.filePath(QString::fromUtf8(name))), {});
    EXPECT_EQ(CBellPortDlg::PpdevDevices(dir.path()), (QStringList{nodes[2], nodes[1], nodes[0]}));
    const QString none = QStringLiteral("ppdev:/dev/tinkla-no-such-parport");
    const QString second = QStringLiteral("sim:") + dir.filePath(QStringLiteral("b.bin"));
    SetSettingPort(none);
    frame->StartupDoorbell();
    EXPECT_FALSE(frame->statusBar()->currentMessage().isEmpty());
    for (int id : {ID_BELL_READ, ID_BELL_WRITE, ID_BELL_TEST})
        Action(id)->trigger();
    ASSERT_EQ(prompter.shown.size(), 3u);
    for (const auto& shown : prompter.shown) {
        ExpectShown(shown, kMsgBellLink, MB_OK | MB_ICONHAND);
        EXPECT_TRUE(shown.text.contains(QStringLiteral("/dev/tinkla-no-such-parport")));
    }

    WhenModal([&](QWidget* w) {
        auto* dlg = qobject_cast<CBellPortDlg*>(w);
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->PortText(), none);
        EXPECT_TRUE(dlg->CheckText().contains(QStringLiteral("/dev/tinkla-no-such-parport")));
        for (const char* text : {"sim,sda-low", "direct:0x278", "exec:tinkla-cli bridge"}) {
            dlg->SetPortText(QString::fromUtf8(text));
            EXPECT_EQ(dlg->PortText(), QString::fromUtf8(text));
        }
        dlg->SetPortText(QStringLiteral("sim:") + DefaultDoorbellFile());
        EXPECT_EQ(dlg->PortText(), QStringLiteral("sim"));

        // The check asks without writing the memory; another choice makes its answer stale.
        dlg->SetPortText(second + QStringLiteral(",sda-low"));
        EXPECT_FALSE(dlg->OnCheck());
        EXPECT_TRUE(dlg->CheckText().contains(QStringLiteral("Линия данных")));
        dlg->SetPortText(second);
        EXPECT_TRUE(dlg->OnCheck());
        EXPECT_TRUE(dlg->CheckText().contains(QStringLiteral("Звонок отвечает")));
        EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("b.bin"))));
        dlg->SetPortText(QStringLiteral("sim,bogus"));
        EXPECT_TRUE(dlg->CheckText().isEmpty());
        dlg->accept(); // refused, with the reason
        EXPECT_TRUE(dlg->isVisible());
        EXPECT_TRUE(dlg->CheckText().contains(QStringLiteral("bogus")));
        // A device's answer may be several long lines (what failed, then the command that
        // mends it): the dialog grows to show it whole, and the command can be copied.
        const QString line = QStringList(4, QString(30, QLatin1Char('w'))).join(' ');
        const QString answer = QStringList(6, line).join('\n');
        dlg->ShowProblem(answer);
        for (int i = 0; i < 3; ++i) // the request to grow climbs one widget per event-loop turn
            QApplication::processEvents();
        QLabel* shown = nullptr;
        for (QLabel* label : dlg->findChildren<QLabel*>())
            shown = label->text() == answer ? label : shown;
        EXPECT_TRUE(shown && shown->wordWrap());
        EXPECT_TRUE(shown && shown->height() >= shown->heightForWidth(shown->width()));
        EXPECT_TRUE(shown && shown->textInteractionFlags() & Qt::TextSelectableByMouse);
        dlg->SetPortText(second);
        dlg->accept();
    });
    Action(ID_BELL_PORT)->trigger();
    EXPECT_EQ(SettingPort(), second);
    EXPECT_EQ(ConnectedPortText(), second);
}

} // namespace
