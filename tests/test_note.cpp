#include "model/Messages.h"
#include "model/Note.h"
#include "platform/Archive.h"
#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>

using namespace tinkla;

namespace
{

// A note's record is its tone, then its duration, for every code a note can hold.
TEST(Note, EveryCodeKeepsItsToneAndDurationInItsRecord)
{
    for (int code = 0; code < 256; ++code) {
        if ((code & 7) > 4)
            continue; // never produced by a note: 0x07 ends a melody, 0xFF fills the image
        Archive out;
        CNote(static_cast<BYTE>(code)).Serialize(out);
        EXPECT_EQ(out.Data(), QByteArray(1, char(code >> 3)) + char(code & 7)) << code;
    }
}

TEST(Note, StepsStopAtTheirLimitsAndTheGlyphMovesOnlyWhenPlacedAgain)
{
    CNote up(30, 2), down(1, 2), longer(5, 1), shorter(5, 3);
    for (int i = 0; i < 2; ++i) {
        up.ToneUp();
        down.ToneDown();
        longer.Lengthen();
        shorter.Shorten();
        EXPECT_EQ(up.GetCode(), 31 << 3 | 2);
        EXPECT_EQ(down.GetCode(), 0 << 3 | 2);
        EXPECT_EQ(longer.GetCode(), 5 << 3 | 0);
        EXPECT_EQ(shorter.GetCode(), 5 << 3 | 4);
    }
    CNote note(14, 2); // tone 15 sits elsewhere on the staff
    note.SetPosition(0);
    const Point before = note.GetPosition();
    note.ToneUp();
    EXPECT_EQ(note.GetPosition(), before);
    note.SetPosition(0);
    EXPECT_NE(note.GetPosition(), before);
}

// Both bytes are read whatever they hold; a refused record leaves the default note.
TEST(NoteRecord, AcceptsValidCodesAndReportsTheRest)
{
    const std::tuple<int, int, bool> cases[] = {
        {31, 4, true}, {32, 0, false}, {0, 5, false}, {255, 255, false}};
    for (const auto& [tone, duration, accepted] : cases) {
        SCOPED_TRACE(testing::Message() << tone << "/" << duration);
        test::ScriptedPrompter prompter;
        Archive in(QByteArray(1, char(tone)) + char(duration) + '\x55', &prompter);
        CNote note;
        note.Serialize(in);
        EXPECT_EQ(in.Remaining(), 1u);
        EXPECT_EQ(note.GetCode(), accepted ? tone << 3 | duration : 0x5B);
        const QStringList refused{QString::fromUtf8(kMsgNoteReadError)};
        EXPECT_EQ(prompter.texts(), accepted ? QStringList() : refused);
        for (const auto& shown : prompter.shown)
            EXPECT_EQ(shown.type, unsigned{MB_OK});
    }
}

} // namespace
