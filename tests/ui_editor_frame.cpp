// The main window's document commands end to end: the save-modified gate before New, Open, a
// recent or dropped file and exit, the recent-file list, the title, help, and a whole editing
// session done with keys and clicks only.
#include "platform/Cp1251.h"
#include "platform/Translations.h"
#include "support/DocTestKit.h"
#include "ui/CSetFormatDlg.h"
#include "ui_editor_support.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>
#include <QWhatsThis>

namespace tinkla::test
{
namespace
{

using tinkla::test::PrintTo;

class FrameTest : public EditorTest
{
protected:
    QString PathOf(const char* name) const { return QDir(dir.path()).filePath(name); }
    QMenu* FileMenu() const { return frame->menuBar()->actions().at(0)->menu(); }
    // The help window on the screen, if one is.
    static QTextBrowser* ShownHelp()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* b = qobject_cast<QTextBrowser*>(w); b && b->isVisible())
                return b;
        return nullptr;
    }
    // Saves the set under name through the save dialog.
    void SaveAs(const char* name)
    {
        prompter.files = {PathOf(name)};
        Action(ID_FILE_SAVE_AS)->trigger();
        ASSERT_TRUE(QFile::exists(PathOf(name)));
    }
    void ExpectUnchanged(int notes, bool modified = false)
    {
        EXPECT_EQ(doc->GetMelodyCount(), 8u);
        EXPECT_EQ(Melody()->GetNoteCount(), notes);
        EXPECT_EQ(doc->IsModified(), modified);
    }

    QTemporaryDir dir;
};

struct GateCase {
    const char* name;
    Answer answer;
    bool giveSaveName; // the save dialog after Yes gets a name (else it is cancelled)
    bool goesOn;       // the command continues past the gate
};

class NewSetGate : public FrameTest, public ::testing::WithParamInterface<GateCase>
{
};

TEST_P(NewSetGate, AsksToSaveAModifiedSetFirst)
{
    InsertNotes(1);
    prompter.answers = {GetParam().answer};
    if (GetParam().giveSaveName)
        prompter.files = {PathOf("before.fml")};
    prompter.formats = {4}; // 2 × 127, when the format dialog comes
    Key(Qt::Key_N, Qt::ControlModifier);

    ASSERT_GE(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].type, unsigned(MB_YESNOCANCEL | MB_ICONQUESTION));
    EXPECT_EQ(QFile::exists(PathOf("before.fml")), GetParam().giveSaveName);
    EXPECT_EQ(prompter.formatOffered.size(), GetParam().goesOn ? 1u : 0u);
    if (GetParam().goesOn) {
        EXPECT_EQ(doc->GetMelodyCount(), 2u);
        EXPECT_EQ(Melody()->GetNoteCount(), 0);
        EXPECT_FALSE(doc->IsModified());
    } else {
        ExpectUnchanged(1, true);
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, NewSetGate,
                         ::testing::Values(GateCase{"Yes", IDYES, true, true},
                                           GateCase{"YesThenNoName", IDYES, false, false},
                                           GateCase{"No", IDNO, false, true},
                                           GateCase{"Cancel", IDCANCEL, false, false}),
                         kRowName);

TEST_F(FrameTest, NewSetCancelledInTheFormatDialogChangesNothing)
{
    InsertNotes(3);
    SaveAs("three.fml");
    const QString title = frame->windowTitle();
    prompter.formats = {-1};
    Key(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(prompter.formatOffered, std::vector<int>{2});
    ExpectUnchanged(3);
    EXPECT_EQ(frame->windowTitle(), title);
}

class CloseGate : public FrameTest, public ::testing::WithParamInterface<Answer>
{
};

TEST_P(CloseGate, ExitAsksToSaveAModifiedSet)
{
    InsertNotes(1);
    prompter.answers = {GetParam()};
    Action(ID_APP_EXIT)->trigger();
    EXPECT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(frame->isVisible(), GetParam() == IDCANCEL);
}

INSTANTIATE_TEST_SUITE_P(Answers, CloseGate, ::testing::Values(IDNO, IDCANCEL),
                         [](const auto& info) { return info.param == IDNO ? "No" : "Cancel"; });

TEST_F(FrameTest, AFullDiskSaveKeepsTheOldFileAndSaysSo)
{
    InsertNotes(1);
    SaveAs("set.fml");
    const QByteArray old = ReadBytes(PathOf("set.fml"));
    InsertNotes(20);
    {
        FileSizeLimit full(64); // less than any set
        Key(Qt::Key_S, Qt::ControlModifier);
    }
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_TRUE(prompter.shown[0].text.startsWith(QStringLiteral("Не удалось сохранить файл")))
        << prompter.shown[0].text.toStdString();
    EXPECT_EQ(ReadBytes(PathOf("set.fml")), old);
    EXPECT_TRUE(frame->isWindowModified());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"set.fml"});
}

