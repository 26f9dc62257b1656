#include "bell/BellMessages.h"
#include "bell/DoorbellImage.h"
#include "test_bus_support.h"

using namespace tinkla;
using tinkla::test::Code;
using tinkla::test::SetFixture;

namespace
{

DoorbellImage ImageOf(unsigned melodies, unsigned notes,
                      const std::vector<std::vector<BYTE>>& content)
{
    SetFixture set(melodies, notes, content);
    DoorbellImage image;
    EXPECT_TRUE(BuildDoorbellImage(set.doc, &image));
    return image;
}

// Melody 3 (9 notes) is cut to its slot of 7; melody 4 starts where it belongs. A format outside
// the six has no image, and the one given is left as it was.
TEST(DoorbellImage, SlotsHoldNotesEndByteAndFillerAndNothingSpills)
{
    DoorbellImage image = ImageOf(32, 7,
                                  {{Code(0, 0), Code(31, 4), Code(11, 3)},
                                   {},
                                   std::vector<BYTE>(9, Code(1, 1)),
                                   {Code(2, 2)}});
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(image.data()), 25),
              QByteArray::fromHex("00fc5b07ffffffff07ffffffffffffff090909090909090712"));
    SetFixture other(8, 15);
    EXPECT_FALSE(BuildDoorbellImage(other.doc, &image));
    EXPECT_EQ(image[1], 0xFC);
}

// A format outside the six is refused. Reading replaces the titles, makes melody 1 current, keeps
// the changes flag. A slot without an end byte is full, its last byte never read; a bad byte stops
// the reading with the message and keeps what came before it.
TEST(DoorbellImage, ReadingTakesEachSlotUpToItsEndByteAndStopsAtABadByte)
{
    SetFixture set(8, 31, {{Code(3, 3)}});
    set.doc.GetMelody(0)->SetTitle("Title");
    set.doc.SetCurrentNumber(5);
    set.doc.SetModifiedFlag(true);
    const QByteArray before = set.Saved();
    DoorbellImage image;
    image.fill(kFillerByte);
    EXPECT_EQ(ApplyDoorbellImage(set.doc, 8, 15, image), kMsgBellContents);
    EXPECT_EQ(set.Saved(), before);
    std::fill_n(image.begin(), 31, Code(7, 1));
    image[31] = 0x0F; // would be bad, but it is the slot's last byte
    for (int k = 1; k < 8; ++k)
        image[k * 32] = kEndByte;
    ASSERT_EQ(ApplyDoorbellImage(set.doc, 8, 31, image), nullptr);
    EXPECT_EQ(set.doc.GetCurrentNumber(), 1u);
    EXPECT_EQ(set.doc.GetMelody(0)->GetTitle(), DefaultMelodyTitle());
    EXPECT_TRUE(set.doc.IsModified());
    EXPECT_EQ(set.Notes()[0], std::vector<BYTE>(31, Code(7, 1)));
    EXPECT_TRUE(set.Notes()[1].empty());

    // Melody 1: one note; melody 2: one, then a duration field of 7; melody 3 is never reached.
    const std::pair<int, BYTE> bytes[] = {{0, Code(2, 2)}, {1, kEndByte},    {32, Code(3, 3)},
                                          {33, 0x0F},      {64, Code(4, 4)}, {65, kEndByte}};
    for (const auto& [at, code] : bytes)
        image[at] = code;
    EXPECT_EQ(ApplyDoorbellImage(set.doc, 8, 31, image), kMsgBellContents);
    EXPECT_EQ(set.Notes()[0], std::vector<BYTE>{Code(2, 2)});
    EXPECT_EQ(set.Notes()[1], std::vector<BYTE>{Code(3, 3)});
    EXPECT_TRUE(set.Notes()[2].empty());
}

// Each difference names the melody, the note and both values (as in the bell, as in the set).
TEST(DoorbellImage, DifferencesNameWhereAndBothValues)
{
    const BYTE la = Code(1, 2), si = Code(3, 3), laUp = Code(13, 2); // Ля 1/4, Си 1/8
    // Melody 2 in the set, in the bell, and the differences.
    const std::tuple<std::vector<BYTE>, std::vector<BYTE>, QStringList> cases[] = {
        {{la, si}, {la, si}, {}},
        {{si, la}, {si}, {"мелодия 2, нота 2: в звонке нет ноты, в наборе Ля 1/4"}},
        {{}, {si}, {"мелодия 2, нота 1: в звонке Си 1/8, в наборе нет ноты"}},
        // The same name an octave apart: both named with their octave.
        {{si, si, si, si, la},
         {si, si, si, si, laUp},
         {"мелодия 2, нота 5: в звонке Ля, Первая октава 1/4, в наборе Ля, Малая октава 1/4"}}};
    for (const auto& [inSet, inBell, expected] : cases)
        EXPECT_EQ(DescribeImageDifferences(8, 31, ImageOf(8, 31, {{}, inSet}), 8, 31,
                                           ImageOf(8, 31, {{}, inBell})),
                  expected);

    const DoorbellImage one = ImageOf(8, 31, {{la}});
    // The format read back, bytes from .. to set to a value in the bell's copy: the format, filler,
    // a bad byte, too many lines (melody 3 now 31 notes of code 0, melody 4 four, then a bad byte).
    const std::tuple<unsigned, unsigned, int, int, BYTE, int, QString> changes[] = {
        {16, 15, 0, 0, 0x00, 1, "формат: в звонке 16 м. x 15 н., в наборе 8 м. x 31 н."},
        {8, 31, 5, 6, 0x00, 1, "байт 5: в звонке 0x00, в наборе 0xff"},
        {8, 31, 0, 1, 0x0F, 1,
         "мелодия 1, нота 1: в звонке испорченный байт 0x0f, в наборе Ля 1/4"},
        {8, 31, 40, 100, 0x00, 6, "... и еще 31"}};
    for (const auto& [m, n, from, to, value, count, last] : changes) {
        DoorbellImage other = one;
        std::fill(other.begin() + from, other.begin() + to, value);
        const QStringList lines = DescribeImageDifferences(8, 31, one, m, n, other, 5);
        ASSERT_EQ(lines.size(), count) << from;
        EXPECT_EQ(lines.last(), last);
    }
}

} // namespace
