#include "ui/CTinklaApp.h"

#include "document/SetFormat.h"
#include "document/TinklaDoc.h"
#include "platform/SafeFile.h"
#include "platform/Translations.h"
#include "platform/Version.h"
#include "ui/CMainFrame.h"
#include "ui/CTinklaView.h"
#include "ui/Icons.h"
#include "ui/QtPrompter.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QtEndian>
#include <cstdio>

namespace tinkla
{

QString CTinklaApp::s_strPort;
QString CTinklaApp::s_strSpeaker;
QStringList CTinklaApp::s_files;

CTinklaApp::CTinklaApp() = default;

CTinklaApp::~CTinklaApp() = default;

void CTinklaApp::SetupApplication()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Korvel"));
    QCoreApplication::setApplicationName(QStringLiteral("Tinkla"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kTinklaVersion));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.Tinkla"));
    QApplication::setWindowIcon(ApplicationIcon());
    InstallUiLanguage(SystemUiLanguage());
}

bool CTinklaApp::ParseCommandLine(const QStringList& arguments, int* exitCode)
{
    QCommandLineParser parser;
    // Qt's own options are single-dash words ("-platform offscreen"): kept apart from -h and -v.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(tr("Редактор мелодий и программатор музыкального звонка."));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  tr("Показать эту справку."));
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")},
                                     tr("Показать версию программы."));
    const QCommandLineOption port(QStringLiteral("port"),
                                  tr("Порт звонка на этот запуск: sim[:ФАЙЛ], "
                                     "ppdev:/dev/parportN, direct:0x378 или "
                                     "exec:КОМАНДА."),
                                  QStringLiteral("PORT"));
    const QCommandLineOption speaker(QStringLiteral("speaker"),
                                     tr("Вывод звука на этот запуск: audio, pcspkr, "
                                        "ports, wav:ФАЙЛ или none."),
                                     QStringLiteral("SINK"));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(port);
    parser.addOption(speaker);
    // What QApplication takes for itself: known here, so that they are not called unknown before
    // the application has removed them.
    for (const char* name : {"platform", "platformpluginpath", "platformtheme", "plugin", "style",
                             "stylesheet", "qwindowgeometry", "qwindowicon", "qwindowtitle",
                             "geometry", "display", "session", "title", "name"}) {
        QCommandLineOption qtOption(QString::fromLatin1(name), QString(), QStringLiteral("V"));
        qtOption.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qtOption);
    }
    for (const char* name : {"reverse", "widgetcount", "sync", "nograb", "dograb"}) {
        QCommandLineOption qtOption(QString::fromLatin1(name));
        qtOption.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qtOption);
    }
    parser.addPositionalArgument(tr("файл"), tr("Набор мелодий (.fml), который открыть."),
                                 tr("[файл]"));
    if (!parser.parse(arguments)) {
        std::fprintf(stderr, "tinkla: %s\n\n%s", qPrintable(parser.errorText()),
                     qPrintable(parser.helpText()));
        *exitCode = 2;
        return false;
    }
    if (parser.isSet(help)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        *exitCode = std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
        return false;
    }
    if (parser.isSet(version)) {
        std::printf("Tinkla %s\n", kTinklaVersion);
        *exitCode = std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
        return false;
    }
    s_strPort = parser.value(port);
    s_strSpeaker = parser.value(speaker);
    s_files = parser.positionalArguments();
    return true;
}

bool CTinklaApp::InitInstance(const QStringList& arguments, int* exitCode)
{
    SetupApplication();
    if (!ParseCommandLine(arguments, exitCode))
        return false;

    m_pPrompter = std::make_unique<QtPrompter>();
    m_pDoc = std::make_unique<CTinklaDoc>(m_pPrompter.get());
    m_pDoc->OnNewDocument();
    m_pFrame = std::make_unique<CMainFrame>(m_pDoc.get());
    m_pPrompter->SetParent(m_pFrame.get());

    const QStringList files = s_files;
    if (!files.isEmpty()) {
        // A failure has been shown by then, and the start-up set stays: a bad file never ends
        // the program.
        const QString& path = files.constFirst();
        if (path.endsWith(QLatin1String(".mel"), Qt::CaseInsensitive))
            OpenMelodyFile(path);
        else
            m_pFrame->OpenFile(path);
    }

    m_pFrame->show();
    QTimer::singleShot(0, m_pFrame.get(), &CMainFrame::StartupDoorbell);
    return true;
}

void CTinklaApp::OpenMelodyFile(const QString& path)
{
    // The desktop opens melody files with the editor too: the melody becomes melody 1 of the
    // start-up set, in the format with the most melodies that still has room for it.
    QString error; // the load below says it
    const QByteArray head = ReadRegularFile(path, 4, &error);
    if (head.size() >= 4) {
        const quint32 count = qFromLittleEndian<quint32>(head.constData());
        for (const SetFormat& format : kSetFormats) {
            if (count <= format.notes) {
                if (format.notes > m_pDoc->GetNotesPerMelody())
                    m_pDoc->ReplaceSet(format.melodies, format.notes, {});
                break;
            }
        }
    }
    m_pDoc->LoadMelodyFile(path); // says itself why a file is refused
    m_pFrame->GetView()->OnInitialUpdate();
}

} // namespace tinkla
