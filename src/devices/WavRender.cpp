#include "devices/WavRender.h"

#include "devices/Pit.h"
#include "devices/SoundWav.h"
#include "devices/SoundWave.h"
#include "devices/Speaker.h"
#include "model/Melody.h"

#include <algorithm>

namespace tinkla
{

namespace
{
// Collects the tone on each tick of the render: what the Pit decodes while the sequencer steps.
class TickRecorder final : public SoundSink
{
public:
    struct Change {
        uint64_t tick;
        uint32_t divisor; // 0 = silence
    };
    void Tone(uint32_t divisor) override { changes.push_back({tick, divisor}); }
    void Silence() override { changes.push_back({tick, 0}); }
    uint64_t tick = 0;
    std::vector<Change> changes;
};
} // namespace

uint64_t TickSample(uint64_t tick, uint32_t rate)
{
    return (tick * kTickMs * rate + 500) / 1000;
}

std::vector<int16_t> RenderMelodySamples(const CMelody& source, const WavRenderOptions& options)
{
    const uint32_t rate = std::clamp(options.rate, kMinWavRate, kMaxWavRate);
    if (source.GetNoteCount() == 0)
        return {};
    CMelody melody = source;
    std::vector<TickRecorder::Change> changes;
    uint64_t endTick = 0;
    {
        // The sequencer writes the ports; a Pit of our own decodes them, and the user's speaker
        // neither sounds nor loses its state meanwhile.
        auto owned = std::make_unique<TickRecorder>();
        TickRecorder& recorder = *owned;
        const ScopedSpeaker speaker(std::make_unique<Pit>(std::move(owned)));
        melody.PlayStep(true, options.fromSelected);
        // The dialog's loop: on every tick, count it, then step. The melody is over on the tick
        // that marks the end (the dialog would close on the one after).
        // Bounded by the longest the melody can take, whatever the sequencer does.
        const uint64_t maxTicks = uint64_t(melody.GetNoteCount()) * (kDurationTicks[0] + 1) + 1;
        while (!melody.IsPlayEnded() && recorder.tick < maxTicks) {
            ++recorder.tick;
            melody.Tick();
            melody.PlayStep(false, false);
        }
        endTick = recorder.tick;
        changes = std::move(recorder.changes);
    }

    const uint64_t total = TickSample(endTick, rate);
    std::vector<int16_t> samples(total, 0);
    SquareWave wave;
    for (size_t i = 0; i < changes.size(); ++i) {
        if (!changes[i].divisor)
            continue;
        const uint64_t from = std::min(TickSample(changes[i].tick, rate), total);
        const uint64_t to =
            i + 1 < changes.size() ? std::min(TickSample(changes[i + 1].tick, rate), total) : total;
        wave.Start(rate, changes[i].divisor);
        wave.Fill(samples.data() + from, to - from, kSquareAmplitude);
    }
    return samples;
}

QByteArray RenderMelodyWav(const CMelody& melody, const WavRenderOptions& options)
{
    const uint32_t rate = std::clamp(options.rate, kMinWavRate, kMaxWavRate);
    const std::vector<int16_t> samples = RenderMelodySamples(melody, options);
    QByteArray bytes = WavHeader(rate, static_cast<uint32_t>(samples.size() * 2));
    bytes.reserve(kWavHeaderBytes + static_cast<qsizetype>(samples.size() * 2));
    for (const int16_t s : samples) {
        const auto u = static_cast<uint16_t>(s);
        bytes.append(static_cast<char>(u & 0xFF));
        bytes.append(static_cast<char>(u >> 8));
    }
    return bytes;
}

} // namespace tinkla
