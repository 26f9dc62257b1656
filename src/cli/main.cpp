// tinkla-cli: the same core as the editor, from the command line.
#include "cli/Cli.h"
#include "model/Messages.h"
#include "platform/SafeFile.h"
#include "platform/Translations.h"
#include "platform/Version.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMap>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <unistd.h>
#ifdef TINKLA_HAVE_GUI
#include <QGuiApplication>
#endif

namespace tinkla::cli
{

namespace
{
std::vector<Command>& Registry()
{
    static std::vector<Command> commands;
    return commands;
}
} // namespace

bool RegisterCommand(Command command)
{
    Registry().push_back(std::move(command));
    return true;
}

const std::vector<Command>& Commands()
{
    return Registry();
}

const Command* g_pRunning = nullptr; // the command being run, for its usage line

void Err(const QString& text)
{
    static const QString prefix = QStringLiteral("tinkla-cli");
    const QString line =
        text.startsWith(prefix) || text.startsWith(QLatin1Char(' ')) ? text : prefix + ": " + text;
    std::fprintf(stderr, "%s\n", line.toUtf8().constData());
    std::fflush(stderr);
}

void Out(const QString& text)
{
    std::fprintf(stdout, "%s\n", text.toUtf8().constData());
}

int Usage(const char* usage)
{
    std::fprintf(stderr, "usage: tinkla-cli %s\n", usage);
    return kExitUsage;
}

int UsageError(const QString& text)
{
    Err(text);
    return g_pRunning ? Usage(g_pRunning->usage) : kExitUsage;
}

namespace
{
constexpr int kInterruptSignals[] = {SIGINT, SIGTERM, SIGHUP};
volatile std::sig_atomic_t g_nSignal = 0;
} // namespace

InterruptGuard::InterruptGuard()
{
    g_nSignal = 0;
    struct sigaction action = {};
    action.sa_handler = [](int signal) { g_nSignal = signal; };
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < kCount; ++i)
        sigaction(kInterruptSignals[i], &action, &m_old[i]);
}

InterruptGuard::~InterruptGuard()
{
    for (int i = 0; i < kCount; ++i)
        sigaction(kInterruptSignals[i], &m_old[i], nullptr);
}

const volatile std::sig_atomic_t* InterruptGuard::Flag()
{
    return &g_nSignal;
}

Args::Args(const QStringList& args, const QStringList& valueOptions, const QStringList& flags)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--")) {
            m_positional += args.mid(i + 1);
            break;
        }
        bool number = false;
        a.toInt(&number); // "-5": a transposition, not an option
        if (!a.startsWith(QLatin1Char('-')) || a == QLatin1String("-") || number) {
            m_positional << a;
            continue;
        }
        if (a == QLatin1String("-h") || a == QLatin1String("--help")) {
            if (g_pRunning)
                std::printf("usage: tinkla-cli %s\n    %s\n", g_pRunning->usage,
                            g_pRunning->summary);
            throw EarlyExit{kExitOk};
        }
        const bool longForm = a.startsWith(QLatin1String("--"));
        QString name = a.mid(longForm ? 2 : 1);
        QString value;
        const int eq = longForm ? name.indexOf(QLatin1Char('=')) : -1;
        const bool inlineValue = eq >= 0;
        if (inlineValue) {
            value = name.mid(eq + 1);
            name = name.left(eq);
        }
        // One dash, one letter; a longer word after one dash is a mistake, not a bundle.
        const bool known = longForm ? name.size() > 1 : name.size() == 1;
        if (known && valueOptions.contains(name)) {
            if (!inlineValue) {
                if (i + 1 >= args.size())
                    throw EarlyExit{UsageError(QStringLiteral("option %1 needs a value").arg(a))};
                value = args[++i];
            }
            m_values[name] = value;
        } else if (known && flags.contains(name) && !inlineValue) {
            m_flags << name;
        } else {
            throw EarlyExit{UsageError(QStringLiteral("unknown option %1").arg(a))};
        }
    }
}

bool WriteOutput(const QString& path, const QByteArray& bytes, bool binary)
{
    if (path == QLatin1String("-")) {
        if (binary && ::isatty(STDOUT_FILENO)) {
            Err(QStringLiteral("not writing binary data to a terminal; use -o FILE"));
            return false;
        }
        // The exit status reports a failed stdout (main checks it at the end).
        std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
        return true;
    }
    QString error;
    if (SaveFileSafely(path, bytes, &error))
        return true;
    Err(MessageText(kMsgCannotSave).arg(path, error));
    return false;
}

