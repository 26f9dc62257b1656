// The simulated doorbell's player: the first melody of the memory, played on the speaker's Pit
// at 55 ms ticks when the play line falls, silenced by the reset line, and never over a tone of
// someone else's.
#include "devices/Pit.h"
#include "devices/SimDoorbell.h"
#include "devices/SimPlayer.h"
#include "model/Note.h"
#include "platform/Ports.h"
#include "support/DocTestKit.h"
#include "test_speaker_support.h"

#include <array>
#include <gtest/gtest.h>
#include <vector>

using namespace tinkla;

namespace
{

BYTE Code(int tone, int duration)
{
    return static_cast<BYTE>(tone * 8 + duration);
}

uint32_t DivisorOf(BYTE code)
{
    return kPitHz / static_cast<uint32_t>(g_nFrequencies[CNote(code).GetTone()]);
}

// A doorbell image: the slot's bytes, blank after them.
std::array<uint8_t, 256> Image(const std::vector<BYTE>& slot)
{
    std::array<uint8_t, 256> image;
    image.fill(0xFF);
    std::copy(slot.begin(), slot.end(), image.begin());
    return image;
}

TEST(SimPlayerFirstMelody, TakesSlotOneUpToItsEnd)
{
    struct Row {
        const char* name;
        uint8_t format;
        std::vector<BYTE> slot;
        int notes; // how many of the slot's bytes it plays; -1: it refuses
    };
    const Row rows[] = {
        {"EndByteEndsIt", 0xE0, {Code(3, 2), Code(20, 4), 0x07, Code(5, 1)}, 2},
        // 32 × 7: a full slot has no end byte before its last byte, which is never a note.
        {"FullSlot", 0xF8, {1, 2, 3, 4, 9, 10, 11, 12, 13}, 7},
        {"BadByteEndsItThere", 0x00, {Code(7, 0), 0x0F, Code(8, 1)}, 1},
        {"BlankDoorbell", 0xFF, {}, -1},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        CMelody melody;
        EXPECT_EQ(SimPlayer::FirstMelody(Image(r.slot).data(), r.format, &melody), r.notes >= 0);
        std::vector<BYTE> notes;
        for (int i = 0; i < melody.GetNoteCount(); ++i)
            notes.push_back(melody.GetNoteCode(i));
        EXPECT_EQ(notes, std::vector<BYTE>(r.slot.begin(), r.slot.begin() + std::max(r.notes, 0)));
    }
}

class SimPlayerTest : public ::testing::Test
{
protected:
    SimPlayerTest() { test::RecordSpeaker(&events); }
    ~SimPlayerTest() override
    {
        Ports::Instance().SetSpeaker(nullptr);
        Ports::Instance().SetParallel(nullptr);
    }
    std::vector<uint32_t> events;
};

TEST_F(SimPlayerTest, PlaysEveryNoteForItsTicksThenASilentTickStartsOverAndSilencesAsItGoes)
{
    const uint32_t a = DivisorOf(Code(10, 3)), b = DivisorOf(Code(25, 4));
    const auto image = Image({Code(10, 3), Code(25, 4), 0x07});
    {
        SimPlayer player;
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
    QByteArray bytes(SimDoorbell::kMemoryBytes, char(0xFF));
    bytes[0] = char(Code(12, 2));
    bytes[1] = 0x07;
    bytes[256] = char(0x80); // 2 × 127
    const test::TempFiles files;
    auto sim = std::make_unique<SimDoorbell>(SimOptions{files.Write("doorbell.bin", bytes)});
    SimPlayer player;
    player.Attach(sim.get());
    Ports::Instance().SetParallel(std::move(sim));

    Outp(kPortData, 0x30); // play line falls
    EXPECT_TRUE(player.IsPlaying());
    EXPECT_EQ(events, (std::vector<uint32_t>{DivisorOf(Code(12, 2))}));
    Outp(kPortData, 0x38);
    Outp(kPortData, 0x18);
    EXPECT_FALSE(player.IsPlaying());
    EXPECT_EQ(events.back(), 0u);
}

TEST_F(SimPlayerTest, NeverStartsOverSomeoneElsesToneAndGivesTheSpeakerUpToWhoeverSoundsIt)
{
    const auto image = Image({Code(1, 0), 0x07});
    SimPlayer player;
    CNote(4, 1).SoundOn();
    player.Play(image.data(), 0x00);
    EXPECT_FALSE(player.IsPlaying());
    CNote::SoundOff();
    player.Play(image.data(), 0x00);
    player.OnTick();
    CNote(30, 2).SoundOn(); // the playback dialog starts a note of its own
    const std::vector<uint32_t> before = events;
    player.OnTick();
    EXPECT_FALSE(player.IsPlaying());
    player.Stop();
    EXPECT_EQ(events, before) << "the player touched a tone that was not its own";
    // A new control word silences the timer until its count: hence the 0 before the dialog's.
    EXPECT_EQ(events, (std::vector<uint32_t>{DivisorOf(Code(4, 1)), 0, DivisorOf(Code(1, 0)), 0,
                                             DivisorOf(Code(30, 2))}));
    CNote::SoundOff();
}

} // namespace
