#include "bell/Bus.h"

#include "platform/Clock.h"
#include "platform/Ports.h"

#include <algorithm>
#include <cmath>
#include <ctime>

namespace tinkla
{

double g_dDelay1us = 0.0;
double g_dDelay4us = 0.0;
double g_dDelay4ms = 0.0;
double g_dDelay10ms = 0.0;
double g_dDelay50ms = 0.0;
double g_dTimeout = 0.0;
double g_dPassSeconds = 0.0;

namespace
{

uint64_t g_nDelayPasses = 0;
int g_nSingleAttempt = 0; // BusSingleAttempt guards alive

// ---- the one place that touches the port ------------------------------------------------------

uint8_t ReadDataRegister()
{
    return Inp(kPortData);
}

void WriteDataRegister(uint8_t value)
{
    Outp(kPortData, value);
}

uint8_t ReadStatusRegister()
{
    return Inp(kPortStatus);
}

// ---- line helpers -----------------------------------------------------------------------------

constexpr uint8_t kDataLine = 0x80;    // data register bit: drive the data line low
constexpr uint8_t kClockLine = 0x40;   // data register bit: drive the clock line low
constexpr uint8_t kDataIsLow = 0x80;   // status register bit
constexpr uint8_t kClockIsHigh = 0x40; // status register bit
constexpr uint8_t kIdle = 0x38; // both lines released, reset and play lines at rest, bit 4 set

// Only the one line changes: the other bits keep what was last written.
void DriveDataLow()
{
    WriteDataRegister(static_cast<uint8_t>(ReadDataRegister() | kDataLine));
}

void ReleaseData()
{
    WriteDataRegister(static_cast<uint8_t>(ReadDataRegister() & ~kDataLine));
}

void DriveClockLow()
{
    WriteDataRegister(static_cast<uint8_t>(ReadDataRegister() | kClockLine));
}

// The slave may go on holding the clock low; ClockIsHigh tells.
void ReleaseClock()
{
    WriteDataRegister(static_cast<uint8_t>(ReadDataRegister() & ~kClockLine));
}

bool DataIsLow()
{
    return (ReadStatusRegister() & kDataIsLow) != 0;
}

bool ClockIsHigh()
{
    return (ReadStatusRegister() & kClockIsHigh) != 0;
}

// Releases the clock and says whether it went high (false: the slave holds it low; the clock is
// left released).
bool ClockRises()
{
    ReleaseClock();
    Delay(g_dDelay1us);
    return ClockIsHigh();
}

// Keeps the clock high for its 4 us, then drives it low again.
void ClockFalls()
{
    Delay(g_dDelay4us);
    DriveClockLow();
    Delay(g_dDelay1us);
}

// ---- calibration ------------------------------------------------------------------------------

constexpr double kWindow = 0.01; // s
constexpr double kShortPass = 1.0;
constexpr double kLongPass = 1000.0;
// Work a single window may take before the clock is declared stuck: about 30 times what 10 ms
// takes on a current machine, counted in loop passes plus a share per clock reading.
constexpr double kWorkLimit = 2e8;
constexpr double kWorkPerReading = 20.0;
// A pass faster than this is a measuring artefact; the fallback is a pass time no real machine
// beats, so that pauses come out long rather than short.
constexpr double kFastestPass = 0.05e-9; // s
constexpr double kFallbackPass = 0.2e-9; // s
constexpr int kRounds = 3;
// A pause longer than this sleeps, all but its last kSleepSlackMs, which it spins.
constexpr double kSleepAboveMs = 2.0;
constexpr double kSleepSlackMs = 1.0;

// The calibrated loop itself: floor(count) + 1 passes for count >= 0, none for a negative count.
void SpinPasses(double count)
{
    // volatile keeps the compiler from folding the loop into nothing.
    volatile double c = count;
    while (c >= 0.0)
        c = c - 1.0;
}

// Outer rounds of `inner` delay-loop passes each that fit in the window; false for a clock that
// did not advance within the work limit.
bool CountRounds(double inner, double* rounds)
{
    Clock& clock = TheClock();
    double passes = 0.0;
    double work = 0.0;
    const uint32_t t0 = clock.GetTickCount();
    for (;;) {
        SpinPasses(inner - 1.0); // `inner` passes of the calibrated loop
        passes += inner;
        const uint32_t t1 = clock.GetTickCount();
        if (!(kWindow * 1000.0 > static_cast<double>(static_cast<uint32_t>(t1 - t0))))
            break;
        work += inner + kWorkPerReading;
        if (work > kWorkLimit)
            return false;
    }
    *rounds = passes / inner;
    return true;
}

// Seconds per loop pass by the two-length difference (the clock reading's cost cancels out);
// <= 0 when the measurement failed. Each length is counted in three windows and the fullest one
// kept: a busy loop can only be slowed by the scheduler taking the processor away, never sped up,
// so the least disturbed window tells the loop's own speed. (The largest of three separately
// computed times would favour a disturbed long window and make every pause come out short - by
// several times on a busy machine.) *stuck: the clock did not move at all.
double MeasurePass(bool* stuck)
{
    double c1 = 0.0;
    double c2 = 0.0;
    for (int i = 0; i < 3; ++i) {
        double shortRounds = 0.0;
        double longRounds = 0.0;
        if (!CountRounds(kShortPass, &shortRounds) || !CountRounds(kLongPass, &longRounds)) {
            *stuck = true;
            return 0.0;
        }
        c1 = std::max(c1, shortRounds);
        c2 = std::max(c2, longRounds);
    }
    return (1.0 / c2 - 1.0 / c1) * kWindow / (kLongPass - kShortPass);
}

} // namespace

BusSingleAttempt::BusSingleAttempt()
{
    ++g_nSingleAttempt;
}

BusSingleAttempt::~BusSingleAttempt()
{
    --g_nSingleAttempt;
}

BusWait::BusWait() : m_t0(TheClock().Time()) {}

bool BusWait::Expired()
{
    const std::time_t now = TheClock().Time();
    if (now < m_t0)
        m_t0 = now;
    return std::difftime(now, m_t0) > g_dTimeout;
}

// One bit of a byte function, repeated while the slave holds the clock (the bit returns 1) until
// the bit's g_dTimeout budget is spent; the time is checked after every attempt, a successful
// one too. Returns BUS_OK, BUS_CLOCK_HELD (time-out) or BUS_DATA_LOW (at once).
template <class Bit> BusResult RetryBit(Bit attempt)
{
    BusWait wait;
    for (;;) {
        const BusResult rc = attempt();
        if (rc == BUS_DATA_LOW)
            return BUS_DATA_LOW;
        if (g_nSingleAttempt > 0 && rc != BUS_OK)
            return rc;
        if (wait.Expired())
            return BUS_CLOCK_HELD;
        if (rc == BUS_OK)
            return BUS_OK;
    }
}

void Delay(double count)
{
    if (count >= 0.0)
        g_nDelayPasses += static_cast<uint64_t>(count) + 1;
    // The pause is the time `count` passes took when they were measured, and it ends on the
    // monotonic clock: a loop that runs faster than at calibration, or a calibration disturbed
    // by a busy machine, can then only make a pause longer, never shorter.
    const double ms = count * g_dPassSeconds * 1000.0;
    if (!(ms > 0.0)) {
        SpinPasses(count); // not calibrated yet
        return;
    }
    Clock& clock = TheClock();
    const double end = clock.NowMs() + ms;
    for (double now = clock.NowMs(); now < end; now = clock.NowMs()) {
        // Millisecond pulses sleep through most of their length; the bus's microsecond pauses
        // spin, since no sleep wakes that precisely.
        if (end - now > kSleepAboveMs)
            clock.SleepMs(end - now - kSleepSlackMs);
    }
}

void CalibrateDelays()
{
    double t = 0.0;
    bool stuck = false; // a clock that stood still will not move next time either
    for (int round = 0; round < kRounds && !stuck; ++round) {
        t = MeasurePass(&stuck);
        if (std::isfinite(t) && t >= kFastestPass)
            break;
    }
    if (!std::isfinite(t) || t < kFastestPass)
        t = kFallbackPass;
    g_dPassSeconds = t;
    g_dDelay1us = 0.000001 / t;
    g_dDelay4us = 0.000004 / t;
    g_dDelay4ms = 0.004 / t;
    g_dDelay10ms = 0.01 / t;
    g_dDelay50ms = 0.05 / t;
    g_dTimeout = 3.0;
}

uint64_t DelayPassCount()
{
    return g_nDelayPasses;
}

void SendResetPulse()
{
    WriteDataRegister(kIdle);
    Delay(g_dDelay50ms);
    WriteDataRegister(0x18);
    Delay(g_dDelay4ms);
    WriteDataRegister(kIdle);
    Delay(g_dDelay50ms);
}

void SendPlayPulse()
{
    WriteDataRegister(kIdle);
    Delay(g_dDelay4ms);
    WriteDataRegister(0x30);
    Delay(g_dDelay50ms);
    WriteDataRegister(kIdle);
    Delay(g_dDelay4ms);
}

BusResult BusStart()
{
    ReleaseData();
    // The chip lets go of its acknowledge up to 3.5 us after the clock fell: look only then.
    Delay(g_dDelay4us);
    if (DataIsLow() && !BusRecover())
        return BUS_DATA_LOW;
    Delay(g_dDelay1us);
    if (!ClockRises())
        return BUS_CLOCK_HELD;
    Delay(g_dDelay4us);
    DriveDataLow();
    Delay(g_dDelay1us);
    Delay(g_dDelay4us);
    DriveClockLow();
    Delay(g_dDelay1us);
    return BUS_OK;
}

bool BusRecover()
{
    ReleaseData();
    if (!DataIsLow())
        return true;
    // A chip stopped inside a byte it sends goes on with it at every clock pulse and lets go of
    // the data line at a one-bit or at the acknowledge, which nobody gives: nine pulses at most.
    DriveClockLow();
    Delay(g_dDelay4us);
    for (int pulse = 0; pulse < 9 && DataIsLow(); ++pulse) {
        if (!ClockRises())
            return false;
        ClockFalls();
        Delay(g_dDelay4us);
    }
    if (DataIsLow())
        return false;
    // A stop resets the chip's bus logic: data low while the clock is low, then up after it.
    DriveDataLow();
    Delay(g_dDelay4us);
    if (!ClockRises())
        return false;
    Delay(g_dDelay4us);
    ReleaseData();
    Delay(g_dDelay4us);
    return !DataIsLow();
}

BusResult BusStop()
{
    DriveDataLow();
    Delay(g_dDelay1us);
    Delay(g_dDelay4us);
    if (!ClockRises())
        return BUS_CLOCK_HELD;
    Delay(g_dDelay4us);
    ReleaseData();
    Delay(g_dDelay1us);
    return DataIsLow() ? BUS_STOP_FAILED : BUS_OK;
}

BusResult BusSendBit(BYTE bit)
{
    if (bit & 0x40) {
        ReleaseData();
        // The chip may hold its acknowledge or last bit up to 3.5 us after the clock fell.
        Delay(g_dDelay4us);
        if (DataIsLow())
            return BUS_DATA_LOW;
        Delay(g_dDelay1us);
    } else {
        DriveDataLow();
        Delay(g_dDelay1us);
        Delay(g_dDelay4us);
    }
    if (!ClockRises())
        return BUS_CLOCK_HELD;
    ClockFalls();
    return BUS_OK;
}

BusResult BusReceiveBit(BYTE* pBit)
{
    ReleaseData();
    Delay(g_dDelay1us);
    Delay(g_dDelay4us);
    *pBit &= 0x7F;
    if (!ClockRises())
        return BUS_CLOCK_HELD;
    if (!DataIsLow())
        *pBit |= 0x80;
    ClockFalls();
    return BUS_OK;
}

BusResult BusSendByte(BYTE value)
{
    for (int i = 0; i < 8; ++i) {
        const BYTE bit = ((value << i) & 0x80) ? 0x40 : 0x00;
        if (const BusResult rc = RetryBit([bit] { return BusSendBit(bit); }); rc != BUS_OK)
            return rc;
    }
    BYTE ack = 0;
    if (RetryBit([&ack] { return BusReceiveBit(&ack); }) != BUS_OK)
        return BUS_CLOCK_HELD;
    return (ack & 0x80) ? BUS_NO_ACK : BUS_OK;
}

BusResult BusReceiveByte(BYTE* pByte, BYTE noAck)
{
    *pByte = 0;
    for (int i = 0; i < 8; ++i) {
        *pByte = static_cast<BYTE>(*pByte << 1);
        BYTE bit = 0;
        if (RetryBit([&bit] { return BusReceiveBit(&bit); }) != BUS_OK)
            return BUS_CLOCK_HELD;
        if (bit & 0x80)
            *pByte |= 0x01;
    }
    const BYTE ack = noAck ? 0x40 : 0x00;
    return RetryBit([ack] { return BusSendBit(ack); });
}

BusProbe ProbeBus(BYTE deviceCode, int attempts)
{
    if (g_dTimeout == 0.0)
        CalibrateDelays();
    WriteDataRegister(kIdle);
    Delay(g_dDelay10ms);
    if (!ClockIsHigh())
        return BusProbe::ClockStuckLow;
    if (DataIsLow() && !BusRecover())
        return BusProbe::DataStuckLow;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        BusResult rc = BusStart();
        if (rc == BUS_OK) {
            rc = BusSendByte(deviceCode);
            const BusResult stop = BusStop();
            if (rc == BUS_OK && stop != BUS_OK)
                rc = stop;
        }
        switch (rc) {
        case BUS_OK:
            return BusProbe::Answers;
        case BUS_CLOCK_HELD:
            return BusProbe::ClockHeld;
        case BUS_DATA_LOW:
        case BUS_STOP_FAILED:
            return BusProbe::DataStuckLow;
        case BUS_NO_ACK:
            break;
        }
        Delay(g_dDelay10ms);
    }
    return BusProbe::NoAnswer;
}

} // namespace tinkla
