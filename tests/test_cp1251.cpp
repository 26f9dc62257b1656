#include "platform/Cp1251.h"

#include <gtest/gtest.h>

using namespace tinkla;

namespace
{

// 0x98 is the one byte the code page leaves unassigned: it shows, and cannot be written back.
TEST(Cp1251, EveryAssignedByteSurvivesTheRoundTripThroughUnicode)
{
    for (int b = 0; b < 256; ++b) {
        const QByteArray one(1, static_cast<char>(b));
        const QString text = Cp1251ToUnicode(one);
        const bool assigned = b != 0x98;
        EXPECT_EQ(text.size() == 1 && text[0] != QChar(0xFFFD), assigned) << b;
        QByteArray back;
        EXPECT_EQ(UnicodeToCp1251(text, &back), assigned) << b;
        EXPECT_EQ(back, assigned ? one : QByteArray()) << b;
    }
    EXPECT_EQ(Cp1251FromUtf8("Новая мелодия Ёё№€"),
              QByteArray("\xCD\xEE\xE2\xE0\xFF\x20\xEC\xE5\xEB\xEE\xE4\xE8\xFF \xA8\xB8\xB9\x88"));
}

TEST(Cp1251, TextWithACharacterOutsideTheCodePageIsRefusedAndTheOutputKept)
{
    for (const char16_t* t : {u"Мелодия \u266A", u"ok \U0001F514", u"\uFFFD"}) {
        QByteArray out("unchanged");
        EXPECT_FALSE(UnicodeToCp1251(QString::fromUtf16(t), &out));
        EXPECT_EQ(out, QByteArray("unchanged"));
        EXPECT_FALSE(IsCp1251Encodable(QString::fromUtf16(t)));
    }
}

} // namespace
