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

    void Fill(int count, const QByteArray& title)
    {
        for (int i = 0; i < count; ++i)
            doc.GetCurrentMelody()->AppendNote(static_cast<BYTE>(((i * 3) % 32) << 3 | (i % 5)));
        doc.GetCurrentMelody()->SetTitle(title);
    }

    QByteArray Current() { return StoredMelody(*doc.GetCurrentMelody()); }
    // The melody file dialog offers .mel files, under no title of its own and no name.
    static void ExpectMelodyDialog(const FileDialogRequest& r, bool save)
    {
        EXPECT_EQ(std::tuple(r.save, r.defaultExtension, r.filter, r.title, r.initialPath),
                  std::tuple(save, "mel", QString::fromUtf8(kMelodyFileFilter), "", ""));
    }

    TempFiles files;
    ScriptedPrompter prompter;
    CTinklaDoc doc{&prompter};
    int updates = 0;
};

// Each file into melody 1, which holds "old" with its second note selected: whether it loads,
// what it says, the notes it leaves; a refused file leaves the melody as it was.
TEST_F(MelodyFileTest, ALoadedFileIsCheckedAgainstTheSet)
{
    const auto text = [](const char* message) { return QString::fromUtf8(message); };
    const QString badFile = text(kMsgBadMelodyFile);
    const QString readError = text(kMsgMelodyReadError);
    const QString damaged = text(kMsgFileDamaged).arg(files.Path("m.mel"));
    const std::tuple<int, QByteArray, bool, QString, int> cases[] = {
        {5, Le32(255) + MelodyRecord(22, "new", 255, NoteBytes(255)), true, {}, 255},
        {0, Le32(0) + MelodyRecord(1, "new", 0), true, {}, 0},
        {0, Le32(8) + MelodyRecord(1, "new", 8, NoteBytes(8)), false, badFile, 2},
        {5, Le32(INT32_MIN) + MelodyRecord(1, "new", 0), false, badFile, 2},
        // The leading count is only a claim: a longer record is still cut to the set's N.
        {2, Le32(5) + MelodyRecord(4, "new", 40, NoteBytes(40)), true, text(kMsgMelodyTruncated),
         31},
        // A refused record count empties the melody, keeps its title, and the load goes on.
        {2, Le32(3) + MelodyRecord(1, "new", 13), true, readError, 0},
        {2, Le32(9) + MelodyRecord(1, "new", 9, NoteBytes(8)), false, damaged, 2}};
    for (const auto& [format, bytes, loads, message, notes] : cases) {
        SCOPED_TRACE(bytes.left(4).toHex().constData());
        prompter.formats = {format};
        doc.OnNewDocument();
        Fill(2, "old");
        doc.GetCurrentMelody()->Select(1);
        const QByteArray before = Current();
        prompter.shown.clear();
        updates = 0;
        EXPECT_EQ(doc.LoadMelodyFile(files.Write("m.mel", bytes)), loads);
        EXPECT_EQ(doc.IsModified(), loads);
        EXPECT_EQ(updates > 0, loads);
        EXPECT_EQ(prompter.texts(), message.isNull() ? QStringList() : QStringList{message});
        for (const auto& shown : prompter.shown)
            EXPECT_EQ(shown.type, loads ? unsigned{MB_OK} : unsigned{MB_OK | MB_ICONHAND});
        EXPECT_TRUE(loads || Current() == before);
        EXPECT_EQ(doc.GetCurrentMelody()->GetNoteCount(), notes);
        EXPECT_EQ(doc.GetCurrentMelody()->GetSelected(), loads ? -1 : 1);
        EXPECT_EQ(doc.GetCurrentMelody()->GetTitle(),
                  QByteArray(loads && message != readError ? "new" : "old"));
    }
}

