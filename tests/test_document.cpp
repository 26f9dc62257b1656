#include "document/TinklaDoc.h"
#include "model/Messages.h"
#include "support/DocTestKit.h"
#include "support/ScriptedPrompter.h"

#include <QFileInfo>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <string_view>

using namespace tinkla;
using namespace tinkla::test;

namespace
{

TINKLA_PRINT_ROWS_BY_NAME

// What the user sees of a document: the set, the current melody, the name and the changes flag.
struct Snapshot {
    QByteArray set;
    unsigned current;
    QString path;
    QString title;
    bool modified;
    bool operator==(const Snapshot&) const = default;
};

Snapshot Take(CTinklaDoc& doc)
{
    return {StoredSet(doc), doc.GetCurrentNumber(), doc.GetPathName(), doc.GetTitle(),
            doc.IsModified()};
}

QByteArray DefaultSetBytes()
{
    QByteArray b = Le32(8) + Le32(31);
    for (int i = 0; i < 8; ++i)
        b += MelodyRecord(1, QByteArray("\xCD\xEE\xE2\xE0\xFF\x20\xEC\xE5\xEB\xEE\xE4\xE8\xFF"), 0);
    return b;
}

class DocTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(doc.OnNewDocument()); }

    // An opened file with edits not yet saved, melody 3 current: a state worth keeping.
    void MakeEditedSet()
    {
        ASSERT_TRUE(doc.OnSaveDocument(files.Path("mine.fml")));
        ASSERT_TRUE(doc.OnOpenDocument(files.Path("mine.fml")));
        doc.GetMelody(2)->InsertNote();
        doc.SetCurrentNumber(3);
        doc.SetModifiedFlag(true);
        prompter.shown.clear();
    }
    void UseFormat(int format)
    {
        prompter.formats = {format};
        ASSERT_TRUE(doc.OnNewDocument());
    }

    TempFiles files;
    ScriptedPrompter prompter;
    CTinklaDoc doc{&prompter};
};

TEST(Document, FirstNewIsTheDefault184ByteSetWithoutAnyDialog)
{
    TempFiles files;
    ScriptedPrompter prompter;
    CTinklaDoc doc(&prompter);
    int updates = 0; // repaints
    QObject::connect(&doc, &CTinklaDoc::updated, [&] { ++updates; });
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_TRUE(prompter.formatOffered.empty());
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(doc.GetTitle(), QString::fromUtf8(kUntitledName));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(updates, 1);
    ASSERT_TRUE(doc.OnSaveDocument(files.Path("default.fml")));
    EXPECT_EQ(TempFiles::Read(files.Path("default.fml")), DefaultSetBytes());
    EXPECT_EQ(DefaultSetBytes().size(), 184);
}

// Cancel must not lose the name or the unsaved-changes mark: the edits would be dropped at exit
// without a question. A confirmed choice is offered the next time, a cancelled one is not.
TEST_F(DocTest, NewCancelledKeepsTheSetItsNameAndItsChangesAndTheConfirmedFormatIsRemembered)
{
    MakeEditedSet();
    const Snapshot before = Take(doc);
    prompter.formats = {-1, 4, -1, 0};
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_EQ(Take(doc), before);
    EXPECT_EQ(doc.GetFormatChoice(), kDefaultFormat);
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_EQ(doc.GetMelodyCount(), 2u);
    EXPECT_EQ(doc.GetCurrentNumber(), 1u);
    EXPECT_TRUE(doc.GetPathName().isEmpty());
    EXPECT_FALSE(doc.IsModified());
    ASSERT_TRUE(doc.OnNewDocument());
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_EQ(prompter.formatOffered, (std::vector<int>{2, 2, 4, 4}));
    EXPECT_EQ(doc.GetMelodyCount(), 32u);
}

class DocFormats : public DocTest, public ::testing::WithParamInterface<int>
{
};

