// The playback sequencer heard through the real timer stand-in: every port write the notes make
// is decoded by a Pit, and the tones it reports are recorded against the tick they happened on.
#include "devices/Pit.h"
#include "devices/Speaker.h"
#include "model/Melody.h"

#include "support/DocTestKit.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace tinkla;

namespace
{

TINKLA_PRINT_ROWS_BY_NAME

struct Event {
    int tick;
    uint32_t divisor; // 0 = silence
    bool operator==(const Event&) const = default;
};

void PrintTo(const Event& e, std::ostream* os)
{
    *os << "{tick " << e.tick << ", " << (e.divisor ? "tone " : "silence") << e.divisor << "}";
}

struct Recorder final : SoundSink {
    explicit Recorder(std::vector<Event>* log, const int* tick) : log(log), tick(tick) {}
    void Tone(uint32_t d) override { log->push_back({*tick, d}); }
    void Silence() override { log->push_back({*tick, 0}); }
    std::vector<Event>* log;
    const int* tick;
};

// Logs the raw port writes and passes them on to the Pit.
struct PortLog final : PortDevice {
    explicit PortLog(std::unique_ptr<PortDevice> inner) : inner(std::move(inner)) {}
    uint8_t In(uint16_t port) override { return inner->In(port); }
    void Out(uint16_t port, uint8_t value) override
    {
        writes->push_back({port, value});
        inner->Out(port, value);
    }
    std::unique_ptr<PortDevice> inner;
    std::vector<std::pair<uint16_t, uint8_t>>* writes = nullptr;
};

uint32_t DivisorOf(int tone)
{
    return kPitHz / g_nFrequencies[tone];
}

BYTE Code(int tone, int duration)
{
    return static_cast<BYTE>(tone * 8 + duration);
}

class SequencerTest : public ::testing::Test
{
protected:
    SequencerTest() : m_speaker(std::make_unique<Pit>(std::make_unique<Recorder>(&events, &tick)))
    {
    }

    // Drives the melody as the playback dialog does: start, then on every tick either close
    // (when the end was marked) or count the tick and step. Returns the tick that closes.
    int PlayToClose(CMelody& m, bool fromSelected = false, int limit = 10000)
    {
        tick = 0;
        m.PlayStep(true, fromSelected);
        while (tick < limit) {
            ++tick;
            if (m.IsPlayEnded())
                return tick;
            m.Tick();
            m.PlayStep(false, false);
            if (m.IsPlayEnded() && endTick < 0)
                endTick = tick;
        }
        return -1;
    }
    // Runs ticks until the predicate holds after a step.
    template <class Pred> void RunUntil(CMelody& m, Pred pred)
    {
        while (!pred() && tick < 10000) {
            ++tick;
            m.Tick();
            m.PlayStep(false, false);
        }
    }
    Pit& ThePit() { return *dynamic_cast<Pit*>(Ports::Instance().Speaker()); }

