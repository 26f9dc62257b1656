// The Tinkla editor.
#include "platform/Translations.h"
#include "ui/CTinklaApp.h"

#include <QApplication>

int main(int argc, char** argv)
{
    int exitCode = 0;
    {
        // The command line is read before the window system is reached: --help, --version and a
        // mistyped option answer without a display.
        QCoreApplication reader(argc, argv);
        tinkla::InstallUiLanguage(tinkla::SystemUiLanguage());
        if (!tinkla::CTinklaApp::ParseCommandLine(QCoreApplication::arguments(), &exitCode))
            return exitCode;
    }
    QApplication app(argc, argv);
    tinkla::CTinklaApp theApp;
    if (!theApp.InitInstance(QApplication::arguments(), &exitCode))
        return exitCode;
    return QApplication::exec();
}
