#pragma once
// What the read-set and write-set progress dialogs share: a progress bar of kTransferSteps steps
// and a 1 ms timer that starts, after a fresh calibration of the bus delays, once the dialog is
// on the screen. The transfer itself is a core session (bell/TransferSession.h) the subclass
// drives from OnTimer.
#include "bell/TransferSession.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

class QProgressBar;

namespace tinkla
{

// Period of the transfer timer (ms); one image byte per tick for the read.
constexpr int TRANSFER_TICK_MS = 1;

class CTransferDlg : public QDialog
{
    Q_OBJECT
public:
    QProgressBar* Progress() const { return m_progress; }
    bool IsTimerRunning() const { return m_timer.isActive(); }

    // One timer tick; public so that tests step the transfer tick by tick.
    virtual void OnTimer() = 0;

protected:
    // closeBox: whether the title bar offers the close box.
    CTransferDlg(const QString& title, bool closeBox, QWidget* parent);
    // The bar follows the session's steps (its range is the session's), repainting at once every
    // few milliseconds, so it shows progress also while a tick keeps the event loop waiting.
    void Follow(TransferSession& session);
    // False for the first ticks after showing while the window is not yet on the screen (at
    // most kExposeWaitMs): a transfer finished before its window appears shows the user nothing.
    bool ReadyToTick() const;
    void StopTimer() { m_timer.stop(); }

    void showEvent(QShowEvent* event) override;

private:
    static constexpr int kExposeWaitMs = 250;
    static constexpr int kRepaintEveryMs = 10;

    QProgressBar* m_progress;
    QTimer m_timer;
    QElapsedTimer m_sinceShown;
    QElapsedTimer m_sinceRepaint;
    bool m_bStarted = false;
};

} // namespace tinkla
