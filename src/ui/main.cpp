// The Tinkla editor.
#include "ui/CTinklaApp.h"

#include <QApplication>
#include <QTranslator>

int main(int argc, char** argv)
{
    int exitCode = 0;
    {
        // The command line is read before the window system is reached: --help, --version and a
        // mistyped option answer without a display.
        QCoreApplication reader(argc, argv);
        QTranslator qtTexts;
        tinkla::CTinklaApp::InstallRussianQtTexts(&qtTexts);
        if (!tinkla::CTinklaApp::ParseCommandLine(QCoreApplication::arguments(), &exitCode))
            return exitCode;
    }
    QApplication app(argc, argv);
    tinkla::CTinklaApp theApp;
    if (!theApp.InitInstance(QApplication::arguments(), &exitCode))
        return exitCode;
    return QApplication::exec();
}
