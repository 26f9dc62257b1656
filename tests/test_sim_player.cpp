// The simulated doorbell's player: the first melody of the memory, played on the speaker's Pit at
// 55 ms ticks when the play line falls, silenced by the reset line, never over someone's tone.
#include "devices/SimDoorbell.h"
#include "devices/SimPlayer.h"
#include "devices/Speaker.h"
#include "support/DocTestKit.h"
#include "test_speaker_support.h"

#include <gtest/gtest.h>

using namespace tinkla;

namespace
{

// A doorbell image: the slot's bytes (tone × 8 + duration, 0x07 ends it), blank after them.
std::array<uint8_t, 256> Image(const std::vector<BYTE>& slot)
{
    std::array<uint8_t, 256> image;
    image.fill(0xFF);
    std::copy(slot.begin(), slot.end(), image.begin());
    return image;
}

class SimPlayerTest : public ::testing::Test
{
protected:
    ~SimPlayerTest() override { Ports::Instance().SetParallel(nullptr); }
    static uint32_t DivisorOf(int tone) { return kPitHz / uint32_t(g_nFrequencies[tone]); }
    std::vector<uint32_t> events;
    ScopedSpeaker speaker{std::make_unique<Pit>(std::make_unique<test::RecordingSink>(&events))};
};

TEST_F(SimPlayerTest, PlaysEveryNoteForItsTicksThenASilentTickStartsOverAndSilencesAsItGoes)
{
    const auto image = Image({10 * 8 + 3, 25 * 8 + 4, 0x07});
    const uint32_t a = DivisorOf(10), b = DivisorOf(25);
    {
        SimPlayer player;
        player.Play(Image({}).data(), 0xFF); // a blank doorbell plays nothing
        EXPECT_FALSE(player.IsPlaying());
        player.Play(image.data(), 0xE0);
        EXPECT_EQ(events, (std::vector<uint32_t>{a}));
        // Eighth: 4 ticks sounding, one silent; sixteenth: 2 and 1; the end is seen at the next.
        int ticks = 0;
        for (; player.IsPlaying() && ticks < 1000; ++ticks)
            player.OnTick();
        EXPECT_EQ(ticks, 4 + 1 + 2 + 1);
        EXPECT_EQ(events, (std::vector<uint32_t>{a, 0, b, 0}));
        events.clear();
        player.Play(image.data(), 0xE0);
        for (int i = 0; i < 5; ++i)
            player.OnTick();             // into the second note
        player.Play(image.data(), 0xE0); // pressed again
    }
    EXPECT_EQ(events, (std::vector<uint32_t>{a, 0, b, 0, a, 0}));
}

TEST_F(SimPlayerTest, PlayLineOfAttachedDoorbellPlaysItsMemoryAndResetStopsIt)
{
    // Slot one holds tone 12 as a quarter (0x62) and the end; the format byte is 0x80, 2 × 127.
    const QByteArray bytes = QByteArray::fromHex("6207") + QByteArray(254, char(0xFF)) +
                             char(0x80) + QByteArray(255, char(0xFF));
    const test::TempFiles files;
    auto sim = std::make_unique<SimDoorbell>(SimOptions{files.Write("doorbell.bin", bytes)});
    SimPlayer player;
    player.Attach(sim.get());
    Ports::Instance().SetParallel(std::move(sim));
    Outp(kPortData, 0x30); // play line falls
    EXPECT_TRUE(player.IsPlaying());
    EXPECT_EQ(events, (std::vector<uint32_t>{DivisorOf(12)}));
    Outp(kPortData, 0x38);
    Outp(kPortData, 0x18);
    EXPECT_FALSE(player.IsPlaying());
    EXPECT_EQ(events.back(), 0u);
}

TEST_F(SimPlayerTest, NeverStartsOverSomeoneElsesToneAndGivesTheSpeakerUpToWhoeverSoundsIt)
{
    const auto image = Image({1 * 8 + 0, 0x07});
    SimPlayer player;
    CNote(4, 1).SoundOn();
    player.Play(image.data(), 0x00);
    EXPECT_FALSE(player.IsPlaying());
    CNote::SoundOff();
    player.Play(image.data(), 0x00);
    player.OnTick();
    CNote(30, 2).SoundOn(); // the playback dialog starts a note of its own
    player.OnTick();
    EXPECT_FALSE(player.IsPlaying());
    player.Stop();
    // A new control word silences the timer until its count: hence the 0 before the dialog's.
    EXPECT_EQ(events, (std::vector<uint32_t>{DivisorOf(4), 0, DivisorOf(1), 0, DivisorOf(30)}))
        << "the player touched a tone that was not its own";
}

} // namespace
