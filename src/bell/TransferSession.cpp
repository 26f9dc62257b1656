#include "bell/TransferSession.h"

#include "bell/BellMessages.h"
#include "bell/Transactions.h"
#include "document/TinklaDoc.h"
#include "platform/TinklaError.h"

namespace tinkla
{

namespace
{

// Ends a sequential read the doorbell is inside of: a byte without acknowledge, and a stop.
void CloseRead()
{
    ReadImageByte(TRANSFER_LAST);
}

// The same after a failure, tried once: the user has been kept waiting for the fault already,
// and a doorbell that does not answer now is found by the next transfer's recovery.
void CloseReadAfterFailure()
{
    BusSingleAttempt once;
    try {
        CloseRead();
    } catch (const TinklaError&) {
    }
}

} // namespace

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
    if (Interrupted()) {
        Cancel();
        return;
    }
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
            ConfirmDevicePresent();
            m_state = TransferState::Done;
        } else {
            m_image[m_nReadIndex] = ReadImageByte(TRANSFER_NEXT);
            Step();
        }
    } catch (const TinklaError& e) {
        if (m_bInRead) {
            m_bInRead = false;
            CloseReadAfterFailure();
        }
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
        CloseRead();
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

WriteSession::WriteSession(unsigned nMelodies, unsigned nNotes, const DoorbellImage& image,
                           bool verify)
    : m_image(image), m_nMelodies(nMelodies), m_nNotes(nNotes), m_bVerify(verify)
{
    m_nSteps = verify ? 2 * kTransferSteps : kTransferSteps;
}

WriteSession::WriteSession(const CTinklaDoc& doc, bool verify) : m_bVerify(verify)
{
    m_nSteps = verify ? 2 * kTransferSteps : kTransferSteps;
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
        if (!WriteImage() || (m_bVerify && !Verify())) {
            m_state = TransferState::Cancelled;
            return;
        }
        // Differing contents are no fault of the link: the doorbell still gets its resets.
        SendResetPulse();
        SendResetPulse();
        if (m_differences.isEmpty())
            m_state = TransferState::Done;
        else
            Fail(kMsgBellVerify);
    } catch (const TinklaError& e) {
        Fail(e.text);
    }
}

// The format byte and the image, the last page stored. False when interrupted: the page under
// way is closed with a stop and the doorbell stores what it holds of it.
bool WriteSession::WriteImage()
{
    WriteSetFormat(m_nMelodies);
    Step();
    for (int i = 0; i < kImageBytes; ++i) {
        if (Interrupted() && i > 0) {
            BusStop();
            return false;
        }
        WriteImageByte(m_image[i], i == 0                 ? TRANSFER_FIRST
                                   : i == kImageBytes - 1 ? TRANSFER_LAST
                                                          : TRANSFER_NEXT);
        Step();
    }
    return true;
}

// Reads everything back into Differences(). False when interrupted.
bool WriteSession::Verify()
{
    const BYTE format = ReadFormatByte();
    Step();
    DoorbellImage back{};
    if (!ReadImage(&back))
        return false;
    unsigned melodies = 0;
    unsigned notes = 0;
    if (!DecodeFormatByte(format, &melodies, &notes))
        melodies = notes = 0;
    m_differences = DescribeImageDifferences(m_nMelodies, m_nNotes, m_image, melodies, notes, back);
    return true;
}

// The whole image in one sequential read, a step a byte, then ConfirmDevicePresent. However it
// ends, the doorbell is left outside the read. False when interrupted.
bool WriteSession::ReadImage(DoorbellImage* image)
{
    bool inRead = false;
    try {
        (*image)[0] = ReadImageByte(TRANSFER_FIRST);
        inRead = true;
        Step();
        for (int i = 1; i < kImageBytes - 1; ++i) {
            if (Interrupted()) {
                inRead = false;
                CloseRead();
                return false;
            }
            (*image)[i] = ReadImageByte(TRANSFER_NEXT);
            Step();
        }
        inRead = false;
        (*image)[kImageBytes - 1] = ReadImageByte(TRANSFER_LAST);
        Step();
    } catch (const TinklaError&) {
        if (inRead)
            CloseReadAfterFailure();
        throw;
    }
    ConfirmDevicePresent();
    return true;
}

} // namespace tinkla
