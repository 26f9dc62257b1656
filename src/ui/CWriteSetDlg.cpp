#include "ui/CWriteSetDlg.h"

namespace tinkla
{

namespace
{
const QString Title()
{
    return CWriteSetDlg::tr("Запись мелодий в звонок");
}
} // namespace

CWriteSetDlg::CWriteSetDlg(const CTinklaDoc& doc, bool verify, QWidget* parent)
    : CTransferDlg(Title(), false, parent), m_session(doc, verify)
{
    Follow(m_session);
}

CWriteSetDlg::CWriteSetDlg(unsigned nMelodies, unsigned nNotes, const DoorbellImage& image,
                           bool verify, QWidget* parent)
    : CTransferDlg(Title(), false, parent), m_session(nMelodies, nNotes, image, verify)
{
    Follow(m_session);
}

void CWriteSetDlg::OnTimer()
{
    if (m_session.IsFinished() || !ReadyToTick())
        return;
    StopTimer();
    m_session.Tick();
    if (m_session.State() == TransferState::Done)
        accept();
    else
        CTransferDlg::reject();
}

void CWriteSetDlg::reject()
{
    if (m_session.IsFinished())
        CTransferDlg::reject();
}

} // namespace tinkla
