#include "devices/Speaker.h"

#include "devices/Pit.h"
#include "platform/Ports.h"

namespace tinkla
{

SpeakerSetup SetupSpeaker(const QString& sinkSpec)
{
    // The old sink goes first: it may hold the very device or file the new one opens.
    ShutdownSpeaker();
    SpeakerSetup result;
    SinkSpec parsed;
    std::unique_ptr<SoundSink> sink;
    if (ParseSinkSpec(sinkSpec, &parsed, &result.error))
        sink = CreateSink(parsed, &result.error, &result.notice);
    result.ok = sink != nullptr;
    if (!result.error.isEmpty())
        result.error[0] = result.error[0].toUpper(); // the reasons are phrased to follow a colon
    Ports::Instance().SetSpeaker(std::make_unique<Pit>(std::move(sink)));
    return result;
}

void ShutdownSpeaker()
{
    Ports::Instance().SetSpeaker(nullptr);
}

ScopedSpeaker::ScopedSpeaker(std::unique_ptr<PortDevice> device)
    : m_previous(Ports::Instance().ExchangeSpeaker(std::move(device)))
{
}

ScopedSpeaker::~ScopedSpeaker()
{
    Ports::Instance().ExchangeSpeaker(std::move(m_previous));
}

} // namespace tinkla
