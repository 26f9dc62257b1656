// The bus primitives against a scripted partner whose lines a test sets up, for exact return
// codes and time-outs; the delay loop, the calibration and the two pulses.
#include "bell/Bus.h"
#include "support/DocTestKit.h"
#include "test_bus_support.h"

#include <cmath>
#include <functional>
#include <limits>

using namespace tinkla;
using tinkla::test::BusTest;

namespace
{

TINKLA_PRINT_ROWS_BY_NAME

// A bus partner with scripted lines: it may hold the clock low (by a rule on the fake time),
// pull the data line low for good, or acknowledge (pull data low in every ninth clock). It counts
// the clock's rising edges and keeps the data line's level at each.
class LineDevice : public PortDevice
{
public:
    std::function<bool(double nowMs)> holdClock; // true: the device holds the clock low
    bool dataStuckLow = false;
    bool acknowledge = false;
    std::function<void()> onStatusRead;
    int rises = 0;
    std::vector<int> levels; // data line at each rise: 1 high, 0 low
    std::vector<uint8_t> writes;

    uint8_t In(uint16_t port) override
    {
        if (port == kPortData)
            return m_data;
        if (port != kPortStatus)
            return 0xFF;
        if (onStatusRead)
            onStatusRead();
        Update();
        return static_cast<uint8_t>((Sda() ? 0x00 : 0x80) | (m_scl ? 0x40 : 0x00));
    }
    void Out(uint16_t port, uint8_t value) override
    {
        if (port != kPortData)
            return;
        m_data = value;
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
        const bool held = holdClock && holdClock(TheClock().NowMs());
        const bool scl = !((m_data & 0x40) || held);
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

class BusPrimitives : public BusTest
{
protected:
    LineDevice* Line() { return Install(std::make_unique<LineDevice>()); }
    // Moves the fake clock to the start of the next whole second, so that a hold measured from
    // here meets the seconds clock the same way every time.
    void AlignToSecond() { clock.Advance(1000.0 - std::fmod(clock.Peek(), 1000.0)); }
    // A partner that holds the clock low from now until `ms` of fake time have passed.
    LineDevice* HeldFor(double ms)
    {
        LineDevice* line = Line();
        const double until = clock.Peek() + ms;
        line->holdClock = [until](double now) { return now < until; };
        return line;
    }
};

struct LineCase {
    const char* name;
    bool stuckData;
    bool heldClock;
    int start, stop, sendOne, sendZero, receive;
};

class LineCodes : public BusPrimitives, public ::testing::WithParamInterface<LineCase>
{
};

TEST_P(LineCodes, EachPrimitiveReportsItsCode)
{
    const LineCase& c = GetParam();
    auto run = [&](auto primitive) {
        LineDevice* line = Line();
        line->dataStuckLow = c.stuckData;
        if (c.heldClock)
            line->holdClock = [](double) { return true; };
        Outp(kPortData, 0x78); // clock low, as between bits
        return primitive();
    };
    EXPECT_EQ(run([] { return BusStart(); }), c.start);
    EXPECT_EQ(run([] { return BusStop(); }), c.stop);
    EXPECT_EQ(run([] { return BusSendBit(0x40); }), c.sendOne);
    EXPECT_EQ(run([] { return BusSendBit(0x00); }), c.sendZero);
    EXPECT_EQ(run([] {
                  BYTE b = 0;
                  return BusReceiveBit(&b);
              }),
              c.receive);
}

INSTANTIATE_TEST_SUITE_P(Bus, LineCodes,
                         ::testing::Values(LineCase{"FreeLines", false, false, 0, 0, 0, 0, 0},
                                           LineCase{"DataStuckLow", true, false, 2, 4, 2, 0, 0},
                                           LineCase{"ClockHeldLow", false, true, 1, 1, 1, 1, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BusPrimitives, ReceiveBitFillsBitSevenOnly)
{
    LineDevice* line = Line();
    BYTE b = 0x55;
    ASSERT_EQ(BusReceiveBit(&b), 0);
    EXPECT_EQ(b, 0xD5); // released line: 1 in bit 7, bits 0..6 as they were
    line->dataStuckLow = true;
    b = 0xFF;
    ASSERT_EQ(BusReceiveBit(&b), 0);
    EXPECT_EQ(b, 0x7F);
}

TEST_F(BusPrimitives, SendByteCodesForNoAcknowledgeAcknowledgeAndDataLow)
{
    LineDevice* line = Line();
    Outp(kPortData, 0xF8); // after a start: both lines low
    EXPECT_EQ(BusSendByte(0xA5), 3);
    EXPECT_EQ(line->rises, 9) << "no acknowledge is known only after all eight bits";
    EXPECT_EQ(std::vector<int>(line->levels.begin(), line->levels.begin() + 8),
              (std::vector<int>{1, 0, 1, 0, 0, 1, 0, 1}));

    line = Line();
    line->acknowledge = true;
    Outp(kPortData, 0xF8);
    EXPECT_EQ(BusSendByte(0x3C), 0);

    line = Line();
    line->dataStuckLow = true;
    Outp(kPortData, 0xF8);
    EXPECT_EQ(BusSendByte(0xA0), 2); // its first bit is a 1
    EXPECT_EQ(line->rises, 0);
}

TEST_F(BusPrimitives, ReceivedByteSendsAcknowledgeAsAskedInNinthBit)
{
    for (BYTE noAck : {BYTE(0), BYTE(1)}) {
        LineDevice* line = Line();
        Outp(kPortData, 0xF8);
        BYTE b = 0;
        ASSERT_EQ(BusReceiveByte(&b, noAck), 0);
        EXPECT_EQ(b, 0xFF); // a released line reads as ones
        ASSERT_EQ(line->levels.size(), 9u);
        EXPECT_EQ(line->levels[8], noAck ? 1 : 0);
    }
}

// The seconds clock has whole-second resolution and the limit is "more than 3 s", so a bit held
// up to just under 4 s of clock difference still completes.
struct HoldCase {
    const char* name;
    double holdMs;
    int sendCode;
    int receiveCode;
};

class ClockHeld : public BusPrimitives, public ::testing::WithParamInterface<HoldCase>
{
};

TEST_P(ClockHeld, ByteWaitsForTheClockUpToTheLimit)
{
    const HoldCase& c = GetParam();
    AlignToSecond();
    const double start = clock.Peek();
    LineDevice* line = HeldFor(c.holdMs);
    line->acknowledge = true;
    Outp(kPortData, 0xF8);
    EXPECT_EQ(BusSendByte(0x00), c.sendCode);
    // Never waits past the limit: gives up within one attempt of the 4 s clock difference.
    EXPECT_LT(clock.Peek() - start, 4100.0);

    AlignToSecond();
    HeldFor(c.holdMs);
    BYTE b = 0;
    EXPECT_EQ(BusReceiveByte(&b, 0), c.receiveCode);
}

INSTANTIATE_TEST_SUITE_P(Bus, ClockHeld,
                         ::testing::Values(HoldCase{"NotHeld", 0.0, 0, 0},
                                           HoldCase{"JustUnderTheLimit", 3900.0, 0, 0},
                                           HoldCase{"JustOverTheLimit", 4100.0, 1, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BusPrimitives, AttemptEndingPastTheLimitFailsThoughItSucceeded)
{
    LineDevice* line = Line();
    line->acknowledge = true;
    bool once = true;
    line->onStatusRead = [&] {
        if (once) {
            once = false;
            clock.Advance(4500.0); // one very slow port access
        }
    };
    Outp(kPortData, 0xF8);
    EXPECT_EQ(BusSendByte(0x00), 1);
    EXPECT_EQ(line->rises, 1); // the first bit went through; its time did not
}

TEST_F(BusPrimitives, ClockSetBackDoesNotStretchTheWait)
{
    LineDevice* line = Line();
    line->holdClock = [](double) { return true; };
    double jumpedAt = 0.0;
    line->onStatusRead = [&] {
        if (jumpedAt == 0.0 && clock.Peek() > 1000.0) {
            clock.Advance(-3600.0 * 1000.0); // the calendar clock is set an hour back
            jumpedAt = clock.Peek();
        }
    };
    Outp(kPortData, 0xF8);
    EXPECT_EQ(BusSendByte(0x00), 1);
    EXPECT_LT(clock.Peek() - jumpedAt, 4100.0);
}

TEST(Delay, PassesAreFloorPlusOneAndNoneForNegative)
{
    struct {
        double count;
        uint64_t passes;
    } cases[] = {
        {-0.5, 0}, {0.0, 1}, {0.5, 1}, {2.5, 3}, {std::numeric_limits<double>::quiet_NaN(), 0}};
    for (const auto& c : cases) {
        const uint64_t before = DelayPassCount();
        Delay(c.count);
        EXPECT_EQ(DelayPassCount() - before, c.passes) << "count " << c.count;
    }
}

// However the calibration judged the loop (here: a pass so short that the counts are far more
// passes than the loop runs in the time), every pause lasts its length on the monotonic clock.
TEST_F(BusTest, PausesLastTheirLengthOnTheMonotonicClock)
{
    g_dPassSeconds = 1e-9;
    clock.SetAutoStep(0.0001); // 0.1 us a reading
    struct {
        double count;
        double ms;
    } cases[] = {{1e3, 0.001}, {4e3, 0.004}, {4e6, 4.0}, {5e7, 50.0}};
    for (const auto& c : cases) {
        const double start = clock.Peek();
        Delay(c.count);
        EXPECT_GE(clock.Peek() - start, c.ms) << c.ms << " ms";
        EXPECT_LT(clock.Peek() - start, c.ms + 0.001) << c.ms << " ms";
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
    SimOptions late;
    late.releaseUs = 3.5;
    InstallSim(late);
    EXPECT_EQ(BusStart(), 0);
    EXPECT_EQ(BusSendByte(0xA2), 0);
    EXPECT_EQ(BusSendByte(0xFF), 0); // a one right after the acknowledge
    EXPECT_EQ(BusStart(), 0);        // a repeated start, right after one
    EXPECT_EQ(BusSendByte(0xA3), 0);
}

void ExpectConsistentCounts()
{
    const double t = g_dPassSeconds;
    ASSERT_GT(t, 0.0);
    ASSERT_TRUE(std::isfinite(g_dDelay50ms));
    EXPECT_DOUBLE_EQ(g_dDelay1us, 0.000001 / t);
    EXPECT_DOUBLE_EQ(g_dDelay50ms, 0.05 / t);
}

// A clock that moves with every reading makes both measurement lengths count the same rounds:
// a pass time of zero. A clock that never moves would never end a window. Neither may make the
// delays endless or zero.
TEST(Calibration, UnmeasurableClockFallsBackToFiniteDelays)
{
    const test::SavedDelays saved;
    for (double step : {1.0, 0.0}) {
        FakeClock fake;
        fake.SetAutoStep(step);
        SetClock(&fake);
        CalibrateDelays();
        SetClock(nullptr);
        ExpectConsistentCounts();
        EXPECT_LT(g_dDelay50ms, 1e9) << "auto step " << step;
    }
}

TEST(Calibration, RealClockGivesAPlausiblePassTime)
{
    const test::SavedDelays saved;
    CalibrateDelays();
    ExpectConsistentCounts();
    // Generous: a busy machine preempting the measuring windows inflates the figure.
    EXPECT_LT(g_dPassSeconds, 1e-4);
}

TEST_F(BusPrimitives, PulsesWriteTheirPatternAndLeaveRestState)
{
    struct {
        void (*pulse)();
        std::vector<uint8_t> writes;
    } cases[] = {{SendResetPulse, {0x38, 0x18, 0x38}}, {SendPlayPulse, {0x38, 0x30, 0x38}}};
    for (const auto& c : cases) {
        LineDevice* line = Line();
        Outp(kPortData, 0xF8); // in the middle of a transaction: a pulse releases both lines
        line->writes.clear();
        c.pulse();
        EXPECT_EQ(line->writes, c.writes);
        EXPECT_EQ(Inp(kPortData), 0x38);
    }
}

} // namespace
