#include "bell/TransferSession.h"

#include "bell/BellMessages.h"
#include "bell/Transactions.h"
#include "document/TinklaDoc.h"
#include "platform/TinklaError.h"

namespace tinkla
{

void TransferSession::Step()
{
    ++m_nPosition;
    if (m_progress)
        m_progress(m_nPosition);
}

void TransferSession::Fail(const char* message)
{
    m_state = TransferState::Failed;
    m_pMessage = message;
}

void ReadSession::Tick()
{
    if (IsFinished())
        return;
    try {
        if (m_bFirstTick) {
            m_bFirstTick = false;
            ReadSetFormat(m_nMelodies, m_nNotes);
            Step();
            m_nReadIndex = 0;
            m_image[0] = ReadImageByte(TRANSFER_FIRST);
            m_bInRead = true;
            Step();
            return;
        }
        ++m_nReadIndex;
        if (m_nReadIndex == kImageBytes - 1) {
            m_bInRead = false;
            m_image[kImageBytes - 1] = ReadImageByte(TRANSFER_LAST);
            Step();
            m_state = TransferState::Done;
        } else {
            m_image[m_nReadIndex] = ReadImageByte(TRANSFER_NEXT);
            Step();
        }
    } catch (const TinklaError& e) {
        m_bInRead = false;
        Fail(e.text);
    }
}

const char* ReadSession::Cancel()
{
    if (IsFinished())
        return nullptr;
    m_state = TransferState::Cancelled;
    if (!m_bInRead)
        return nullptr;
    m_bInRead = false;
    try {
        ReadImageByte(TRANSFER_LAST);
    } catch (const TinklaError& e) {
        m_pMessage = e.text;
    }
    return m_pMessage;
}

const char* ReadSession::ApplyTo(CTinklaDoc& doc) const
{
    if (m_state != TransferState::Done)
        return nullptr;
    return ApplyDoorbellImage(doc, m_nMelodies, m_nNotes, m_image);
}

WriteSession::WriteSession(unsigned nMelodies, unsigned nNotes, const DoorbellImage& image)
    : m_image(image), m_nMelodies(nMelodies), m_nNotes(nNotes)
{
}

WriteSession::WriteSession(const CTinklaDoc& doc)
{
    if (!BuildDoorbellImage(doc, &m_image))
        return; // m_nMelodies 0: refused at the first tick
    m_nMelodies = doc.GetMelodyCount();
    m_nNotes = doc.GetNotesPerMelody();
}

void WriteSession::Tick()
{
    if (!m_bFirstTick || IsFinished())
        return;
    m_bFirstTick = false;
    try {
        if (FormatIndex(m_nMelodies, m_nNotes) < 0)
            ThrowMessage(kMsgBellBadFormat);
        WriteSetFormat(m_nMelodies);
        Step();
        WriteImageByte(m_image[0], TRANSFER_FIRST);
        Step();
        for (int i = 1; i < kImageBytes - 1; ++i) {
            WriteImageByte(m_image[i], TRANSFER_NEXT);
            Step();
        }
        WriteImageByte(m_image[kImageBytes - 1], TRANSFER_LAST);
        Step();
        SendResetPulse();
        SendResetPulse();
        m_state = TransferState::Done;
    } catch (const TinklaError& e) {
        Fail(e.text);
    }
}

} // namespace tinkla
