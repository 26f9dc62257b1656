#pragma once
// "О программе "Tinkla"": the application icon, the version and what the program is for.
#include <QDialog>

namespace tinkla
{

class CAboutDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

} // namespace tinkla