bool RefuseToReplace(const QString& path)
{
    const QFileInfo info(path);
    if (path == QLatin1String("-") || (!info.exists() && !info.isSymLink()))
        return false;
    Err(QStringLiteral("%1 already exists; --force replaces it").arg(path));
    return true;
}

Answer CliPrompter::MessageBox(const QString& text, unsigned type)
{
    ++messages;
    Err(text);
    if ((type & 0xF) == MB_YESNOCANCEL || (type & 0xF) == MB_YESNO)
        return questionAnswer;
    return IDOK;
}

QString CliPrompter::FileDialog(const FileDialogRequest&)
{
    QString path = nextFile;
    nextFile.clear();
    return path;
}

bool CliPrompter::AskSetFormat(int*)
{
    return false;
}

bool CliPrompter::AskMelodyTitle(QString*)
{
    return false;
}

int PrintHelp()
{
    Out(QStringLiteral("usage: tinkla-cli COMMAND [ARGS...]\n\nCommands:"));
    for (const Command& c : Commands())
        Out(QStringLiteral("  %1\n      %2")
                .arg(QString::fromUtf8(c.usage), QString::fromUtf8(c.summary)));
    Out(QStringLiteral(
        "\nPORT (default: the remembered port, else sim):\n"
        "  sim[:FILE][,OPT...]    the simulated doorbell, its memory kept in FILE\n"
        "  ppdev[:/dev/parportN]  the parallel port through Linux ppdev\n"
        "  direct[:0x378]         direct port I/O (x86, root)\n"
        "  exec:COMMAND           a bridge program (\"o 378 38\", \"i 379\" answered \"40\")\n"
        "Faults the simulated doorbell can show (OPT):\n"
        "  absent     nothing acknowledges          sda-low, scl-low   a line stuck low\n"
        "  busy       a store never ends            wp                 write-protected: "
        "acknowledges, stores nothing\n"
        "  midread    left inside a read, holding the data line low until clocked out\n"
        "  stretch=MS holds the clock low in every byte      twr=MS   store time (default 5)\n"
        "  release=US lets go of its acknowledge this late   after=N  the faults begin after N "
        "bus bytes\n"
        "  e.g. sim,absent,after=100 (gone during a read), sim,busy,after=315 (the last page is "
        "never stored)"));
    Out(QStringLiteral("\nExit status: 0 success, 1 refused or failed, 2 usage; 128 + N after "
                       "signal N (the doorbell's bus is left free)."));
    return kExitOk;
}

} // namespace tinkla::cli

int main(int argc, char** argv)
{
    using namespace tinkla;
    using namespace tinkla::cli;
    std::unique_ptr<QCoreApplication> application;
#ifdef TINKLA_HAVE_GUI
    // Drawing text into an image needs a GUI application; without a display it runs offscreen.
    if (argc > 1 && std::strcmp(argv[1], "png") == 0) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        application = std::make_unique<QGuiApplication>(argc, argv);
    }
#endif
    if (!application)
        application = std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication& app = *application;
    QCoreApplication::setOrganizationName(QStringLiteral("Korvel"));
    QCoreApplication::setApplicationName(QStringLiteral("Tinkla"));
    InstallUiLanguage(SystemUiLanguage());
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        PrintHelp();
        return kExitUsage;
    }
    const QString name = args.takeFirst();
    int status = kExitUsage;
    if (name == QLatin1String("--help") || name == QLatin1String("-h") ||
        name == QLatin1String("help")) {
        status = PrintHelp();
    } else if (name == QLatin1String("--version")) {
        Out(QStringLiteral("tinkla-cli %1").arg(QString::fromLatin1(kTinklaVersion)));
        status = kExitOk;
    } else {
        for (const Command& c : Commands())
            if (name == QLatin1String(c.name))
                g_pRunning = &c;
        if (!g_pRunning) {
            Err(QStringLiteral("unknown command '%1' (see tinkla-cli --help)").arg(name));
            return Usage("COMMAND [ARGS...]");
        }
        try {
            status = g_pRunning->run(args);
        } catch (const EarlyExit& e) {
            status = e.status;
        }
    }
    // Output that never arrived (a full disk, a closed pipe) is a failure like any other.
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        Err(QCoreApplication::translate("tinkla-cli", "не удалось вывести результат: %1")
                .arg(SystemErrorText(errno ? errno : EIO, true)));
        return status == kExitOk ? kExitFailed : status;
    }
    return status;
}
