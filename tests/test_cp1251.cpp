#include "platform/Cp1251.h"

#include <gtest/gtest.h>

using namespace tinkla;

namespace
{

TEST(Cp1251, EveryAssignedByteSurvivesTheRoundTripThroughUnicode)
{
    for (int b = 0; b < 256; ++b) {
        if (b == 0x98)
            continue; // the one byte code page 1251 leaves unassigned
        const QByteArray one(1, static_cast<char>(b));
        const QString text = Cp1251ToUnicode(one);
        ASSERT_EQ(text.size(), 1) << "byte " << b;
        EXPECT_NE(text[0].unicode(), 0xFFFD) << "byte " << b;
        QByteArray back;
        ASSERT_TRUE(UnicodeToCp1251(text, &back)) << "byte " << b;
        EXPECT_EQ(back, one) << "byte " << b;
    }
}

TEST(Cp1251, UnassignedByteShowsAsReplacementCharacterThatCannotBeWrittenBack)
{
    const QString text = Cp1251ToUnicode(QByteArray("a\x98z"));
    EXPECT_EQ(text, QStringLiteral("a\uFFFDz"));
    EXPECT_FALSE(IsCp1251Encodable(text));
}

TEST(Cp1251, CyrillicTitleHasTheBytesTheFilesHold)
{
    const QByteArray expected("\xCD\xEE\xE2\xE0\xFF\x20\xEC\xE5\xEB\xEE\xE4\xE8\xFF");
    EXPECT_EQ(Cp1251FromUtf8("Новая мелодия"), expected);
    QByteArray out;
    ASSERT_TRUE(UnicodeToCp1251(QStringLiteral("Ёё№€"), &out));
    EXPECT_EQ(out, QByteArray("\xA8\xB8\xB9\x88"));
}

class Cp1251Refuses : public ::testing::TestWithParam<const char16_t*>
{
};

TEST_P(Cp1251Refuses, TextWithACharacterOutsideTheCodePage)
{
    const QString text = QString::fromUtf16(GetParam());
    QByteArray out("unchanged");
    EXPECT_FALSE(UnicodeToCp1251(text, &out));
    EXPECT_EQ(out, QByteArray("unchanged"));
    EXPECT_FALSE(IsCp1251Encodable(text));
}

INSTANTIATE_TEST_SUITE_P(Texts, Cp1251Refuses,
                         ::testing::Values(u"Мелодия \u266A", u"ok \U0001F514", u"\uFFFD"),
                         [](const auto& info) { return "Text" + std::to_string(info.index); });

} // namespace
