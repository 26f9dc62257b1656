#include "model/Messages.h"
#include "model/Note.h"
#include "platform/Archive.h"
#include "support/DocTestKit.h"
#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>

using namespace tinkla;

namespace
{

TINKLA_PRINT_ROWS_BY_NAME

TEST(Note, DefaultIsEighthGAndEveryNoteCodeComesBackUnchanged)
{
    EXPECT_EQ(CNote().GetCode(), 0x5B);
    EXPECT_FALSE(CNote().IsSelected());
    for (int code = 0; code < 256; ++code) {
        if ((code & 7) > 4)
            continue; // never produced by a note: 0x07 ends a melody, 0xFF fills the image
        const CNote note(static_cast<BYTE>(code));
        EXPECT_EQ(note.GetTone(), code >> 3);
        EXPECT_EQ(note.GetDuration(), code & 7);
        EXPECT_EQ(note.GetCode(), code);
    }
}

struct StepCase {
    const char* name;
    void (CNote::*step)();
    BYTE tone, duration;           // one step from its limit
    BYTE toneAfter, durationAfter; // the limit
};

class NoteStep : public ::testing::TestWithParam<StepCase>
{
};

TEST_P(NoteStep, MovesOneStepAndStopsAtItsLimit)
{
    const StepCase& c = GetParam();
    CNote note(c.tone, c.duration);
    for (int i = 0; i < 2; ++i) {
        (note.*c.step)();
        EXPECT_EQ(note.GetTone(), c.toneAfter) << "step " << i;
        EXPECT_EQ(note.GetDuration(), c.durationAfter) << "step " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Limits, NoteStep,
                         ::testing::Values(StepCase{"ToneUp", &CNote::ToneUp, 30, 2, 31, 2},
                                           StepCase{"ToneDown", &CNote::ToneDown, 1, 2, 0, 2},
                                           StepCase{"Lengthen", &CNote::Lengthen, 5, 1, 5, 0},
                                           StepCase{"Shorten", &CNote::Shorten, 5, 3, 5, 4}),
                         [](const auto& info) { return std::string(info.param.name); });

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
    const char* name;
    int tone, duration;
    bool accepted;
};

class NoteRecordLoad : public ::testing::TestWithParam<RecordCase>
{
};

TEST_P(NoteRecordLoad, AcceptsValidCodesAndReportsTheRest)
{
    const RecordCase& c = GetParam();
    test::ScriptedPrompter prompter;
    Archive in(QByteArray(1, char(c.tone)) + char(c.duration) + '\x55', &prompter);
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
                         ::testing::Values(RecordCase{"Highest", 31, 4, true},
                                           RecordCase{"ToneOver", 32, 0, false},
                                           RecordCase{"DurationOver", 0, 5, false},
                                           RecordCase{"BothFF", 255, 255, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(NoteRecord, ARecordCutShortThrows)
{
    Archive in(QByteArray("\x01", 1), nullptr);
    CNote note;
    EXPECT_THROW(note.Serialize(in), ArchiveError);
}

} // namespace
