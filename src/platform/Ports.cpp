#include "platform/Ports.h"

namespace tinkla
{

Ports& Ports::Instance()
{
    static Ports ports;
    return ports;
}

void Ports::SetParallel(std::unique_ptr<PortDevice> device)
{
    m_parallel = std::move(device);
}

std::unique_ptr<PortDevice> Ports::ExchangeParallel(std::unique_ptr<PortDevice> device)
{
    std::swap(m_parallel, device);
    return device;
}

void Ports::SetSpeaker(std::unique_ptr<PortDevice> device)
{
    m_speaker = std::move(device);
}

std::unique_ptr<PortDevice> Ports::ExchangeSpeaker(std::unique_ptr<PortDevice> device)
{
    std::swap(m_speaker, device);
    return device;
}

namespace
{
bool IsParallel(uint16_t port)
{
    return port >= kPortData && port <= kPortControl;
}
bool IsSpeaker(uint16_t port)
{
    return port == kPortPitData || port == kPortPitControl || port == kPortSpeaker;
}
} // namespace

uint8_t Ports::In(uint16_t port)
{
    if (IsParallel(port) && m_parallel)
        return m_parallel->In(port);
    if (IsSpeaker(port) && m_speaker)
        return m_speaker->In(port);
    return 0xFF;
}

void Ports::Out(uint16_t port, uint8_t value)
{
    if (IsParallel(port) && m_parallel)
        m_parallel->Out(port, value);
    else if (IsSpeaker(port) && m_speaker)
        m_speaker->Out(port, value);
}

} // namespace tinkla
