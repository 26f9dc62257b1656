#pragma once
// "Запись мелодий в звонок": writes the format byte and the whole image in its first 1 ms tick,
// reads it all back to compare (the second half of the bar) unless told not to, then sends two
// reset pulses. The bar repaints as it goes, though the tick keeps the event loop waiting. It
// cannot be cancelled: a write stopped half way would leave the doorbell with a set nobody chose,
// so the dialog has no close box and ignores Esc.
#include "ui/CTransferDlg.h"

namespace tinkla
{

class CTinklaDoc;

class CWriteSetDlg : public CTransferDlg
{
    Q_OBJECT
public:
    // The document's set; only read, now (the image is built here).
    explicit CWriteSetDlg(const CTinklaDoc& doc, bool verify = true, QWidget* parent = nullptr);
    // An image of M melodies of N notes.
    CWriteSetDlg(unsigned nMelodies, unsigned nNotes, const DoorbellImage& image,
                 bool verify = true, QWidget* parent = nullptr);

    const DoorbellImage& GetImage() const { return m_session.GetImage(); }
    // Why the write failed (the doorbell then holds what was written before), or nullptr.
    const char* Failure() const { return m_session.Message(); }
    // With a failed check after the write: what the doorbell holds that differs.
    const QStringList& Differences() const { return m_session.Differences(); }
    TransferState State() const { return m_session.State(); }
    bool IsFinished() const { return m_session.IsFinished(); }

    void OnTimer() override;

public slots:
    void reject() override; // ignored until the write has ended

private:
    WriteSession m_session;
};

} // namespace tinkla
