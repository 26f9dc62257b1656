#include "bell/CTransferDlg.h"

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
    session.SetProgressHandler([this](int position) { m_progress->setValue(position); });
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
