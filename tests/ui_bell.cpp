// The doorbell in the editor, on the simulated doorbell with a memory file of the test's own: a
// set written and read back, the read's questions, every failure with its message and the set
// left as it was, an early end of the read leaving the bus free, the doorbell test's pulses and
// sound, and the whole story on default settings.
#include "bell/BellMessages.h"
#include "bell/DoorbellImage.h"
#include "bell/Transactions.h"
#include "devices/PortSpec.h"
#include "model/Messages.h"
#include "platform/Ports.h"
#include "test_bus_support.h"
#include "test_speaker_support.h"
#include "ui/CBellTestDlg.h"
#include "ui/CReadSetDlg.h"
#include "ui/CTinklaApp.h"
#include "ui/CWriteSetDlg.h"
#include "ui/Commands.h"
#include "ui_editor_support.h"

#include <QElapsedTimer>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QtEndian>
#include <cstdio>
#include <sstream>

using namespace tinkla;
using namespace tinkla::test;

namespace
{

using tinkla::test::PrintTo;

using Notes = std::vector<std::vector<BYTE>>;

Notes NotesOf(const CTinklaDoc& doc)
{
    Notes notes;
    for (unsigned k = 0; k < doc.GetMelodyCount(); ++k) {
        notes.emplace_back();
        for (int j = 0; j < doc.GetMelody(k)->GetNoteCount(); ++j)
            notes.back().push_back(doc.GetMelody(k)->GetNoteCode(j));
    }
    return notes;
}

// The message's own text; what follows a blank line is its details.
void ExpectShown(const ScriptedPrompter::Shown& shown, const char* text, unsigned type)
{
    EXPECT_EQ(shown.text.section(QStringLiteral("\n\n"), 0, 0), QString::fromUtf8(text));
    EXPECT_EQ(shown.type, type);
}

// When each step of the next Dialog's progress bar comes, and how often the bar is painted.
template <class Dialog> struct ProgressWatch : QObject {
    ProgressWatch()
    {
        clock.start();
        qApp->installEventFilter(this);
    }
    ~ProgressWatch() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        // Hooked as it is shown, before it starts its timer.
        if (auto* dlg = qobject_cast<Dialog*>(watched); dlg && e->type() == QEvent::Show && !bar) {
            bar = dlg->Progress();
            QObject::connect(bar, &QProgressBar::valueChanged, dlg, [this](int value) {
                steps.push_back(clock.nsecsElapsed());
                last = value;
            });
        }
        paints += watched == bar && e->type() == QEvent::Paint;
        return false;
    }
    double MsFrom(size_t step) const { return (steps.back() - steps.at(step)) / 1e6; }
    QElapsedTimer clock;
    QProgressBar* bar = nullptr;
    std::vector<qint64> steps;
    int last = 0; // the bar's last value (the bar goes with its dialog)
    int paints = 0;
};

const Notes kStoredSet = {{Code(0, 0), Code(31, 4), Code(11, 3)}, {}, {Code(20, 1)}, {}};
const Notes kOwnSet = {{Code(3, 3), Code(4, 4)}, {}, {}, {}, {}, {}, {}, {}}; // 8 × 31
constexpr unsigned kResetPulse = 0x18, kPlayPulse = 0x30;

class BellTest : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        memory = dir.filePath(QStringLiteral("doorbell.bin"));
        trace = dir.filePath(QStringLiteral("trace.txt"));
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
    // Doorbell memory as a write would leave it: the image of the set, and its format byte.
    void StoreInDoorbell(unsigned melodies, unsigned notes, const Notes& content)
    {
        SetFixture set(melodies, notes, content);
        DoorbellImage image;
        ASSERT_TRUE(BuildDoorbellImage(set.doc, &image));
        BYTE format = 0;
        ASSERT_TRUE(EncodeFormatByte(melodies, &format));
        QByteArray bytes(SimDoorbell::kMemoryBytes, char(0xFF));
        std::copy(image.begin(), image.end(), bytes.begin());
        bytes[256] = static_cast<char>(format);
        WriteBytes(memory, bytes);
    }
    // Replaces the editor's set.
    void Fill(unsigned melodies, unsigned notes, const Notes& content)
    {
        doc->SetFormat(melodies, notes);
        doc->ResetMelodies();
        for (size_t k = 0; k < content.size(); ++k)
            for (BYTE code : content[k])
                doc->GetMelody(static_cast<unsigned>(k))->AppendNote(code);
        View()->OnInitialUpdate();
    }
    Notes Content() const { return NotesOf(*doc); }
    void Trigger(int id) { Action(id)->trigger(); }
    // The port accesses since the last call.
    std::string NewTrace()
    {
        std::fflush(nullptr);
        const QByteArray bytes = ReadBytes(trace).mid(m_traceSeen);
        m_traceSeen += bytes.size();
        return bytes.toStdString();
    }
    // The data-register writes since the last look: the pulse once, then the lines left idle.
    void ExpectOnePulse(unsigned pulse, const char* what)
    {
        std::vector<unsigned> writes;
        std::istringstream in(NewTrace());
        std::string op, port;
        unsigned value = 0;
        while (in >> op >> port >> std::hex >> value)
            if (op == "o" && port == "378")
                writes.push_back(value);
        EXPECT_EQ(std::count(writes.begin(), writes.end(), pulse), 1) << what;
        ASSERT_FALSE(writes.empty()) << what;
        EXPECT_EQ(writes.back(), 0x38u) << what;
    }

    QTemporaryDir dir;
    QString memory;
    QString trace;
    std::vector<uint32_t> sound;

