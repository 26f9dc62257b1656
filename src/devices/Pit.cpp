#include "devices/Pit.h"

namespace tinkla
{

Pit::Pit(std::unique_ptr<SoundSink> sink)
    : m_sink(sink ? std::move(sink) : std::make_unique<NullSink>())
{
}

Pit::~Pit()
{
    if (m_nSounding)
        m_sink->Silence();
}

uint8_t Pit::In(uint16_t port)
{
    switch (port) {
    case kPortSpeaker:
        return m_nPort61;
    case kPortPitData: {
        const bool low = m_nAccess == 1 || (m_nAccess == 3 && m_bReadLowNext);
        if (m_nAccess == 3)
            m_bReadLowNext = !m_bReadLowNext;
        return static_cast<uint8_t>(low ? m_nCount & 0xFF : m_nCount >> 8);
    }
    default:
        return 0xFF;
    }
}

void Pit::Out(uint16_t port, uint8_t value)
{
    switch (port) {
    case kPortPitControl: {
        // Channels 0 and 1 and the read-back command are not ours; a latch command (access 0)
        // freezes a reading and leaves the output alone.
        if ((value >> 6) != 2)
            return;
        const int access = (value >> 4) & 3;
        if (access == 0)
            return;
        m_nAccess = access;
        const int mode = (value >> 1) & 7;
        m_nMode = mode > 5 ? mode - 4 : mode; // 6 and 7 are aliases of 2 and 3
        m_bLowNext = true;
        m_bReadLowNext = true;
        // A control word stops the counter until its new count is complete.
        m_bLoaded = false;
        break;
    }
    case kPortPitData:
        if (m_nAccess == 1) {
            m_nCount = value;
        } else if (m_nAccess == 2) {
            m_nCount = static_cast<uint16_t>(value << 8);
        } else if (m_bLowNext) {
            m_nLowByte = value;
            m_bLowNext = false;
            return; // half a count changes nothing yet
        } else {
            m_nCount = static_cast<uint16_t>(m_nLowByte | (value << 8));
            m_bLowNext = true;
        }
        m_bLoaded = true;
        break;
    case kPortSpeaker:
        m_nPort61 = value;
        break;
    default:
        return;
    }
    Update();
}

void Pit::Update()
{
    const bool periodic = m_nMode == 2 || m_nMode == 3;
    const bool audible = m_bLoaded && periodic && (m_nPort61 & 0x03) == 0x03;
    const uint32_t divisor = audible ? (m_nCount ? m_nCount : 65536u) : 0u;
    if (divisor == m_nSounding)
        return;
    m_nSounding = divisor;
    if (divisor)
        m_sink->Tone(divisor);
    else
        m_sink->Silence();
}

} // namespace tinkla
