#pragma once
// Time as the program reads it: a millisecond tick counter for calibration and a whole-second
// calendar clock for the bus time-outs. Tests inject a FakeClock so that a 3-second time-out is
// exercised in microseconds.
#include <cstdint>
#include <ctime>

namespace tinkla
{

class Clock
{
public:
    virtual ~Clock() = default;
    virtual uint32_t GetTickCount() = 0; // ms, wraps at 2^32
    virtual std::time_t Time() = 0;      // calendar seconds
    // Milliseconds with sub-millisecond resolution on the monotonic clock: for devices that
    // model their own timing, and for every bus pause, which ends on it.
    virtual double NowMs() = 0;
    // Gives the processor away for about `ms` (may be longer, never shorter on the real clock).
    virtual void SleepMs(double ms) = 0;
};

class SystemClock final : public Clock
{
public:
    uint32_t GetTickCount() override;
    std::time_t Time() override;
    double NowMs() override;
    void SleepMs(double ms) override;
};

// Advances only when told to; every reading can also advance it by a fixed step, so that loops
// polling the clock make progress without real waiting.
class FakeClock final : public Clock
{
public:
    uint32_t GetTickCount() override { return static_cast<uint32_t>(Step()); }
    std::time_t Time() override { return static_cast<std::time_t>(Step() / 1000.0) + m_epoch; }
    double NowMs() override { return Step(); }
    void SleepMs(double ms) override { Advance(ms); }
    void Advance(double ms) { m_nowMs += ms; }
    void SetAutoStep(double ms) { m_autoStepMs = ms; }
    double Peek() const { return m_nowMs; }

private:
    double Step()
    {
        const double now = m_nowMs;
        m_nowMs += m_autoStepMs;
        return now;
    }
    double m_nowMs = 0.0;
    double m_autoStepMs = 0.0;
    std::time_t m_epoch = 1700000000;
};

// The clock every part of the program reads; SystemClock unless a test installs another.
Clock& TheClock();
// Installs a clock (not owned); nullptr restores the system clock.
void SetClock(Clock* clock);

} // namespace tinkla
