#pragma once
// The simulated doorbell: a 24C04-style serial EEPROM on the two bus lines, seen through the same
// data and status register bits as the real interface, plus the doorbell's reset and play lines.
//
//  - devices 0xA0/0xA1: block 0 (the note image); 0xA2/0xA3: block 1 (format byte at address 0);
//    other device codes are not acknowledged
//  - wired-AND: each line is low while the master or the device pulls it low
//  - start and stop are recognised only while the clock is high
//  - writes go into an 8-byte page buffer that wraps inside its page and are stored at the stop,
//    in a write cycle (twr, default 5 ms on TheClock().NowMs()) during which the device does not
//    acknowledge its device code; a repeated start before the stop drops the page
//  - the address counter wraps inside its 256-byte block; reads are sequential while the master
//    acknowledges
//  - data bit 5 low (reset line) resets the bus state machine (a write cycle under way still
//    completes) and calls the stop handler; data bit 3 falling (play line) calls the play handler
//  - the 512-byte memory (block 0 then block 1) is loaded from its file at construction (missing
//    or short: the rest reads as blank 0xFF) and saved atomically whenever a write cycle
//    completes, and only then
#include "devices/ParallelPort.h"

#include <QString>
#include <array>
#include <cstdint>
#include <functional>

namespace tinkla
{

struct SimOptions {
    QString path;        // memory file; empty: memory only, never saved
    bool absent = false; // nothing on the bus: nothing is ever acknowledged
    bool sdaLow = false; // data line stuck low
    bool sclLow = false; // clock line stuck low
    bool busy = false;   // the first write cycle never ends
    // Holds the clock low this long after the first bit of every byte, ms: where the master
    // retries the bit (a stretch before a start or stop would not be waited for).
    double stretchMs = 0.0;
    double twrMs = 5.0; // write cycle, ms
    // Write-protected: acknowledges every byte of a write and stores none of them.
    bool writeProtect = false;
    // Left inside a sequential read by a master that went away: at power-on it is sending a 0x00
    // byte, holding the data line low until nine clock pulses or a stop end the byte. The
    // doorbell's reset line does not reach the memory chip, so reset pulses do not free it.
    bool leftInRead = false;
    // How long the device goes on holding its acknowledge after the clock fell, us (a real chip
    // of the family: up to 3.5).
    double releaseUs = 0.0;
    // The faults above (but leftInRead) hold only once the device has taken or sent this many bytes
    // (device codes it answered, addresses, data; refused polls do not count): a doorbell that
    // fails part-way through a transfer. Until then it is healthy, with a 5 ms write cycle.
    int faultAfterBytes = 0;
};

class SimDoorbell final : public ParallelPort
{
public:
    static constexpr int kMemoryBytes = 512;
    using Memory = std::array<uint8_t, kMemoryBytes>;
    using PlayHandler = std::function<void(const uint8_t image[256], uint8_t formatByte)>;
    using StopHandler = std::function<void()>;

    explicit SimDoorbell(SimOptions options = {});
    // Completes a write cycle under way: the doorbell keeps its power when the program ends.
    ~SimDoorbell() override;

    uint8_t In(uint16_t port) override;
    void Out(uint16_t port, uint8_t value) override;
    QString Describe() const override;

    // The handlers run inside the port write that moves the line, on the thread driving the
    // port: they must return quickly (start or stop the sound, nothing more).
    // Called when the play line goes low with block 0 and the format byte; default none.
    void SetPlayHandler(PlayHandler handler) { m_onPlay = std::move(handler); }
    // Called when the reset line goes low; default none.
    void SetStopHandler(StopHandler handler) { m_onStop = std::move(handler); }

    const Memory& GetMemory() const { return m_memory; }
    // Why the memory file could not be read or written; empty when all is well.
    QString FileError() const { return m_strFileError; }
    bool IsWriting() const { return m_bWriting; }
    int CompletedWriteCycles() const { return m_nWriteCycles; }

private:
    enum class Phase { Idle, Receive, AckOut, Send, AckIn };
    enum class Expect { DeviceCode, Address, Data };

    void Load();
    void Save();
    void AdvanceTime();
    void Settle();
    void OnStart();
    void OnStop();
    void OnClockRise();
    void OnClockFall();
    bool Accept(uint8_t byte);
    void LoadNextByte();
    void DriveSendBit();
    void Stretch();
    void BeginWriteCycle();
    void CompleteWriteCycle();
    void ResetStateMachine();
    bool InReset() const { return (m_nData & 0x20) == 0; }
    bool Faulty() const { return m_nBytes >= m_opt.faultAfterBytes; }

    SimOptions m_opt;
    Memory m_memory;
    QString m_strFileError;
    PlayHandler m_onPlay;
    StopHandler m_onStop;

    uint8_t m_nData = 0x38; // the master's data register
    uint8_t m_nControl = 0x00;
    bool m_bSdaLine = true; // line levels after the wired-AND
    bool m_bSclLine = true;
    bool m_bDevSda = false; // the device pulls the data line low
    bool m_bDevScl = false; // the device stretches the clock
    double m_dStretchEnds = 0.0;
    bool m_bReleasing = false; // the acknowledge is let go at m_dReleaseAt
    double m_dReleaseAt = 0.0;
    bool m_bLeftInRead = false;

    Phase m_phase = Phase::Idle;
    Expect m_expect = Expect::DeviceCode;
    int m_nBits = 0;
    uint8_t m_nShift = 0;
    bool m_bRead = false;
    bool m_bClocked = false; // the acknowledge clock has risen
    bool m_bMasterAck = false;
    int m_nSent = 0;
    uint8_t m_nTx = 0;
    unsigned m_nBlock = 0;
    unsigned m_nAddress = 0; // 0..511: block bit and address

    std::array<uint8_t, 8> m_page{};
    unsigned m_nPageBase = 0;
    unsigned m_nPageOffset = 0;
    uint8_t m_nPageMask = 0;

    bool m_bWriting = false;
    bool m_bStuck = false;
    double m_dWriteEnds = 0.0;
    std::array<uint8_t, 8> m_pending{};
    unsigned m_nPendingBase = 0;
    uint8_t m_nPendingMask = 0;
    int m_nWriteCycles = 0;
    int m_nBytes = 0; // bytes taken or sent, counted up to faultAfterBytes
};

} // namespace tinkla
