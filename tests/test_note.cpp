#include "model/Messages.h"
#include "model/Note.h"
#include "platform/Archive.h"
#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>

using namespace tinkla;

namespace
{

TEST(Note, DefaultIsEighthGAndPacksTo0x5B)
{
    const CNote note;
    EXPECT_EQ(note.GetCode(), 0x5B);
    EXPECT_FALSE(note.IsSelected());
    const CNote fromCode(BYTE{0x5B});
    EXPECT_EQ(fromCode.GetTone(), 11);
    EXPECT_EQ(fromCode.GetDuration(), 3);
}

TEST(Note, EveryNoteCodeComesBackUnchanged)
{
    for (int code = 0; code < 256; ++code) {
        if ((code & 7) > 4)
            continue; // never produced by a note: 0x07 ends a melody, 0xFF fills the image
        const CNote note(static_cast<BYTE>(code));
        EXPECT_EQ(note.GetTone(), code >> 3);
        EXPECT_EQ(note.GetDuration(), code & 7);
        EXPECT_EQ(note.GetCode(), code);
    }
    const CNote highest(BYTE{0xFC});
    EXPECT_EQ(highest.GetTone(), 31);
    EXPECT_EQ(highest.GetDuration(), 4);
}

struct StepCase {
    BYTE tone, duration;
    void (CNote::*step)();
    BYTE toneAfter, durationAfter;
};

class NoteStep : public ::testing::TestWithParam<StepCase>
{
};

TEST_P(NoteStep, MovesOneStepAndStopsAtItsLimit)
{
    const StepCase& c = GetParam();
    CNote note(c.tone, c.duration);
    (note.*c.step)();
    EXPECT_EQ(note.GetTone(), c.toneAfter);
    EXPECT_EQ(note.GetDuration(), c.durationAfter);
}

INSTANTIATE_TEST_SUITE_P(Limits, NoteStep,
                         ::testing::Values(StepCase{30, 2, &CNote::ToneUp, 31, 2},
                                           StepCase{31, 2, &CNote::ToneUp, 31, 2},
                                           StepCase{1, 2, &CNote::ToneDown, 0, 2},
                                           StepCase{0, 2, &CNote::ToneDown, 0, 2},
                                           StepCase{5, 1, &CNote::Lengthen, 5, 0},
                                           StepCase{5, 0, &CNote::Lengthen, 5, 0},
                                           StepCase{5, 3, &CNote::Shorten, 5, 4},
                                           StepCase{5, 4, &CNote::Shorten, 5, 4}));

struct PositionCase {
    int index;
    BYTE tone;
    Point expected;
};

class NotePosition : public ::testing::TestWithParam<PositionCase>
{
};

TEST_P(NotePosition, FollowsTheStaffGrid)
{
    CNote note(GetParam().tone, 2);
    note.SetPosition(GetParam().index);
    EXPECT_EQ(note.GetPosition(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Grid, NotePosition,
                         ::testing::Values(PositionCase{0, 11, {90, 134}},
                                           PositionCase{12, 20, {90, 232}},
                                           PositionCase{23, 0, {585, 265}},
                                           PositionCase{11, 31, {585, 105}},
                                           PositionCase{254, 15, {180, 2246}}));

TEST(Note, ChangingTheToneDoesNotMoveTheGlyphUntilTheNextPlacement)
{
    CNote note(13, 2);
    note.SetPosition(0);
    const Point before = note.GetPosition();
    note.ToneUp();
    EXPECT_EQ(note.GetPosition(), before);
    note.SetPosition(0);
    EXPECT_EQ(note.GetPosition().y, 132 + g_nStaffOffsets[14]);
}

TEST(NoteRecord, StoresToneThenDuration)
{
    CNote note(31, 4);
    Archive out;
    note.Serialize(out);
    EXPECT_EQ(out.Data(), QByteArray("\x1F\x04", 2));
}

struct RecordCase {
    int tone, duration;
    bool accepted;
};

class NoteRecordLoad : public ::testing::TestWithParam<RecordCase>
{
};

TEST_P(NoteRecordLoad, AcceptsValidCodesAndReportsTheRest)
{
    const RecordCase& c = GetParam();
    QByteArray data;
    data.append(static_cast<char>(c.tone));
    data.append(static_cast<char>(c.duration));
    data.append('\x55');
    test::ScriptedPrompter prompter;
    Archive in(data, &prompter);
    CNote note;
    note.Serialize(in);
    EXPECT_EQ(in.Remaining(), 1u) << "both bytes are consumed whatever they hold";
    if (c.accepted) {
        EXPECT_TRUE(prompter.shown.empty());
        EXPECT_EQ(note.GetTone(), c.tone);
        EXPECT_EQ(note.GetDuration(), c.duration);
    } else {
        ASSERT_EQ(prompter.shown.size(), 1u);
        EXPECT_EQ(prompter.shown[0].text, QString::fromUtf8(kMsgNoteReadError));
        EXPECT_EQ(prompter.shown[0].type, unsigned{MB_OK});
        EXPECT_EQ(note.GetCode(), 0x5B) << "a rejected record leaves the note as it was";
    }
}

INSTANTIATE_TEST_SUITE_P(Codes, NoteRecordLoad,
                         ::testing::Values(RecordCase{31, 4, true}, RecordCase{0, 0, true},
                                           RecordCase{32, 0, false}, RecordCase{0, 5, false},
                                           RecordCase{255, 255, false}, RecordCase{31, 7, false}));

TEST(NoteRecord, ARecordCutShortThrows)
{
    Archive in(QByteArray("\x01", 1), nullptr);
    CNote note;
    EXPECT_THROW(note.Serialize(in), ArchiveError);
}

TEST(NoteNames, OctavesBeginAtDo)
{
    EXPECT_STREQ(OctaveFormat(3), "%s, Малая октава");
    EXPECT_STREQ(OctaveFormat(4), "%s, Первая октава");
    EXPECT_STREQ(OctaveFormat(15), "%s, Первая октава");
    EXPECT_STREQ(OctaveFormat(16), "%s, Вторая октава");
    EXPECT_STREQ(OctaveFormat(27), "%s, Вторая октава");
    EXPECT_STREQ(OctaveFormat(28), "%s, Третья октава");
    EXPECT_STREQ(g_szNoteNames[4 % 12], "До");
    EXPECT_STREQ(g_szNoteNames[31 % 12], "Ре#");
}

} // namespace
