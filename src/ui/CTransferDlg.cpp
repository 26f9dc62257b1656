#include "ui/CTransferDlg.h"

#include "bell/Bus.h"

#include <QProgressBar>
#include <QShowEvent>
#include <QVBoxLayout>
#include <QWindow>

namespace tinkla
{

CTransferDlg::CTransferDlg(const QString& title, bool closeBox, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          (closeBox ? Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                                    : Qt::WindowFlags())),
      m_progress(new QProgressBar(this))
{
    setWindowTitle(title);
    m_progress->setRange(0, kTransferSteps);
    m_progress->setValue(0);
    m_progress->setMinimumWidth(fontMetrics().averageCharWidth() * 48);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_progress);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(TRANSFER_TICK_MS);
    connect(&m_timer, &QTimer::timeout, this, [this] { OnTimer(); });
}

void CTransferDlg::Follow(TransferSession& session)
{
    m_progress->setRange(0, session.Steps());
    session.SetProgressHandler([this, steps = session.Steps()](int position) {
        // The bar repaints at once on every visible change, which costs more than a byte on the
        // bus and would hold the read's 1 ms ticks back: one repaint in kRepaintEveryMs at most,
        // and always the last step.
        if (position < steps && m_sinceRepaint.isValid() &&
            !m_sinceRepaint.hasExpired(kRepaintEveryMs))
            return;
        m_sinceRepaint.start();
        m_progress->setValue(position);
    });
}

void CTransferDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous() || m_bStarted)
        return;
    m_bStarted = true;
    // Measured afresh for every transfer: the machine's load may have changed since start-up.
    CalibrateDelays();
    m_sinceShown.start();
    m_timer.start();
}

bool CTransferDlg::ReadyToTick() const
{
    const QWindow* window = windowHandle();
    return (window && window->isExposed()) || !m_sinceShown.isValid() ||
           m_sinceShown.hasExpired(kExposeWaitMs);
}

} // namespace tinkla
