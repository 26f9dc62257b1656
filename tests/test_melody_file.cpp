// The .mel file and the three commands on the current melody: save, load (with the offer to save
// the set first) and title.
#include "document/TinklaDoc.h"
#include "model/Messages.h"
#include "support/DocTestKit.h"
#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>

using namespace tinkla;
using namespace tinkla::test;

namespace
{

class MelodyFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        doc.OnNewDocument();
        QObject::connect(&doc, &CTinklaDoc::updated, [this] { ++updates; });
    }

    // Melody k (1-based) gets count notes and a title; melody 1 stays current.
    void Fill(unsigned k, int count, const QByteArray& title)
    {
        CMelody* m = doc.GetMelody(k - 1);
        for (int i = 0; i < count; ++i)
            m->AppendNote(static_cast<BYTE>(((i * 3) % 32) << 3 | (i % 5)));
        m->SetTitle(title);
    }

    QByteArray Current() { return StoredMelody(*doc.GetCurrentMelody()); }
    // The melody file dialog offers .mel files, under no title of its own and no name.
    static void ExpectMelodyDialog(const FileDialogRequest& r, bool save)
    {
        EXPECT_EQ(r.save, save);
        EXPECT_EQ(r.defaultExtension, QStringLiteral("mel"));
        EXPECT_EQ(r.filter, QString::fromUtf8(kMelodyFileFilter));
        EXPECT_TRUE(r.title.isEmpty());
        EXPECT_TRUE(r.initialPath.isEmpty());
    }

    TempFiles files;
    ScriptedPrompter prompter;
    CTinklaDoc doc{&prompter};
    int updates = 0;
};

// The leading count, then the melody record. Saving neither marks nor clears the changes flag.
TEST_F(MelodyFileTest, EmptyMelodyIsTheDocumented26BytesAndSavingLeavesTheFlag)
{
    prompter.files = {files.Path("empty.mel"), files.Path("b.mel")};
    doc.OnMelodySave();
    EXPECT_EQ(TempFiles::Read(files.Path("empty.mel")),
              QByteArray::fromHex("00000000010000000dcdeee2e0ff20ece5ebeee4e8ff00000000"));
    ASSERT_EQ(prompter.fileRequests.size(), 1u);
    ExpectMelodyDialog(prompter.fileRequests[0], true);
    EXPECT_FALSE(doc.IsModified());
    doc.SetModifiedFlag(true);
    doc.OnMelodySave();
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(updates, 0);
    doc.OnMelodySave(); // dialog cancelled: nothing is written
    EXPECT_EQ(QDir(files.Dir()).entryList(QDir::Files).size(), 2);
}

// Each file into melody 1, which holds "old" with its second note selected: whether it loads,
// what it says, and the notes it leaves (-1: the melody as it was).
TEST_F(MelodyFileTest, ALoadedFileIsCheckedAgainstTheSet)
{
    const struct {
        int format;
        QByteArray bytes;
        bool loads;
        const char* message; // nullptr: none
        int notes;
    } cases[] = {
        {5, Le32(255) + MelodyRecord(22, "new", 255, NoteBytes(255)), true, nullptr, 255},
        {0, Le32(0) + MelodyRecord(1, "new", 0), true, nullptr, 0},
        {5, Le32(256) + MelodyRecord(22, "new", 256, NoteBytes(256)), false, kMsgBadMelodyFile, -1},
        {0, Le32(8) + MelodyRecord(1, "new", 8, NoteBytes(8)), false, kMsgBadMelodyFile, -1},
        {5, Le32(INT32_MIN) + MelodyRecord(1, "new", 0), false, kMsgBadMelodyFile, -1},
        // The leading count is only a claim: a longer record is still cut to the set's N.
        {2, Le32(5) + MelodyRecord(4, "new", 40, NoteBytes(40)), true, kMsgMelodyTruncated, 31},
        // A refused record count empties the melody, keeps its title, and the load goes on.
        {2, Le32(3) + MelodyRecord(1, "new", 13), true, kMsgMelodyReadError, 0},
        {2, Le32(9) + MelodyRecord(1, "new", 9, NoteBytes(8)), false, kMsgFileDamaged, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.left(4).toHex().constData());
        prompter.formats = {c.format};
        doc.OnNewDocument();
        Fill(1, 2, "old");
        doc.GetCurrentMelody()->Select(1);
        const QByteArray before = Current();
        prompter.shown.clear();
        updates = 0;
        const QString path = files.Write("m.mel", c.bytes);
        EXPECT_EQ(doc.LoadMelodyFile(path), c.loads);
        EXPECT_EQ(doc.IsModified(), c.loads);
        EXPECT_EQ(updates > 0, c.loads);
        QString message = c.message ? QString::fromUtf8(c.message) : QString();
        if (c.message == kMsgFileDamaged)
            message = message.arg(path);
        EXPECT_EQ(prompter.texts(), c.message ? QStringList{message} : QStringList());
        for (const auto& shown : prompter.shown)
            EXPECT_EQ(shown.type, c.loads ? unsigned{MB_OK} : unsigned{MB_OK | MB_ICONHAND});
        if (c.notes < 0) {
            EXPECT_EQ(Current(), before);
            continue;
        }
        EXPECT_EQ(doc.GetCurrentMelody()->GetNoteCount(), c.notes);
        EXPECT_EQ(doc.GetCurrentMelody()->GetSelected(), -1);
        EXPECT_EQ(doc.GetCurrentMelody()->GetTitle(),
                  QByteArray(c.message == kMsgMelodyReadError ? "old" : "new"));
    }
}

