// The doorbell image: a set turned into 256 bytes and back, the bad-contents rule, and what
// a verification says about an image that differs.
#include "bell/BellMessages.h"
#include "bell/DoorbellImage.h"
#include "document/TinklaDoc.h"
#include "support/DocTestKit.h"
#include "test_bus_support.h"

#include <random>

using namespace tinkla;
using tinkla::test::SetFixture;

namespace
{

using tinkla::test::Code;

TEST(DoorbellImage, SlotsHoldNotesEndByteAndFillerAndNothingSpills)
{
    SetFixture set(32, 7,
                   {{Code(0, 0), Code(31, 4), Code(11, 3)},
                    {},
                    std::vector<BYTE>(9, Code(1, 1)),
                    {Code(2, 2)}});
    DoorbellImage image;
    ASSERT_TRUE(BuildDoorbellImage(set.doc, &image));
    EXPECT_EQ(std::vector<BYTE>(image.begin(), image.begin() + 16),
              (std::vector<BYTE>{0x00, 0xFC, 0x5B, 0x07, 0xFF, 0xFF, 0xFF, 0xFF, 0x07, 0xFF, 0xFF,
                                 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(image[22], Code(1, 1)) << "a melody longer than its slot is cut";
    EXPECT_EQ(image[23], kEndByte);
    EXPECT_EQ(image[24], Code(2, 2)) << "the next melody where it belongs";

    SetFixture full(1, 255, {std::vector<BYTE>(255, Code(5, 2))});
    ASSERT_TRUE(BuildDoorbellImage(full.doc, &image));
    EXPECT_EQ(image[254], Code(5, 2));
    EXPECT_EQ(image[255], kEndByte);
}

TEST(DoorbellImage, EveryFormatDecodesToTheSameNotes)
{
    for (int format = 0; format < kFormatCount; ++format) {
        const SetFormat& f = kSetFormats[format];
        SCOPED_TRACE(testing::Message() << f.melodies << " melodies");
        std::mt19937 random(static_cast<unsigned>(format) + 7);
        std::vector<std::vector<BYTE>> content(f.melodies);
        for (auto& melody : content)
            for (unsigned j = 0, count = random() % (f.notes + 1); j < count; ++j)
                melody.push_back(
                    Code(static_cast<int>(random() % 32), static_cast<int>(random() % 5)));
        content.back().assign(f.notes, Code(31, 4)); // one full melody in every format
        SetFixture set(f.melodies, f.notes, content);
        DoorbellImage image;
        ASSERT_TRUE(BuildDoorbellImage(set.doc, &image));
        SetFixture back(8, 31);
        EXPECT_EQ(ApplyDoorbellImage(back.doc, f.melodies, f.notes, image), nullptr);
        EXPECT_EQ(back.doc.GetMelodyCount(), f.melodies);
        EXPECT_EQ(back.doc.GetNotesPerMelody(), f.notes);
        EXPECT_EQ(back.Notes(), content);
    }
}

DoorbellImage Blank()
{
    DoorbellImage image;
    image.fill(kFillerByte);
    return image;
}

// Reading replaces the titles, makes melody 1 current and leaves the changes flag alone. A slot
// without an end byte is a full melody whose last byte is never read; a bad byte stops the
// reading with the message and keeps what came before it.
TEST(DoorbellImage, ReadingTakesEachSlotUpToItsEndByteAndStopsAtABadByte)
{
    SetFixture set(8, 31, {{Code(3, 3)}});
    set.doc.GetMelody(0)->SetTitle("Title");
    set.doc.SetCurrentNumber(5);
    set.doc.SetModifiedFlag(true);
    DoorbellImage image = Blank();
    for (int j = 0; j < 31; ++j)
        image[j] = Code(7, 1);
    image[31] = 0x0F; // would be bad, but it is the slot's last byte
    for (int k = 1; k < 8; ++k)
        image[k * 32] = kEndByte;
    ASSERT_EQ(ApplyDoorbellImage(set.doc, 8, 31, image), nullptr);
    EXPECT_EQ(set.doc.GetCurrentNumber(), 1u);
    EXPECT_EQ(set.doc.GetMelody(0)->GetTitle(), DefaultMelodyTitle());
    EXPECT_TRUE(set.doc.IsModified());
    EXPECT_EQ(set.Notes()[0], std::vector<BYTE>(31, Code(7, 1)));
    EXPECT_TRUE(set.Notes()[1].empty());

    image[0] = Code(2, 2); // melody 1: one note
    image[1] = kEndByte;
    image[32] = Code(3, 3); // melody 2: one note, then a duration field of 7
    image[33] = 0x0F;
    image[64] = Code(4, 4); // melody 3 is never reached
    image[65] = kEndByte;
    EXPECT_EQ(ApplyDoorbellImage(set.doc, 8, 31, image), kMsgBellContents);
    EXPECT_EQ(set.Notes()[0], std::vector<BYTE>{Code(2, 2)});
    EXPECT_EQ(set.Notes()[1], std::vector<BYTE>{Code(3, 3)});
    EXPECT_TRUE(set.Notes()[2].empty());
}

TEST(DoorbellImage, FormatOutsideTheSixHasNoImageAndLeavesTheSetAlone)
{
    SetFixture other(8, 15);
    DoorbellImage image;
    image.fill(0x11);
    EXPECT_FALSE(BuildDoorbellImage(other.doc, &image));
    EXPECT_EQ(image[0], 0x11);
    SetFixture set(8, 31, {{Code(1, 1), Code(2, 2)}});
    const QByteArray before = set.Saved();
    EXPECT_EQ(ApplyDoorbellImage(set.doc, 8, 15, Blank()), kMsgBellContents);
    EXPECT_EQ(ApplyDoorbellImage(set.doc, 64, 3, Blank()), kMsgBellContents);
    EXPECT_EQ(set.Saved(), before);
}

const BYTE kLa4 = Code(1, 2);    // Ля 1/4
const BYTE kSi8 = Code(3, 3);    // Си 1/8
const BYTE kLa4Up = Code(13, 2); // Ля 1/4 an octave up

// Melody 2 of an 8 × 31 set as in the set and as read: each difference names the melody, the note
// and both values.
TEST(DoorbellImage, DifferencesNameWhereAndBothValues)
{
    const std::tuple<std::vector<BYTE>, std::vector<BYTE>, QStringList> cases[] = {
        {{kLa4, kSi8}, {kLa4, kSi8}, {}},
        {{kSi8, kSi8, kSi8, kSi8, kSi8},
         {kSi8, kSi8, kSi8, kSi8, kLa4},
         {"мелодия 2, нота 5: в звонке Ля 1/4, в наборе Си 1/8"}},
        {{kSi8, kLa4}, {kSi8}, {"мелодия 2, нота 2: в звонке нет ноты, в наборе Ля 1/4"}},
        {{}, {kSi8}, {"мелодия 2, нота 1: в звонке Си 1/8, в наборе нет ноты"}},
        {{kLa4},
         {kLa4Up},
         {"мелодия 2, нота 1: в звонке Ля, Первая октава 1/4, в наборе Ля, Малая октава 1/4"}}};
    for (const auto& [inSet, inBell, expected] : cases) {
        SetFixture wanted(8, 31, {{}, inSet});
        SetFixture got(8, 31, {{}, inBell});
        DoorbellImage a, b;
        ASSERT_TRUE(BuildDoorbellImage(wanted.doc, &a));
        ASSERT_TRUE(BuildDoorbellImage(got.doc, &b));
        EXPECT_EQ(DescribeImageDifferences(8, 31, a, 8, 31, b), expected);
    }
    // Beyond the notes: the format, the filler and bad bytes, and a limit on the lines.
    SetFixture set(8, 31, {{kLa4}});
    DoorbellImage image;
    ASSERT_TRUE(BuildDoorbellImage(set.doc, &image));

    EXPECT_EQ(DescribeImageDifferences(8, 31, image, 16, 15, image),
              QStringList{"формат: в звонке 16 м. x 15 н., в наборе 8 м. x 31 н."});

    DoorbellImage filler = image;
    filler[5] = 0x00;
    EXPECT_EQ(DescribeImageDifferences(8, 31, image, 8, 31, filler),
              QStringList{"байт 5: в звонке 0x00, в наборе 0xff"});

    DoorbellImage bad = image;
    bad[0] = 0x0F;
    EXPECT_EQ(DescribeImageDifferences(8, 31, image, 8, 31, bad),
              QStringList{"мелодия 1, нота 1: в звонке испорченный байт 0x0f, в наборе Ля 1/4"});

    DoorbellImage many = image;
    for (int i = 40; i < 100; ++i)
        many[i] = 0x00;
    const QStringList lines = DescribeImageDifferences(8, 31, image, 8, 31, many, 5);
    ASSERT_EQ(lines.size(), 6);
    // melody 3 now holds 31 notes of code 0, melody 4 four of them and then a bad byte (0xff)
    EXPECT_EQ(lines.last(), QStringLiteral("... и еще 31"));
}

} // namespace
