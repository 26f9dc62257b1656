// The main window's document commands end to end: the save-modified gate before New, Open, a
// recent or dropped file and exit, the recent-file list, the title, help, and a whole editing
// session done with keys and clicks only.
#include "platform/Cp1251.h"
#include "ui_editor_support.h"

#include <QDir>
#include <QFile>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>
#include <QWhatsThis>

namespace tinkla::test {
namespace {

class FrameTest : public EditorTest {
protected:
    QString PathOf(const char* name) const { return QDir(dir.path()).filePath(name); }
    // A modified set with one note in melody 1.
    void Modify() { InsertNotes(1); }
    QMenu* FileMenu() const { return frame->menuBar()->actions().at(0)->menu(); }
    QByteArray Bytes(const QString& path) const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir;
};

struct GateCase {
    const char* name;
    std::deque<Answer> answers;
    bool giveSaveName; // the save dialog after Yes gets a name (else it is cancelled)
    bool goesOn;       // the command continues past the gate
    bool saved;
};

class NewSetGate : public FrameTest, public ::testing::WithParamInterface<GateCase> {};

TEST_P(NewSetGate, AsksToSaveAModifiedSetFirst)
{
    Modify();
    prompter.answers = GetParam().answers;
    if (GetParam().giveSaveName)
        prompter.files = {PathOf("before.fml")};
    prompter.formats = {4}; // 2 × 127, when the format dialog comes
    Key(Qt::Key_N, Qt::ControlModifier);

    ASSERT_GE(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].type, unsigned(MB_YESNOCANCEL | MB_ICONQUESTION));
    EXPECT_EQ(prompter.formatOffered.size(), GetParam().goesOn ? 1u : 0u);
    EXPECT_EQ(QFile::exists(PathOf("before.fml")), GetParam().saved);
    if (GetParam().goesOn) {
        EXPECT_EQ(doc->GetMelodyCount(), 2u);
        EXPECT_EQ(Melody()->GetNoteCount(), 0);
        EXPECT_FALSE(doc->IsModified());
    } else {
        EXPECT_EQ(doc->GetMelodyCount(), 8u);
        EXPECT_EQ(Melody()->GetNoteCount(), 1);
        EXPECT_TRUE(doc->IsModified());
    }
}

INSTANTIATE_TEST_SUITE_P(Branches, NewSetGate,
                         ::testing::Values(GateCase{"Yes", {IDYES}, true, true, true},
                                           GateCase{"YesThenNoName", {IDYES}, false, false, false},
                                           GateCase{"No", {IDNO}, false, true, false},
                                           GateCase{"Cancel", {IDCANCEL}, false, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FrameTest, NewSetCancelledInTheFormatDialogChangesNothing)
{
    InsertNotes(3);
    Key(Qt::Key_S, Qt::ControlModifier); // unnamed: asks for a name
    ASSERT_EQ(prompter.fileRequests.size(), 1u);
    prompter.files = {};
    doc->SetModifiedFlag(false);
    const QString title = frame->windowTitle();
    prompter.formats = {-1};
    Key(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(prompter.formatOffered, std::vector<int>{2});
    EXPECT_EQ(Melody()->GetNoteCount(), 3);
    EXPECT_EQ(frame->windowTitle(), title);
}

TEST_F(FrameTest, OpenAsksFirstAndCancelStopsBeforeTheFileDialog)
{
    Modify();
    prompter.answers = {IDCANCEL};
    Key(Qt::Key_O, Qt::ControlModifier);
    EXPECT_TRUE(prompter.fileRequests.empty());
    EXPECT_EQ(Melody()->GetNoteCount(), 1);
}

TEST_F(FrameTest, OpenReplacesTheSetAndNamesTheWindow)
{
    InsertNotes(2);
    prompter.files = {PathOf("two.fml")};
    Key(Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(QFile::exists(PathOf("two.fml")));
    prompter.formats = {0};
    Key(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Безымянный[*] - Tinkla"));

    prompter.files = {PathOf("two.fml")};
    Key(Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(prompter.fileRequests.size(), 2u);
    EXPECT_FALSE(prompter.fileRequests[1].save);
    EXPECT_EQ(doc->GetMelodyCount(), 8u);
    EXPECT_EQ(Melody()->GetNoteCount(), 2);
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("two.fml[*] - Tinkla"));
    EXPECT_FALSE(frame->isWindowModified());
    Key(Qt::Key_Insert);
    EXPECT_TRUE(frame->isWindowModified());
}

TEST_F(FrameTest, AFileThatIsNoSetLeavesTheSetOnScreen)
{
    QFile bad(PathOf("bad.fml"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write(QByteArray::fromHex("0300000054000000"));
    bad.close();
    InsertNotes(2);
    doc->SetModifiedFlag(false);
    prompter.files = {bad.fileName()};
    Key(Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(Melody()->GetNoteCount(), 2);
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Безымянный[*] - Tinkla"));
}

struct CloseCase {
    Answer answer;
    bool closes;
};

class CloseGate : public FrameTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(CloseGate, ExitAsksToSaveAModifiedSet)
{
    Modify();
    prompter.answers = {GetParam().answer};
    Action(ID_APP_EXIT)->trigger();
    EXPECT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(frame->isVisible(), !GetParam().closes);
}

INSTANTIATE_TEST_SUITE_P(YesNoCancel, CloseGate,
                         ::testing::Values(CloseCase{IDNO, true}, CloseCase{IDCANCEL, false}));

TEST_F(FrameTest, SavedSetsEnterTheRecentListNewestFirst)
{
    EXPECT_FALSE(FileMenu()->actions().contains(Action(ID_FILE_MRU_FILE1)) &&
                 Action(ID_FILE_MRU_FILE1)->isVisible());
    for (const char* name : {"a&b.fml", "c.fml"}) {
        prompter.files = {PathOf(name)};
        Action(ID_FILE_SAVE_AS)->trigger();
    }
    QAction* first = Action(ID_FILE_MRU_FILE1);
    QAction* second = Action(ID_FILE_MRU_FILE1 + 1);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->text(), QStringLiteral("&1 c.fml"));
    EXPECT_EQ(second->text(), QStringLiteral("&2 a&&b.fml"));
    EXPECT_EQ(second->statusTip(), PathOf("a&b.fml"));
    EXPECT_FALSE(Action(ID_FILE_MRU_FILE1 + 2)->isVisible());
    EXPECT_EQ(SettingRecentFiles(), (QStringList{PathOf("c.fml"), PathOf("a&b.fml")}));
}

TEST_F(FrameTest, ARecentSetThatIsGoneLeavesTheList)
{
    prompter.files = {PathOf("gone.fml")};
    Action(ID_FILE_SAVE)->trigger();
    ASSERT_TRUE(QFile::remove(PathOf("gone.fml")));
    Action(ID_FILE_MRU_FILE1)->trigger();
    EXPECT_EQ(prompter.shown.size(), 1u); // why it did not open
    EXPECT_FALSE(Action(ID_FILE_MRU_FILE1)->isVisible());
    EXPECT_TRUE(SettingRecentFiles().isEmpty());
}

TEST_F(FrameTest, DroppedSetOpensAfterTheGate)
{
    InsertNotes(3);
    prompter.files = {PathOf("dropped.fml")};
    Action(ID_FILE_SAVE)->trigger();
    Key(Qt::Key_Backspace);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(PathOf("dropped.fml"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());

    prompter.answers = {IDNO};
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(frame.get(), &drop);
    EXPECT_TRUE(prompter.shown.empty()); // not inside the drop itself
    QApplication::processEvents();
    EXPECT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(Melody()->GetNoteCount(), 3);
    EXPECT_FALSE(doc->IsModified());

    QMimeData text;
    text.setUrls({QUrl::fromLocalFile(PathOf("notes.txt"))});
    QDragEnterEvent other(QPoint(10, 10), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    other.ignore();
    QApplication::sendEvent(frame.get(), &other);
    EXPECT_FALSE(other.isAccepted());
}

TEST_F(FrameTest, TitleCommandRenamesTheMelodyAndMarksTheSet)
{
    prompter.titles = {QStringLiteral("Утро")};
    Key(Qt::Key_N);
    EXPECT_EQ(Melody()->GetTitle(), Cp1251FromUtf8("Утро"));
    EXPECT_TRUE(doc->IsModified());
    prompter.titles = {QString()}; // cancelled
    doc->SetModifiedFlag(false);
    Key(Qt::Key_N);
    EXPECT_EQ(Melody()->GetTitle(), Cp1251FromUtf8("Утро"));
    EXPECT_FALSE(doc->IsModified());
}

struct LoadCase {
    Answer answer;
    size_t fileDialogs; // the save-as dialog for the set, then the open dialog for the melody
};

class MelodyLoadQuestion : public FrameTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(MelodyLoadQuestion, OffersToSaveTheSetUnderAnotherName)
{
    prompter.answers = {GetParam().answer};
    Action(ID_MELODY_LOAD)->trigger();
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].type, unsigned(MB_YESNOCANCEL | MB_ICONQUESTION));
    ASSERT_EQ(prompter.fileRequests.size(), GetParam().fileDialogs);
    if (GetParam().fileDialogs == 2) {
        EXPECT_TRUE(prompter.fileRequests[0].save);
    }
    if (GetParam().fileDialogs > 0) {
        EXPECT_EQ(prompter.fileRequests.back().defaultExtension, QStringLiteral("mel"));
    }
}

INSTANTIATE_TEST_SUITE_P(YesNoCancel, MelodyLoadQuestion,
                         ::testing::Values(LoadCase{IDYES, 2}, LoadCase{IDNO, 1},
                                           LoadCase{IDCANCEL, 0}));

TEST_F(FrameTest, MelodySavedAndLoadedIntoAnotherMelody)
{
    InsertNotes(3);
    Key(Qt::Key_W);
    doc->SetModifiedFlag(false);
    prompter.files = {PathOf("tune.mel")};
    Action(ID_MELODY_SAVE)->trigger();
    EXPECT_FALSE(doc->IsModified()); // saving one melody does not save the set
    const QByteArray saved = Bytes(PathOf("tune.mel"));
    ASSERT_FALSE(saved.isEmpty());

    Key(Qt::Key_PageUp, Qt::ControlModifier);
    prompter.answers = {IDNO};
    prompter.files = {PathOf("tune.mel")};
    Action(ID_MELODY_LOAD)->trigger();
    EXPECT_EQ(Melody()->GetNoteCount(), 3);
    EXPECT_EQ(Melody()->GetNote(2).GetTone(), kDefaultTone + 1);
    EXPECT_TRUE(doc->IsModified());
    // The commands follow the melody that arrived: notes, but none selected.
    EXPECT_TRUE(Action(ID_NOTE_NEXT)->isEnabled());
    EXPECT_FALSE(Action(ID_NOTE_DELETE)->isEnabled());
}

TEST_F(FrameTest, HelpOpensAndHelpModeSaysSoInTheStatusBar)
{
    EXPECT_EQ(frame->statusBar()->currentMessage(), QString::fromUtf8(kIdleMessage));
    Key(Qt::Key_F1);
    QTextBrowser* shown = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* b = qobject_cast<QTextBrowser*>(w); b && b->isVisible())
            shown = b;
    ASSERT_TRUE(shown);
    EXPECT_TRUE(shown->toPlainText().contains(QStringLiteral("Удалить последнюю ноту")));
    shown->close();

    Key(Qt::Key_F1, Qt::ShiftModifier);
    EXPECT_TRUE(QWhatsThis::inWhatsThisMode());
    EXPECT_EQ(frame->statusBar()->currentMessage(), QString::fromUtf8(kHelpModeMessage));
    QWhatsThis::leaveWhatsThisMode();
    EXPECT_EQ(frame->statusBar()->currentMessage(), QString::fromUtf8(kIdleMessage));
}

TEST_F(FrameTest, EveryCommandExplainsItself)
{
    for (int id : {ID_FILE_NEW,         ID_FILE_OPEN,   ID_FILE_SAVE,     ID_FILE_SAVE_AS,
                   ID_MELODY_LOAD,      ID_MELODY_SAVE, ID_APP_EXIT,      ID_MELODY_TITLE,
                   ID_MELODY_NEXT,      ID_MELODY_PREV, ID_NOTE_INSERT,   ID_NOTE_DELETE,
                   ID_NOTE_DELETE_LAST, ID_NOTE_NEXT,   ID_NOTE_PREV,     ID_TONE_UP,
                   ID_TONE_DOWN,        ID_DURATION_UP, ID_DURATION_DOWN, ID_VIEW_TOOLBAR,
                   ID_VIEW_STATUS_BAR,  ID_MELODY_PLAY, ID_BELL_READ,     ID_BELL_WRITE,
                   ID_BELL_TEST,        ID_BELL_PORT,   ID_HELP_FINDER,   ID_CONTEXT_HELP,
                   ID_APP_ABOUT}) {
        ASSERT_TRUE(Action(id)) << id;
        EXPECT_FALSE(Action(id)->statusTip().isEmpty()) << id;
        EXPECT_FALSE(Action(id)->whatsThis().isEmpty()) << id;
    }
}

TEST_F(FrameTest, ViewMenuHidesAndShowsTheBars)
{
    Action(ID_VIEW_STATUS_BAR)->trigger();
    EXPECT_TRUE(frame->statusBar()->isHidden());
    Action(ID_VIEW_TOOLBAR)->trigger();
    EXPECT_TRUE(frame->ToolBar()->isHidden());
    Action(ID_VIEW_STATUS_BAR)->trigger();
    Action(ID_VIEW_TOOLBAR)->trigger();
    EXPECT_FALSE(frame->statusBar()->isHidden());
    EXPECT_FALSE(frame->ToolBar()->isHidden());
}

// The whole story with keys and the mouse: a 16 × 15 set, a melody entered, titled and saved,
// another set made, and the first reopened from the recent-file list exactly as it was.
TEST_F(FrameTest, SessionWithKeysAndMouseRoundTripsThroughTheRecentList)
{
    prompter.formats = {1};
    Key(Qt::Key_N, Qt::ControlModifier);
    ASSERT_EQ(doc->GetNotesPerMelody(), 15u);
    InsertNotes(4);
    Key(Qt::Key_W, Qt::NoModifier, 3); // the fourth note: tone 14
    Key(Qt::Key_A);                    // a sixteenth
    const Point first = Melody()->GetNotePosition(0);
    ClickAt({first.x + 5, first.y + 10});
    Key(Qt::Key_X);
    Key(Qt::Key_D); // the first note: tone 10, a quarter
    prompter.titles = {QStringLiteral("Звонок")};
    Key(Qt::Key_N);
    Key(Qt::Key_PageUp, Qt::ControlModifier);
    InsertNotes(1); // melody 2 has one note
    Key(Qt::Key_PageDown, Qt::ControlModifier);

    prompter.files = {PathOf("story.fml")};
    Key(Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(QFile::exists(PathOf("story.fml")));
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("story.fml[*] - Tinkla"));
    const QByteArray saved = Bytes(PathOf("story.fml"));

    InsertNotes(1); // a change, given up below
    prompter.answers = {IDNO};
    prompter.formats = {5};
    Key(Qt::Key_N, Qt::ControlModifier);
    ASSERT_EQ(doc->GetMelodyCount(), 1u);

    // File menu, then its first recent entry, with the mouse.
    QMenuBar* bar = frame->menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(bar->actions()[0]).center());
    QMenu* file = FileMenu();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(file));
    QAction* recent = Action(ID_FILE_MRU_FILE1);
    ASSERT_TRUE(recent->isVisible());
    QTest::mouseClick(file, Qt::LeftButton, {}, file->actionGeometry(recent).center());

    EXPECT_EQ(doc->GetMelodyCount(), 16u);
    EXPECT_EQ(doc->GetNotesPerMelody(), 15u);
    EXPECT_EQ(doc->GetCurrentNumber(), 1u);
    ASSERT_EQ(Melody()->GetNoteCount(), 4);
    EXPECT_EQ(Melody()->GetTitle(), Cp1251FromUtf8("Звонок"));
    EXPECT_EQ(Melody()->GetNoteCode(0), BYTE((10 << 3) | 2));
    EXPECT_EQ(Melody()->GetNoteCode(3), BYTE((14 << 3) | 4));
    EXPECT_EQ(doc->GetMelody(1)->GetNoteCount(), 1);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("story.fml[*] - Tinkla"));
    // Saving it again unchanged gives the same bytes.
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(Bytes(PathOf("story.fml")), saved);
}

} // namespace
} // namespace tinkla::test