TEST_P(DocFormats, SaveAndOpenGiveTheSameBytesAndNavigationWraps)
{
    const SetFormat& f = kSetFormats[GetParam()];
    UseFormat(GetParam());
    doc.OnMelodyPrev();
    EXPECT_EQ(doc.GetCurrentNumber(), f.melodies);
    doc.OnMelodyNext();
    EXPECT_EQ(doc.GetCurrentNumber(), 1u);
    EXPECT_FALSE(doc.IsModified());
    for (unsigned k = 0; k < f.melodies; ++k) {
        const unsigned count = k + 1 == f.melodies ? f.notes : (k * 7) % (f.notes + 1);
        for (unsigned i = 0; i < count; ++i)
            doc.GetMelody(k)->AppendNote(static_cast<BYTE>(((i * 5 + k) % 32) << 3 | (i % 5)));
        // Up to the longest title kept, 255 bytes: the first with a 16-bit length prefix.
        doc.GetMelody(k)->SetTitle(QByteArray(qMin(int(k * 40 % 300), 255), 'a' + k % 26));
    }
    const QByteArray bytes = StoredSet(doc);
    const QString path = files.Path("set.fml");
    ASSERT_TRUE(doc.OnSaveDocument(path));
    EXPECT_EQ(TempFiles::Read(path), bytes);

    prompter.shown.clear();
    CTinklaDoc loaded(&prompter);
    ASSERT_TRUE(loaded.OnOpenDocument(path));
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(loaded.GetNotesPerMelody(), f.notes);
    EXPECT_EQ(StoredSet(loaded), bytes);
}

INSTANTIATE_TEST_SUITE_P(Formats, DocFormats, ::testing::Range(0, kFormatCount), FormatName);

TEST_F(DocTest, EachMelodyKeepsItsSelectionWhileAnotherIsCurrentAndNothingMovesWithoutASet)
{
    CTinklaDoc empty(&prompter);
    empty.OnMelodyPrev();
    empty.OnMelodyNext();
    EXPECT_FALSE(empty.HasSet());
    EXPECT_EQ(empty.GetCurrentNumber(), 1u);
    doc.GetCurrentMelody()->InsertNote();
    doc.GetCurrentMelody()->Select(0);
    doc.OnMelodyNext();
    EXPECT_EQ(doc.GetCurrentMelody()->GetSelected(), -1);
    doc.OnMelodyPrev();
    EXPECT_EQ(doc.GetCurrentMelody()->GetSelected(), 0);
}

// Through a file and through an archive alike: a message, and nothing of the open set changes.
// The header, then eight default melody records, so only the header can be at fault.
TEST_F(DocTest, ASetHeaderOfNoFormatIsRefusedAndChangesNothing)
{
    MakeEditedSet();
    const Snapshot before = Take(doc);
    int recent = 0;
    QObject::connect(&doc, &CTinklaDoc::recentFileAdded, [&] { ++recent; });
    const QStringList message{QString::fromUtf8(kMsgBadSetFile)};
    const std::pair<uint32_t, uint32_t> headers[] = {{32, 8}, {1, 254},          {3, 84},
                                                     {0, 0},  {0xFFFFFFFF, 255}, {31, 8}};
    for (const auto& [melodies, notes] : headers) {
        SCOPED_TRACE(testing::Message() << melodies << " x " << notes);
        const QByteArray bytes = Le32(static_cast<int32_t>(melodies)) +
                                 Le32(static_cast<int32_t>(notes)) + DefaultSetBytes().mid(8);
        prompter.shown.clear();
        EXPECT_FALSE(doc.OnOpenDocument(files.Write("bad.fml", bytes)));
        ASSERT_EQ(prompter.texts(), message);
        EXPECT_EQ(prompter.shown[0].type, unsigned{MB_OK});
        prompter.shown.clear();
        Archive in(bytes, &prompter);
        doc.Serialize(in);
        EXPECT_EQ(prompter.texts(), message);
        EXPECT_EQ(Take(doc), before);
    }
    EXPECT_EQ(recent, 0);
}

TEST_F(DocTest, LoadingThroughAnArchiveReplacesTheSetAndRepaints)
{
    int updates = 0;
    QObject::connect(&doc, &CTinklaDoc::updated, [&] { ++updates; });
    Archive in(Le32(1) + Le32(255) + MelodyRecord(1, "one", 0), &prompter);
    doc.Serialize(in);
    EXPECT_EQ(doc.GetMelodyCount(), 1u);
    EXPECT_EQ(updates, 1);
    prompter.formats = {-1};
    doc.OnNewDocument();
    EXPECT_EQ(prompter.formatOffered, std::vector<int>{kDefaultFormat})
        << "a loaded set is no longer the first one, and loading keeps the choice";
}

