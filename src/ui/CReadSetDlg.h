#pragma once
// "Чтение мелодий из звонка": reads the format byte and the 256-byte image, one image byte per
// 1 ms tick, so the dialog paints and can be cancelled between bytes. Accepted once all 256
// bytes are in; rejected on a failure or when the user ends it (Esc, the close box).
//
// However the dialog ends early, the bus is left free: a sequential read under way is closed on
// the wire with a byte without acknowledge and a stop, so the doorbell releases the data line
// and the next transfer finds it ready.
#include "ui/CTransferDlg.h"

namespace tinkla
{

class CTinklaDoc;

class CReadSetDlg : public CTransferDlg
{
    Q_OBJECT
public:
    explicit CReadSetDlg(QWidget* parent = nullptr);

    // Valid once the dialog was accepted: M and N, and image bytes 0..255.
    void GetFormat(unsigned* nMelodies, unsigned* nNotes) const;
    BYTE GetByte(int index) const { return m_session.GetImage().at(index); }
    // Replaces the document's set with the one read (melody 1 current; modified flag and path
    // untouched). nullptr, or the bad contents message when a note byte was bad: the set then
    // holds what came before it. Does nothing unless the dialog was accepted.
    const char* ApplyTo(CTinklaDoc& doc) const { return m_session.ApplyTo(doc); }

    // Why the read did not finish: the failure of a tick, or of closing the read when the user
    // ended it; nullptr when it finished or the user ended it cleanly.
    const char* Failure() const { return m_session.Message(); }
    TransferState State() const { return m_session.State(); }
    bool IsFinished() const { return m_session.IsFinished(); }

    void OnTimer() override;

public slots:
    // Every end of the dialog passes here; an unfinished read is closed on the bus first.
    void done(int result) override;

private:
    ReadSession m_session;
};

} // namespace tinkla
