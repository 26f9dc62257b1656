#pragma once
// A speaker whose every event is recorded: the Pit stand-in behind 0x42, 0x43 and 0x61 feeding
// a sink that keeps each divisor it is told to sound, and 0 for each silence.
#include "devices/Pit.h"
#include "devices/SoundSink.h"
#include "platform/Ports.h"

#include <memory>
#include <vector>

namespace tinkla::test
{

class RecordingSink final : public SoundSink
{
public:
    explicit RecordingSink(std::vector<uint32_t>* events) : m_events(events) {}
    void Tone(uint32_t divisor) override { m_events->push_back(divisor); }
    void Silence() override { m_events->push_back(0); }

private:
    std::vector<uint32_t>* m_events;
};

// Installs the recording speaker; events must outlive it (remove it with SetSpeaker(nullptr)).
inline void RecordSpeaker(std::vector<uint32_t>* events)
{
    Ports::Instance().SetSpeaker(std::make_unique<Pit>(std::make_unique<RecordingSink>(events)));
}

} // namespace tinkla::test
