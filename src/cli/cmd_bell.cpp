// The doorbell from the command line: the memory image a set becomes, writing and reading the set
// through the chosen port, the play/stop test, and a bridge that serves a port to other programs.
#include "bell/BellMessages.h"
#include "bell/Bus.h"
#include "bell/DoorbellImage.h"
#include "bell/Transactions.h"
#include "bell/TransferSession.h"
#include "cli/CliDoc.h"
#include "cli/PortConnection.h"
#include "devices/ExecBridge.h"
#include "devices/PortSpec.h"
#include "devices/SimPlayer.h"
#include "devices/Speaker.h"
#include "platform/Archive.h"
#include "platform/Settings.h"

#include <QCoreApplication>
#include <QFile>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <thread>
#include <unistd.h>

namespace tinkla::cli
{
namespace
{

const QStringList kPortOptions = {QStringLiteral("port"), QStringLiteral("trace")};
const QString kTraceTimes = QStringLiteral("trace-times");

// Checks the operand count and the device options; on a problem prints it with the usage line
// and returns false.
bool ParseArgs(const Args& args, const char* usage, int positional, int* rc)
{
    if (args.positional().size() != positional) {
        *rc = Usage(usage);
        return false;
    }
    *rc = CheckDeviceOptions(args);
    return *rc == kExitOk;
}

// "[#####.....] 120/257" on stderr, redrawn in place, when stderr is a terminal.
class ProgressBar
{
public:
    explicit ProgressBar(const QString& label)
        : m_label(label.toLocal8Bit()), m_bShown(::isatty(STDERR_FILENO))
    {
    }
    ~ProgressBar()
    {
        if (m_bShown && m_nLast >= 0)
            std::fputc('\n', stderr);
    }
    void Attach(TransferSession& session)
    {
        m_nSteps = session.Steps();
        session.SetProgressHandler([this](int position) { Show(position); });
    }
    void Show(int position)
    {
        if (!m_bShown)
            return;
        constexpr int kWidth = 40;
        const int filled = position * kWidth / m_nSteps;
        if (filled == m_nLast && position != m_nSteps)
            return;
        m_nLast = filled;
        char bar[kWidth + 1];
        std::memset(bar, '.', kWidth);
        std::memset(bar, '#', static_cast<size_t>(filled));
        bar[kWidth] = '\0';
        std::fprintf(stderr, "\r%s [%s] %3d/%d", m_label.constData(), bar, position, m_nSteps);
        std::fflush(stderr);
    }

private:
    QByteArray m_label;
    bool m_bShown;
    int m_nLast = -1;
    int m_nSteps = kTransferSteps;
};

// Reads the doorbell through the connected port, as the read dialog does; false after the
// message.
bool ReadDoorbell(ReadSession& session)
{
    SendResetPulse();
    ProgressBar bar(QCoreApplication::translate("tinkla-cli", "Чтение"));
    bar.Attach(session);
    session.SetInterruptFlag(InterruptGuard::Flag());
    while (!session.IsFinished())
        session.Tick();
    if (session.State() == TransferState::Cancelled)
        return false;
    if (session.State() != TransferState::Done) {
        Err(MessageText(session.Message() ? session.Message() : kMsgBellLink));
        return false;
    }
    return true;
}

int RunImage(const QStringList& argv)
{
    static const char* usage = "image SET.fml -o DUMP.bin";
    // -o is the one single-dash option; "-o -" writes to stdout.
    QStringList rest;
    QString out;
    for (int i = 0; i < argv.size(); ++i) {
        if ((argv[i] == QLatin1String("-o") || argv[i] == QLatin1String("--output")) &&
            i + 1 < argv.size())
            out = argv[++i];
        else
            rest << argv[i];
    }
    int rc = kExitOk;
    const Args args(rest, {}, {});
    if (!ParseArgs(args, usage, 1, &rc))
        return rc;
    if (out.isEmpty())
        return Usage(usage);

    CliDoc set;
    if (!set.Open(args.positional()[0]))
        return kExitFailed;
    DoorbellImage image;
    BYTE format = 0;
    if (!BuildDoorbellImage(set.doc(), &image) ||
        !EncodeFormatByte(set.doc().GetMelodyCount(), &format)) {
        Err(MessageText(kMsgBellBadFormat));
        return kExitFailed;
    }
    // What a blank simulated doorbell holds once the set is written: block 0 the image, block 1
    // the format byte and the rest still blank.
    QByteArray dump(SimDoorbell::kMemoryBytes, char(0xFF));
    std::memcpy(dump.data(), image.data(), image.size());
    dump[256] = static_cast<char>(format);

    return WriteOutput(out, dump, true) ? kExitOk : kExitFailed;
}

int RunWrite(const QStringList& argv)
{
    static const char* usage =
        "write SET.fml [--port PORT] [--no-verify] [--trace FILE [--trace-times]]";
    // --verify stays accepted: reading back is what a write does now unless told not to.
    const Args args(argv, kPortOptions,
                    {QStringLiteral("verify"), QStringLiteral("no-verify"), kTraceTimes});
    int rc = kExitOk;
    if (!ParseArgs(args, usage, 1, &rc))
        return rc;
    CliDoc set;
    if (!set.Open(args.positional()[0]))
        return kExitFailed;
    PortConnection port(args);
    if (!port.ok())
        return kExitFailed;

    InterruptGuard interrupt;
    CalibrateDelays();
    SendResetPulse();
    const bool verify = !args.has(QStringLiteral("no-verify"));
    WriteSession session(set.doc(), verify);
    session.SetInterruptFlag(InterruptGuard::Flag());
    {
        ProgressBar bar(verify ? QCoreApplication::translate("tinkla-cli", "Запись и проверка")
                               : QCoreApplication::translate("tinkla-cli", "Запись"));
        bar.Attach(session);
        session.Tick();
    }
    if (session.State() == TransferState::Cancelled)
        return InterruptGuard::ExitStatus();
    if (session.State() != TransferState::Done) {
        Err(MessageText(session.Message() ? session.Message() : kMsgBellLink));
        for (const QString& line : session.Differences())
            Err(QStringLiteral("  ") + line);
        return kExitFailed;
    }
    if (!PortConnection::MemorySaved())
        return kExitFailed;
    if (verify)
        Err(QCoreApplication::translate("tinkla-cli",
                                        "Проверено: звонок хранит записанный набор."));
    return kExitOk;
}

int RunRead(const QStringList& argv)
{
    static const char* usage =
        "read OUT.fml|- [--force] [--port PORT] [--trace FILE [--trace-times]]";
    const Args args(argv, kPortOptions, {QStringLiteral("force"), kTraceTimes});
    int rc = kExitOk;
    if (!ParseArgs(args, usage, 1, &rc))
        return rc;
    const QString out = args.positional()[0];
    if (!args.has(QStringLiteral("force")) && RefuseToReplace(out))
        return kExitFailed;
    PortConnection port(args);
    if (!port.ok())
        return kExitFailed;

    InterruptGuard interrupt;
    CalibrateDelays();
    ReadSession session;
    if (!ReadDoorbell(session))
        return InterruptGuard::Caught() ? InterruptGuard::ExitStatus() : kExitFailed;
    CliDoc set;
    // A bad note byte leaves only part of the set: the file is not written then.
    if (const char* message = session.ApplyTo(set.doc())) {
        Err(QString::fromUtf8(message));
        return kExitFailed;
    }
    if (out != QLatin1String("-"))
        return set.Save(out) ? kExitOk : kExitFailed;
    Archive stored;
    set.doc().Serialize(stored);
    return WriteOutput(out, stored.Data(), true) ? kExitOk : kExitFailed;
}

int RunTest(const QStringList& argv)
{
    static const char* usage =
        "test [--port PORT] [--seconds S] [--speaker SINK] [--trace FILE [--trace-times]]";
    const Args args(argv,
                    {QStringLiteral("port"), QStringLiteral("trace"), QStringLiteral("seconds"),
                     QStringLiteral("speaker")},
                    {kTraceTimes});
    int rc = kExitOk;
    if (!ParseArgs(args, usage, 0, &rc))
        return rc;
    double seconds = 3.0;
    if (args.has(QStringLiteral("seconds"))) {
        bool ok = false;
        seconds = args.value(QStringLiteral("seconds")).toDouble(&ok);
        if (!ok || !(seconds >= 0.0 && seconds <= 600.0))
            return UsageError(QStringLiteral("--seconds takes 0..600, not '%1'")
                                  .arg(args.value(QStringLiteral("seconds"))));
    }
    PortConnection port(args);
    if (!port.ok())
        return kExitFailed;
    // The simulated doorbell plays its first melody through the speaker, as the editor's test
    // does, so the test is heard without hardware.
    SimPlayer player;
    if (SimDoorbell* sim = ConnectedSim()) {
        const SpeakerSetup speaker =
            SetupSpeaker(args.value(QStringLiteral("speaker"), SettingSpeaker()));
        if (!speaker.ok)
            Err(speaker.error);
        else if (!speaker.notice.isEmpty())
            Err(speaker.notice);
        player.Attach(sim);
    }

    // Ctrl+C ends the wait early; the reset pulse that stops the doorbell is still sent.
    InterruptGuard interrupt;

    CalibrateDelays();
    SendResetPulse();
    Err(QCoreApplication::translate("tinkla-cli", "Звонок должен играть мелодию..."));
    SendPlayPulse();
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!InterruptGuard::Caught() && std::chrono::steady_clock::now() < end) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    SendResetPulse();
    player.Attach(nullptr);
    if (ConnectedSim())
        ShutdownSpeaker();
    return kExitOk;
}

// The other end of exec:COMMAND: serves "o 378 38" / "i 379" lines from stdin with the chosen
// port until the input ends, so that any program (or another tinkla) can reach it.
int RunBridge(const QStringList& argv)
{
    static const char* usage = "bridge [--port PORT] [--trace FILE]";
    const Args args(argv, kPortOptions, {});
    int rc = kExitOk;
    if (!ParseArgs(args, usage, 0, &rc))
        return rc;
    PortConnection port(args);
    if (!port.ok())
        return kExitFailed;
    char line[kMaxBridgeLine + 2];
    while (std::fgets(line, sizeof line, stdin)) {
        size_t length = std::strlen(line);
        if (length == sizeof line - 1 && line[length - 1] != '\n') {
            int c;
            while ((c = std::fgetc(stdin)) != EOF && c != '\n') {
            }
            length = 0; // an over-long request is not understood
            line[0] = '?';
        }
        BridgeRequest request;
        if (!ParseBridgeRequest(std::string_view(line, length), &request)) {
            Err(QStringLiteral("tinkla-cli bridge: not understood: %1")
                    .arg(QString::fromLocal8Bit(line, int(length)).trimmed()));
            if (line[0] == 'i') { // the other side waits for an answer: a floating bus
                std::printf("ff\n");
                std::fflush(stdout);
            }
            continue;
        }
        if (request.write) {
            Outp(request.port, request.value);
        } else {
            std::printf("%02x\n", Inp(request.port));
            std::fflush(stdout);
        }
    }
    return PortConnection::MemorySaved() ? kExitOk : kExitFailed;
}

} // namespace