    std::vector<Event> events;
    int tick = 0;
    int endTick = -1;
    ScopedSpeaker m_speaker;
};

struct TimingCase {
    const char* name;
    std::vector<BYTE> notes;
    std::vector<Event> events;
    int endTick;   // the tick whose step marks the end
    int closeTick; // the tick on which the dialog closes
};

class SequencerTiming : public SequencerTest, public ::testing::WithParamInterface<TimingCase>
{
};

TEST_P(SequencerTiming, TonesStartAndStopOnTheirTicks)
{
    const TimingCase& c = GetParam();
    CMelody m;
    for (BYTE code : c.notes)
        m.AppendNote(code);
    const int closeTick = PlayToClose(m);
    EXPECT_EQ(events, c.events);
    EXPECT_EQ(endTick, c.endTick);
    EXPECT_EQ(closeTick, c.closeTick);
    EXPECT_EQ(ThePit().SoundingDivisor(), 0u);
    EXPECT_EQ(m.GetSelected(), -1) << "a melody that played to its end leaves the selection";
}

const uint32_t kA4 = DivisorOf(13); // 2711

INSTANTIATE_TEST_SUITE_P(
    Melodies, SequencerTiming,
    ::testing::Values(TimingCase{"OneQuarter", {Code(13, 2)}, {{0, kA4}, {8, 0}}, 9, 10},
                      TimingCase{"WholeThenEighth",
                                 {Code(0, 0), Code(31, 3)},
                                 {{0, 5736}, {32, 0}, {33, 958}, {37, 0}},
                                 38,
                                 39},
                      // The same note twice still gets its silent tick between.
                      TimingCase{"RepeatedHalf",
                                 {Code(13, 1), Code(13, 1)},
                                 {{0, kA4}, {16, 0}, {17, kA4}, {33, 0}},
                                 34,
                                 35}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SequencerTest, StartFromSelectionPlaysFromThatNoteOrFromTheFirst)
{
    CMelody m;
    for (int tone : {1, 2, 3, 4, 5})
        m.AppendNote(Code(tone, 4));
    CMelody unselected = m;
    unselected.PlayStep(true, true);
    EXPECT_EQ(unselected.GetPlayIndex(), 0);
    EXPECT_EQ(ThePit().SoundingDivisor(), DivisorOf(1));
    unselected.StopPlay();
    events.clear();
    m.Select(3);
    PlayToClose(m, true);
    const std::vector<Event> expected = {{0, DivisorOf(4)}, {2, 0}, {3, DivisorOf(5)}, {5, 0}};
    EXPECT_EQ(events, expected);
}

TEST_F(SequencerTest, StopInThePauseOnlySelectsTheNotePlayedLast)
{
    CMelody m;
    m.AppendNote(Code(13, 4));
    m.AppendNote(Code(14, 4));
    m.PlayStep(true, false);
    RunUntil(m, [&] { return ThePit().SoundingDivisor() == 0; }); // the silent tick after note 0
    const size_t before = events.size();
    m.StopPlay();
    EXPECT_EQ(events.size(), before) << "nothing sounds, so nothing is switched";
    EXPECT_EQ(m.GetSelected(), 0);
}

TEST_F(SequencerTest, NothingSoundsForAnEmptyMelodyOrAStepBeforeAnyStart)
{
    CMelody empty;
    empty.PlayStep(true, false);
    EXPECT_TRUE(empty.IsPlayEnded());
    CMelody m;
    m.AppendNote(Code(13, 4));
    m.Tick();
    m.PlayStep(false, false);
    EXPECT_TRUE(events.empty());
}

TEST_F(SequencerTest, NotesRemovedUnderThePlaybackEndItSilently)
{
    CMelody m;
    m.AppendNote(Code(13, 4));
    m.AppendNote(Code(14, 4));
    m.PlayStep(true, false);
    RunUntil(m, [&] { return m.GetPlayIndex() == 1; });
    m.DeleteAll();
    m.Tick();
    m.PlayStep(false, false);
    EXPECT_TRUE(m.IsPlayEnded());
    EXPECT_EQ(ThePit().SoundingDivisor(), 0u);
}

TEST_F(SequencerTest, ToneThirteenProgramsDivisorLowByteFirst)
{
    std::vector<std::pair<uint16_t, uint8_t>> writes;
    auto log = std::make_unique<PortLog>(Ports::Instance().ExchangeSpeaker(nullptr));
    log->writes = &writes;
    Ports::Instance().SetSpeaker(std::move(log));
    Outp(kPortSpeaker, 0x30); // other bits of 0x61 must survive
    writes.clear();

    CNote(13, 2).SoundOn();
    CNote::SoundOff();
    const std::vector<std::pair<uint16_t, uint8_t>> expected = {
        {0x43, 0xB6}, {0x42, 0x97}, {0x42, 0x0A}, {0x61, 0x33}, {0x61, 0x30}};
    EXPECT_EQ(writes, expected);
    EXPECT_EQ(events, (std::vector<Event>{{0, 0x0A97}, {0, 0}}));
}

TEST_F(SequencerTest, PitDecodesEveryDivisor)
{
    for (uint32_t d = 0; d <= 0xFFFF; ++d) {
        Outp(kPortPitControl, 0xB6);
        Outp(kPortPitData, static_cast<uint8_t>(d & 0xFF));
        Outp(kPortPitData, static_cast<uint8_t>(d >> 8));
        Outp(kPortSpeaker, 0x03);
        const uint32_t want = d ? d : 65536;
        ASSERT_EQ(ThePit().SoundingDivisor(), want) << d;
        Outp(kPortSpeaker, 0x00);
        ASSERT_EQ(ThePit().SoundingDivisor(), 0u) << d;
    }
    EXPECT_EQ(events.size(), 2u * 65536);
}

// Port write sequences the timer stand-in must decode like the hardware.
struct PitCase {
    const char* name;
    std::vector<std::pair<uint16_t, uint8_t>> writes;
    std::vector<uint32_t> events; // divisors, 0 = silence
};

class PitDecoding : public SequencerTest, public ::testing::WithParamInterface<PitCase>
{
};

TEST_P(PitDecoding, GivesTheHardwaresTones)
{
    for (const auto& [port, value] : GetParam().writes)
        Outp(port, value);
    std::vector<uint32_t> got;
    for (const Event& e : events)
        got.push_back(e.divisor);
    EXPECT_EQ(got, GetParam().events);
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, PitDecoding,
    ::testing::Values(
        PitCase{"GateBeforeCount", {{0x61, 3}, {0x43, 0xB6}, {0x42, 0x97}, {0x42, 0x0A}}, {2711}},
        PitCase{"HalfACountIsNotATone", {{0x43, 0xB6}, {0x42, 0x97}, {0x61, 3}}, {}},
        PitCase{
            "GateWithoutSpeakerData", {{0x43, 0xB6}, {0x42, 0x97}, {0x42, 0x0A}, {0x61, 1}}, {}},
        PitCase{
            "OneShotModeDoesNotSing", {{0x43, 0xB0}, {0x42, 0x97}, {0x42, 0x0A}, {0x61, 3}}, {}},
        PitCase{"LowByteOnlyAccess", {{0x43, 0x96}, {0x42, 0x80}, {0x61, 3}}, {0x80}},
        PitCase{"NewCountWhileSounding",
                {{0x43, 0xB6}, {0x42, 0x97}, {0x42, 0x0A}, {0x61, 3}, {0x42, 0x00}, {0x42, 0x04}},
                {2711, 0x400}},
        PitCase{"ControlWordStopsTheCounterUntilItsCount",
                {{0x43, 0xB6},
                 {0x42, 0x97},
                 {0x42, 0x0A},
                 {0x61, 3},
                 {0x43, 0xB6},
                 {0x42, 0x97},
                 {0x42, 0x0A}},
                {2711, 0, 2711}},
        PitCase{"OtherBitsOf61DoNotMatter",
                {{0x43, 0xB6}, {0x42, 0x97}, {0x42, 0x0A}, {0x61, 0xFF}, {0x61, 0xFC}},
                {2711, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SequencerTest, Port61ReadsBackAndTheCountReadsLowThenHigh)
{
    Outp(kPortSpeaker, 0x5A);
    EXPECT_EQ(Inp(kPortSpeaker), 0x5A);
    Outp(kPortPitControl, 0xB6);
    Outp(kPortPitData, 0x97);
    Outp(kPortPitData, 0x0A);
    EXPECT_EQ(Inp(kPortPitData), 0x97);
    EXPECT_EQ(Inp(kPortPitData), 0x0A);
}

TEST(PitLifetime, DestroyingASoundingPitSilencesItsSink)
{
    std::vector<Event> log;
    int tick = 0;
    {
        Pit pit(std::make_unique<Recorder>(&log, &tick));
        pit.Out(kPortPitControl, 0xB6);
        pit.Out(kPortPitData, 0x97);
        pit.Out(kPortPitData, 0x0A);
        pit.Out(kPortSpeaker, 0x03);
    }
    EXPECT_EQ(log, (std::vector<Event>{{0, 2711}, {0, 0}}));
}

} // namespace