private:
    qint64 m_traceSeen = 0;
};

TEST_F(BellTest, SetWrittenIsReadBackAByteATick)
{
    Connect();
    Notes content(16);
    content[0] = {Code(0, 0), Code(31, 4), Code(11, 3)};
    for (int j = 0; j < 15; ++j)
        content[1].push_back(Code(j * 2, j % 5)); // a full melody: no end byte in its slot
    content[15] = {Code(5, 2)};
    Fill(16, 15, content);
    prompter.answers = {IDYES};
    ProgressWatch<CWriteSetDlg> write;
    Trigger(ID_BELL_WRITE);
    ASSERT_EQ(prompter.shown.size(), 1u);
    ExpectShown(prompter.shown[0], kMsgWriteBell, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(static_cast<BYTE>(ReadBytes(memory).at(256)), 0xF0);
    // The bar runs through the write and the verify, repainting as it goes.
    ASSERT_FALSE(write.steps.empty());
    EXPECT_EQ(write.last, 2 * kTransferSteps);
    EXPECT_GE(write.paints, 10) << "the bar was not repainted during the write";
    // Of that, 33 stores of 5 ms (format byte and 32 pages) and two 104 ms reset pulses.
    std::printf("write: 256 bytes, their verify and the resets in %.1f ms\n", write.MsFrom(0));

    Fill(8, 31, kOwnSet);
    prompter.answers = {IDNO};
    ProgressWatch<CReadSetDlg> read;
    Trigger(ID_BELL_READ);
    ASSERT_EQ(prompter.texts().size(), 2);
    EXPECT_EQ(Content(), content);
    EXPECT_EQ(doc->GetNotesPerMelody(), 15u);
    // From the first tick's step to the last: 255 ticks against the 1 ms the timer asks for.
    ASSERT_EQ(read.last, kTransferSteps);
    std::printf("read: 255 ticks in %.1f ms (%.2f x the requested period)\n", read.MsFrom(0),
                read.MsFrom(0) / 255);
    EXPECT_LT(read.MsFrom(0), 255 * 4.0);
}

struct Outcome {
    const char* name;
    int command; // ID_BELL_READ or ID_BELL_WRITE
    const char* options;
    bool storedSet;
    Answer answer;
    const char* saveAs; // what the save dialog gives, in the test's folder ("" cancels it)
    bool reads;
    const char* failure; // the last message, if any
};

class BellCommand : public BellTest, public ::testing::WithParamInterface<Outcome>
{
};

TEST_P(BellCommand, AsksFirstAndChangesTheSetOnlyByAReadThatWorks)
{
    const Outcome& b = GetParam();
    if (b.storedSet)
        StoreInDoorbell(4, 63, kStoredSet);
    const QByteArray memoryBefore = ReadBytes(memory);
    Connect(QString::fromUtf8(b.options));
    Fill(8, 31, kOwnSet);
    doc->SetModifiedFlag(true);
    prompter.answers = {b.answer};
    const QString saved = b.saveAs && *b.saveAs ? dir.filePath(QString::fromUtf8(b.saveAs)) : "";
    if (b.saveAs)
        prompter.files = {saved};
    NewTrace();
    Trigger(b.command);

    const auto& shown = prompter.shown;
    ASSERT_EQ(shown.size() == 1, !b.failure) << prompter.texts().join('|').toStdString();
    if (b.command == ID_BELL_READ)
        ExpectShown(shown[0], kMsgReplaceSet, MB_YESNOCANCEL | MB_ICONQUESTION);
    if (b.failure)
        ExpectShown(shown.back(), b.failure, MB_OK | MB_ICONHAND);
    ASSERT_EQ(prompter.fileRequests.size(), b.saveAs ? 1u : 0u);
    if (b.saveAs) {
        EXPECT_EQ(prompter.fileRequests[0].title, QStringLiteral("Сохранить как"));
        EXPECT_EQ(prompter.fileRequests[0].defaultExtension, QStringLiteral("fml"));
        EXPECT_TRUE(prompter.fileRequests[0].save);
    }
    const bool saves = !saved.isEmpty() && !b.failure;
    EXPECT_EQ(Content(), b.reads ? kStoredSet : kOwnSet);
    EXPECT_EQ(QFile::exists(saved), saves);
    // A set read is one no file holds: untitled and modified.
    EXPECT_EQ(doc->GetPathName(), saves && !b.reads ? saved : QString());
    EXPECT_EQ(doc->IsModified(), !saves || b.reads);
    EXPECT_EQ(ReadBytes(memory), memoryBefore);
    if (b.answer == IDCANCEL || (b.saveAs && !b.reads)) {
        EXPECT_TRUE(NewTrace().empty()) << "the doorbell was touched";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, BellCommand,
    ::testing::Values(
        Outcome{"Cancel", ID_BELL_READ, "", true, IDCANCEL, nullptr, false, nullptr},
        Outcome{"No", ID_BELL_READ, "", true, IDNO, nullptr, true, nullptr},
        Outcome{"YesThenCancelTheFileDialog", ID_BELL_READ, "", true, IDYES, "", true, nullptr},
        Outcome{"YesThenSave", ID_BELL_READ, "", true, IDYES, "saved.fml", true, nullptr},
        Outcome{"YesThenTheSaveFails", ID_BELL_READ, "", true, IDYES, "no/such/folder/set.fml",
                false, kMsgSaveFailed},
        Outcome{"ReadNothingAnswers", ID_BELL_READ, ",absent", true, IDNO, nullptr, false,
                kMsgBellLink},
        Outcome{"ReadClockLineLow", ID_BELL_READ, ",scl-low", true, IDNO, nullptr, false,
                kMsgBellLink},
        Outcome{"ReadBlankDoorbell", ID_BELL_READ, "", false, IDNO, nullptr, false,
                kMsgBellContents},
        Outcome{"WriteDataLineLow", ID_BELL_WRITE, ",sda-low", false, IDYES, nullptr, false,
                kMsgBellLink},
        Outcome{"WriteProtectedDoorbell", ID_BELL_WRITE, ",wp", true, IDYES, nullptr, false,
                kMsgBellVerify}),
    kRowName);

TEST_F(BellTest, ASetReadIsNewAndUnsavedSoTheUsersFileIsSafe)
{
    StoreInDoorbell(4, 63, kStoredSet);
    Connect();
    Fill(8, 31, kOwnSet);
    const QString mine = dir.filePath(QStringLiteral("mine.fml"));
    ASSERT_TRUE(doc->OnSaveDocument(mine));
    doc->SetPathName(mine);
    const QByteArray saved = ReadBytes(mine);
    prompter.answers = {IDNO};
    Trigger(ID_BELL_READ);
    ASSERT_EQ(Content(), kStoredSet);
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Безымянный[*] - Tinkla"));
    EXPECT_TRUE(frame->isWindowModified());

    prompter.files = {QString()}; // Save asks for a name: cancelled
    Trigger(ID_FILE_SAVE);
    EXPECT_EQ(prompter.fileRequests.size(), 1u);
    EXPECT_EQ(ReadBytes(mine), saved);
    prompter.answers = {IDCANCEL}; // quitting asks to save: the program stays
    Trigger(ID_APP_EXIT);
    EXPECT_EQ(prompter.shown.back().type, unsigned{MB_YESNOCANCEL | MB_ICONQUESTION});
    EXPECT_TRUE(frame->isVisible());
}

// Reports the clock line low, whatever it is, for a while: a doorbell stretching it forever.
class ClockHeldLow final : public PortDevice
{
public:
    explicit ClockHeldLow(std::unique_ptr<PortDevice> inner) : m_inner(std::move(inner)) {}
    void HoldFor(double ms) { m_until = TheClock().NowMs() + ms; }
    uint8_t In(uint16_t port) override
    {
        uint8_t value = m_inner->In(port);
        if (port == kPortStatus && TheClock().NowMs() < m_until)
            value &= ~0x40;
        return value;
    }
    void Out(uint16_t port, uint8_t value) override { m_inner->Out(port, value); }

private:
    std::unique_ptr<PortDevice> m_inner;
    double m_until = -1.0;
};

// The read dialog on its own, ticked by hand on a fake clock (bus time-outs pass in no real time),
// on a doorbell whose image bytes are all zero: left inside its read, it holds the data line low.
class BellDialogTest : public BusTest
{
protected:
    void SetUp() override
    {
        BusTest::SetUp();
        QByteArray bytes(SimDoorbell::kMemoryBytes, 0);
        bytes[256] = char(0xE0);
        SimOptions options;
        options.path = m_dir.filePath(QStringLiteral("doorbell.bin"));
        WriteBytes(options.path, bytes);
        m_held = Install(std::make_unique<ClockHeldLow>(std::make_unique<SimDoorbell>(options)));
    }
    // Ticks the read, then has the doorbell hold the clock line low for five seconds.
    void TickThenHold(CReadSetDlg& dlg, int ticks)
    {
        for (int i = 0; i < ticks; ++i)
            dlg.OnTimer();
        m_held->HoldFor(5000.0);
    }

private:
    QTemporaryDir m_dir;
    ClockHeldLow* m_held = nullptr;
};

TEST_F(BellDialogTest, FailureInsideTheImageReadLeavesTheBusFree)
{
    CReadSetDlg dlg;
    TickThenHold(dlg, 5);
    const double start = clock.Peek();
    dlg.OnTimer();
    ASSERT_EQ(dlg.State(), TransferState::Failed);
    EXPECT_STREQ(dlg.Failure(), kMsgBellLink);
    // One 3-second limit (4 s on the whole-second clock); closing the read does not wait again.
    EXPECT_LT(clock.Peek() - start, 4100.0);
    clock.Advance(5000.0);

    // No reset pulse in between: only a bus left free lets the next read start.
    ReadSession next;
    while (!next.IsFinished())
        next.Tick();
    EXPECT_EQ(next.State(), TransferState::Done);
}

TEST_F(BellDialogTest, ClosingStepThatFailsIsKeptForTheCommand)
{
    CReadSetDlg dlg;
    TickThenHold(dlg, 3);
    dlg.reject(); // the close box, or Esc
    EXPECT_EQ(dlg.State(), TransferState::Cancelled);
    EXPECT_STREQ(dlg.Failure(), kMsgBellLink);
}

struct EarlyEnd {
    const char* name;
    std::function<void(QDialog*)> end;
};

class ReadEndedEarly : public BellTest, public ::testing::WithParamInterface<EarlyEnd>
{
};

TEST_P(ReadEndedEarly, ClosesTheReadOnTheWireAndTheNextReadWorks)
{
    StoreInDoorbell(4, 63, kStoredSet);
    Connect();
    const Notes own = Content();
    prompter.answers = {IDNO, IDNO};
    WhenModal([&](QWidget* w) {
        auto* dlg = qobject_cast<CReadSetDlg*>(w);
        ASSERT_NE(dlg, nullptr);
        // The transfer waits for its window to reach the screen.
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg));
        for (int i = 0; i < 5; ++i)
            dlg->OnTimer();
        ASSERT_FALSE(dlg->State() == TransferState::Done);
        GetParam().end(dlg);
    });
    NewTrace();
    Trigger(ID_BELL_READ);
    EXPECT_EQ(prompter.texts(), QStringList{QString::fromUtf8(kMsgReplaceSet)});
    EXPECT_EQ(Content(), own);

    // The read's last frame: 0xA1, some image bytes acknowledged, one more without, a stop.
    const std::string lines = NewTrace();
    const std::vector<BusFrame> frames = DecodeTrace(lines);
    ASSERT_FALSE(frames.empty()) << lines.size() << " " << lines.substr(0, 300);
    const BusFrame& read = frames.back();
    ASSERT_GE(read.bytes.size(), 1u + 6u);
    EXPECT_LT(read.bytes.size(), 1u + 256u);
    EXPECT_EQ(read.bytes[0], 0xA1);
    for (size_t i = 0; i + 1 < read.acked.size(); ++i)
        EXPECT_TRUE(read.acked[i]) << "byte " << i;
    EXPECT_FALSE(read.acked.back());
    EXPECT_TRUE(read.endedByStop);

    Trigger(ID_BELL_READ);
    EXPECT_EQ(prompter.texts().size(), 2);
    EXPECT_EQ(Content(), kStoredSet);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, ReadEndedEarly,
    ::testing::Values(EarlyEnd{"CloseBox", [](QDialog* d) { d->close(); }},
                      EarlyEnd{"Escape", [](QDialog* d) { QTest::keyClick(d, Qt::Key_Escape); }}),
    kRowName);

