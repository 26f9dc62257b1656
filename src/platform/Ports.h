#pragma once
// Port I/O as the program does it (read a byte from a port, write a byte to a port), routed to
// whatever stands behind the port here: 0x378..0x37A to the chosen parallel-port backend, 0x42,
// 0x43 and 0x61 to the speaker's interval-timer stand-in.
#include <cstdint>
#include <memory>

namespace tinkla
{

constexpr uint16_t kPortData = 0x378;    // parallel data register
constexpr uint16_t kPortStatus = 0x379;  // parallel status register
constexpr uint16_t kPortControl = 0x37A; // parallel control register
constexpr uint16_t kPortPitData = 0x42;  // interval timer channel 2
constexpr uint16_t kPortPitControl = 0x43;
constexpr uint16_t kPortSpeaker = 0x61; // gate of channel 2 (bit 0), speaker data (bit 1)

// Something that answers port reads and takes port writes; given full port numbers.
class PortDevice
{
public:
    virtual ~PortDevice() = default;
    virtual uint8_t In(uint16_t port) = 0;
    virtual void Out(uint16_t port, uint8_t value) = 0;
};

class Ports
{
public:
    static Ports& Instance();
    // Replaces the device behind 0x378..0x37A; nullptr leaves the port unconnected.
    void SetParallel(std::unique_ptr<PortDevice> device);
    // Puts a device behind 0x378..0x37A and hands back the one that was there, so that a port
    // can be tried out and the previous one put back.
    std::unique_ptr<PortDevice> ExchangeParallel(std::unique_ptr<PortDevice> device);
    // Replaces the device behind 0x42, 0x43 and 0x61.
    void SetSpeaker(std::unique_ptr<PortDevice> device);
    // Installs a device behind 0x42, 0x43 and 0x61 and hands back the one it replaces, so that
    // a stand-in can be put there for a while (offline rendering) and the old one restored.
    std::unique_ptr<PortDevice> ExchangeSpeaker(std::unique_ptr<PortDevice> device);
    PortDevice* Parallel() const { return m_parallel.get(); }
    PortDevice* Speaker() const { return m_speaker.get(); }

    // An unconnected port reads 0xFF (a floating bus) and ignores writes.
    uint8_t In(uint16_t port);
    void Out(uint16_t port, uint8_t value);

private:
    std::unique_ptr<PortDevice> m_parallel;
    std::unique_ptr<PortDevice> m_speaker;
};

inline uint8_t Inp(uint16_t port)
{
    return Ports::Instance().In(port);
}
inline void Outp(uint16_t port, uint8_t value)
{
    Ports::Instance().Out(port, value);
}

} // namespace tinkla