TEST_F(FrameTest, AFileThatIsNoSetLeavesTheSetOnScreen)
{
    WriteBytes(PathOf("bad.fml"), QByteArray::fromHex("0300000054000000"));
    InsertNotes(2);
    doc->SetModifiedFlag(false);
    prompter.files = {PathOf("bad.fml")};
    Key(Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(prompter.shown.size(), 1u);
    ExpectUnchanged(2);
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Безымянный[*] - Tinkla"));
}

TEST_F(FrameTest, SavedSetsEnterTheRecentListNewestFirst)
{
    EXPECT_FALSE(Action(ID_FILE_MRU_FILE1)->isVisible());
    SaveAs("a&b.fml");
    SaveAs("c.fml");
    QAction* second = Action(ID_FILE_MRU_FILE1 + 1);
    EXPECT_TRUE(Action(ID_FILE_MRU_FILE1)->isVisible());
    EXPECT_EQ(Action(ID_FILE_MRU_FILE1)->text(), QStringLiteral("&1 c.fml"));
    EXPECT_EQ(second->text(), QStringLiteral("&2 a&&b.fml"));
    EXPECT_EQ(second->statusTip(), PathOf("a&b.fml"));
    EXPECT_FALSE(Action(ID_FILE_MRU_FILE1 + 2)->isVisible());
    EXPECT_EQ(SettingRecentFiles(), (QStringList{PathOf("c.fml"), PathOf("a&b.fml")}));
}

TEST_F(FrameTest, ARecentSetThatIsGoneLeavesTheList)
{
    SaveAs("gone.fml");
    ASSERT_TRUE(QFile::remove(PathOf("gone.fml")));
    Action(ID_FILE_MRU_FILE1)->trigger();
    EXPECT_EQ(prompter.shown.size(), 1u); // why it did not open
    EXPECT_FALSE(Action(ID_FILE_MRU_FILE1)->isVisible());
    EXPECT_TRUE(SettingRecentFiles().isEmpty());
}

TEST_F(FrameTest, DroppedSetOpensAfterTheGate)
{
    InsertNotes(3);
    SaveAs("dropped.fml");
    Key(Qt::Key_Backspace);
    auto dragEnter = [this](const char* name) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(PathOf(name))});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        enter.ignore();
        QApplication::sendEvent(frame.get(), &enter);
        return enter.isAccepted();
    };
    EXPECT_TRUE(dragEnter("dropped.fml"));
    EXPECT_FALSE(dragEnter("notes.txt"));

    prompter.answers = {IDNO};
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(PathOf("dropped.fml"))});
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(frame.get(), &drop);
    EXPECT_TRUE(prompter.shown.empty()); // not inside the drop itself
    QApplication::processEvents();
    EXPECT_EQ(prompter.shown.size(), 1u);
    ExpectUnchanged(3);
}

TEST_F(FrameTest, TitleCommandRenamesTheMelodyAndMarksTheSet)
{
    prompter.titles = {QStringLiteral("Утро"), QString()}; // then cancelled
    Key(Qt::Key_N);
    EXPECT_EQ(Melody()->GetTitle(), Cp1251FromUtf8("Утро"));
    EXPECT_TRUE(doc->IsModified());
    doc->SetModifiedFlag(false);
    Key(Qt::Key_N);
    EXPECT_EQ(Melody()->GetTitle(), Cp1251FromUtf8("Утро"));
    EXPECT_FALSE(doc->IsModified());
}

// Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z through the shortcut map. The menu names the step and is
// disabled with nothing to take back; undo goes back to the melody and note where the change
// was and scrolls to it; undone to the saved state, the set is unmodified again.
TEST_F(FrameTest, UndoAndRedoByKeysNameTheStepAndGoWhereItWas)
{
    frame->resize(700, 260);
    QApplication::processEvents();
    EXPECT_FALSE(Action(ID_EDIT_UNDO)->isEnabled());
    Key(Qt::Key_Insert, Qt::NoModifier, 31);
    Key(Qt::Key_W);
    EXPECT_TRUE(
        Action(ID_EDIT_UNDO)->text().startsWith(QStringLiteral("&Отменить «Изменение высоты»")));
    Key(Qt::Key_PageUp, Qt::ControlModifier); // to melody 2: not an edit
    ASSERT_EQ(doc->GetCurrentNumber(), 2u);
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(doc->GetCurrentNumber(), 1u);
    EXPECT_EQ(Melody()->GetSelected(), 30);
    EXPECT_GT(View()->GetScrollPosition().y(), 0) << "the last row was not scrolled to";
    EXPECT_TRUE(Action(ID_EDIT_REDO)->isEnabled());
    Key(Qt::Key_Y, Qt::ControlModifier);
    Key(Qt::Key_Z, Qt::ControlModifier);
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Melody()->GetNoteCode(30), BYTE(12 << 3 | 3)) << "redone once more: a tone up";
    EXPECT_FALSE(Action(ID_EDIT_REDO)->isEnabled());
    Key(Qt::Key_Z, Qt::ControlModifier, 32);
    EXPECT_EQ(Melody()->GetNoteCount(), 0);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_FALSE(frame->isWindowModified());
}

class MelodyLoadQuestion : public FrameTest, public ::testing::WithParamInterface<Answer>
{
};

TEST_P(MelodyLoadQuestion, OffersToSaveTheSetUnderAnotherName)
{
    prompter.answers = {GetParam()};
    Action(ID_MELODY_LOAD)->trigger();
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].type, unsigned(MB_YESNOCANCEL | MB_ICONQUESTION));
    // The save-as dialog for the set, then the open dialog for the melody.
    const size_t dialogs = GetParam() == IDYES ? 2 : GetParam() == IDNO ? 1 : 0;
    ASSERT_EQ(prompter.fileRequests.size(), dialogs);
    if (dialogs == 2) {
        EXPECT_TRUE(prompter.fileRequests[0].save);
    }
    if (dialogs > 0) {
        EXPECT_EQ(prompter.fileRequests.back().defaultExtension, QStringLiteral("mel"));
    }
}

INSTANTIATE_TEST_SUITE_P(Answers, MelodyLoadQuestion, ::testing::Values(IDYES, IDNO, IDCANCEL),
                         [](const auto& info) {
                             return info.param == IDYES  ? "Yes"
                                    : info.param == IDNO ? "No"
                                                         : "Cancel";
                         });

TEST_F(FrameTest, MelodySavedAndLoadedIntoAnotherMelody)
{
    InsertNotes(3);
    Key(Qt::Key_W);
    doc->SetModifiedFlag(false);
    prompter.files = {PathOf("tune.mel")};
    Action(ID_MELODY_SAVE)->trigger();
    EXPECT_FALSE(doc->IsModified()); // saving one melody does not save the set
    ASSERT_TRUE(QFile::exists(PathOf("tune.mel")));

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

TEST_F(FrameTest, ImportAsksLikeTheMelodyLoadThenReportsWhatItFitted)
{
    QFile tune(PathOf("tune.rtttl"));
    ASSERT_TRUE(tune.open(QIODevice::WriteOnly));
    tune.write("Гамма:d=8,o=3,b=120:c,d,e,f.,p,g"); // an octave below the doorbell
    tune.close();
    EXPECT_FALSE(Action(ID_MELODY_EXPORT)->isEnabled());
    prompter.answers = {IDNO};
    prompter.files = {PathOf("tune.rtttl")};
    Action(ID_MELODY_IMPORT)->trigger();

    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[0].type, unsigned(MB_YESNOCANCEL | MB_ICONQUESTION));
    EXPECT_TRUE(prompter.shown[1].text.contains(QStringLiteral("Транспонировано на +12")))
        << prompter.shown[1].text.toStdString();
    EXPECT_TRUE(prompter.shown[1].text.contains(QStringLiteral("Точки отброшены: 1")));
    EXPECT_TRUE(prompter.shown[1].text.contains(QStringLiteral("Паузы пропущены: 1")));
    ASSERT_EQ(Melody()->GetNoteCount(), 5);
    EXPECT_EQ(Melody()->GetNote(0).GetTone(), 4); // C4
    EXPECT_EQ(Melody()->GetTitle(), Cp1251FromUtf8("Гамма"));
    EXPECT_TRUE(doc->IsModified());
    EXPECT_TRUE(Action(ID_MELODY_EXPORT)->isEnabled());
    EXPECT_TRUE(Action(ID_MELODY_TRANSPOSE)->isEnabled());
}