TEST_F(DocTest, AFileEndingAnywhereEarlyIsRefusedAndChangesNothing)
{
    CTinklaDoc source(&prompter);
    source.OnNewDocument();
    source.GetMelody(7)->InsertNote();
    const QByteArray full = StoredSet(source);

    MakeEditedSet();
    const Snapshot before = Take(doc);
    const QString path = files.Path("cut.fml");
    for (int cut = 0; cut < full.size(); ++cut) {
        files.Write("cut.fml", full.left(cut));
        prompter.shown.clear();
        ASSERT_FALSE(doc.OnOpenDocument(path)) << "cut at " << cut;
        ASSERT_EQ(prompter.texts(), QStringList{QString::fromUtf8(kMsgFileDamaged).arg(path)});
        EXPECT_EQ(prompter.shown[0].type, unsigned{MB_OK | MB_ICONHAND});
        ASSERT_EQ(Take(doc), before) << "cut at " << cut;
    }
}

TEST_F(DocTest, OpenTakesThePathUnmodifiedAndEntersTheRecentList)
{
    MakeEditedSet();
    QStringList recent;
    QObject::connect(&doc, &CTinklaDoc::recentFileAdded, [&](const QString& p) { recent << p; });
    const QString path =
        files.Write("solo.fml", QByteArray::fromHex("01000000ff000000") +
                                    MelodyRecord(1, "solo", 3, NoteBytes(3, 31, 4)));
    ASSERT_TRUE(doc.OnOpenDocument(path));
    EXPECT_EQ(doc.GetNotesPerMelody(), 255u);
    EXPECT_EQ(doc.GetCurrentNumber(), 1u);
    EXPECT_EQ(StoredMelody(*doc.GetCurrentMelody()),
              MelodyRecord(1, "solo", 3, NoteBytes(3, 31, 4)));
    EXPECT_EQ(doc.GetPathName(), path);
    EXPECT_EQ(doc.GetTitle(), QStringLiteral("solo.fml"));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(recent, QStringList{path});
}

