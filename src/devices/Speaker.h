#pragma once
// The program's speaker: a Pit stand-in behind ports 0x42, 0x43 and 0x61, feeding the sink the
// user chose (--speaker SINK, or the remembered "Sound/Speaker" setting).
#include "devices/SoundSink.h"

#include <QString>
#include <memory>

namespace tinkla
{

class PortDevice;

struct SpeakerSetup {
    bool ok = true;
    QString error;  // why the chosen sink cannot be used (ok == false); the speaker is silent
    QString notice; // a fallback the user should hear of once (status bar): "audio" without a
                    // sound device plays silently
};

// Silences and removes the current speaker, then installs a Pit feeding the sink of sinkSpec.
// When the text does not parse or the sink cannot be opened, a silent Pit is installed (the
// program goes on without sound) and the result says why.
SpeakerSetup SetupSpeaker(const QString& sinkSpec);
// Silences and removes the speaker: port writes then go nowhere.
void ShutdownSpeaker();

// Puts another device behind the speaker ports for its lifetime and restores the previous one
// afterwards; for rendering a melody offline without touching the user's speaker.
class ScopedSpeaker
{
public:
    explicit ScopedSpeaker(std::unique_ptr<PortDevice> device);
    ~ScopedSpeaker();
    ScopedSpeaker(const ScopedSpeaker&) = delete;
    ScopedSpeaker& operator=(const ScopedSpeaker&) = delete;

private:
    std::unique_ptr<PortDevice> m_previous;
};

} // namespace tinkla
