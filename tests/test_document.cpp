#include "document/TinklaDoc.h"
#include "model/Messages.h"
#include "support/DocTestKit.h"
#include "support/ScriptedPrompter.h"

#include <QFileInfo>
#include <gtest/gtest.h>
#include <optional>
#include <random>

using namespace tinkla;
using namespace tinkla::test;

namespace
{

// What the user sees of a document: the set, the current melody, the name and the changes flag.
auto Take(CTinklaDoc& doc)
{
    return std::tuple(StoredSet(doc), doc.GetCurrentNumber(), doc.GetPathName(), doc.GetTitle(),
                      doc.IsModified());
}

class DocTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QObject::connect(&doc, &CTinklaDoc::updated, [this] { ++updates; });
        QObject::connect(&doc, &CTinklaDoc::recentFileAdded, [this](QString p) { recent << p; });
        ASSERT_TRUE(doc.OnNewDocument());
    }

    TempFiles files;
    ScriptedPrompter prompter;
    CTinklaDoc doc{&prompter};
    int updates = 0; // repaints
    QStringList recent;
};

// The first new set is the default, without a dialog; only a confirmed choice is offered again.
TEST_F(DocTest, NewSetsTakeTheChosenFormatAndTheConfirmedChoiceIsRemembered)
{
    const QString untitled = QString::fromUtf8(kUntitledName);
    EXPECT_EQ(Take(doc), std::tuple(BlankSet(8, 31), 1u, QString(), untitled, false));
    EXPECT_EQ(updates, 1);
    prompter.formats = {4, -1, 0};
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_EQ(Take(doc), std::tuple(BlankSet(2, 127), 1u, QString(), untitled, false));
    ASSERT_TRUE(doc.OnNewDocument());
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_EQ(prompter.formatOffered, (std::vector<int>{2, 4, 4}));
}

// Navigation wraps, keeps each melody's selection, moves nothing without a set. A saved set opens
// to the same bytes, under the path as given, unmodified.
TEST_F(DocTest, EveryFormatSavesAndOpensToTheSameBytesAndNavigationWraps)
{
    CTinklaDoc empty(&prompter);
    empty.OnMelodyPrev();
    empty.OnMelodyNext();
    EXPECT_EQ(empty.GetCurrentNumber(), 1u);
    for (int format = 0; format < kFormatCount; ++format) {
        const SetFormat& f = kSetFormats[format];
        SCOPED_TRACE(testing::Message() << f.melodies << " melodies");
        prompter.formats = {format};
        ASSERT_TRUE(doc.OnNewDocument());
        doc.GetCurrentMelody()->InsertNote(); // and selected
        doc.OnMelodyPrev();
        EXPECT_EQ(doc.GetCurrentNumber(), f.melodies);
        doc.OnMelodyNext();
        EXPECT_EQ(doc.GetCurrentNumber(), 1u);
        EXPECT_EQ(doc.GetCurrentMelody()->GetSelected(), 0);
        doc.GetCurrentMelody()->DeleteAll();
        for (unsigned k = 0; k < f.melodies; ++k) {
            const unsigned count = k + 1 == f.melodies ? f.notes : (k * 7) % (f.notes + 1);
            for (unsigned i = 0; i < count; ++i)
                doc.GetMelody(k)->AppendNote(static_cast<BYTE>(((i * 5 + k) % 32) << 3 | (i % 5)));
        }
        const QByteArray bytes = StoredSet(doc);
        const QString path = files.Path("set.fml");
        ASSERT_TRUE(doc.OnSaveDocument(path));
        EXPECT_EQ(TempFiles::Read(path), bytes);
        CTinklaDoc loaded(&prompter);
        ASSERT_TRUE(loaded.OnOpenDocument(path));
        EXPECT_EQ(Take(loaded), std::tuple(bytes, 1u, path, QStringLiteral("set.fml"), false));
    }
    EXPECT_TRUE(prompter.shown.empty());
}