TINKLA_CLI_COMMAND("image", "image SET.fml -o DUMP.bin",
                   "write the 512 bytes a blank simulated doorbell holds once the set is written "
                   "(block 0 the image, block 1 the format byte, then 0xFF); -o - for stdout",
                   RunImage);
TINKLA_CLI_COMMAND("write",
                   "write SET.fml [--port PORT] [--no-verify] [--trace FILE [--trace-times]]",
                   "write the set into the doorbell, then read it back and name every differing "
                   "note (--no-verify: do not); --trace-times stamps each traced access with the "
                   "monotonic time in microseconds",
                   RunWrite);
TINKLA_CLI_COMMAND("read", "read OUT.fml|- [--force] [--port PORT] [--trace FILE [--trace-times]]",
                   "read the set from the doorbell into a new set file (- for stdout); an "
                   "existing OUT is replaced only with --force",
                   RunRead);
TINKLA_CLI_COMMAND(
    "test", "test [--port PORT] [--seconds S] [--speaker SINK] [--trace FILE [--trace-times]]",
    "reset pulse, play pulse, wait S seconds (default 3), reset pulse: the doorbell "
    "should play and stop",
    RunTest);
TINKLA_CLI_COMMAND("bridge", "bridge [--port PORT] [--trace FILE]",
                   "serve the port to another program over stdin/stdout in the exec: bridge "
                   "grammar (\"o 378 38\", \"i 379\" answered \"40\")",
                   RunBridge);

} // namespace tinkla::cli
