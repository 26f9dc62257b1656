#pragma once
// The logic of the read-set and write-set progress dialogs, one timer tick at a time, so that a
// Qt dialog drives it with a 1 ms QTimer and tests drive it tick by tick.
//
// What the dialog around a session does:
//   command:        SendResetPulse(), then show the dialog
//   when shown:     CalibrateDelays(), start the 1 ms timer
//   every tick:     session.Tick(); once IsFinished(), stop the timer and end the dialog
//   close / Escape: (read only) session.Cancel(), show its message if it returns one
//   afterwards:     Failed -> show Message() with the stop icon; read Done -> ApplyTo(doc),
//                   showing its message if it returns one.
// The progress handler gets the bar's new position (1..Steps()) after every step.
#include "bell/DoorbellImage.h"

#include <csignal>
#include <functional>

namespace tinkla
{

class CTinklaDoc;

constexpr int kTransferSteps = 257; // the format byte and 256 image bytes

enum class TransferState {
    Running,   // more ticks to come
    Done,      // every byte moved
    Failed,    // Message() says why; nothing more happens on the bus
    Cancelled, // the user ended it; the document must stay as it was
};

class TransferSession
{
public:
    using ProgressHandler = std::function<void(int position)>;
    void SetProgressHandler(ProgressHandler handler) { m_progress = std::move(handler); }
    // A flag a signal handler sets (not owned): once it is non-zero the session ends as
    // Cancelled at the next byte, leaving the bus free, as Cancel does.
    void SetInterruptFlag(const volatile std::sig_atomic_t* flag) { m_pInterrupt = flag; }

    TransferState State() const { return m_state; }
    bool IsFinished() const { return m_state != TransferState::Running; }
    // The failure text (UTF-8, one of the program's messages: shown through MessageText()), or
    // nullptr.
    const char* Message() const { return m_pMessage; }
    int Position() const { return m_nPosition; } // 0..Steps()
    int Steps() const { return m_nSteps; }

protected:
    void Step();
    void Fail(const char* message);
    bool Interrupted() const { return m_pInterrupt && *m_pInterrupt != 0; }

    TransferState m_state = TransferState::Running;
    const char* m_pMessage = nullptr;
    bool m_bFirstTick = true;
    int m_nSteps = kTransferSteps;

private:
    ProgressHandler m_progress;
    const volatile std::sig_atomic_t* m_pInterrupt = nullptr;
    int m_nPosition = 0;
};

// Reads the format byte and the image: the first tick reads the format byte and image byte 0,
// each later tick one more byte, the 256th tick byte 255 and makes sure the doorbell is still
// there to have sent it (256 ticks in all).
class ReadSession : public TransferSession
{
public:
    // Never throws: a failure (link or bad format byte) ends the session as Failed; a read under
    // way is then closed with one quick attempt, never another wait for the same fault.
    void Tick();
    // Ends the session as Cancelled. A read under way on the bus is closed as the close box
    // does: one more byte without acknowledge and a stop, so the doorbell releases the data line
    // and the next transfer finds the bus free. Returns that closing step's failure text, if
    // any (also kept in Message()); nullptr otherwise or when the session was already over.
    const char* Cancel();

    // Valid once Done.
    unsigned GetMelodies() const { return m_nMelodies; }
    unsigned GetNotes() const { return m_nNotes; }
    const DoorbellImage& GetImage() const { return m_image; }
    // Replaces the document's set with the one read (see ApplyDoorbellImage); nullptr or the bad
    // contents message. Does nothing and returns nullptr unless the session is Done.
    const char* ApplyTo(CTinklaDoc& doc) const;

private:
    DoorbellImage m_image{};
    unsigned m_nMelodies = 0;
    unsigned m_nNotes = 0;
    int m_nReadIndex = 0;   // index of the last image byte read
    bool m_bInRead = false; // the doorbell is inside a sequential read we have to close
};

// Writes the format byte and the image, all in the first tick, waits until the doorbell has
// stored the last page, reads everything back and compares (unless told not to), then sends two
// reset pulses. The document is only read.
class WriteSession : public TransferSession
{
public:
    WriteSession(unsigned nMelodies, unsigned nNotes, const DoorbellImage& image,
                 bool verify = true);
    // The document's set; a document whose format is none of the six fails at the first tick
    // with kMsgBellBadFormat before anything reaches the doorbell.
    explicit WriteSession(const CTinklaDoc& doc, bool verify = true);

    // The first tick does the whole write; later ticks do nothing. Never throws. After a link
    // failure the doorbell holds what had been written before it and no reset pulse is sent.
    // Contents read back that differ fail with kMsgBellVerify and Differences().
    void Tick();

    const DoorbellImage& GetImage() const { return m_image; }
    // After a failed verify: what the doorbell holds that differs, one line each (see
    // DescribeImageDifferences).
    const QStringList& Differences() const { return m_differences; }

private:
    bool WriteImage();
    bool Verify();
    bool ReadImage(DoorbellImage* image);

    DoorbellImage m_image{};
    unsigned m_nMelodies = 0;
    unsigned m_nNotes = 0;
    bool m_bVerify = true;
    QStringList m_differences;
};

} // namespace tinkla