// Cancel: no dialog. No, then a cancelled open dialog: nothing changes.
TEST_F(MelodyFileTest, LoadCancelledOrItsDialogCancelledChangesNothing)
{
    Fill(1, 3, "t");
    const QByteArray before = Current();
    prompter.answers = {IDCANCEL, IDNO};
    prompter.files = {files.Path("never.mel")};
    doc.OnMelodyLoad();
    EXPECT_TRUE(prompter.fileRequests.empty());
    prompter.files.clear();
    doc.OnMelodyLoad();
    ASSERT_EQ(prompter.fileRequests.size(), 1u);
    ExpectMelodyDialog(prompter.fileRequests[0], false);
    EXPECT_EQ(Current(), before);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(MelodyFileTest, LoadYesThenCancelledSaveDialogStillOffersTheMelodyFile)
{
    prompter.answers = {IDYES};
    prompter.files = {QString(), files.Write("m.mel", Le32(0) + MelodyRecord(1, "m", 0))};
    doc.OnMelodyLoad();
    ASSERT_EQ(prompter.fileRequests.size(), 2u);
    const FileDialogRequest& save = prompter.fileRequests[0];
    EXPECT_TRUE(save.save);
    EXPECT_EQ(save.title, QStringLiteral("Сохранить как"));
    EXPECT_EQ(save.filter, QString::fromUtf8(kSetFileFilter));
    EXPECT_TRUE(save.initialPath.isEmpty()) << "an untitled set offers no name";
    EXPECT_FALSE(prompter.fileRequests[1].save);
    EXPECT_EQ(doc.GetCurrentMelody()->GetTitle(), QByteArray("m"));
    EXPECT_TRUE(doc.GetPathName().isEmpty());
}

// The saved melody comes back whole into the current one.
TEST_F(MelodyFileTest, LoadYesSavesTheSetUnderTheNewNameBeforeReplacingTheMelody)
{
    Fill(1, 6, "before");
    const QByteArray saved = Current();
    ASSERT_TRUE(doc.OnSaveDocument(files.Path("old.fml")));
    doc.SetPathName(files.Path("old.fml"));
    const QByteArray setBefore = StoredSet(doc);
    ASSERT_TRUE(doc.SaveMelodyFile(files.Path("m.mel")));
    doc.GetCurrentMelody()->DeleteAll();
    const QByteArray setEdited = StoredSet(doc);
    QStringList recent;
    QObject::connect(&doc, &CTinklaDoc::recentFileAdded, [&](const QString& p) { recent << p; });
    prompter.answers = {IDYES};
    prompter.files = {files.Path("copy.fml"), files.Path("m.mel")};
    doc.OnMelodyLoad();
    EXPECT_EQ(prompter.texts(), QStringList{QString::fromUtf8(kMsgReplaceMelody)});
    EXPECT_EQ(prompter.shown[0].type, unsigned{MB_YESNOCANCEL | MB_ICONQUESTION});
    EXPECT_EQ(prompter.fileRequests[0].initialPath, files.Path("old.fml"));
    EXPECT_EQ(TempFiles::Read(files.Path("copy.fml")), setEdited);
    EXPECT_EQ(TempFiles::Read(files.Path("old.fml")), setBefore);
    EXPECT_EQ(recent, QStringList{files.Path("copy.fml")});
    EXPECT_EQ(Current(), saved);
    EXPECT_TRUE(doc.IsModified()) << "the loaded melody is not in copy.fml yet";
    EXPECT_GE(updates, 1);
}

TEST_F(MelodyFileTest, LoadYesWhoseSaveFailsLoadsNothing)
{
    Fill(1, 2, "kept");
    const QByteArray before = Current();
    prompter.answers = {IDYES};
    prompter.files = {files.Path("no-such-folder/set.fml"), files.Path("m.mel")};
    doc.OnMelodyLoad();
    ASSERT_EQ(prompter.shown.size(), 3u);
    EXPECT_TRUE(prompter.shown[1].text.startsWith(QStringLiteral("Не удалось сохранить файл")));
    EXPECT_EQ(prompter.shown[2].text, QString::fromUtf8(kMsgSaveFailed));
    EXPECT_EQ(prompter.shown[2].type, unsigned{MB_OK | MB_ICONHAND});
    EXPECT_EQ(prompter.fileRequests.size(), 1u) << "no open dialog after a failed save";
    EXPECT_EQ(Current(), before);
    EXPECT_TRUE(doc.GetPathName().isEmpty());
    EXPECT_FALSE(doc.IsModified());
}

// A confirmed title always marks the set modified; one outside the code page is not taken.
TEST_F(MelodyFileTest, TitleDialogRenamesTheCurrentMelody)
{
    const std::tuple<QString, QByteArray, bool> cases[] = {
        {QStringLiteral("Ёлочка"), QByteArray("\xA8\xEB\xEE\xF7\xEA\xE0"), true},
        {QStringLiteral("Новая мелодия"), DefaultMelodyTitle(), true},
        {QStringLiteral(""), QByteArray(), true},
        {QString(), DefaultMelodyTitle(), false}, // cancelled
        {QStringLiteral("日本"), DefaultMelodyTitle(), false}};
    doc.OnMelodyNext();
    for (const auto& [answer, expected, modified] : cases) {
        doc.GetCurrentMelody()->SetTitle(DefaultMelodyTitle());
        doc.SetModifiedFlag(false);
        prompter.titles = {answer};
        doc.OnMelodyTitle();
        EXPECT_EQ(doc.GetCurrentMelody()->GetTitle(), expected) << answer.toStdString();
        EXPECT_EQ(doc.IsModified(), modified) << answer.toStdString();
    }
    EXPECT_EQ(doc.GetMelody(0)->GetTitle(), DefaultMelodyTitle());
}

} // namespace
