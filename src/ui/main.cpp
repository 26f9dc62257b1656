// The Tinkla editor.
#include "ui/CTinklaApp.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    tinkla::CTinklaApp theApp;
    int exitCode = 0;
    if (!theApp.InitInstance(QApplication::arguments(), &exitCode))
        return exitCode;
    return QApplication::exec();
}
