// The whole set through the simulated doorbell on the real clock: a write (format byte and 256
// image bytes in 32 pages, the doorbell storing each page for 5 ms) and a read, each beside its
// lower bound: the bus time the calibrated delays demand plus the store times the write must wait
// for. The ratio says what the port accesses, the polling granularity and the simulator cost.
#include "bell/Bus.h"
#include "bell/Transactions.h"
#include "devices/SimDoorbell.h"
#include "platform/Ports.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <thread>

using namespace tinkla;

namespace
{

constexpr double kStoreMs = 5.0;
constexpr int kStoresWaitedFor = 32; // the format byte's and pages 1..31 (the last is not polled)

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

// What a loop pass really takes now: the best of a few long pauses (calibration on a busy machine
// can be off, and this tells the transfer's own cost apart from that).
double ActualPassSeconds()
{
    constexpr double kPasses = 2e6;
    double best = 1e9;
    for (int i = 0; i < 7; ++i) {
        const auto start = std::chrono::steady_clock::now();
        Delay(kPasses - 1.0);
        best = std::min(
            best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best / kPasses;
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

struct Bound {
    double nominal; // s: the pauses as calibrated (their nominal lengths) plus the stores
    double actual;  // s: the same passes at the pass time measured now, plus the stores
};

Bound LowerBound(void (*transfer)(), bool written, double storesSeconds)
{
    const double passes = DemandedPasses(transfer, written);
    return {passes * CalibratedPassSeconds() + storesSeconds,
            passes * ActualPassSeconds() + storesSeconds};
}

// Times each run of the transfer on its own (the pause after it is not counted) and reports the
// mean beside the bound, and the best run too: on a shared machine the scheduler stretches busy
// waits, and the best run is the one it disturbed least. ratio: against the calibrated pauses;
// overhead: against the pauses at today's pass time (port accesses, polling, the simulator).
void Measure(benchmark::State& state, void (*transfer)(), Bound bound,
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
    state.counters["bound_ms"] = bound.nominal * 1000.0;
    state.counters["ratio"] = mean / bound.nominal;
    state.counters["best_ratio"] = best / bound.nominal;
    state.counters["overhead"] = mean / bound.actual;
    state.counters["best_overhead"] = best / bound.actual;
    Ports::Instance().SetParallel(nullptr);
}

void BM_WriteSet(benchmark::State& state)
{
    Calibrate();
    const Bound bound = LowerBound(WriteSet, false, kStoresWaitedFor * kStoreMs / 1000.0);
    Doorbell(kStoreMs);
    // The pause lets the last page's store end: the next write starts without polling.
    Measure(state, WriteSet, bound, std::chrono::milliseconds(10));
}

void BM_ReadSet(benchmark::State& state)
{
    Calibrate();
    const Bound bound = LowerBound(ReadSet, true, 0.0); // leaves a written doorbell in place
    Measure(state, ReadSet, bound, std::chrono::milliseconds(0));
}

} // namespace

BENCHMARK(BM_WriteSet)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ReadSet)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_MAIN();
