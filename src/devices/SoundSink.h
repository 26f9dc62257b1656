#pragma once
// Where the speaker's tone goes. The interval-timer stand-in (Pit) decodes the port writes into
// two events, "tone at kPitHz / divisor Hz" and "silence"; a sink makes them audible (or records
// them). Every sink is silent when it is destroyed, and sinks that drive hardware also register
// with SoundSafety so that no exit path leaves a tone sounding.
#include <QString>
#include <cstdint>
#include <memory>

namespace tinkla
{

// Input clock of the interval timer (Hz); a divisor d gives a square wave of kPitHz / d Hz.
constexpr uint32_t kPitHz = 1193180;

class SoundSink
{
public:
    virtual ~SoundSink() = default;
    // divisor 1..65536 (a written 0 means 65536): sound kPitHz / divisor Hz until the next event.
    virtual void Tone(uint32_t divisor) = 0;
    virtual void Silence() = 0;
    // A state the user should know about, for the status bar ("no sound device, silent");
    // empty when all is well. Safe to call from the UI thread at any time.
    virtual QString Notice() const { return {}; }
};

// Takes every event and does nothing with it.
class NullSink final : public SoundSink
{
public:
    void Tone(uint32_t) override {}
    void Silence() override {}
};

// A parsed --speaker value:
//   audio[:ALSA-DEVICE]   square wave through ALSA ("default" device unless named)
//   pcspkr[:EVDEV-PATH]   the PC speaker through the input layer (SND_TONE)
//   ports                 the real interval timer through ioperm (root only)
//   wav:PATH              16-bit mono PCM file, written in real time
//   none                  silent
struct SinkSpec {
    enum Kind { Audio, Pcspkr, RealPorts, Wav, None };
    Kind kind = Audio;
    QString arg; // device or path; empty for the defaults
};

// Longest --speaker value accepted (characters); a path longer than this is not a path.
constexpr int kMaxSinkSpecLength = 4096;

// Parses a SINK string; false with a one-line reason (in the program's language) when it is not
// one of the forms above.
bool ParseSinkSpec(const QString& text, SinkSpec* parsed, QString* error);
QString SinkSpecUsage();

// Opens the sink. On failure returns nullptr with the reason. "audio" without a usable device is
// not a failure: it gives a silent sink and says so in *notice.
std::unique_ptr<SoundSink> CreateSink(const SinkSpec& parsed, QString* error, QString* notice);

} // namespace tinkla
