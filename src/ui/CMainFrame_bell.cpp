// The doorbell commands of the main window. Until the doorbell link is wired in, each command
// only says in the status bar that it is not available in this build.
#include "ui/CMainFrame.h"

#include <QStatusBar>

namespace tinkla {

namespace {
constexpr int kNoticeMs = 4000;
}

void CMainFrame::StartupDoorbell() {}

void CMainFrame::OnBellRead()
{
    statusBar()->showMessage(QStringLiteral("Чтение набора из звонка пока недоступно."), kNoticeMs);
}

void CMainFrame::OnBellWrite()
{
    statusBar()->showMessage(QStringLiteral("Запись набора в звонок пока недоступна."), kNoticeMs);
}

void CMainFrame::OnBellTest()
{
    statusBar()->showMessage(QStringLiteral("Тест звонка пока недоступен."), kNoticeMs);
}

void CMainFrame::OnBellPort()
{
    statusBar()->showMessage(QStringLiteral("Выбор порта звонка пока недоступен."), kNoticeMs);
}

} // namespace tinkla
