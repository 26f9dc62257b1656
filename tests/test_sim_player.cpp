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

#include <QFile>
#include <QTemporaryDir>
#include <array>
#include <gtest/gtest.h>
#include <vector>

using namespace tinkla;

namespace
{

TINKLA_PRINT_ROWS_BY_NAME

BYTE Code(int tone, int duration)
{
    return static_cast<BYTE>(tone * 8 + duration);
}

uint32_t DivisorOf(BYTE code)
{
    return 1193180u / static_cast<uint32_t>(g_nFrequencies[CNote(code).GetTone()]);
}

// 512 bytes of doorbell memory: the image (blank elsewhere) and the format byte.
struct Memory {
    std::array<uint8_t, 256> image;
    uint8_t format;
    Memory(uint8_t formatByte, std::vector<BYTE> slot) : format(formatByte)
    {
        image.fill(0xFF);
        std::copy(slot.begin(), slot.end(), image.begin());
    }
};

class SimPlayerTest : public ::testing::Test
{
protected:
    void SetUp() override { test::RecordSpeaker(&events); }
    void TearDown() override
    {
        Ports::Instance().SetSpeaker(nullptr);
        Ports::Instance().SetParallel(nullptr);
    }
    // Ticks until the player stops; returns the ticks it took.
    static int PlayOut(SimPlayer& player)
    {
        int ticks = 0;
        for (; player.IsPlaying() && ticks < 1000; ++ticks)
            player.OnTick();
        return ticks;
    }
    std::vector<uint32_t> events;
};

struct FirstMelodyCase {
    const char* name;
    uint8_t format;
    std::vector<BYTE> slot;
    bool ok;
    std::vector<BYTE> notes;
};

class FirstMelodyDecode : public ::testing::TestWithParam<FirstMelodyCase>
{
};

TEST_P(FirstMelodyDecode, TakesSlotOneUpToItsEnd)
{
    const FirstMelodyCase& c = GetParam();
    const Memory memory(c.format, c.slot);
    CMelody melody;
    EXPECT_EQ(SimPlayer::FirstMelody(memory.image.data(), c.format, &melody), c.ok);
    std::vector<BYTE> notes;
    for (int i = 0; i < melody.GetNoteCount(); ++i)
        notes.push_back(melody.GetNoteCode(i));
    EXPECT_EQ(notes, c.notes);
}

INSTANTIATE_TEST_SUITE_P(
    Slots, FirstMelodyDecode,
    ::testing::Values(
        FirstMelodyCase{"EndByteEndsIt",
                        0xE0,
                        {Code(3, 2), Code(20, 4), 0x07, Code(5, 1)},
                        true,
                        {Code(3, 2), Code(20, 4)}},
        // 32 × 7: a full slot has no end byte before its last byte, which is never a note.
        FirstMelodyCase{
            "FullSlot", 0xF8, {1, 2, 3, 4, 9, 10, 11, 12, 13}, true, {1, 2, 3, 4, 9, 10, 11}},
        FirstMelodyCase{
            "BadByteEndsItThere", 0x00, {Code(7, 0), 0x0F, Code(8, 1)}, true, {Code(7, 0)}},
        FirstMelodyCase{"BlankDoorbell", 0xFF, {}, false, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SimPlayerTest, PlaysEveryNoteForItsTicksThenASilentTick)
{
    const Memory memory(0xE0, {Code(10, 3), Code(25, 4), 0x07});
    SimPlayer player;
    player.Play(memory.image.data(), memory.format);
    ASSERT_TRUE(player.IsPlaying());
    EXPECT_EQ(events, (std::vector<uint32_t>{DivisorOf(Code(10, 3))}));

    // Eighth: 4 ticks sounding, one silent; sixteenth: 2 and 1; the end is seen at the next tick.
    EXPECT_EQ(PlayOut(player), 4 + 1 + 2 + 1);
    EXPECT_EQ(events,
              (std::vector<uint32_t>{DivisorOf(Code(10, 3)), 0, DivisorOf(Code(25, 4)), 0}));
}

TEST_F(SimPlayerTest, PlayLineOfAttachedDoorbellPlaysItsMemory)
{
    QTemporaryDir dir;
    QByteArray bytes(SimDoorbell::kMemoryBytes, char(0xFF));
    bytes[0] = char(Code(12, 2));
    bytes[1] = 0x07;
    bytes[256] = char(0x80); // 2 × 127
    SimOptions options;
    options.path = dir.filePath(QStringLiteral("doorbell.bin"));
    QFile file(options.path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();
    auto sim = std::make_unique<SimDoorbell>(options);
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

TEST_F(SimPlayerTest, GivesTheSpeakerUpToWhoeverSoundsIt)
{
    const Memory memory(0x00, {Code(1, 0), 0x07});
    SimPlayer player;
    player.Play(memory.image.data(), memory.format);
    player.OnTick();
    // The playback dialog starts a note of its own.
    CNote(30, 2).SoundOn();
    const std::vector<uint32_t> before = events;
    player.OnTick();
    EXPECT_FALSE(player.IsPlaying());
    player.Stop();
    EXPECT_EQ(events, before) << "the player touched a tone that was not its own";
    CNote::SoundOff();
}

TEST_F(SimPlayerTest, NeverStartsOverSomeoneElsesTone)
{
    CNote(4, 1).SoundOn();
    const Memory memory(0x00, {Code(9, 0), 0x07});
    SimPlayer player;
    player.Play(memory.image.data(), memory.format);
    EXPECT_FALSE(player.IsPlaying());
    EXPECT_EQ(events, (std::vector<uint32_t>{DivisorOf(Code(4, 1))}));
    CNote::SoundOff();
}

TEST_F(SimPlayerTest, PlayAgainStartsOverAndDestructionSilences)
{
    const Memory memory(0x00, {Code(2, 0), Code(3, 0), 0x07});
    {
        SimPlayer player;
        player.Play(memory.image.data(), memory.format);
        for (int i = 0; i < 40; ++i)
            player.OnTick(); // into the second note
        ASSERT_EQ(events.back(), DivisorOf(Code(3, 0)));
        player.Play(memory.image.data(), memory.format);
        EXPECT_EQ(events.back(), DivisorOf(Code(2, 0)));
    }
    EXPECT_EQ(events.back(), 0u);
}

} // namespace
