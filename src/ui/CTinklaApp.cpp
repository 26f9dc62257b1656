#include "ui/CTinklaApp.h"

#include "document/SetFormat.h"
#include "document/TinklaDoc.h"
#include "ui/CMainFrame.h"
#include "ui/CTinklaView.h"
#include "ui/Icons.h"
#include "ui/QtPrompter.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QtEndian>
#include <cstdio>

namespace tinkla {

QString CTinklaApp::s_strPort;
QString CTinklaApp::s_strSpeaker;

CTinklaApp::CTinklaApp() = default;

CTinklaApp::~CTinklaApp() = default;

void CTinklaApp::SetupApplication()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Korvel"));
    QCoreApplication::setApplicationName(QStringLiteral("Tinkla"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));
    QGuiApplication::setDesktopFileName(QStringLiteral("tinkla"));
    QApplication::setWindowIcon(ApplicationIcon());
    // The program speaks Russian whatever the desktop's language: so do Qt's own buttons, file
    // dialogs and context menus.
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    QLocale::setDefault(russian);
    if (m_qtTranslator.load(russian, QStringLiteral("qtbase"), QStringLiteral("_"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&m_qtTranslator);
}

bool CTinklaApp::InitInstance(const QStringList& arguments, int* exitCode)
{
    SetupApplication();

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Редактор мелодий и программатор музыкального звонка."));
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Показать эту справку."));
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Показать версию программы."));
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("Порт звонка на этот запуск: sim[:ФАЙЛ], "
                                                 "ppdev:/dev/parportN, direct:0x378 или "
                                                 "exec:КОМАНДА."),
                                  QStringLiteral("PORT"));
    const QCommandLineOption speaker(QStringLiteral("speaker"),
                                     QStringLiteral("Вывод звука на этот запуск: audio, pcspkr, "
                                                    "ports, wav:ФАЙЛ или none."),
                                     QStringLiteral("SINK"));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(port);
    parser.addOption(speaker);
    parser.addPositionalArgument(QStringLiteral("файл"),
                                 QStringLiteral("Набор мелодий (.fml), который открыть."),
                                 QStringLiteral("[файл]"));
    if (!parser.parse(arguments)) {
        std::fprintf(stderr, "%s\n", qPrintable(parser.errorText()));
        *exitCode = 2;
        return false;
    }
    if (parser.isSet(help)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        *exitCode = 0;
        return false;
    }
    if (parser.isSet(version)) {
        std::printf("Tinkla %s\n", qPrintable(QCoreApplication::applicationVersion()));
        *exitCode = 0;
        return false;
    }
    s_strPort = parser.value(port);
    s_strSpeaker = parser.value(speaker);

    m_pPrompter = std::make_unique<QtPrompter>();
    m_pDoc = std::make_unique<CTinklaDoc>(m_pPrompter.get());
    m_pDoc->OnNewDocument();
    m_pFrame = std::make_unique<CMainFrame>(m_pDoc.get());
    m_pPrompter->SetParent(m_pFrame.get());

    const QStringList files = parser.positionalArguments();
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
    QFile file(path);
    QByteArray head;
    if (file.open(QIODevice::ReadOnly))
        head = file.read(4);
    if (head.size() == 4) {
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
