// tinkla-cli: the same core as the editor, from the command line.
#include "cli/Cli.h"

#include <QCoreApplication>
#include <QMap>
#include <cstdio>
#include <cstring>
#include <memory>
#ifdef TINKLA_HAVE_GUI
#include <QGuiApplication>
#endif

namespace tinkla::cli {

namespace {
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

void Err(const QString& text)
{
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
    std::fflush(stderr);
}

void Out(const QString& text)
{
    std::fprintf(stdout, "%s\n", text.toUtf8().constData());
}

int Usage(const char* usage)
{
    Err(QStringLiteral("usage: tinkla-cli %1").arg(QString::fromUtf8(usage)));
    return kExitUsage;
}

Args::Args(const QStringList& args, const QStringList& valueOptions, const QStringList& flags)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--")) {
            m_positional += args.mid(i + 1);
            break;
        }
        if (!a.startsWith(QLatin1String("--")) || a.size() == 2) {
            m_positional << a;
            continue;
        }
        QString name = a.mid(2);
        QString value;
        const int eq = name.indexOf(QLatin1Char('='));
        const bool inlineValue = eq >= 0;
        if (inlineValue) {
            value = name.mid(eq + 1);
            name = name.left(eq);
        }
        if (valueOptions.contains(name)) {
            if (!inlineValue) {
                if (i + 1 >= args.size()) {
                    m_ok = false;
                    m_error = QStringLiteral("option --%1 needs a value").arg(name);
                    return;
                }
                value = args[++i];
            }
            m_values[name] = value;
        } else if (flags.contains(name) && !inlineValue) {
            m_flags << name;
        } else {
            m_ok = false;
            m_error = QStringLiteral("unknown option --%1").arg(name);
            return;
        }
    }
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
        Out(QStringLiteral("  %1\n      %2").arg(QString::fromUtf8(c.usage),
                                                   QString::fromUtf8(c.summary)));
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
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return PrintHelp() == kExitOk ? kExitUsage : kExitUsage;
    const QString name = args.takeFirst();
    if (name == QLatin1String("--help") || name == QLatin1String("-h") ||
        name == QLatin1String("help"))
        return PrintHelp();
    for (const Command& c : Commands())
        if (name == QLatin1String(c.name))
            return c.run(args);
    Err(QStringLiteral("tinkla-cli: unknown command '%1' (see tinkla-cli --help)").arg(name));
    return kExitUsage;
}
