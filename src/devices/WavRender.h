#pragma once
// A melody rendered offline, tick for tick on the playback sequencer exactly as the playback
// dialog drives it (count a tick, then step), 55 ms a tick: a WAV file of 16-bit mono PCM whose
// length is the melody's ticks × 55 ms (every note's ticks plus its silent tick). Each note is a
// square wave at exactly 1193180 / divisor Hz, phase-continuous from its first sample.
#include <QByteArray>
#include <cstdint>
#include <vector>

namespace tinkla
{

class CMelody;

constexpr int kTickMs = 55; // one sequencer tick

struct WavRenderOptions {
    uint32_t rate = 44100;     // samples per second, kMinWavRate..kMaxWavRate
    bool fromSelected = false; // start at the selected note, as the dialog's check box does
};

// The first sample of tick k: round(k × 55 ms × rate).
uint64_t TickSample(uint64_t tick, uint32_t rate);

// The samples alone. The melody is copied: its selection and playback state stay as they were.
// An empty melody gives no samples.
std::vector<int16_t> RenderMelodySamples(const CMelody& melody, const WavRenderOptions& options);
// Header and samples: the bytes of a .wav file.
QByteArray RenderMelodyWav(const CMelody& melody, const WavRenderOptions& options);

} // namespace tinkla
