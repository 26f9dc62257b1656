// The playback sequencer heard through the timer stand-in: each tone against the tick it starts on.
#include "devices/Speaker.h"
#include "model/Melody.h"
#include "test_speaker_support.h"

#include <gtest/gtest.h>

using namespace tinkla;

namespace
{

using Writes = std::vector<std::pair<uint16_t, uint8_t>>;

// Port writes as hex pairs of port and value: "43B6 4297" is 0xB6 to 0x43, then 0x97 to 0x42.
Writes ParseWrites(const char* hex)
{
    const QByteArray b = QByteArray::fromHex(hex);
    Writes writes;
    for (int i = 0; i + 1 < b.size(); i += 2)
        writes.push_back({uint8_t(b[i]), uint8_t(b[i + 1])});
    return writes;
}

// Each event as " tick:divisor", 0 for silence.
struct Recorder final : SoundSink {
    Recorder(std::string* out, const int* at) : out(out), at(at) {}
    void Tone(uint32_t d) override { *out += ' ' + std::to_string(*at) + ':' + std::to_string(d); }
    void Silence() override { Tone(0); }
    std::string* out;
    const int* at;
};

struct PortLog final : PortDevice {
    explicit PortLog(std::unique_ptr<SoundSink> sink) : pit(std::move(sink)) {}
    uint8_t In(uint16_t port) override { return pit.In(port); }
    void Out(uint16_t port, uint8_t value) override
    {
        writes.push_back({port, value});
        pit.Out(port, value);
    }
    Pit pit;
    Writes writes;
};

class SequencerTest : public ::testing::Test
{
protected:
    // Counts a tick and steps, as the playback dialog does, until `until` holds; returns the tick.
    template <class Until> int StepUntil(CMelody& m, Until until)
    {
        while (!until() && ++tick < 10000) {
            m.Tick();
            m.PlayStep(false, false);
        }
        return tick;
    }
    uint32_t Sounding() const { return log->pit.SoundingDivisor(); }

    std::string events;
    int tick = 0;
    PortLog* log = new PortLog(std::make_unique<Recorder>(&events, &tick));
    ScopedSpeaker speaker{std::unique_ptr<PortDevice>(log)};
};

TEST_F(SequencerTest, TonesStartAndStopOnTheirTicks)
{
    struct Row {
        const char* name;
        std::vector<BYTE> notes; // tone × 8 + duration
        int selected;
        const char* events;
        int endTick; // whose step marks the end
    };
    const Row rows[] = {
        {"OneQuarter", {13 * 8 + 2}, -1, " 0:2711 8:0", 9},
        {"WholeThenEighth", {0 * 8 + 0, 31 * 8 + 3}, -1, " 0:5736 32:0 33:958 37:0", 38},
        {"SameHalfTwice", {13 * 8 + 1, 13 * 8 + 1}, -1, " 0:2711 16:0 17:2711 33:0", 34},
        // Sixteenths of tones 1 to 5, the fourth selected.
        {"FromTheSelection", {12, 20, 28, 36, 44}, 3, " 0:4554 2:0 3:4307 5:0", 6},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        events.clear();
        tick = 0;
        CMelody m;
        for (BYTE code : r.notes)
            m.AppendNote(code);
        m.Select(r.selected);
        m.PlayStep(true, true); // from the selected note; from the first when none is
        EXPECT_EQ(StepUntil(m, [&] { return m.IsPlayEnded(); }), r.endTick);
        EXPECT_EQ(events, r.events);
        EXPECT_EQ(Sounding(), 0u);
        EXPECT_EQ(m.GetSelected(), r.selected) << "played to its end, the selection stays";
    }
}

TEST_F(SequencerTest, NothingSoundsWithoutNotesOrAStartStopInThePauseSelectsRemovedNotesEnd)
{
    CMelody empty;
    empty.PlayStep(true, false);
    EXPECT_TRUE(empty.IsPlayEnded()) << "nothing to play";
    CMelody m;
    m.AppendNote(13 * 8 + 4);
    m.AppendNote(14 * 8 + 4);
    m.Tick();
    m.PlayStep(false, false); // a step before any start
    EXPECT_TRUE(events.empty());
    m.PlayStep(true, false);
    StepUntil(m, [&] { return Sounding() == 0; }); // the silent tick after note 0
    const std::string before = events;
    ASSERT_FALSE(before.empty()) << "note 0 sounded";
    m.StopPlay();
    EXPECT_EQ(events, before) << "stopped in the pause: nothing sounds, so nothing is switched";
    EXPECT_EQ(m.GetSelected(), 0) << "the note played last";
    m.PlayStep(true, false);
    StepUntil(m, [&] { return m.GetPlayIndex() == 1; });
    m.DeleteAll(); // the notes go under the playback: it ends, silent
    m.Tick();
    m.PlayStep(false, false);
    EXPECT_TRUE(m.IsPlayEnded());
    EXPECT_EQ(Sounding(), 0u);
}

TEST_F(SequencerTest, ToneThirteenProgramsDivisorLowByteFirst)
{
    Outp(kPortSpeaker, 0x30); // other bits of 0x61 must survive
    log->writes.clear();
    CNote(13, 2).SoundOn();
    EXPECT_EQ(Inp(kPortPitData), 0x97) << "the count reads back low byte, then high";
    EXPECT_EQ(Inp(kPortPitData), 0x0A);
    CNote::SoundOff();
    EXPECT_EQ(log->writes, ParseWrites("43B6 4297 420A 6133 6130"));
    EXPECT_EQ(events, " 0:2711 0:0");
}

// Port write sequences the timer stand-in must decode like the hardware; a Pit that still sounds
// when it goes silences its sink.
TEST(PitDecoding, GivesTheHardwaresTones)
{
    const std::pair<const char*, std::vector<uint32_t>> rows[] = {
        {"6103 43B6 4297 420A", {2711, 0}},                  // the gate before the count
        {"43B6 4200 4200 6103", {65536, 0}},                 // a zero count
        {"43B6 4297 6103", {}},                              // half a count
        {"43B6 4297 420A 6101", {}},                         // the gate without speaker data
        {"43B0 4297 420A 6103", {}},                         // one-shot mode does not sing
        {"4396 4280 6103", {0x80, 0}},                       // low byte only access
        {"43B6 4297 420A 6103 4200 4204", {2711, 0x400, 0}}, // a new count while sounding
        // A control word stops the counter until its count is complete.
        {"43B6 4297 420A 6103 43B6 4297 420A", {2711, 0, 2711, 0}},
        {"43B6 4297 420A 61FF 61FC", {2711, 0}}, // other bits of 0x61 do not matter
    };
    for (const auto& [writes, tones] : rows) {
        SCOPED_TRACE(writes);
        std::vector<uint32_t> events;
        {
            Pit pit(std::make_unique<test::RecordingSink>(&events));
            for (const auto& [port, value] : ParseWrites(writes))
                pit.Out(port, value);
        }
        EXPECT_EQ(events, tones);
    }
}

} // namespace
