// Importing a large MIDI file as the import command does it, in memory: the whole file read into
// notes (chords reduced, lengths mapped) and fitted into the doorbell's range and a set's 255
// notes. The file has 100,000 events: 50,000 notes on one track, chords of three every eighth
// note, in running status, as a score editor would write them.
#include "exchange/Exchange.h"

#include <benchmark/benchmark.h>

using namespace tinkla;

namespace
{

constexpr int kEvents = 100000;

QByteArray Vlq(uint32_t v)
{
    QByteArray out(1, char(v & 0x7F));
    while (v >>= 7)
        out.prepend(char(0x80 | (v & 0x7F)));
    return out;
}

QByteArray LargeMidi()
{
    QByteArray track;
    track += Vlq(0) + QByteArray::fromHex("FF510307A120"); // 120 bpm
    track += Vlq(0) + QByteArray::fromHex("90");
    const int notes = kEvents / 2;
    for (int i = 0; i < notes; i += 3) {
        const int root = 48 + (i * 7) % 36;
        for (int k = 0; k < 3 && i + k < notes; ++k) {
            if (!(i == 0 && k == 0))
                track += Vlq(0);
            track += char(root + 4 * k);
            track += char(90);
        }
        for (int k = 0; k < 3 && i + k < notes; ++k) {
            track += Vlq(k == 0 ? 48 : 0); // off as on with velocity 0, in running status
            track += char(root + 4 * k);
            track += char(0);
        }
    }
    track += Vlq(0) + QByteArray::fromHex("FF2F00");
    QByteArray file = QByteArray("MThd") + QByteArray::fromHex("00000006000000010060");
    file += "MTrk";
    const auto n = static_cast<uint32_t>(track.size());
    file += char(n >> 24);
    file += char(n >> 16);
    file += char(n >> 8);
    file += char(n);
    return file + track;
}

void BM_ImportMidi100k(benchmark::State& state)
{
    const QByteArray file = LargeMidi();
    size_t kept = 0;
    for (auto _ : state) {
        exchange::Imported imported;
        QString error;
        if (!exchange::ReadMidi(file, 0, &imported, &error)) {
            state.SkipWithError("the file did not read");
            return;
        }
        const exchange::FitResult fit = exchange::FitNotes(imported.notes, true, 0, 255);
        kept = fit.codes.size();
        benchmark::DoNotOptimize(kept);
    }
    state.counters["bytes"] = static_cast<double>(file.size());
    state.counters["events"] = kEvents;
    state.SetLabel(std::to_string(kept) + " notes kept");
}
BENCHMARK(BM_ImportMidi100k)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
