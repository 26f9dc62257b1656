// The playback sequencer heard through the real timer stand-in: every port write the notes make
// is decoded by a Pit, and the tones it reports are recorded against the tick they happened on.
#include "devices/Pit.h"
#include "devices/Speaker.h"
#include "model/Melody.h"
#include "test_speaker_support.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace tinkla;

namespace
{

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

using Writes = std::vector<std::pair<uint16_t, uint8_t>>;

// Port writes given as "port=value" in hex: "43=B6 42=97".
Writes ParseWrites(const char* text)
{
    Writes writes;
    for (const QByteArray& w : QByteArray(text).split(' ')) {
        const QList<QByteArray> pv = w.split('=');
        writes.push_back({uint16_t(pv[0].toUInt(nullptr, 16)), uint8_t(pv[1].toUInt(nullptr, 16))});
    }
    return writes;
}

// Logs the raw port writes and passes them on.
struct PortLog final : PortDevice {
    explicit PortLog(std::unique_ptr<PortDevice> inner) : inner(std::move(inner)) {}
    uint8_t In(uint16_t port) override { return inner->In(port); }
    void Out(uint16_t port, uint8_t value) override
    {
        writes.push_back({port, value});
        inner->Out(port, value);
    }
    std::unique_ptr<PortDevice> inner;
    Writes writes;
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
    int PlayToClose(CMelody& m, bool fromSelected = false)
    {
        tick = 0;
        endTick = -1;
        m.PlayStep(true, fromSelected);
        while (tick < 10000) {
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

TEST_F(SequencerTest, TonesStartAndStopOnTheirTicks)
{
    const uint32_t kA4 = DivisorOf(13); // 2711
    struct Row {
        const char* name;
        std::vector<BYTE> notes;
        int selected; // -1: from the first note
        std::vector<Event> events;
        int endTick;   // the tick whose step marks the end
        int closeTick; // the tick on which the dialog closes
    };
    const Row rows[] = {
        {"OneQuarter", {Code(13, 2)}, -1, {{0, kA4}, {8, 0}}, 9, 10},
        {"WholeThenEighth",
         {Code(0, 0), Code(31, 3)},
         -1,
         {{0, 5736}, {32, 0}, {33, 958}, {37, 0}},
         38,
         39},
        // The same note twice still gets its silent tick between.
        {"RepeatedHalf",
         {Code(13, 1), Code(13, 1)},
         -1,
         {{0, kA4}, {16, 0}, {17, kA4}, {33, 0}},
         34,
         35},
        {"FromTheSelection",
         {Code(1, 4), Code(2, 4), Code(3, 4), Code(4, 4), Code(5, 4)},
         3,
         {{0, DivisorOf(4)}, {2, 0}, {3, DivisorOf(5)}, {5, 0}},
         6,
         7},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        events.clear();
        CMelody m;
        for (BYTE code : r.notes)
            m.AppendNote(code);
        m.Select(r.selected);
        EXPECT_EQ(PlayToClose(m, r.selected >= 0), r.closeTick);
        EXPECT_EQ(events, r.events);
        EXPECT_EQ(endTick, r.endTick);
        EXPECT_EQ(ThePit().SoundingDivisor(), 0u);
        EXPECT_EQ(m.GetSelected(), r.selected) << "played to its end, the selection stays";
    }
    // Asked to start from the selection when there is none, it starts from the first note.
    CMelody m;
    m.AppendNote(Code(1, 4));
    m.PlayStep(true, true);
    EXPECT_EQ(ThePit().SoundingDivisor(), DivisorOf(1));
    m.StopPlay();
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
    auto owned = std::make_unique<PortLog>(Ports::Instance().ExchangeSpeaker(nullptr));
    PortLog& log = *owned;
    Ports::Instance().SetSpeaker(std::move(owned));
    Outp(kPortSpeaker, 0x30); // other bits of 0x61 must survive
    log.writes.clear();

    CNote(13, 2).SoundOn();
    CNote::SoundOff();
    EXPECT_EQ(log.writes, ParseWrites("43=B6 42=97 42=0A 61=33 61=30"));
    EXPECT_EQ(events, (std::vector<Event>{{0, 0x0A97}, {0, 0}}));
}

// Port write sequences the timer stand-in must decode like the hardware; a Pit that still sounds
// when it goes silences its sink.
TEST(PitDecoding, GivesTheHardwaresTones)
{
    struct Row {
        const char* name;
        const char* writes;
        std::vector<uint32_t> events; // divisors, 0 = silence
    };
    const Row rows[] = {
        {"GateBeforeCount", "61=03 43=B6 42=97 42=0A", {2711, 0}},
        {"ZeroCountIs65536", "43=B6 42=00 42=00 61=03", {65536, 0}},
        {"HalfACountIsNotATone", "43=B6 42=97 61=03", {}},
        {"GateWithoutSpeakerData", "43=B6 42=97 42=0A 61=01", {}},
        {"OneShotModeDoesNotSing", "43=B0 42=97 42=0A 61=03", {}},
        {"LowByteOnlyAccess", "43=96 42=80 61=03", {0x80, 0}},
        {"NewCountWhileSounding", "43=B6 42=97 42=0A 61=03 42=00 42=04", {2711, 0x400, 0}},
        {"ControlWordStopsTheCounterUntilItsCount",
         "43=B6 42=97 42=0A 61=03 43=B6 42=97 42=0A",
         {2711, 0, 2711, 0}},
        {"OtherBitsOf61DoNotMatter", "43=B6 42=97 42=0A 61=FF 61=FC", {2711, 0}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        std::vector<uint32_t> events;
        {
            Pit pit(std::make_unique<test::RecordingSink>(&events));
            for (const auto& [port, value] : ParseWrites(r.writes))
                pit.Out(port, value);
        }
        EXPECT_EQ(events, r.events);
    }
}

TEST(PitReading, Port61ReadsBackAndTheCountReadsLowThenHigh)
{
    Pit pit(nullptr);
    for (const auto& [port, value] : ParseWrites("61=5A 43=B6 42=97 42=0A"))
        pit.Out(port, value);
    EXPECT_EQ(pit.In(kPortSpeaker), 0x5A);
    EXPECT_EQ(pit.In(kPortPitData), 0x97);
    EXPECT_EQ(pit.In(kPortPitData), 0x0A);
}

} // namespace