// A cancelled new set keeps the set, its name and its changes mark: else the edits would go at exit
// without a question. A refused open says why and adds no recent file: a header of no format, a
// file ending anywhere early, a file that cannot be read.
TEST_F(DocTest, CancelledNewAndRefusedOpensKeepTheSetItsNameAndItsChanges)
{
    // An opened file with edits not yet saved, melody 3 current: a state worth keeping.
    ASSERT_TRUE(doc.OnSaveDocument(files.Path("mine.fml")));
    ASSERT_TRUE(doc.OnOpenDocument(files.Path("mine.fml")));
    doc.GetMelody(2)->InsertNote();
    doc.SetCurrentNumber(3);
    doc.SetModifiedFlag(true);
    const auto before = Take(doc);
    prompter.formats = {-1};
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_EQ(Take(doc), before);
    const QByteArray full = std::get<0>(before);
    const auto refused = [&](const QString& path, const QString& text, unsigned type) {
        SCOPED_TRACE(path.toStdString());
        prompter.shown.clear();
        EXPECT_FALSE(doc.OnOpenDocument(path));
        ASSERT_EQ(prompter.texts(), QStringList{text});
        EXPECT_EQ(prompter.shown[0].type, type);
        ASSERT_EQ(Take(doc), before);
    };
    const QString badSet = QString::fromUtf8(kMsgBadSetFile);
    const std::pair<int32_t, int32_t> headers[] = {{32, 8}, {1, 254},  {3, 84},
                                                   {0, 0},  {-1, 255}, {31, 8}};
    for (const auto& [melodies, notes] : headers) {
        const QByteArray bytes = Le32(melodies) + Le32(notes) + full.mid(8);
        refused(files.Write(QStringLiteral("%1x%2.fml").arg(melodies).arg(notes), bytes), badSet,
                MB_OK);
        Archive in(bytes, &prompter);
        doc.Serialize(in);
        EXPECT_EQ(prompter.texts(), QStringList(2, badSet)) << "through an archive too";
    }
    for (int cut = 0; cut < full.size(); ++cut) {
        const QString path = files.Write(QStringLiteral("cut%1.fml").arg(cut), full.left(cut));
        refused(path, QString::fromUtf8(kMsgFileDamaged).arg(path), MB_OK | MB_ICONHAND);
    }
    ASSERT_TRUE(QFile::resize(files.Write("big.fml", "x"), kMaxFileBytes + 1)); // sparse: no disk
    QDir(files.Dir()).mkdir(QStringLiteral("folder.fml"));
    const std::pair<QString, const char*> unreadable[] = {
        {files.Path("missing.fml"), "нет такого файла"},
        {files.Path("big.fml"), "слишком большой файл"},
        {files.Path("folder.fml"), "это папка, а не файл"},
        {MakeFifo(files, "fifo.fml"), "это канал, а не файл"}}; // would block an open
    for (const auto& [path, reason] : unreadable)
        refused(path, QString::fromUtf8(kMsgCannotOpen).arg(path, QString::fromUtf8(reason)),
                MB_OK | MB_ICONHAND);
    EXPECT_EQ(recent, QStringList{files.Path("mine.fml")}) << "the one file opened";
}

// Melody 1 declares more notes than its one row holds: refused, and melody 2 is read from the
// bytes right after that count. Melody 3 holds more than the set's 63. Loading through an archive
// repaints, and keeps the format choice: the next new set offers the default, not the loaded one.
TEST_F(DocTest, BadRecordsAreReportedAndTheLoadGoesOn)
{
    Archive in(Le32(4) + Le32(63) + MelodyRecord(1, "a", 13) +
                   MelodyRecord(1, "b", 1, NoteBytes(1)) +
                   MelodyRecord(6, "long", 70, NoteBytes(70)) + MelodyRecord(1, "d", 0),
               &prompter);
    doc.Serialize(in);
    EXPECT_EQ(prompter.texts(), (QStringList{QString::fromUtf8(kMsgMelodyReadError),
                                             QString::fromUtf8(kMsgMelodyTruncated)}));
    EXPECT_EQ(doc.GetMelody(0)->GetTitle(), DefaultMelodyTitle());
    EXPECT_EQ(doc.GetMelody(1)->GetTitle(), QByteArray("b"));
    EXPECT_EQ(doc.GetMelody(2)->GetNoteCount(), 63);
    EXPECT_EQ(doc.GetMelody(3)->GetTitle(), QByteArray("d")) << "read in step after the cut";
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(updates, 2);
    prompter.formats = {-1};
    doc.OnNewDocument();
    EXPECT_EQ(prompter.formatOffered, std::vector<int>{kDefaultFormat});
}

