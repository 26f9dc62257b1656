// The bus primitives' exact codes and time-outs on scripted lines; pauses, calibration, pulses.
#include "test_bus_support.h"

#include <cmath>
#include <functional>
#include <optional>

using namespace tinkla;
using tinkla::test::BusTest;

namespace
{

// A bus partner with scripted lines; keeps the data line's level at each rising clock edge.
class LineDevice : public PortDevice
{
public:
    std::function<bool(double nowMs)> holdClock; // true: holds the clock low (fake time)
    bool dataStuckLow = false;                   // pulls the data line low for good
    bool acknowledge = false;                    // pulls the data line low in every ninth clock
    int rises = 0;
    std::vector<int> levels; // data line at each rise: 1 high, 0 low
    std::vector<uint8_t> writes;

    uint8_t In(uint16_t port) override
    {
        if (port != kPortStatus)
            return port == kPortData ? m_data : 0xFF;
        Update();
        return static_cast<uint8_t>((Sda() ? 0x00 : 0x80) | (m_scl ? 0x40 : 0x00));
    }
    void Out(uint16_t /*port*/, uint8_t value) override
    {
        m_data = value; // the bus writes the data register only
        writes.push_back(value);
        Update();
    }

private:
    bool Sda() const
    {
        const bool ack = acknowledge && m_scl && rises > 0 && rises % 9 == 0;
        return !((m_data & 0x80) || dataStuckLow || ack);
    }
    void Update()
    {
        const bool scl = !((m_data & 0x40) || (holdClock && holdClock(TheClock().NowMs())));
        if (scl && !m_scl) {
            m_scl = true;
            ++rises;
            levels.push_back(Sda() ? 1 : 0);
        }
        m_scl = scl;
    }
    uint8_t m_data = 0x38;
    bool m_scl = true;
};

// A partner on the lines as they are between bits (clock low; data low: after a start).
LineDevice* Line(uint8_t data = 0xF8)
{
    auto* line = new LineDevice;
    Ports::Instance().SetParallel(std::unique_ptr<PortDevice>(line));
    Outp(kPortData, data);
    return line;
}

TEST_F(BusTest, EachPrimitiveReportsItsCode)
{
    const std::function<int()> primitives[] = {
        BusStart, BusStop, [] { return BusSendBit(0x40); }, [] { return BusSendBit(0x00); },
        [b = BYTE(0)]() mutable { return BusReceiveBit(&b); }};
    // Start, stop, a one, a zero, a bit received: on free lines, data stuck low, clock held low.
    const std::vector<int> codes[] = {{0, 0, 0, 0, 0}, {2, 4, 2, 0, 0}, {1, 1, 1, 1, 1}};
    for (int row = 0; row < 3; ++row) {
        std::vector<int> got;
        for (const auto& primitive : primitives) {
            LineDevice* line = Line(0x78);
            line->dataStuckLow = row == 1;
            if (row == 2)
                line->holdClock = [](double) { return true; };
            got.push_back(primitive());
        }
        EXPECT_EQ(got, codes[row]) << "row " << row;
    }
}

// No acknowledge is known only after all eight bits; a data line held low fails the first one.
TEST_F(BusTest, ByteCodesAndTheAcknowledgeBit)
{
    LineDevice* line = Line();
    EXPECT_EQ(BusSendByte(0xA5), 3);
    EXPECT_EQ(line->levels, (std::vector<int>{1, 0, 1, 0, 0, 1, 0, 1, 1}));
    line = Line();
    line->dataStuckLow = true;
    EXPECT_EQ(BusSendByte(0xA0), 2);
    EXPECT_TRUE(line->levels.empty());
    for (BYTE noAck : {BYTE(0), BYTE(1)}) {
        line = Line();
        BYTE b = 0;
        ASSERT_EQ(BusReceiveByte(&b, noAck), 0);
        EXPECT_EQ(b, 0xFF); // a released line reads as ones
        EXPECT_EQ(line->levels, (std::vector<int>{1, 1, 1, 1, 1, 1, 1, 1, noAck ? 1 : 0}));
    }
}

// The limit is "more than 3 s" on a whole-second clock: a bit held just under 4 s completes. An
// attempt that took past the limit fails though it went through; a clock set back an hour does
// not stretch the wait.
TEST_F(BusTest, ByteWaitsForTheClockUpToTheLimitWhateverTheClockDoes)
{
    struct {
        double holdMs, jumpMs; // the clock jumps at the byte's first port access
        int code, bitsThrough;
    } cases[] = {
        {3900.0, 0.0, 0, 9}, {4100.0, 0.0, 1, 0}, {0.0, 4500.0, 1, 1}, {1e9, -3.6e6, 1, 0}};
    for (const auto& c : cases) {
        clock.Advance(1000.0 - std::fmod(clock.Peek(), 1000.0)); // to a whole second
        LineDevice* line = Line();
        line->acknowledge = true;
        std::optional<double> jumpedAt;
        line->holdClock = [&, until = clock.Peek() + c.holdMs](double now) {
            if (!jumpedAt) {
                clock.Advance(c.jumpMs);
                jumpedAt = clock.Peek();
            }
            return now < until;
        };
        EXPECT_EQ(BusSendByte(0x00), c.code) << c.holdMs << " ms held, jump " << c.jumpMs;
        EXPECT_EQ(line->rises, c.bitsThrough);
        EXPECT_LT(clock.Peek() - *jumpedAt, 4100.0);
    }
}

// However the calibration judged the loop (here: far more passes than it runs in the time), every
// pause lasts its length on the monotonic clock.
TEST_F(BusTest, PausesLastTheirLengthOnTheMonotonicClock)
{
    g_dPassSeconds = 1e-9;
    clock.SetAutoStep(0.0001); // 0.1 us a reading
    for (const auto& [count, ms] : {std::pair{1e3, 0.001}, {4e3, 0.004}, {4e6, 4.0}, {5e7, 50.0}}) {
        const double start = clock.Peek();
        Delay(count);
        EXPECT_GE(clock.Peek() - start, ms);
        EXPECT_LT(clock.Peek() - start, ms + 0.001);
    }
}

// A chip of the family lets go of its acknowledge up to 3.5 us after the clock fell; a master
// that looks for a released data line before then takes the acknowledge for a line stuck low.
TEST_F(BusTest, AcknowledgeLetGoLateIsWaitedFor)
{
    g_dPassSeconds = 1e-9;
    g_dDelay1us = 1e3;
    g_dDelay4us = 4e3;
    clock.SetAutoStep(0.0001);
    InstallSim({.path = {}, .releaseUs = 3.5});
    EXPECT_EQ(BusStart(), 0);
    EXPECT_EQ(BusSendByte(0xA2), 0);
    EXPECT_EQ(BusSendByte(0xFF), 0); // a one right after the acknowledge
    EXPECT_EQ(BusStart(), 0);        // a repeated start, right after one
    EXPECT_EQ(BusSendByte(0xA3), 0);
}

// A clock moving with every reading measures a pass time of zero; one that never moves never ends
// a window. Neither may make the delays endless or zero.
TEST(Calibration, DelaysComeOutFiniteAndConsistentWhateverTheClock)
{
    const test::SavedDelays saved;
    for (double step : {1.0, 0.0, -1.0}) {
        FakeClock fake;
        fake.SetAutoStep(step);
        SetClock(step < 0.0 ? nullptr : &fake);
        CalibrateDelays();
        SetClock(nullptr);
        EXPECT_GT(g_dPassSeconds, 0.0);
        EXPECT_LT(g_dPassSeconds, 1e-4); // generous: a busy machine preempts the windows
        EXPECT_DOUBLE_EQ(g_dDelay50ms, 0.05 / g_dPassSeconds);
        EXPECT_LT(g_dDelay50ms, 1e9);
    }
}

// In the middle of a transaction: a pulse releases both lines first.
TEST_F(BusTest, PulsesWriteTheirPatternAndLeaveRestState)
{
    const std::pair<void (*)(), uint8_t> pulses[] = {{SendResetPulse, 0x18}, {SendPlayPulse, 0x30}};
    for (const auto& [pulse, low] : pulses) {
        LineDevice* line = Line();
        line->writes.clear();
        pulse();
        EXPECT_EQ(line->writes, (std::vector<uint8_t>{0x38, low, 0x38}));
        EXPECT_EQ(Inp(kPortData), 0x38);
    }
}

} // namespace