TEST_F(BellTest, PortThatDoesNotOpenIsReportedByEveryCommand)
{
    SetSettingPort(QStringLiteral("ppdev:/dev/tinkla-no-such-parport"));
    frame->StartupDoorbell();
    EXPECT_FALSE(frame->statusBar()->currentMessage().isEmpty());
    for (int id : {ID_BELL_READ, ID_BELL_WRITE, ID_BELL_TEST})
        Trigger(id);
    ASSERT_EQ(prompter.shown.size(), 3u);
    for (const auto& shown : prompter.shown) {
        EXPECT_TRUE(shown.text.startsWith(QString::fromUtf8(kMsgBellLink)));
        EXPECT_TRUE(shown.text.contains(QStringLiteral("/dev/tinkla-no-such-parport")));
        EXPECT_EQ(shown.type, unsigned(MB_OK | MB_ICONHAND));
    }
}

struct TestExit {
    const char* name;
    std::function<void(CBellTestDlg*)> leave;
};

class BellTestDialog : public BellTest, public ::testing::WithParamInterface<TestExit>
{
};

TEST_P(BellTestDialog, PlaysOnTestStopsOnStopAndOnEveryWayOut)
{
    StoreInDoorbell(8, 31, {{Code(11, 0), Code(12, 0)}});
    Connect();
    RecordSpeaker(&sound);
    NewTrace();
    bool ran = false;
    WhenModal([&](QWidget* w) {
        auto* dlg = qobject_cast<CBellTestDlg*>(w);
        ASSERT_NE(dlg, nullptr);
        ran = true;
        EXPECT_EQ(dlg->Status(), QString::fromUtf8(kBellTestIdle));
        EXPECT_TRUE(dlg->TestButton()->isDefault());
        ExpectOnePulse(kResetPulse, "on opening");

        QTest::mouseClick(dlg->TestButton(), Qt::LeftButton);
        EXPECT_EQ(dlg->TestButton()->text(), QStringLiteral("Стоп"));
        EXPECT_EQ(dlg->Status(), QString::fromUtf8(kBellTestPlaying));
        ExpectOnePulse(kPlayPulse, "on Test");
        ASSERT_FALSE(sound.empty());
        EXPECT_NE(sound.back(), 0u) << "the simulated doorbell does not sound";

        QTest::mouseClick(dlg->TestButton(), Qt::LeftButton);
        EXPECT_EQ(dlg->TestButton()->text(), QStringLiteral("Тест"));
        EXPECT_EQ(dlg->Status(), QString::fromUtf8(kBellTestIdle));
        ExpectOnePulse(kResetPulse, "on Stop");
        EXPECT_EQ(sound.back(), 0u);

        QTest::mouseClick(dlg->TestButton(), Qt::LeftButton); // playing again when it goes
        NewTrace();
        GetParam().leave(dlg);
    });
    Trigger(ID_BELL_TEST);
    ASSERT_TRUE(ran);
    ExpectOnePulse(kResetPulse, "on the way out");
    EXPECT_EQ(sound.back(), 0u);
    EXPECT_TRUE(prompter.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Exits, BellTestDialog,
    ::testing::Values(
        TestExit{"Cancel",
                 [](CBellTestDlg* d) { QTest::mouseClick(d->CancelButton(), Qt::LeftButton); }},
        TestExit{"Escape", [](CBellTestDlg* d) { QTest::keyClick(d, Qt::Key_Escape); }},
        TestExit{"CloseBox", [](CBellTestDlg* d) { d->close(); }}),
    kRowName);

// Answers the next message box with a button.
void AnswerBox(QMessageBox::StandardButton button)
{
    WhenModal([button](QWidget* w) {
        if (auto* box = qobject_cast<QMessageBox*>(w))
            box->button(button)->click();
    });
}

// The editor as the user starts it: the application object with its command line. Puts back
// the locale it sets for the whole process.
class Program
{
public:
    ~Program() { QLocale::setDefault(m_locale); }
    explicit Program(const QStringList& arguments)
    {
        int exitCode = 0;
        m_ok = m_app.InitInstance(QStringList{QStringLiteral("tinkla")} + arguments, &exitCode);
        // The start-up step runs once the window is on the screen.
        for (int i = 0; i < 200 && ConnectedPortText().isEmpty(); ++i)
            QTest::qWait(10);
    }
    bool ok() const { return m_ok; }
    CMainFrame* Frame() const { return m_app.GetMainFrame(); }
    void Trigger(int id) { Frame()->Action(id)->trigger(); }

private:
    QLocale m_locale;
    CTinklaApp m_app;
    bool m_ok = false;
};

TEST_F(BellTest, PortGivenOnTheCommandLineServesThisRunOnly)
{
    SetSettingPort(QStringLiteral("ppdev:/dev/tinkla-remembered"));
    const QString port = QStringLiteral("sim:") + memory;
    {
        Program app(
            {QStringLiteral("--port"), port, QStringLiteral("--speaker"), QStringLiteral("none")});
        ASSERT_TRUE(app.ok());
        EXPECT_EQ(ConnectedPortText(), port);
    }
    EXPECT_TRUE(ConnectedPortText().isEmpty()) << "the port outlived the window";
    EXPECT_EQ(SettingPort(), QStringLiteral("ppdev:/dev/tinkla-remembered"));
}

TEST_F(BellTest, UserStoryOnDefaultSettings)
{
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toLocal8Bit());
    const QString wav = dir.filePath(QStringLiteral("speaker.wav"));
    Notes written;
    {
        Program app({});
        ASSERT_TRUE(app.ok());
        EXPECT_EQ(ConnectedPortText(), QStringLiteral("sim"));
        for (int i = 0; i < 3; ++i)
            app.Trigger(ID_NOTE_INSERT);
        app.Trigger(ID_TONE_UP); // the third note: Соль# instead of Соль
        written = NotesOf(*app.Frame()->GetDocument());
        AnswerBox(QMessageBox::Yes);
        app.Trigger(ID_BELL_WRITE);
        EXPECT_EQ(app.Frame()->statusBar()->currentMessage(),
                  QStringLiteral("Набор мелодий записан в звонок."));
        AnswerBox(QMessageBox::No); // the edited set is not saved to a file
        app.Frame()->close();
    }
    EXPECT_EQ(QFile(DefaultDoorbellFile()).size(), SimDoorbell::kMemoryBytes);
    {
        Program app({QStringLiteral("--speaker"), QStringLiteral("wav:") + wav});
        ASSERT_TRUE(app.ok());
        AnswerBox(QMessageBox::No);
        app.Trigger(ID_BELL_READ);
        EXPECT_EQ(NotesOf(*app.Frame()->GetDocument()), written);

        WhenModal([](QWidget* w) {
            auto* dlg = qobject_cast<CBellTestDlg*>(w);
            ASSERT_NE(dlg, nullptr);
            QTest::mouseClick(dlg->TestButton(), Qt::LeftButton);
            QTest::qWait(120); // inside the first note (an eighth: 220 ms)
            dlg->reject();
        });
        app.Trigger(ID_BELL_TEST);
        AnswerBox(QMessageBox::No); // the set read is new: quitting asks to save it
        app.Frame()->close();
    }
    qputenv("XDG_DATA_HOME", dataHome);

    // The doorbell's first note, heard: its frequency from the zero crossings of its first 80 ms
    // of 16-bit mono samples after the 44-byte header.
    const QByteArray bytes = ReadBytes(wav);
    const qsizetype window = 44100 * 80 / 1000;
    ASSERT_GT(bytes.size(), 44 + 2 * 44100 / 10);
    auto sample = [&](qsizetype i) {
        return qFromLittleEndian<int16_t>(bytes.constData() + 44 + 2 * i);
    };
    int crossings = 0;
    for (qsizetype i = 1; i < window; ++i)
        crossings += (sample(i - 1) < 0) != (sample(i) < 0) ? 1 : 0;
    const double hz = crossings / 2.0 / 0.080;
    const double expected = g_nFrequencies[CNote(written[0][0]).GetTone()];
    EXPECT_NEAR(hz, expected, expected * 0.05);
}

} // namespace
