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

TINKLA_PRINT_ROWS_BY_NAME

class MelodyFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        doc.OnNewDocument();
        QObject::connect(&doc, &CTinklaDoc::updated, [this] { ++updates; });
    }

    // A set of the given format (index 0..5), melody 1 current.
    void UseFormat(int format)
    {
        prompter.formats = {format};
        doc.OnNewDocument();
        prompter.formatOffered.clear();
        updates = 0;
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

TEST_F(MelodyFileTest, EmptyMelodyIsTheDocumented26Bytes)
{
    prompter.files = {files.Path("empty.mel")};
    doc.OnMelodySave();
    const QByteArray expected("\x00\x00\x00\x00\x01\x00\x00\x00\x0D\xCD\xEE\xE2\xE0\xFF\x20\xEC"
                              "\xE5\xEB\xEE\xE4\xE8\xFF\x00\x00\x00\x00",
                              26);
    EXPECT_EQ(TempFiles::Read(files.Path("empty.mel")), expected);
    ASSERT_EQ(prompter.fileRequests.size(), 1u);
    ExpectMelodyDialog(prompter.fileRequests[0], true);
}

TEST_F(MelodyFileTest, SavingAMelodyNeitherMarksNorClearsTheChangesFlag)
{
    prompter.files = {files.Path("a.mel"), files.Path("b.mel")};
    doc.OnMelodySave();
    EXPECT_FALSE(doc.IsModified());
    doc.SetModifiedFlag(true);
    doc.OnMelodySave();
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(updates, 0);
    doc.OnMelodySave(); // dialog cancelled: nothing is written
    EXPECT_EQ(QDir(files.Dir()).entryList(QDir::Files).size(), 2);
}

TEST_F(MelodyFileTest, SavedMelodyLoadsIntoAnotherMelodyOfTheSet)
{
    Fill(1, 20, "Звонок");
    const QByteArray first = Current();
    prompter.files = {files.Path("m.mel")};
    doc.OnMelodySave();

    doc.SetCurrentNumber(4);
    prompter.answers = {IDNO};
    prompter.files = {files.Path("m.mel")};
    doc.OnMelodyLoad();
    EXPECT_EQ(Current(), first);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_GE(updates, 1);
    EXPECT_EQ(prompter.texts(), QStringList{QString::fromUtf8(kMsgReplaceMelody)});
    EXPECT_EQ(prompter.shown[0].type, unsigned{MB_YESNOCANCEL | MB_ICONQUESTION});
}

struct LeadingCase {
    const char* name;
    int format;
    int32_t leading;
    bool accepted;
};

class MelodyFileLeadingCount : public MelodyFileTest,
                               public ::testing::WithParamInterface<LeadingCase>
{
};

TEST_P(MelodyFileLeadingCount, MustFitTheSet)
{
    const LeadingCase& c = GetParam();
    UseFormat(c.format);
    Fill(1, 2, "old");
    const QByteArray before = Current();
    const int notes = c.leading >= 0 && c.leading <= 300 ? c.leading : 0;
    const QString path = files.Write(
        "m.mel", Le32(c.leading) + MelodyRecord(notes / 12 + 1, "new", notes, NoteBytes(notes)));

    EXPECT_EQ(doc.LoadMelodyFile(path), c.accepted);
    if (c.accepted) {
        EXPECT_TRUE(prompter.shown.empty());
        EXPECT_EQ(doc.GetCurrentMelody()->GetNoteCount(), notes);
        EXPECT_EQ(doc.GetCurrentMelody()->GetTitle(), QByteArray("new"));
        EXPECT_TRUE(doc.IsModified());
    } else {
        ASSERT_EQ(prompter.texts(), QStringList{QString::fromUtf8(kMsgBadMelodyFile)});
        EXPECT_EQ(prompter.shown[0].type, unsigned{MB_OK | MB_ICONHAND});
        EXPECT_EQ(Current(), before);
        EXPECT_FALSE(doc.IsModified());
        EXPECT_EQ(updates, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Counts, MelodyFileLeadingCount,
                         ::testing::Values(LeadingCase{"ExactlyN_1x255", 5, 255, true},
                                           LeadingCase{"OneOver_1x255", 5, 256, false},
                                           LeadingCase{"OneOver_32x7", 0, 8, false},
                                           LeadingCase{"Zero_32x7", 0, 0, true},
                                           LeadingCase{"MostNegative", 5, INT32_MIN, false}),
                         ByName{});

// The leading count is only a claim: a record holding more notes than it must still not leave a
// melody longer than the set allows.
TEST_F(MelodyFileTest, RecordLongerThanItsLeadingCountIsCutToN)
{
    const QString path =
        files.Write("lying.mel", Le32(5) + MelodyRecord(4, "lying", 40, NoteBytes(40)));
    EXPECT_TRUE(doc.LoadMelodyFile(path));
    EXPECT_EQ(prompter.texts(), QStringList{QString::fromUtf8(kMsgMelodyTruncated)});
    EXPECT_EQ(doc.GetCurrentMelody()->GetNoteCount(), 31);
    EXPECT_LE(doc.GetCurrentMelody()->GetRows(), 3);
}

TEST_F(MelodyFileTest, RefusedRecordCountEmptiesTheMelodyKeepsItsTitleAndGoesOn)
{
    Fill(1, 5, "keep");
    doc.GetCurrentMelody()->Select(2);
    const QString path = files.Write("bad.mel", Le32(3) + MelodyRecord(1, "other", 13));
    EXPECT_TRUE(doc.LoadMelodyFile(path));
    EXPECT_EQ(prompter.texts(), QStringList{QString::fromUtf8(kMsgMelodyReadError)});
    EXPECT_EQ(doc.GetCurrentMelody()->GetNoteCount(), 0);
    EXPECT_EQ(doc.GetCurrentMelody()->GetSelected(), -1);
    EXPECT_EQ(doc.GetCurrentMelody()->GetTitle(), QByteArray("keep"));
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(MelodyFileTest, AFileEndingAnywhereEarlyChangesNothing)
{
    Fill(2, 9, "source");
    doc.SetCurrentNumber(2);
    ASSERT_TRUE(doc.SaveMelodyFile(files.Path("full.mel")));
    const QByteArray full = TempFiles::Read(files.Path("full.mel"));
    doc.SetCurrentNumber(1);
    Fill(1, 3, "target");
    const QByteArray before = Current();
    const QString path = files.Path("cut.mel");
    for (int cut = 0; cut < full.size(); ++cut) {
        files.Write("cut.mel", full.left(cut));
        prompter.shown.clear();
        ASSERT_FALSE(doc.LoadMelodyFile(path)) << "cut at " << cut;
        EXPECT_EQ(prompter.texts(), QStringList{QString::fromUtf8(kMsgFileDamaged).arg(path)});
        ASSERT_EQ(Current(), before) << "cut at " << cut;
    }
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(MelodyFileTest, LoadCancelledShowsNoDialog)
{
    Fill(1, 3, "t");
    const QByteArray before = Current();
    prompter.answers = {IDCANCEL};
    prompter.files = {files.Path("never.mel")};
    doc.OnMelodyLoad();
    EXPECT_TRUE(prompter.fileRequests.empty());
    EXPECT_EQ(Current(), before);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(MelodyFileTest, LoadNoThenCancelledOpenDialogChangesNothing)
{
    prompter.answers = {IDNO};
    doc.OnMelodyLoad();
    ASSERT_EQ(prompter.fileRequests.size(), 1u);
    ExpectMelodyDialog(prompter.fileRequests[0], false);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(MelodyFileTest, LoadYesThenCancelledSaveDialogStillOffersTheMelodyFile)
{
    Fill(2, 4, "m");
    doc.SetCurrentNumber(2);
    ASSERT_TRUE(doc.SaveMelodyFile(files.Path("m.mel")));
    doc.SetCurrentNumber(1);
    prompter.answers = {IDYES};
    prompter.files = {QString(), files.Path("m.mel")};
    doc.OnMelodyLoad();
    ASSERT_EQ(prompter.fileRequests.size(), 2u);
    const FileDialogRequest& save = prompter.fileRequests[0];
    EXPECT_TRUE(save.save);
    EXPECT_EQ(save.title, QStringLiteral("Сохранить как"));
    EXPECT_EQ(save.defaultExtension, QStringLiteral("fml"));
    EXPECT_EQ(save.filter, QString::fromUtf8(kSetFileFilter));
    EXPECT_TRUE(save.initialPath.isEmpty()) << "an untitled set offers no name";
    EXPECT_FALSE(prompter.fileRequests[1].save);
    EXPECT_EQ(doc.GetCurrentMelody()->GetTitle(), QByteArray("m"));
    EXPECT_TRUE(doc.GetPathName().isEmpty());
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(MelodyFileTest, LoadYesSavesTheSetUnderTheNewNameBeforeReplacingTheMelody)
{
    Fill(1, 6, "before");
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
    EXPECT_EQ(prompter.fileRequests[0].initialPath, files.Path("old.fml"));
    EXPECT_EQ(TempFiles::Read(files.Path("copy.fml")), setEdited);
    EXPECT_EQ(TempFiles::Read(files.Path("old.fml")), setBefore);
    EXPECT_EQ(doc.GetPathName(), files.Path("copy.fml"));
    EXPECT_EQ(recent, QStringList{files.Path("copy.fml")});
    EXPECT_EQ(doc.GetCurrentMelody()->GetNoteCount(), 6);
    EXPECT_TRUE(doc.IsModified()) << "the loaded melody is not in copy.fml yet";
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

TEST_F(MelodyFileTest, LoadOfATooLongMelodyShowsTheStopMessage)
{
    const QString path =
        files.Write("long.mel", Le32(32) + MelodyRecord(3, "x", 32, NoteBytes(32)));
    prompter.answers = {IDNO};
    prompter.files = {path};
    doc.OnMelodyLoad();
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[1].text, QString::fromUtf8(kMsgBadMelodyFile));
    EXPECT_EQ(prompter.shown[1].type, unsigned{MB_OK | MB_ICONHAND});
    EXPECT_EQ(doc.GetCurrentMelody()->GetNoteCount(), 0);
    EXPECT_FALSE(doc.IsModified());
}

struct TitleCase {
    const char* name;
    QString answer; // null: the dialog is cancelled
    QByteArray expected;
    bool modified;
};

class MelodyTitle : public MelodyFileTest, public ::testing::WithParamInterface<TitleCase>
{
};

TEST_P(MelodyTitle, ConfirmedTitleAlwaysMarksTheSetModified)
{
    const TitleCase& c = GetParam();
    doc.OnMelodyNext();
    prompter.titles = {c.answer};
    doc.OnMelodyTitle();
    EXPECT_EQ(doc.GetCurrentMelody()->GetTitle(), c.expected);
    EXPECT_EQ(doc.GetMelody(0)->GetTitle(), DefaultMelodyTitle());
    EXPECT_EQ(doc.IsModified(), c.modified);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, MelodyTitle,
    ::testing::Values(
        TitleCase{"Renamed", QStringLiteral("Ёлочка"), QByteArray("\xA8\xEB\xEE\xF7\xEA\xE0"),
                  true},
        TitleCase{"SameTitle", QStringLiteral("Новая мелодия"), DefaultMelodyTitle(), true},
        TitleCase{"Empty", QStringLiteral(""), QByteArray(), true},
        TitleCase{"Cancelled", QString(), DefaultMelodyTitle(), false},
        TitleCase{"NotInCodePage", QStringLiteral("日本"), DefaultMelodyTitle(), false}),
    ByName{});

} // namespace