// Saving (an empty melody: count, then record) leaves the changes flag. Loading asks first whether
// to save the set; one set walks through the answers, and the melody saved first comes back whole.
TEST_F(MelodyFileTest, SaveThenLoadWhichOffersToSaveTheSetFirstAndEachAnswerDoesItsPart)
{
    prompter.files = {files.Path("empty.mel")};
    doc.OnMelodySave();
    doc.OnMelodySave(); // dialog cancelled: nothing is written
    EXPECT_EQ(QDir(files.Dir()).entryList(QDir::Files), QStringList{"empty.mel"});
    EXPECT_EQ(TempFiles::Read(files.Path("empty.mel")),
              QByteArray::fromHex("00000000010000000dcdeee2e0ff20ece5ebeee4e8ff00000000"));
    ExpectMelodyDialog(prompter.fileRequests[0], true);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(updates, 0);
    Fill(6, "before");
    const QByteArray saved = Current();
    doc.SetModifiedFlag(true);
    ASSERT_TRUE(doc.SaveMelodyFile(files.Path("m.mel")));
    EXPECT_TRUE(doc.IsModified());
    doc.GetCurrentMelody()->DeleteAll();
    const QByteArray emptied = Current();

    // Each answer with the file dialogs' answers in turn ("": cancelled).
    const auto load = [&](Answer answer, const QStringList& dialogs) {
        prompter.answers = {answer};
        prompter.files.assign(dialogs.begin(), dialogs.end());
        prompter.shown.clear();
        prompter.fileRequests.clear();
        doc.OnMelodyLoad();
    };
    load(IDCANCEL, {files.Path("m.mel")}); // no dialog, nothing changes
    EXPECT_TRUE(prompter.fileRequests.empty());
    EXPECT_EQ(prompter.texts(), QStringList{QString::fromUtf8(kMsgReplaceMelody)});
    EXPECT_EQ(prompter.shown[0].type, unsigned{MB_YESNOCANCEL | MB_ICONQUESTION});
    load(IDNO, {""}); // the open dialog cancelled: nothing changes
    ASSERT_EQ(prompter.fileRequests.size(), 1u);
    ExpectMelodyDialog(prompter.fileRequests[0], false);
    EXPECT_EQ(Current(), emptied);
    EXPECT_TRUE(doc.IsModified()) << "as it was";
    load(IDYES, {files.Path("no-such-folder/set.fml"), files.Path("m.mel")});
    ASSERT_EQ(prompter.shown.size(), 3u) << "the question, why the save failed, and then:";
    EXPECT_EQ(prompter.shown[2].text, QString::fromUtf8(kMsgSaveFailed));
    EXPECT_EQ(prompter.shown[2].type, unsigned{MB_OK | MB_ICONHAND});
    EXPECT_EQ(prompter.fileRequests.size(), 1u) << "no open dialog after a failed save";
    EXPECT_EQ(Current(), emptied);
    EXPECT_TRUE(doc.IsModified()) << "as it was";
    load(IDYES, {"", files.Path("m.mel")}); // the melody file is still offered
    ASSERT_EQ(prompter.fileRequests.size(), 2u);
    EXPECT_EQ(prompter.fileRequests[0].title, QStringLiteral("Сохранить как"));
    EXPECT_TRUE(prompter.fileRequests[0].initialPath.isEmpty()) << "an untitled set offers no name";
    EXPECT_EQ(Current(), saved);

    // Yes on a titled set: saved under the new name before the melody is replaced.
    ASSERT_TRUE(doc.OnSaveDocument(files.Path("old.fml")));
    doc.SetPathName(files.Path("old.fml"));
    const QByteArray setBefore = StoredSet(doc);
    doc.GetCurrentMelody()->DeleteAll();
    const QByteArray setEdited = StoredSet(doc);
    QStringList recent;
    QObject::connect(&doc, &CTinklaDoc::recentFileAdded, [&](const QString& p) { recent << p; });
    load(IDYES, {files.Path("copy.fml"), files.Path("m.mel")});
    EXPECT_EQ(prompter.fileRequests[0].initialPath, files.Path("old.fml"));
    EXPECT_EQ(TempFiles::Read(files.Path("copy.fml")), setEdited);
    EXPECT_EQ(TempFiles::Read(files.Path("old.fml")), setBefore);
    EXPECT_EQ(recent, QStringList{files.Path("copy.fml")});
    EXPECT_EQ(Current(), saved);
    EXPECT_TRUE(doc.IsModified()) << "the loaded melody is not in copy.fml yet";
}

// A confirmed title always marks the set modified; one outside the code page is not taken.
TEST_F(MelodyFileTest, TitleDialogRenamesTheCurrentMelody)
{
    const std::tuple<QString, QByteArray, bool> cases[] = {
        {QStringLiteral("Ёлочка"), QByteArray("\xA8\xEB\xEE\xF7\xEA\xE0"), true},
        {QString(), QByteArray("\xA8\xEB\xEE\xF7\xEA\xE0"), false}, // cancelled: as it was
        {QStringLiteral("日本"), QByteArray("\xA8\xEB\xEE\xF7\xEA\xE0"), false},
        {QStringLiteral("Новая мелодия"), DefaultMelodyTitle(), true},
        {QStringLiteral(""), QByteArray(), true}};
    doc.OnMelodyNext();
    for (const auto& [answer, expected, modified] : cases) {
        doc.SetModifiedFlag(false);
        prompter.titles = {answer};
        doc.OnMelodyTitle();
        EXPECT_EQ(doc.GetCurrentMelody()->GetTitle(), expected) << answer.toStdString();
        EXPECT_EQ(doc.IsModified(), modified) << answer.toStdString();
    }
    EXPECT_EQ(doc.GetMelody(0)->GetTitle(), DefaultMelodyTitle());
}

} // namespace
