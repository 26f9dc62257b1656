#include "bell/CReadSetDlg.h"

#include "bell/Transactions.h"
#include "platform/TinklaError.h"

namespace tinkla
{

namespace
{
// Progress after the format byte and image byte 0: from here on the doorbell is inside its
// sequential read until a byte without acknowledge and a stop end it.
constexpr int kInImageRead = 2;
} // namespace

CReadSetDlg::CReadSetDlg(QWidget* parent)
    : CTransferDlg(QStringLiteral("Чтение мелодий из звонка"), true, parent)
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
    if (m_session.State() == TransferState::Done) {
        accept();
        return;
    }
    FreeBus();
    reject();
}

void CReadSetDlg::FreeBus()
{
    if (m_session.Position() < kInImageRead)
        return; // the format byte read ends with its own stop; no read was begun
    try {
        ReadImageByte(TRANSFER_LAST);
    } catch (const TinklaError&) {
        // The failure the user is told about has already happened; this one adds nothing.
    }
}

void CReadSetDlg::done(int result)
{
    StopTimer();
    if (!m_session.IsFinished())
        m_session.Cancel(); // its failure, if any, stays in Failure()
    CTransferDlg::done(result);
}

} // namespace tinkla
