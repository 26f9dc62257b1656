#include "ui/CReadSetDlg.h"

namespace tinkla
{

CReadSetDlg::CReadSetDlg(QWidget* parent)
    : CTransferDlg(tr("Чтение мелодий из звонка"), true, parent)
{
    Follow(m_session);
}

void CReadSetDlg::GetFormat(unsigned* nMelodies, unsigned* nNotes) const
{
    *nMelodies = m_session.GetMelodies();
    *nNotes = m_session.GetNotes();
}

void CReadSetDlg::OnTimer()
{
    if (m_session.IsFinished() || !ReadyToTick())
        return;
    m_session.Tick();
    if (!m_session.IsFinished())
        return;
    StopTimer();
    // A failure has already closed the read on the bus.
    if (m_session.State() == TransferState::Done)
        accept();
    else
        reject();
}

void CReadSetDlg::done(int result)
{
    StopTimer();
    if (!m_session.IsFinished())
        m_session.Cancel(); // its failure, if any, stays in Failure()
    CTransferDlg::done(result);
}

} // namespace tinkla
