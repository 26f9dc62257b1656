#pragma once
// The interval timer's channel 2 and the speaker bits of port 0x61, as the program writes them:
// control words on 0x43, divisor bytes on 0x42, gate (bit 0) and speaker data (bit 1) on 0x61.
// The speaker sounds while the gate and data bits are both set and channel 2 holds a complete
// count in a periodic mode (2 or 3); the Pit turns every change of that into one event for its
// sink: Tone(divisor) for kPitHz / divisor Hz, or Silence().
//
// To sound the speaker from elsewhere, write the ports as CNote::SoundOn/SoundOff do (or call
// them): Outp(0x43, 0xB6); Outp(0x42, lo); Outp(0x42, hi); Outp(0x61, Inp(0x61) | 3) and
// Outp(0x61, Inp(0x61) & 0xFC). Not thread-safe: drive it from the thread that owns Ports.
#include "devices/SoundSink.h"
#include "platform/Ports.h"

#include <memory>

namespace tinkla
{

class Pit final : public PortDevice
{
public:
    // sink: receives the events; nullptr means a NullSink.
    explicit Pit(std::unique_ptr<SoundSink> sink);
    ~Pit() override; // silences the sink if it still sounds

    // 0x61 reads back the last value written (0 before any write); 0x42 reads the loaded count,
    // low byte then high byte; 0x43 reads 0xFF (it is write-only).
    uint8_t In(uint16_t port) override;
    void Out(uint16_t port, uint8_t value) override;

    SoundSink& Sink() const { return *m_sink; }
    // The divisor now sounding (1..65536), 0 while silent.
    uint32_t SoundingDivisor() const { return m_nSounding; }

private:
    void Update();

    std::unique_ptr<SoundSink> m_sink;
    uint8_t m_nPort61 = 0;
    int m_nAccess = 3;      // 1 low byte only, 2 high byte only, 3 low then high
    int m_nMode = 3;        // counter mode 0..5
    bool m_bLowNext = true; // write flip-flop: the next lo/hi byte is the low one
    bool m_bReadLowNext = true;
    uint8_t m_nLowByte = 0;
    uint16_t m_nCount = 0;  // the loaded count; 0 stands for 65536
    bool m_bLoaded = false; // a complete count has been written since the last control word
    uint32_t m_nSounding = 0;
};

} // namespace tinkla