// One set through the rows in order: untitled until the second row saves it as chosen.fml. An
// unmodified set asks nothing; the save dialog offers set files.
TEST_F(DocTest, SaveModifiedAnswersDecideWhetherTheCallerGoesOn)
{
    EXPECT_TRUE(doc.SaveModified());
    EXPECT_TRUE(prompter.shown.empty());
    // The answer, the save dialog's (nullptr: no dialog, "": cancelled), the result, modified.
    const std::tuple<const char*, Answer, const char*, bool, bool> rows[] = {
        {"YesUntitledDialogCancelled", IDYES, "", false, true},
        {"YesUntitledSaved", IDYES, "chosen.fml", true, false},
        {"Cancel", IDCANCEL, nullptr, false, true},
        {"No", IDNO, nullptr, true, true},
        {"YesTitled", IDYES, nullptr, true, false}};
    for (const auto& [name, answer, dialogGives, result, modifiedAfter] : rows) {
        SCOPED_TRACE(name);
        doc.GetCurrentMelody()->InsertNote();
        doc.SetModifiedFlag(true);
        prompter.shown.clear();
        prompter.fileRequests.clear();
        prompter.answers = {answer};
        prompter.files = {dialogGives && *dialogGives ? files.Path(dialogGives) : QString()};
        EXPECT_EQ(doc.SaveModified(), result);
        ASSERT_EQ(prompter.shown.size(), 1u);
        EXPECT_EQ(prompter.shown[0].type, unsigned{MB_YESNOCANCEL | MB_ICONQUESTION});
        EXPECT_EQ(doc.IsModified(), modifiedAfter);
        ASSERT_EQ(prompter.fileRequests.size(), dialogGives ? 1u : 0u);
        if (dialogGives) {
            EXPECT_TRUE(prompter.fileRequests[0].save);
            EXPECT_EQ(prompter.fileRequests[0].defaultExtension, QStringLiteral("fml"));
            EXPECT_EQ(prompter.fileRequests[0].filter, QString::fromUtf8(kSetFileFilter));
        }
        EXPECT_EQ(TempFiles::Read(doc.GetPathName()) == StoredSet(doc), result && answer == IDYES);
    }
}

// The old file stays whole, a FIFO or a folder is not replaced, nothing is left behind.
TEST_F(DocTest, AFailedSaveReportsWhyKeepsTheOldFileAndStaysModified)
{
    QDir(files.Dir()).mkdir(QStringLiteral("locked"));
    QDir(files.Dir()).mkdir(QStringLiteral("folder"));
    MakeFifo(files, "fifo");
    files.Write("set.fml", "old");
    files.Write("locked/set.fml", "old");
    const QStringList listing = QDir(files.Dir()).entryList(QDir::AllEntries | QDir::System);
    const std::pair<const char*, const char*> targets[] = {
        {"set.fml", "файл больше, чем разрешено записывать"}, // as on a full disk
        {"fifo", "это канал, а не файл"},
        {"folder", "это папка, а не файл"},
        {"locked/set.fml", "нет прав на запись"}}; // last: it may have to skip
    std::optional<UnwritableDir> locked;
    for (const auto& [target, reason] : targets) {
        SCOPED_TRACE(target);
        const QString path = files.Path(QString::fromUtf8(target));
        doc.SetPathName(path);
        doc.SetModifiedFlag(true);
        prompter.shown.clear();
        if (path.contains(QStringLiteral("locked/"))) {
            locked.emplace(files.Path("locked"));
            if (!locked->ok())
                GTEST_SKIP() << "cannot make a folder unwritable here";
        }
        std::optional<FileSizeLimit> full; // only around the save: the test's log is a file too
        if (path == files.Path("set.fml"))
            full.emplace(64); // less than any set
        EXPECT_FALSE(doc.DoSave(false));
        full.reset();
        ASSERT_EQ(
            prompter.texts(),
            QStringList{QString::fromUtf8(kMsgCannotSave).arg(path, QString::fromUtf8(reason))});
        EXPECT_EQ(prompter.shown[0].type, unsigned{MB_OK | MB_ICONHAND});
        if (QFileInfo(path).isFile()) { // the two set.fml; the FIFO and the folder stay as such
            EXPECT_EQ(TempFiles::Read(path), QByteArray("old"));
        }
        EXPECT_EQ(QDir(files.Dir()).entryList(QDir::AllEntries | QDir::System), listing);
        EXPECT_TRUE(doc.IsModified());
    }
}

// A seeded run of every kind of edit over two melodies, undone to the start and redone to the end.
TEST_F(DocTest, EveryEditUndoesAndRedoesByteForByte)
{
    prompter.formats = {4}; // 2 × 127: small enough for the limit to be hit
    ASSERT_TRUE(doc.OnNewDocument());
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

// The flag follows the history back to the saved state; undo restores the current melody and
// selection; a new edit drops the redo; a set replaced as a whole starts a fresh history.
TEST_F(DocTest, UndoFollowsTheSavedStateAndShowsWhereTheChangeWas)
{
    doc.SetCurrentNumber(2);
    doc.InsertNote();
    doc.ModifySelectedNote(0);
    ASSERT_TRUE(doc.OnSaveDocument(files.Path("saved.fml")));
    doc.ModifySelectedNote(2);
    EXPECT_STREQ(doc.UndoName(), kEditDuration);
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
}

} // namespace