TEST_F(FrameTest, TransposeRefusesToLeaveTheRangeUnlessFolded)
{
    InsertNotes(2); // "Соль", tone 11
    prompter.shifts = {{12, false}, {12, false}, {10, true}};
    Action(ID_MELODY_TRANSPOSE)->trigger();
    EXPECT_EQ(Melody()->GetNote(1).GetTone(), 23);
    Action(ID_MELODY_TRANSPOSE)->trigger(); // 35 is past the top: nothing changes
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].type, unsigned(MB_OK | MB_ICONHAND));
    EXPECT_EQ(Melody()->GetNote(1).GetTone(), 23);
    Action(ID_MELODY_TRANSPOSE)->trigger();
    EXPECT_EQ(Melody()->GetNote(1).GetTone(), 21); // 33 is past the top: an octave down
    EXPECT_EQ(Melody()->GetSelected(), 1);
}

TEST_F(FrameTest, HelpOpensAndHelpModeSaysSoInTheStatusBar)
{
    EXPECT_EQ(frame->statusBar()->currentMessage(), QString::fromUtf8(kIdleMessage));
    Key(Qt::Key_F1);
    QTextBrowser* shown = ShownHelp();
    ASSERT_TRUE(shown);
    EXPECT_TRUE(shown->toPlainText().contains(QStringLiteral("Удалить последнюю ноту")));
    shown->close();

    Key(Qt::Key_F1, Qt::ShiftModifier);
    EXPECT_TRUE(QWhatsThis::inWhatsThisMode());
    EXPECT_EQ(frame->statusBar()->currentMessage(), QString::fromUtf8(kHelpModeMessage));
    QWhatsThis::leaveWhatsThisMode();
    EXPECT_EQ(frame->statusBar()->currentMessage(), QString::fromUtf8(kIdleMessage));
}

// Under an English locale every text is English, those set while the window is built included,
// the panes, a dialog's buttons and the help.
TEST_F(FrameTest, EnglishLanguageReachesMenusPanesDialogsAndHelp)
{
    InstallUiLanguage(UiLanguage::English);
    struct Restore {
        ~Restore() { InstallUiLanguage(UiLanguage::Russian); }
    } restore;
    CMainFrame english(doc.get());
    english.resize(700, 500);
    english.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&english));
    english.GetView()->viewport()->repaint();
    QStringList menus;
    for (QAction* menu : english.menuBar()->actions())
        menus << menu->text();
    EXPECT_EQ(menus, QStringList({"&File", "&Edit", "&View", "&Playback", "&Doorbell", "&Help"}));
    EXPECT_TRUE(english.windowTitle().startsWith(QStringLiteral("Untitled")))
        << english.windowTitle().toStdString();
    EXPECT_EQ(english.statusBar()->currentMessage(), QStringLiteral("For help, press F1."));
    EXPECT_EQ(english.Action(ID_NOTE_INSERT)->toolTip(), QStringLiteral("Insert note"));
    EXPECT_EQ(english.PaneText(CMainFrame::PaneFormat), QStringLiteral(" 8 × 31 notes"));

    CSetFormatDlg dialog(&english);
    QStringList buttons;
    for (QAbstractButton* b : dialog.findChild<QDialogButtonBox*>()->buttons())
        buttons << b->text();
    EXPECT_EQ(buttons, QStringList({"OK", "Cancel"}));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Melody set format"));

    english.Action(ID_HELP_FINDER)->trigger();
    QTextBrowser* shown = ShownHelp();
    ASSERT_TRUE(shown);
    EXPECT_TRUE(shown->toPlainText().contains(QStringLiteral("Delete last note")));
    shown->close();
}

