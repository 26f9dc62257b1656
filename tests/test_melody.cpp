#include "model/Messages.h"
#include "support/DocTestKit.h"
#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>

using namespace tinkla;
using namespace tinkla::test;

namespace
{

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

// Insert goes after the selection or at the end and selects its note; append keeps the selection;
// a delete clears it only with the selected note; modify and delete need a selection.
TEST(Melody, EditsPlaceTheirNoteAndKeepTheSelectionOnTheNoteItWasOn)
{
    CMelody m = WithNotes(5);
    m.Select(2);
    m.InsertNote();
    EXPECT_EQ(m.GetNoteCode(3), 0x5B);
    EXPECT_EQ(m.GetNoteCode(4), WithNotes(5).GetNoteCode(3));
    ExpectSelection(m, 3);
    m.Deselect();
    m.InsertNote();
    EXPECT_EQ(m.GetNoteCode(6), 0x5B);
    ExpectSelection(m, 6);
    m.Select(1);
    m.AppendNote(0xFC);
    EXPECT_EQ(m.GetNoteCode(7), 0xFC);
    ExpectSelection(m, 1);
    EXPECT_EQ(m.GetNotePosition(7).x, 7 * 45 + 90) << "placed like an inserted note";

    m = WithNotes(5);
    m.Select(2);
    m.DeleteSelected();
    EXPECT_EQ(m.GetNoteCode(2), WithNotes(5).GetNoteCode(3));
    ExpectSelection(m, -1);
    const QByteArray left = StoredMelody(m);
    m.DeleteSelected();
    m.ModifySelected(0);
    EXPECT_EQ(StoredMelody(m), left);
    m.Select(1);
    m.Select(-1); // outside the notes: ignored
    m.Select(4);
    m.DeleteLast();
    ExpectSelection(m, 1);
    const QByteArray kept = StoredMelody(m);
    // From tone 1, duration 1 (0x09): up, down, shorter, longer, an unknown operation.
    for (const auto& [op, after] :
         {std::pair{0, 0x11}, {1, 0x09}, {2, 0x08}, {3, 0x09}, {7, 0x09}}) {
        m.ModifySelected(static_cast<BYTE>(op));
        EXPECT_EQ(m.GetNoteCode(1), after) << op;
    }
    EXPECT_EQ(StoredMelody(m), kept) << "only the selected note changed, and back";
    m.Select(2);
    m.DeleteLast();
    EXPECT_EQ(m.GetNoteCount(), 2);
    ExpectSelection(m, -1);
    m.Select(1);
    m.DeleteAll();
    m.DeleteLast(); // nothing left: nothing happens
    ExpectSelection(m, -1);
    EXPECT_EQ(StoredMelody(m), MelodyRecord(1, DefaultMelodyTitle(), 0)) << "no notes, one row";
}

CMelody Load(const QByteArray& bytes, ScriptedPrompter& prompter, int maxNotes = 255)
{
    Archive in(bytes, &prompter);
    CMelody m;
    m.Serialize(in, maxNotes);
    EXPECT_EQ(in.Remaining(), 0u);
    return m;
}

// Rows: the rows stored, notes, x, y, the note selected. A previous selection never survives a
// hit test. Columns 45 wide from x 69, rows 100 high from y 100; past the notes but within the
// rows: the last note. The rows as stored serve, bounded by what the largest set needs.
TEST(Melody, HitTestSelectsTheNoteUnderThePointOrTheLastOrNothing)
{
    const int cases[][5] = {
        {1, 5, 113, 150, 0},   {1, 5, 114, 150, 1},       {1, 5, 68, 150, -1},
        {1, 5, 609, 150, -1},  {1, 5, 100, 99, -1},       {2, 14, 100, 299, 12},
        {2, 14, 100, 300, -1}, {1, 0, 69, 100, -1},       {3, 2, 100, 399, 1},
        {3, 2, 100, 400, -1},  {23, 3, 100, 1000000, -1}, {INT32_MAX, 3, 100, 1000000, -1}};
    ScriptedPrompter prompter;
    for (const auto& [rows, count, x, y, expected] : cases) {
        SCOPED_TRACE(testing::Message() << count << " in " << rows << " rows at " << x << "," << y);
        CMelody m = Load(MelodyRecord(rows, "t", count, NoteBytes(count)), prompter);
        EXPECT_EQ(m.GetRows(), std::min(rows, kMaxRows));
        m.Select(count / 2);
        m.HitTest(x, y);
        ExpectSelection(m, expected);
    }
    EXPECT_TRUE(prompter.shown.empty());
}

// Rows, title, count, notes. The title is kept to 255 bytes and the notes to the set's limit:
// what is dropped is read past, so the next record starts in step, and said.
TEST(MelodyRecord, RoundTripsAndCutsTheTitleAndTheNotesToWhatTheSetHolds)
{
    CMelody m;
    const QByteArray empty = QByteArray::fromHex("010000000dcdeee2e0ff20ece5ebeee4e8ff00000000");
    EXPECT_EQ(StoredMelody(m), empty);
    m.InsertNote();
    EXPECT_EQ(StoredMelody(m), empty.left(18) + QByteArray::fromHex("010000000b03"));

    m = WithNotes(40);
    m.SetTitle(QByteArray(255, '\xE9')); // the longest kept, and the 16-bit length prefix
    ScriptedPrompter prompter;
    CMelody loaded = Load(StoredMelody(m), prompter);
    EXPECT_EQ(StoredMelody(loaded), StoredMelody(m));
    // A 70 000-byte title: legal in the file format, unusable in the editor.
    m = Load(MelodyRecord(1, QByteArray(70000, 'a'), 1, NoteBytes(1)), prompter);
    EXPECT_EQ(StoredMelody(m), MelodyRecord(1, QByteArray(255, 'a'), 1, NoteBytes(1)));
    EXPECT_EQ(prompter.texts(), QStringList{QString::fromUtf8(kMsgTitleTruncated)}) << "only";

    prompter.shown.clear();
    m = Load(MelodyRecord(1, "long", 10, NoteBytes(7, 20, 1) + NoteBytes(3, 5, 4)), prompter, 7);
    EXPECT_EQ(StoredMelody(m), MelodyRecord(1, "long", 7, NoteBytes(7, 20, 1)));
    m = Load(MelodyRecord(INT32_MAX, "t", 300, NoteBytes(300)), prompter); // the largest set
    EXPECT_EQ(StoredMelody(m), MelodyRecord(kMaxRows, "t", 255, NoteBytes(255)))
        << "rows recomputed";
    EXPECT_EQ(prompter.texts(), QStringList(2, QString::fromUtf8(kMsgMelodyTruncated)));
}

// A count outside 0..rows×12 is refused: the melody stays as it was, and the note records after
// the count are left unread. The rows as stored stay until the next add or remove, which counts
// them again with room for the end mark after the last note.
TEST(MelodyRecord, TheStoredRowsBoundTheCountAndStayUntilTheNextAddOrRemove)
{
    for (const auto& [rows, count] : {std::pair{1, 13}, {0, 1}, {-1, 0}, {22, INT32_MIN}}) {
        SCOPED_TRACE(testing::Message() << rows << " rows, " << count << " notes");
        const int notes = std::max(count, 0);
        ScriptedPrompter prompter;
        Archive in(MelodyRecord(rows, "loaded", count, NoteBytes(notes)), &prompter);
        CMelody m = WithNotes(2);
        m.Select(1);
        const QByteArray before = StoredMelody(m);
        m.Serialize(in);
        EXPECT_EQ(in.Remaining(), uint64_t(notes) * 2);
        EXPECT_EQ(prompter.texts(), QStringList{QString::fromUtf8(kMsgMelodyReadError)});
        EXPECT_EQ(StoredMelody(m), before);
        ExpectSelection(m, 1);
    }
    // A count within the rows but without its notes: nothing is allocated, nothing changes.
    Archive in(MelodyRecord(INT32_MAX, "t", INT32_MAX, NoteBytes(2)), nullptr);
    CMelody m = WithNotes(1);
    const QByteArray before = StoredMelody(m);
    EXPECT_THROW(m.Serialize(in), ArchiveError);
    EXPECT_EQ(StoredMelody(m), before);

    ScriptedPrompter prompter;
    EXPECT_EQ(Load(MelodyRecord(1, "t", 12, NoteBytes(12)), prompter).GetNoteCount(), 12);
    m = Load(MelodyRecord(3, "t", 11, NoteBytes(11)), prompter);
    m.Select(0);
    m.ModifySelected(0);
    EXPECT_EQ(m.GetRows(), 3);
    m.AppendNote(0x5B);
    EXPECT_EQ(m.GetRows(), 2) << "12 notes leave no room for the end mark in one row";
    m.DeleteLast();
    EXPECT_EQ(m.GetRows(), 1);
    EXPECT_TRUE(prompter.shown.empty());
}

} // namespace
