#include "platform/Archive.h"

#include <gtest/gtest.h>

#include <functional>

using namespace tinkla;

namespace
{

// Each length in the shortest form (hex), read back to exactly its end; a text may end in the
// byte that also opens a long prefix.
TEST(Archive, StringsTakeTheShortestLengthPrefixAndReadBack)
{
    const std::pair<qsizetype, const char*> cases[] = {{0, "00"},
                                                       {254, "fe"},
                                                       {255, "ffff00"},
                                                       {0xFFFD, "fffdff"},
                                                       {0xFFFE, "fffffffeff0000"},
                                                       {0x10000, "ffffff00000100"}};
    for (const auto& [length, prefix] : cases) {
        QByteArray text(length, 'a');
        if (length > 0)
            text.back() = '\xFF';
        Archive out;
        out.WriteString(text);
        EXPECT_EQ(out.Data(), QByteArray::fromHex(prefix) + text) << length;
        Archive in(out.Data() + '\x42', nullptr);
        EXPECT_EQ(in.ReadString(), text) << length;
        EXPECT_EQ(in.ReadU8(), 0x42) << length;
    }
    // Other writers may give 0xFFFE in three bytes.
    Archive in(QByteArray::fromHex("fffeff") + QByteArray(0xFFFE, 'z'), nullptr);
    EXPECT_EQ(in.ReadString().size(), 0xFFFE);
}

TEST(Archive, IntegersAreLittleEndianOfTheirDeclaredWidth)
{
    Archive out;
    out.WriteU8(0xAB);
    out.WriteU16(0x1234);
    out.WriteI32(-2);
    out.WriteU32(0x89ABCDEF);
    EXPECT_EQ(out.Data(), QByteArray::fromHex("ab3412feffffffefcdab89"));
    Archive in(out.Data(), nullptr);
    EXPECT_EQ(in.ReadU8(), 0xAB);
    EXPECT_EQ(in.ReadU16(), 0x1234);
    EXPECT_EQ(in.ReadI32(), -2);
    EXPECT_EQ(in.ReadU32(), 0x89ABCDEFu);
    EXPECT_EQ(in.Remaining(), 0u);
}

TEST(Archive, ReadingPastTheEndThrows)
{
    const auto u8 = [](Archive& a) { a.ReadU8(); };
    const auto u32 = [](Archive& a) { a.ReadU32(); };
    const auto string = [](Archive& a) { a.ReadString(); };
    const std::pair<const char*, std::function<void(Archive&)>> cases[] = {
        {"", u8},
        {"010203", u32},
        {"04616263", string},            // the text short by one
        {"ff01", string},                // 16-bit prefix cut
        {"ffffff0000", string},          // 32-bit prefix cut
        {"ff000161", string},            // 16-bit length beyond the data
        {"ffffffffffffff6162", string}}; // 4 GiB - 1: refused before anything is allocated
    for (const auto& [hex, read] : cases) {
        Archive in(QByteArray::fromHex(hex), nullptr);
        EXPECT_THROW(read(in), ArchiveError) << hex;
    }
    Archive in(QByteArray::fromHex("010203"), nullptr);
    EXPECT_NO_THROW(in.Require(3));
    EXPECT_THROW(in.Require(4), ArchiveError);
    EXPECT_THROW(in.Require(UINT64_MAX), ArchiveError);
    EXPECT_EQ(in.ReadU8(), 1) << "Require does not move";
}

} // namespace
