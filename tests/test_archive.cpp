#include "platform/Archive.h"

#include "support/DocTestKit.h"

#include <gtest/gtest.h>

#include <functional>

using namespace tinkla;

namespace
{

TINKLA_PRINT_ROWS_BY_NAME

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(static_cast<char>(v));
    return b;
}

struct PrefixCase {
    qsizetype length;
    QByteArray prefix; // what precedes the text
};
void PrintTo(const PrefixCase& c, std::ostream* os)
{
    *os << "length " << c.length;
}

class ArchiveStringPrefix : public ::testing::TestWithParam<PrefixCase>
{
};

TEST_P(ArchiveStringPrefix, WritesTheShortestFormAndReadsItBack)
{
    const PrefixCase& c = GetParam();
    QByteArray text(c.length, 'a');
    text[0] = '\xCD';
    text[c.length - 1] = '\xFF'; // a text may end in the byte that also opens a long prefix

    Archive out;
    out.WriteString(text);
    ASSERT_EQ(out.Data().size(), c.prefix.size() + c.length);
    EXPECT_EQ(out.Data().left(c.prefix.size()), c.prefix);
    EXPECT_EQ(out.Data().mid(c.prefix.size()), text);

    Archive in(out.Data() + Bytes({0x42}), nullptr);
    EXPECT_EQ(in.ReadString(), text);
    EXPECT_EQ(in.ReadU8(), 0x42); // the reader stops exactly after the text
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, ArchiveStringPrefix,
    ::testing::Values(PrefixCase{254, Bytes({0xFE})}, PrefixCase{255, Bytes({0xFF, 0xFF, 0x00})},
                      PrefixCase{0xFFFD, Bytes({0xFF, 0xFD, 0xFF})},
                      PrefixCase{0xFFFE, Bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
                      PrefixCase{0x10000, Bytes({0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00})}),
    [](const auto& info) { return "Length" + std::to_string(info.param.length); });

TEST(Archive, EmptyStringIsOneZeroByte)
{
    Archive out;
    out.WriteString(QByteArray());
    EXPECT_EQ(out.Data(), Bytes({0x00}));
    Archive in(out.Data(), nullptr);
    EXPECT_TRUE(in.ReadString().isEmpty());
    EXPECT_EQ(in.Remaining(), 0u);
}

TEST(Archive, ReadsAThreeByteLengthOf0xFFFEThatOtherWritersMayProduce)
{
    QByteArray data = Bytes({0xFF, 0xFE, 0xFF});
    data.append(QByteArray(0xFFFE, 'z'));
    Archive in(data, nullptr);
    EXPECT_EQ(in.ReadString().size(), 0xFFFE);
}

TEST(Archive, IntegersAreLittleEndianOfTheirDeclaredWidth)
{
    Archive out;
    out.WriteU8(0xAB);
    out.WriteU16(0x1234);
    out.WriteI32(-2);
    out.WriteU32(0x89ABCDEF);
    EXPECT_EQ(out.Data(),
              Bytes({0xAB, 0x34, 0x12, 0xFE, 0xFF, 0xFF, 0xFF, 0xEF, 0xCD, 0xAB, 0x89}));

    Archive in(out.Data(), nullptr);
    EXPECT_TRUE(in.IsLoading());
    EXPECT_EQ(in.ReadU8(), 0xAB);
    EXPECT_EQ(in.ReadU16(), 0x1234);
    EXPECT_EQ(in.ReadI32(), -2);
    EXPECT_EQ(in.ReadU32(), 0x89ABCDEFu);
    EXPECT_EQ(in.Remaining(), 0u);
}

struct EarlyEndCase {
    const char* name;
    QByteArray data;
    std::function<void(Archive&)> read;
};

class ArchiveEarlyEnd : public ::testing::TestWithParam<EarlyEndCase>
{
};

TEST_P(ArchiveEarlyEnd, ThrowsArchiveError)
{
    Archive in(GetParam().data, nullptr);
    EXPECT_THROW(GetParam().read(in), ArchiveError);
}

const auto kReadU8 = [](Archive& a) { a.ReadU8(); };
const auto kReadU32 = [](Archive& a) { a.ReadU32(); };
const auto kReadString = [](Archive& a) { a.ReadString(); };

INSTANTIATE_TEST_SUITE_P(
    Cases, ArchiveEarlyEnd,
    ::testing::Values(
        EarlyEndCase{"U8OfNothing", {}, kReadU8},
        EarlyEndCase{"U32OfThree", Bytes({1, 2, 3}), kReadU32},
        EarlyEndCase{"StringShortByOne", Bytes({4, 'a', 'b', 'c'}), kReadString},
        EarlyEndCase{"SixteenBitPrefixCut", Bytes({0xFF, 0x01}), kReadString},
        EarlyEndCase{"ThirtyTwoBitPrefixCut", Bytes({0xFF, 0xFF, 0xFF, 0x00, 0x00}), kReadString},
        EarlyEndCase{"SixteenBitLengthBeyondData", Bytes({0xFF, 0x00, 0x01, 'a'}), kReadString},
        // 4 GiB - 1 declared over two bytes: refused before anything is allocated (an attempt to
        // allocate would fail with bad_alloc instead, or succeed and be caught by the fuzzers).
        EarlyEndCase{"HugeDeclaredLength",
                     Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 'b'}), kReadString}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Archive, RequireChecksWhatRemainsWithoutMoving)
{
    Archive in(Bytes({1, 2, 3}), nullptr);
    EXPECT_NO_THROW(in.Require(3));
    EXPECT_THROW(in.Require(4), ArchiveError);
    EXPECT_THROW(in.Require(UINT64_MAX), ArchiveError);
    EXPECT_EQ(in.Remaining(), 3u);
    EXPECT_EQ(in.ReadU8(), 1);
}

} // namespace
