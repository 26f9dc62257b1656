// The whole set through the simulated doorbell on the real clock: a write (format byte and 256
// image bytes in 32 pages, the doorbell storing each page for 5 ms) and a read, each beside its
// lower bound: the bus time the delays demand plus the store times the write must wait for. The
// ratio says what the port accesses, the polling granularity and the simulator cost. Then the
// shortest pulses and clock-high time of a traced run against what they are asked to be: never
// below 1, since every pause ends on the monotonic clock.
#include "bell/Bus.h"
#include "bell/Transactions.h"
#include "devices/SimDoorbell.h"
#include "devices/TracingPort.h"
#include "platform/Ports.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <limits>
#include <thread>

using namespace tinkla;

namespace
{

constexpr double kStoreMs = 5.0;
constexpr int kStoresWaitedFor = 33; // the format byte's and all 32 pages

void Calibrate()
{
    static bool done = false;
    if (!done) {
        CalibrateDelays();
        done = true;
    }
}

SimDoorbell* Doorbell(double storeMs)
{
    SimOptions options;
    options.twrMs = storeMs;
    auto sim = std::make_unique<SimDoorbell>(options);
    SimDoorbell* raw = sim.get();
    Ports::Instance().SetParallel(std::move(sim));
    return raw;
}

void WriteSet()
{
    WriteSetFormat(8);
    for (int i = 0; i < kImageBytes; ++i)
        WriteImageByte(static_cast<BYTE>((i * 37) & 0xF8), i == 0     ? TRANSFER_FIRST
                                                           : i == 255 ? TRANSFER_LAST
                                                                      : TRANSFER_NEXT);
}

void ReadSet()
{
    unsigned m = 0;
    unsigned n = 0;
    ReadSetFormat(m, n);
    for (int i = 0; i < kImageBytes; ++i)
        benchmark::DoNotOptimize(ReadImageByte(i == 0     ? TRANSFER_FIRST
                                               : i == 255 ? TRANSFER_LAST
                                                          : TRANSFER_NEXT));
}

// The loop passes one run's pauses make. A doorbell that stores instantly makes every poll
// succeed at once, so only the traffic the transfer needs is counted.
double DemandedPasses(void (*transfer)(), bool written)
{
    Doorbell(0.0);
    if (written)
        WriteSet();
    const uint64_t before = DelayPassCount();
    transfer();
    return static_cast<double>(DelayPassCount() - before);
}

// s: the pauses at their asked-for lengths plus the stores.
double LowerBound(void (*transfer)(), bool written, double storesSeconds)
{
    return DemandedPasses(transfer, written) * g_dPassSeconds + storesSeconds;
}

// Times each run of the transfer on its own (the pause after it is not counted) and reports the
// mean beside the bound, and the best run too: on a shared machine the scheduler stretches busy
// waits, and the best run is the one it disturbed least.
void Measure(benchmark::State& state, void (*transfer)(), double bound,
             std::chrono::milliseconds pauseAfter)
{
    double total = 0.0;
    double best = 1e9;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        transfer();
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        total += seconds;
        best = std::min(best, seconds);
        std::this_thread::sleep_for(pauseAfter);
    }
    const double mean = total / static_cast<double>(state.iterations());
    state.counters["bound_ms"] = bound * 1000.0;
    state.counters["ratio"] = mean / bound;
    state.counters["best_ratio"] = best / bound;
    Ports::Instance().SetParallel(nullptr);
}

void BM_WriteSet(benchmark::State& state)
{
    Calibrate();
    const double bound = LowerBound(WriteSet, false, kStoresWaitedFor * kStoreMs / 1000.0);
    Doorbell(kStoreMs);
    // The pause lets the last page's store end: the next write starts without polling.
    Measure(state, WriteSet, bound, std::chrono::milliseconds(10));
}

void BM_ReadSet(benchmark::State& state)
{
    Calibrate();
    const double bound = LowerBound(ReadSet, true, 0.0); // leaves a written doorbell in place
    Measure(state, ReadSet, bound, std::chrono::milliseconds(0));
}

// The shortest of each timed line state in a trace with times: the reset pulse (data register
// 0x18 until the next write), the play pulse (0x30) and the clock released (bit 6 clear, until it
// is driven low again), in microseconds.
struct Shortest {
    double resetUs = std::numeric_limits<double>::infinity();
    double playUs = std::numeric_limits<double>::infinity();
    double clockHighUs = std::numeric_limits<double>::infinity();
};

Shortest ShortestFromTrace(std::FILE* trace)
{
    Shortest s;
    std::rewind(trace);
    char line[64];
    double since = 0.0;
    unsigned last = 0x38;
    while (std::fgets(line, sizeof line, trace)) {
        double t = 0.0;
        unsigned value = 0;
        if (std::sscanf(line, "%lf o 378 %x", &t, &value) != 2)
            continue;
        const double held = t - since;
        if (last == 0x18)
            s.resetUs = std::min(s.resetUs, held);
        else if (last == 0x30)
            s.playUs = std::min(s.playUs, held);
        if (!(last & 0x40) && (value & 0x40))
            s.clockHighUs = std::min(s.clockHighUs, held);
        if ((last & 0x40) != (value & 0x40) || value != last)
            since = t;
        last = value;
    }
    return s;
}

void TracedRun()
{
    SendResetPulse();
    WriteSet();
    ReadSet();
    SendPlayPulse();
    SendResetPulse();
}

// Each shortest time of a traced reset, write, read, play and reset against its asked-for length:
// the ratio is at least 1 on any machine, near 1 on an idle one.
void BM_ShortestPauses(benchmark::State& state)
{
    Calibrate();
    Shortest shortest;
    for (auto _ : state) {
        std::FILE* file = std::tmpfile();
        auto tracing = std::make_unique<TracingPort>(std::make_unique<SimDoorbell>(), file);
        tracing->SetTimes(true);
        Ports::Instance().SetParallel(std::move(tracing));
        TracedRun();
        Ports::Instance().SetParallel(nullptr);
        const Shortest run = ShortestFromTrace(file);
        std::fclose(file);
        shortest.resetUs = std::min(shortest.resetUs, run.resetUs);
        shortest.playUs = std::min(shortest.playUs, run.playUs);
        shortest.clockHighUs = std::min(shortest.clockHighUs, run.clockHighUs);
    }
    const double passUs = g_dPassSeconds * 1e6;
    state.counters["reset_ratio"] = shortest.resetUs / (g_dDelay4ms * passUs);
    state.counters["play_ratio"] = shortest.playUs / (g_dDelay50ms * passUs);
    state.counters["clock_high_ratio"] =
        shortest.clockHighUs / ((g_dDelay1us + g_dDelay4us) * passUs);
    state.counters["clock_high_us"] = shortest.clockHighUs;
}

} // namespace

BENCHMARK(BM_ShortestPauses)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_WriteSet)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ReadSet)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_MAIN();
