// The doorbell commands of the main window; the work is done by BellCommands, created with the
// first of them and kept as a child of the frame.
#include "ui/BellCommands.h"
#include "ui/CMainFrame.h"

namespace tinkla
{

namespace
{
BellCommands& Bell(CMainFrame* frame, QObject*& link)
{
    if (!link)
        link = new BellCommands(frame);
    return *static_cast<BellCommands*>(link);
}
} // namespace

void CMainFrame::StartupDoorbell()
{
    Bell(this, m_pBell).Startup();
}

void CMainFrame::OnBellRead()
{
    Bell(this, m_pBell).Read();
}

void CMainFrame::OnBellWrite()
{
    Bell(this, m_pBell).Write();
}

void CMainFrame::OnBellTest()
{
    Bell(this, m_pBell).Test();
}

void CMainFrame::OnBellPort()
{
    Bell(this, m_pBell).Port();
}

void CMainFrame::OnSoundOutput()
{
    Bell(this, m_pBell).Sound();
}

} // namespace tinkla