// Melody 1 declares more notes than its one row holds: refused, and melody 2 is read from the
// bytes right after that count. Melody 3 holds a note out of range, melody 4 more than the set's 7.
TEST_F(DocTest, BadRecordsAreReportedAndTheOpenGoesOn)
{
    QByteArray bytes = Le32(32) + Le32(7) + MelodyRecord(1, "a", 13) +
                       MelodyRecord(1, "b", 1, NoteBytes(1)) +
                       MelodyRecord(1, "c", 2, QByteArray("\x40\x00\x01\x01", 4)) +
                       MelodyRecord(1, "long", 10, NoteBytes(10, 20, 0));
    for (int k = 4; k < 32; ++k)
        bytes += MelodyRecord(1, QByteArray::number(k), 1, NoteBytes(1));
    ASSERT_TRUE(doc.OnOpenDocument(files.Write("bad-records.fml", bytes)));
    EXPECT_EQ(prompter.texts(), (QStringList{QString::fromUtf8(kMsgMelodyReadError),
                                             QString::fromUtf8(kMsgNoteReadError),
                                             QString::fromUtf8(kMsgMelodyTruncated)}));
    EXPECT_EQ(doc.GetMelody(0)->GetTitle(), DefaultMelodyTitle());
    EXPECT_EQ(doc.GetMelody(1)->GetTitle(), QByteArray("b"));
    EXPECT_EQ(doc.GetMelody(2)->GetNoteCode(0), 0x5B);
    EXPECT_EQ(doc.GetMelody(2)->GetNoteCode(1), 0x09);
    EXPECT_EQ(doc.GetMelody(3)->GetNoteCount(), 7);
    EXPECT_EQ(doc.GetMelody(4)->GetTitle(), QByteArray("4")) << "read in step after the cut";
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(DocTest, UnreadableOrOversizedFilesAreRefusedWithoutWaiting)
{
    MakeEditedSet();
    const Snapshot before = Take(doc);
    QFile big(files.Path("big.fml"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    big.write(DefaultSetBytes());
    ASSERT_TRUE(big.resize(kMaxFileBytes + 1)); // sparse: costs no disk
    big.close();
    QDir(files.Dir()).mkdir(QStringLiteral("folder.fml"));
    const std::pair<QString, const char*> cases[] = {
        {files.Path("missing.fml"), "нет такого файла"},
        {big.fileName(), "слишком большой файл"},
        {files.Path("folder.fml"), "это папка, а не файл"},
        {MakeFifo(files, "fifo.fml"), "это канал, а не файл"}, // would block an ordinary open
    };
    for (const auto& [path, reason] : cases) {
        prompter.shown.clear();
        EXPECT_FALSE(doc.OnOpenDocument(path));
        ASSERT_EQ(prompter.shown.size(), 1u);
        EXPECT_EQ(prompter.shown[0].text,
                  QString::fromUtf8(kMsgCannotOpen).arg(path, QString::fromUtf8(reason)));
        EXPECT_EQ(prompter.shown[0].type, unsigned{MB_OK | MB_ICONHAND});
    }
    EXPECT_EQ(Take(doc), before);
}

struct SaveModifiedCase {
    const char* name;
    bool titled;
    Answer answer;
    bool dialogGivesPath;
    bool result;
    bool modifiedAfter;
    int fileDialogs;
};

class DocSaveModified : public DocTest, public ::testing::WithParamInterface<SaveModifiedCase>
{
};

// An unmodified set asks nothing; the save dialog offers set files.
TEST_P(DocSaveModified, AnswersDecideWhetherTheCallerGoesOn)
{
    const SaveModifiedCase& c = GetParam();
    EXPECT_TRUE(doc.SaveModified());
    EXPECT_TRUE(prompter.shown.empty());
    if (c.titled)
        MakeEditedSet();
    else
        doc.SetModifiedFlag(true);
    prompter.answers = {c.answer};
    if (c.dialogGivesPath)
        prompter.files = {files.Path("chosen.fml")};
    const QByteArray set = StoredSet(doc);

    EXPECT_EQ(doc.SaveModified(), c.result);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].type, unsigned{MB_YESNOCANCEL | MB_ICONQUESTION});
    EXPECT_EQ(doc.IsModified(), c.modifiedAfter);
    EXPECT_EQ(static_cast<int>(prompter.fileRequests.size()), c.fileDialogs);
    for (const FileDialogRequest& r : prompter.fileRequests) {
        EXPECT_TRUE(r.save);
        EXPECT_EQ(r.defaultExtension, QStringLiteral("fml"));
        EXPECT_EQ(r.filter, QString::fromUtf8(kSetFileFilter));
    }
    if (c.result && c.answer == IDYES) {
        EXPECT_EQ(TempFiles::Read(doc.GetPathName()), set);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, DocSaveModified,
    ::testing::Values(SaveModifiedCase{"YesTitled", true, IDYES, false, true, false, 0},
                      SaveModifiedCase{"YesUntitledSaved", false, IDYES, true, true, false, 1},
                      SaveModifiedCase{"YesUntitledDialogCancelled", false, IDYES, false, false,
                                       true, 1},
                      SaveModifiedCase{"No", true, IDNO, false, true, true, 0},
                      SaveModifiedCase{"Cancel", true, IDCANCEL, false, false, true, 0}),
    ByName{});

struct SaveFailureCase {
    const char* name;
    const char* target; // in the test's folder: "locked/" is made unwritable, "fifo" is a FIFO
    const char* reason;
};

class DocSaveFails : public DocTest, public ::testing::WithParamInterface<SaveFailureCase>
{
};

TEST_P(DocSaveFails, ReportsWhyKeepsTheOldFileAndStaysModified)
{
    QDir(files.Dir()).mkdir(QStringLiteral("locked"));
    QDir(files.Dir()).mkdir(QStringLiteral("folder"));
    MakeFifo(files, "fifo");
    const QString path = files.Path(QString::fromUtf8(GetParam().target));
    const bool regular = QFileInfo(path).isFile() || !QFileInfo::exists(path);
    if (regular) {
        ASSERT_TRUE(doc.OnSaveDocument(path));
        ASSERT_TRUE(doc.OnOpenDocument(path));
    } else {
        doc.SetPathName(path);
    }
    const QByteArray old = regular ? TempFiles::Read(path) : QByteArray();
    const QStringList listing = QDir(files.Dir()).entryList(QDir::AllEntries | QDir::System);
    doc.GetCurrentMelody()->InsertNote();
    doc.SetModifiedFlag(true);
    {
        std::optional<UnwritableDir> locked;
        std::optional<FileSizeLimit> full;
        if (path.contains(QStringLiteral("locked/")) && !locked.emplace(files.Path("locked")).ok())
            GTEST_SKIP() << "cannot make a folder unwritable here";
        if (std::string_view(GetParam().name) == "full")
            full.emplace(64); // less than any set
        EXPECT_FALSE(doc.DoSave(false));
    }
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text,
              QString::fromUtf8(kMsgCannotSave).arg(path, QString::fromUtf8(GetParam().reason)));
    EXPECT_EQ(prompter.shown[0].type, unsigned{MB_OK | MB_ICONHAND});
    EXPECT_EQ(QFileInfo(path).isFile(), regular) << "a FIFO or a folder was replaced";
    if (regular) {
        EXPECT_EQ(TempFiles::Read(path), old);
    }
    EXPECT_EQ(QDir(files.Dir()).entryList(QDir::AllEntries | QDir::System), listing);
    EXPECT_TRUE(doc.IsModified());
}

INSTANTIATE_TEST_SUITE_P(
    Targets, DocSaveFails,
    ::testing::Values(SaveFailureCase{"locked", "locked/set.fml", "нет прав на запись"},
                      SaveFailureCase{"full", "set.fml", "файл больше, чем разрешено записывать"},
                      SaveFailureCase{"fifo", "fifo", "это канал, а не файл"},
                      SaveFailureCase{"folder", "folder", "это папка, а не файл"}),
    ByName{});

// A seeded run of edits through the document's commands, every kind, over two melodies, undone
// step by step back to the start and redone to the end: the set byte for byte at each step.
TEST_F(DocTest, EveryEditUndoesAndRedoesByteForByte)
{
    UseFormat(4); // 16 × 15: small enough for the limit to be hit
    std::mt19937 random(2026);
    std::vector<QByteArray> states{StoredSet(doc)};
    prompter.answers.assign(400, IDYES); // every deletion confirmed
    for (int i = 0; i < 400; ++i) {
        doc.SetCurrentNumber(1 + random() % 2);
        CMelody* melody = doc.GetCurrentMelody();
        if (melody->GetNoteCount() > 0)
            melody->Select(static_cast<int>(random() % melody->GetNoteCount()));
        const unsigned kind = random() % 6; // inserts twice as often
        if (kind < 2)
            doc.InsertNote();
        else if (kind == 2)
            doc.DeleteSelectedNote();
        else if (kind == 3)
            doc.DeleteLastNote();
        else if (kind == 4)
            doc.ModifySelectedNote(static_cast<BYTE>(random() % 4));
        else
            doc.EditCurrentMelody(kEditTitle, [&](CMelody& m) {
                m.SetTitle(QByteArray::number(static_cast<int>(random() % 50)));
            });
        if (StoredSet(doc) != states.back())
            states.push_back(StoredSet(doc));
    }
    ASSERT_GT(states.size(), 200u);
    for (size_t i = states.size() - 1; i > 0; --i) {
        ASSERT_TRUE(doc.CanUndo());
        doc.Undo();
        ASSERT_EQ(StoredSet(doc), states[i - 1]) << "undo to step " << i - 1;
    }
    EXPECT_FALSE(doc.CanUndo());
    for (size_t i = 1; i < states.size(); ++i) {
        doc.Redo();
        ASSERT_EQ(StoredSet(doc), states[i]) << "redo to step " << i;
    }
    EXPECT_FALSE(doc.CanRedo());
}

// The flag follows the history back to the saved state; undo brings back the current melody
// and the selection of the moment; a new edit drops what could have been redone; a set replaced
// as a whole (here: opened) starts a fresh history.
TEST_F(DocTest, UndoFollowsTheSavedStateAndShowsWhereTheChangeWas)
{
    doc.SetCurrentNumber(2);
    doc.InsertNote();
    doc.ModifySelectedNote(0);
    ASSERT_TRUE(doc.OnSaveDocument(files.Path("saved.fml")));
    doc.ModifySelectedNote(2);
    EXPECT_STREQ(doc.UndoName(), kEditDuration);
    EXPECT_TRUE(doc.IsModified());
    doc.OnMelodyNext(); // not an edit
    doc.GetCurrentMelody()->Deselect();
    doc.Undo();
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.GetCurrentNumber(), 2u);
    EXPECT_EQ(doc.GetCurrentMelody()->GetSelected(), 0);
    doc.Undo();
    EXPECT_TRUE(doc.IsModified()) << "before the saved state is modified too";
    EXPECT_STREQ(doc.RedoName(), kEditTone);
    doc.DeleteLastNote();
    EXPECT_FALSE(doc.CanRedo());
    EXPECT_STREQ(doc.UndoName(), kEditDeleteNote);

    ASSERT_TRUE(doc.OnOpenDocument(files.Path("saved.fml")));
    EXPECT_FALSE(doc.CanUndo());
    EXPECT_FALSE(doc.IsModified());
}

} // namespace