TEST_F(FrameTest, LongPromptIsCutWithAnEllipsisBeforeThePanesAndWhollyInTheToolTip)
{
    frame->resize(frame->minimumSize());
    QApplication::processEvents();
    EXPECT_GE(frame->minimumWidth(), frame->statusBar()->minimumSizeHint().width());
    // Two lines, as a device's message with its remedy: one line in the bar.
    const QString prompt =
        QString(100, QChar(0x0428)) + QLatin1Char('\n') + QString(100, QChar(0x0428));
    frame->statusBar()->showMessage(prompt);
    const QString shown = frame->statusBar()->currentMessage();
    EXPECT_TRUE(shown.endsWith(QChar(0x2026))) << shown.size();
    EXPECT_FALSE(shown.contains(QLatin1Char('\n')));
    int panesLeft = frame->statusBar()->width();
    for (QLabel* pane : frame->statusBar()->findChildren<QLabel*>())
        if (pane->isVisible())
            panesLeft = qMin(panesLeft, pane->geometry().left());
    EXPECT_LT(frame->statusBar()->fontMetrics().horizontalAdvance(shown), panesLeft);
    EXPECT_EQ(frame->statusBar()->toolTip(), prompt);
}

TEST_F(FrameTest, EveryCommandExplainsItself)
{
    QList<QAction*> commands{Action(ID_CONTEXT_HELP)};
    for (QAction* menu : frame->menuBar()->actions())
        commands += menu->menu()->actions();
    int checked = 0;
    for (QAction* a : commands) {
        if (a->isSeparator() || !a->isVisible())
            continue; // the recent-set entries are hidden while the list is empty
        EXPECT_FALSE(a->statusTip().isEmpty()) << a->text().toStdString();
        EXPECT_FALSE(a->whatsThis().isEmpty()) << a->text().toStdString();
        ++checked;
    }
    EXPECT_GE(checked, 29);
}

TEST_F(FrameTest, ViewMenuHidesAndShowsTheBars)
{
    for (bool hidden : {true, false}) {
        Action(ID_VIEW_STATUS_BAR)->trigger();
        Action(ID_VIEW_TOOLBAR)->trigger();
        EXPECT_EQ(frame->statusBar()->isHidden(), hidden);
        EXPECT_EQ(frame->ToolBar()->isHidden(), hidden);
    }
}

// A 16 × 15 set, a melody entered, titled and saved, another set made, and the first reopened
// from the recent-file list exactly as it was.
TEST_F(FrameTest, SessionWithKeysAndMouseRoundTripsThroughTheRecentList)
{
    prompter.formats = {1, 5};
    Key(Qt::Key_N, Qt::ControlModifier);
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
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("story.fml[*] - Tinkla"));
    const QByteArray saved = ReadBytes(PathOf("story.fml"));
    ASSERT_FALSE(saved.isEmpty());

    InsertNotes(1); // a change, given up below
    prompter.answers = {IDNO};
    Key(Qt::Key_N, Qt::ControlModifier);
    ASSERT_EQ(doc->GetMelodyCount(), 1u);

    QMenuBar* bar = frame->menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(bar->actions()[0]).center());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(FileMenu()));
    QAction* recent = Action(ID_FILE_MRU_FILE1);
    QTest::mouseClick(FileMenu(), Qt::LeftButton, {}, FileMenu()->actionGeometry(recent).center());

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
    Key(Qt::Key_S, Qt::ControlModifier); // saved again unchanged: the same bytes
    EXPECT_EQ(ReadBytes(PathOf("story.fml")), saved);
}

} // namespace
} // namespace tinkla::test
