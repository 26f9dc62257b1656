#include "model/Melody.h"
#include "model/Messages.h"
#include "platform/Archive.h"
#include "support/DocTestKit.h"
#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>

using namespace tinkla;
using namespace tinkla::test;

namespace
{

TINKLA_PRINT_ROWS_BY_NAME

CMelody WithNotes(int count)
{
    CMelody m;
    for (int i = 0; i < count; ++i)
        m.AppendNote(static_cast<BYTE>(((i % 32) << 3) | (i % 5)));
    return m;
}

// The selected-state of every note agrees with GetSelected: the invariant every operation keeps.
void ExpectSelection(const CMelody& m, int expected)
{
    EXPECT_EQ(m.GetSelected(), expected);
    for (int i = 0; i < m.GetNoteCount(); ++i)
        EXPECT_EQ(m.GetNote(i).IsSelected(), i == expected) << "note " << i;
}

TEST(Melody, InsertGoesAfterTheSelectionOrAtTheEndAndSelectsTheNewNote)
{
    CMelody m;
    EXPECT_EQ(m.GetTitle(), DefaultMelodyTitle());
    m.InsertNote();
    EXPECT_EQ(m.GetNoteCode(0), 0x5B);
    EXPECT_EQ(m.GetNotePosition(0), (Point{90, 134}));
    ExpectSelection(m, 0);

    m = WithNotes(5);
    m.Select(2);
    m.InsertNote();
    EXPECT_EQ(m.GetNoteCode(3), 0x5B);
    EXPECT_EQ(m.GetNoteCode(4), WithNotes(5).GetNoteCode(3));
    ExpectSelection(m, 3);
    EXPECT_EQ(m.GetNotePosition(3).x, 3 * 45 + 90);
    m.Deselect();
    m.InsertNote();
    EXPECT_EQ(m.GetNoteCode(6), 0x5B);
    ExpectSelection(m, 6);
}

TEST(Melody, AppendKeepsTheSelectionAndPlacesTheNewNote)
{
    CMelody m = WithNotes(13);
    m.Select(1);
    m.AppendNote(0xFC);
    EXPECT_EQ(m.GetNoteCode(13), 0xFC);
    ExpectSelection(m, 1);
    EXPECT_EQ(m.GetNotePosition(13), (Point{90 + 45, 232 - 27}));
}

class MelodyRows : public ::testing::TestWithParam<std::pair<int, int>>
{
};

TEST_P(MelodyRows, LeaveRoomForTheEndMarkAfterTheLastNote)
{
    const auto [count, rows] = GetParam();
    CMelody m;
    for (int i = 0; i < count; ++i)
        m.InsertNote();
    EXPECT_EQ(m.GetRows(), rows);
    m.InsertNote();
    m.Select(count);
    m.DeleteSelected();
    EXPECT_EQ(m.GetRows(), rows) << "adding and removing come back to the same rows";
}

INSTANTIATE_TEST_SUITE_P(Counts, MelodyRows,
                         ::testing::Values(std::pair{0, 1}, std::pair{11, 1}, std::pair{12, 2},
                                           std::pair{255, 22}),
                         [](const auto& info) {
                             return "Notes" + std::to_string(info.param.first);
                         });

TEST(Melody, DeletesRemoveTheirNoteAndClearOnlyTheSelectionThatWentWithIt)
{
    CMelody m = WithNotes(5);
    const BYTE fourth = m.GetNoteCode(3);
    m.Select(2);
    m.DeleteSelected();
    EXPECT_EQ(m.GetNoteCode(2), fourth);
    ExpectSelection(m, -1);
    m.DeleteSelected(); // nothing selected: nothing happens
    EXPECT_EQ(m.GetNoteCount(), 4);
    m.Select(1);
    m.DeleteLast();
    ExpectSelection(m, 1);
    m.Select(2);
    m.DeleteLast();
    EXPECT_EQ(m.GetNoteCount(), 2);
    ExpectSelection(m, -1);

    m.SetTitle("x");
    m.Select(1);
    m.DeleteAll();
    EXPECT_EQ(m.GetNoteCount(), 0);
    EXPECT_EQ(m.GetRows(), 1);
    ExpectSelection(m, -1);
    EXPECT_EQ(m.GetTitle(), QByteArray("x"));
    m.DeleteLast();
    EXPECT_EQ(m.GetNoteCount(), 0);
}

struct ModifyCase {
    const char* name;
    int op;
    bool select;
    BYTE codeAfter; // from tone 10, duration 2 (0x52)
};

class MelodyModify : public ::testing::TestWithParam<ModifyCase>
{
};

TEST_P(MelodyModify, ActsOnTheSelectedNoteOnly)
{
    CMelody m;
    m.AppendNote(0x52);
    m.AppendNote(0x52);
    if (GetParam().select)
        m.Select(1);
    m.ModifySelected(static_cast<BYTE>(GetParam().op));
    EXPECT_EQ(m.GetNoteCode(0), 0x52);
    EXPECT_EQ(m.GetNoteCode(1), GetParam().codeAfter);
}

INSTANTIATE_TEST_SUITE_P(Ops, MelodyModify,
                         ::testing::Values(ModifyCase{"Up", 0, true, 0x5A},
                                           ModifyCase{"Down", 1, true, 0x4A},
                                           ModifyCase{"Shorter", 2, true, 0x51},
                                           ModifyCase{"Longer", 3, true, 0x53},
                                           ModifyCase{"UnknownOp", 7, true, 0x52},
                                           ModifyCase{"NoSelection", 0, false, 0x52}),
                         ByName{});

struct HitCase {
    const char* name;
    int count;
    int x, y;
    int expected;
};

class MelodyHitTest : public ::testing::TestWithParam<HitCase>
{
};

TEST_P(MelodyHitTest, SelectsTheNoteUnderThePointOrTheLastOrNothing)
{
    const HitCase& c = GetParam();
    CMelody m = WithNotes(c.count);
    if (c.count > 0)
        m.Select(c.count / 2); // a previous selection never survives a hit test
    m.HitTest(c.x, c.y);
    ExpectSelection(m, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Grid, MelodyHitTest,
                         ::testing::Values(HitCase{"LastInFirstColumn", 5, 113, 150, 0},
                                           HitCase{"FirstInSecondColumn", 5, 114, 150, 1},
                                           HitCase{"LeftOfTheStaff", 5, 68, 150, -1},
                                           HitCase{"RightOfTheStaff", 5, 609, 150, -1},
                                           HitCase{"AboveTheStaff", 5, 100, 99, -1},
                                           HitCase{"LastRowsBottom", 14, 100, 299, 12},
                                           HitCase{"BelowTheLastRow", 14, 100, 300, -1},
                                           HitCase{"EmptyMelody", 0, 69, 100, -1}),
                         ByName{});

TEST(Melody, SelectIgnoresIndicesOutsideTheNotes)
{
    CMelody m = WithNotes(3);
    m.Select(1);
    m.Select(-1);
    m.Select(3);
    ExpectSelection(m, 1);
    m.Deselect();
    ExpectSelection(m, -1);
}

TEST(MelodyRecord, EmptyMelodyIsTheTwentyTwoBytesOfTheFileFormat)
{
    CMelody m;
    const QByteArray expected("\x01\x00\x00\x00\x0D\xCD\xEE\xE2\xE0\xFF\x20\xEC\xE5\xEB\xEE\xE4"
                              "\xE8\xFF\x00\x00\x00\x00",
                              22);
    EXPECT_EQ(StoredMelody(m), expected);
    m.InsertNote();
    QByteArray withNote = expected;
    withNote[18] = '\x01';
    withNote.append("\x0B\x03", 2);
    EXPECT_EQ(StoredMelody(m), withNote);
}

TEST(MelodyRecord, RoundTripsNotesTitleAndRowsByteForByte)
{
    CMelody m = WithNotes(40);
    m.SetTitle(QByteArray(255, '\xE9')); // the longest kept, and the 16-bit length prefix
    const QByteArray bytes = StoredMelody(m);
    ScriptedPrompter prompter;
    Archive in(bytes, &prompter);
    CMelody loaded;
    loaded.Serialize(in);
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(in.Remaining(), 0u);
    EXPECT_EQ(StoredMelody(loaded), bytes);
}

struct LoadCase {
    const char* name;
    int32_t rows;
    int32_t count;
    bool accepted;
};

class MelodyRecordCount : public ::testing::TestWithParam<LoadCase>
{
};

TEST_P(MelodyRecordCount, IsBoundedByTheStoredRows)
{
    const LoadCase& c = GetParam();
    const int notes = c.count > 0 && c.count < 300 ? c.count : 0;
    ScriptedPrompter prompter;
    Archive in(MelodyRecord(c.rows, "loaded", c.count, NoteBytes(notes)), &prompter);
    CMelody m = WithNotes(2);
    m.SetTitle("before");
    m.Select(1);
    const QByteArray before = StoredMelody(m);
    if (c.accepted) {
        m.DeleteAll(); // callers load only into an emptied melody
        m.Serialize(in);
        EXPECT_TRUE(prompter.shown.empty());
        EXPECT_EQ(m.GetNoteCount(), c.count);
        EXPECT_EQ(m.GetRows(), c.rows);
        EXPECT_EQ(in.Remaining(), 0u);
    } else {
        m.Serialize(in);
        ASSERT_EQ(prompter.texts(), QStringList{QString::fromUtf8(kMsgMelodyReadError)});
        EXPECT_EQ(prompter.shown[0].type, unsigned{MB_OK});
        EXPECT_EQ(StoredMelody(m), before) << "title, rows and notes as they were";
        ExpectSelection(m, 1);
        EXPECT_EQ(in.Remaining(), static_cast<uint64_t>(notes) * 2)
            << "the note records after a refused count are left unread";
    }
}

INSTANTIATE_TEST_SUITE_P(Counts, MelodyRecordCount,
                         ::testing::Values(LoadCase{"OneRowTwelveNotes", 1, 12, true},
                                           LoadCase{"OneRowThirteenNotes", 1, 13, false},
                                           LoadCase{"ZeroRowsAnyNote", 0, 1, false},
                                           LoadCase{"NegativeRows", -1, 0, false},
                                           LoadCase{"MostNegativeCount", 22, INT32_MIN, false}),
                         ByName{});

TEST(MelodyRecord, StoredRowsServeHitTestsUntilTheNextAddOrRemove)
{
    ScriptedPrompter prompter;
    Archive in(MelodyRecord(3, "t", 2, NoteBytes(2)), &prompter);
    CMelody m;
    m.Serialize(in);
    m.HitTest(100, 399); // third row: past the notes, so the last one
    ExpectSelection(m, 1);
    m.HitTest(100, 400);
    ExpectSelection(m, -1);
    m.Select(0);
    m.ModifySelected(0);
    EXPECT_EQ(m.GetRows(), 3);
    m.AppendNote(0x5B);
    EXPECT_EQ(m.GetRows(), 1);
}

class MelodyRecordRows : public ::testing::TestWithParam<int32_t>
{
};

TEST_P(MelodyRecordRows, MoreRowsThanAnyFormatNeedsAreClamped)
{
    ScriptedPrompter prompter;
    Archive in(MelodyRecord(GetParam(), "t", 3, NoteBytes(3)), &prompter);
    CMelody m;
    m.Serialize(in);
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(m.GetRows(), kMaxRows);
    m.HitTest(100, 1000000); // far below: outside the clamped band
    EXPECT_EQ(m.GetSelected(), -1);
}

INSTANTIATE_TEST_SUITE_P(Rows, MelodyRecordRows, ::testing::Values(23, INT32_MAX),
                         [](const auto& info) { return "Rows" + std::to_string(info.param); });

TEST(MelodyRecord, NotesBeyondTheSetLimitAreReadPastDroppedAndReported)
{
    ScriptedPrompter prompter;
    Archive in(MelodyRecord(1, "long", 10, NoteBytes(7, 20, 1) + NoteBytes(3, 5, 4)) +
                   QByteArray("\x2A", 1),
               &prompter);
    CMelody m;
    m.Serialize(in, 7);
    EXPECT_EQ(prompter.texts(), QStringList{QString::fromUtf8(kMsgMelodyTruncated)});
    ASSERT_EQ(m.GetNoteCount(), 7);
    EXPECT_EQ(m.GetNoteCode(6), (20 << 3) | 1);
    EXPECT_EQ(in.ReadU8(), 0x2A) << "the next record starts right after the dropped notes";
}

TEST(MelodyRecord, TruncationToTheLargestSetRecomputesHugeRows)
{
    ScriptedPrompter prompter;
    Archive in(MelodyRecord(INT32_MAX, "t", 300, NoteBytes(300)), &prompter);
    CMelody m;
    m.Serialize(in);
    EXPECT_EQ(m.GetNoteCount(), 255);
    EXPECT_EQ(m.GetRows(), 255 / 12 + 1);
    EXPECT_EQ(prompter.texts(), QStringList{QString::fromUtf8(kMsgMelodyTruncated)});
}

TEST(MelodyRecord, ABadNoteKeepsTheDefaultsAndLoadingGoesOn)
{
    ScriptedPrompter prompter;
    Archive in(MelodyRecord(1, "t", 3,
                            NoteBytes(1, 1, 1) + QByteArray("\x20\x00", 2) + NoteBytes(1, 2, 2)),
               &prompter);
    CMelody m;
    m.Serialize(in);
    EXPECT_EQ(prompter.texts(), QStringList{QString::fromUtf8(kMsgNoteReadError)});
    ASSERT_EQ(m.GetNoteCount(), 3);
    EXPECT_EQ(m.GetNoteCode(1), 0x5B);
    EXPECT_EQ(m.GetNoteCode(2), (2 << 3) | 2);
}

TEST(MelodyRecord, AHugeCountWithoutItsNotesThrowsAndLeavesTheMelody)
{
    ScriptedPrompter prompter;
    Archive in(MelodyRecord(INT32_MAX, "t", INT32_MAX, NoteBytes(2)), &prompter);
    CMelody m = WithNotes(1);
    const QByteArray before = StoredMelody(m);
    EXPECT_THROW(m.Serialize(in), ArchiveError);
    EXPECT_EQ(StoredMelody(m), before);
}

TEST(MelodyRecord, EveryCutOfARecordThrowsInsteadOfReadingPastTheEnd)
{
    CMelody full = WithNotes(5);
    const QByteArray bytes = StoredMelody(full);
    for (int cut = 0; cut < bytes.size(); ++cut) {
        ScriptedPrompter prompter;
        Archive in(bytes.left(cut), &prompter);
        CMelody m;
        EXPECT_THROW(m.Serialize(in), ArchiveError) << "cut at " << cut;
    }
}

} // namespace
