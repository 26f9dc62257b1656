// The main window end to end: the save-modified gate, recent and dropped sets, import,
// transposition, help, English, and a whole session done with keys and clicks only.
#include "platform/Cp1251.h"
#include "platform/Translations.h"
#include "ui/CSetFormatDlg.h"
#include "ui_editor_support.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QTextBrowser>
#include <QUrl>
#include <QWhatsThis>

namespace tinkla::test
{
namespace
{

class FrameTest : public EditorTest
{
protected:
    QString PathOf(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    void SaveAs(const char* name)
    {
        prompter.files = {PathOf(name)};
        Action(ID_FILE_SAVE_AS)->trigger();
        ASSERT_TRUE(QFile::exists(PathOf(name)));
    }

    QTemporaryDir dir;
};

// New and Exit ask first: after Yes the set is saved under a name, and Cancel stops the command.
class Gate : public FrameTest, public ::testing::WithParamInterface<std::tuple<int, Answer>>
{
};

TEST_P(Gate, AsksToSaveAModifiedSetFirst)
{
    const auto [command, answer] = GetParam();
    InsertNotes(1);
    prompter.answers = {answer};
    prompter.files = {PathOf("before.fml")};
    prompter.formats = {4}; // 2 × 127, when the format dialog comes
    Action(command)->trigger();
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].type, unsigned{MB_YESNOCANCEL | MB_ICONQUESTION});
    EXPECT_EQ(QFile::exists(PathOf("before.fml")), answer == IDYES);
    if (command == ID_APP_EXIT)
        EXPECT_EQ(frame->isVisible(), answer == IDCANCEL);
    else
        EXPECT_EQ(doc->GetMelodyCount(), answer == IDCANCEL ? 8u : 2u);
    EXPECT_EQ(doc->IsModified(), answer == IDCANCEL || (command == ID_APP_EXIT && answer == IDNO));
}

INSTANTIATE_TEST_SUITE_P(NewAndExit, Gate,
                         ::testing::Combine(::testing::Values(ID_FILE_NEW, ID_APP_EXIT),
                                            ::testing::Values(IDYES, IDNO, IDCANCEL)));

// Newest first, at most as many as were saved; a gone set leaves the list when chosen.
TEST_F(FrameTest, SavedSetsEnterTheRecentListAndGoneOnesLeaveIt)
{
    SaveAs("a&b.fml");
    SaveAs("c.fml");
    EXPECT_EQ(Action(ID_FILE_MRU_FILE1)->text(), QStringLiteral("&1 c.fml"));
    EXPECT_EQ(Action(ID_FILE_MRU_FILE1 + 1)->text(), QStringLiteral("&2 a&&b.fml"));
    EXPECT_EQ(Action(ID_FILE_MRU_FILE1 + 1)->statusTip(), PathOf("a&b.fml"));
    EXPECT_FALSE(Action(ID_FILE_MRU_FILE1 + 2)->isVisible());
    EXPECT_EQ(SettingRecentFiles(), (QStringList{PathOf("c.fml"), PathOf("a&b.fml")}));

    ASSERT_TRUE(QFile::remove(PathOf("c.fml")));
    Action(ID_FILE_MRU_FILE1)->trigger();
    EXPECT_EQ(prompter.shown.size(), 1u); // why it did not open
    EXPECT_EQ(Action(ID_FILE_MRU_FILE1)->text(), QStringLiteral("&1 a&&b.fml"));
    EXPECT_EQ(SettingRecentFiles(), QStringList{PathOf("a&b.fml")});
}

// Only a set file is accepted; it opens after the gate, once the drop itself is over.
TEST_F(FrameTest, DroppedSetOpensAfterTheGate)
{
    InsertNotes(3);
    SaveAs("dropped.fml");
    Key(Qt::Key_Backspace);
    QMimeData data;
    for (const char* name : {"notes.txt", "dropped.fml"}) {
        data.setUrls({QUrl::fromLocalFile(PathOf(name))});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        enter.ignore();
        QApplication::sendEvent(frame.get(), &enter);
        EXPECT_EQ(enter.isAccepted(), QByteArray(name).endsWith(".fml")) << name;
    }
    prompter.answers = {IDNO};
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(frame.get(), &drop);
    EXPECT_TRUE(prompter.shown.empty());
    QApplication::processEvents();
    EXPECT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(Melody()->GetNoteCount(), 3);
    EXPECT_FALSE(doc->IsModified());
}

// Import asks like a melody load and reports what it changed; the commands follow the new melody.
// Transposition refuses to leave the range unless told to fold past it an octave back.
TEST_F(FrameTest, ImportReportsWhatItFittedAndTransposeKeepsToTheRange)
{
    WriteBytes(PathOf("tune.rtttl"), "Гамма:d=8,o=3,b=120:c,d,e,f.,p,g"); // an octave too low
    EXPECT_FALSE(Action(ID_MELODY_EXPORT)->isEnabled());
    prompter.answers = {IDNO};
    prompter.files = {PathOf("tune.rtttl")};
    Action(ID_MELODY_IMPORT)->trigger();
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[0].type, unsigned(MB_YESNOCANCEL | MB_ICONQUESTION));
    for (const char* says : {"Транспонировано на +12", "Точки отброшены: 1", "Паузы пропущены: 1"})
        EXPECT_TRUE(prompter.shown[1].text.contains(QString::fromUtf8(says))) << says;
    ASSERT_EQ(Melody()->GetNoteCount(), 5);
    EXPECT_EQ(Melody()->GetNote(0).GetTone(), 4); // C4
    EXPECT_EQ(Melody()->GetTitle(), Cp1251FromUtf8("Гамма"));
    EXPECT_TRUE(doc->IsModified());
    for (int id : {ID_MELODY_EXPORT, ID_MELODY_TRANSPOSE, ID_NOTE_NEXT})
        EXPECT_TRUE(Action(id)->isEnabled()) << id;
    EXPECT_FALSE(Action(ID_NOTE_DELETE)->isEnabled());

    prompter.shifts = {{24, false}, {22, true}}; // G4 (11) to 35, or to 33: past the top
    Action(ID_MELODY_TRANSPOSE)->trigger();
    ASSERT_EQ(prompter.shown.size(), 3u);
    EXPECT_EQ(prompter.shown[2].type, unsigned(MB_OK | MB_ICONHAND));
    EXPECT_EQ(Melody()->GetNote(4).GetTone(), 11);
    Action(ID_MELODY_TRANSPOSE)->trigger();
    EXPECT_EQ(Melody()->GetNote(4).GetTone(), 21);
}

// Every text English, those set while the window is built too; every command explains itself.
TEST_F(FrameTest, EnglishLanguageReachesMenusPanesDialogsAndHelp)
{
    InstallUiLanguage(UiLanguage::English);
    struct Restore {
        ~Restore() { InstallUiLanguage(UiLanguage::Russian); }
    } restore;
    CMainFrame english(doc.get());
    english.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&english));
    english.GetView()->viewport()->repaint();
    QStringList texts;
    int explained = 0; // every command a user can reach explains itself
    for (QAction* menu : english.menuBar()->actions()) {
        texts << menu->text();
        for (QAction* a : menu->menu()->actions())
            explained += !a->isSeparator() && a->isVisible();
        for (QAction* a : menu->menu()->actions())
            EXPECT_TRUE(a->isSeparator() || !a->isVisible() ||
                        !(a->statusTip().isEmpty() || a->whatsThis().isEmpty()))
                << a->text().toStdString();
    }
    EXPECT_EQ(texts, QStringList({"&File", "&Edit", "&View", "&Playback", "&Doorbell", "&Help"}));
    EXPECT_GE(explained, 29);
    EXPECT_TRUE(english.windowTitle().startsWith(QStringLiteral("Untitled")));
    EXPECT_EQ(english.statusBar()->currentMessage(), QStringLiteral("For help, press F1."));
    EXPECT_EQ(english.Action(ID_NOTE_INSERT)->toolTip(), QStringLiteral("Insert note"));
    EXPECT_EQ(english.PaneText(CMainFrame::PaneFormat), QStringLiteral(" 8 × 31 notes"));
    CSetFormatDlg dialog(&english);
    auto* buttons = dialog.findChild<QDialogButtonBox*>();
    EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Melody set format"));
    english.Action(ID_HELP_FINDER)->trigger();
    QString help;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* b = qobject_cast<QTextBrowser*>(w); b && b->isVisible()) {
            help = b->toPlainText();
            b->close();
        }
    }
    EXPECT_TRUE(help.contains(QStringLiteral("Delete last note")));
}

// Help mode says so; a prompt of two lines (a message and its remedy) is one line, cut short.
TEST_F(FrameTest, StatusBarSaysHelpModeAndCutsALongPromptBeforeThePanes)
{
    Key(Qt::Key_F1, Qt::ShiftModifier);
    EXPECT_TRUE(QWhatsThis::inWhatsThisMode());
    EXPECT_EQ(frame->statusBar()->currentMessage(), QString::fromUtf8(kHelpModeMessage));
    QWhatsThis::leaveWhatsThisMode();
    EXPECT_EQ(frame->statusBar()->currentMessage(), QString::fromUtf8(kIdleMessage));

    frame->resize(frame->minimumSize());
    QApplication::processEvents();
    EXPECT_GE(frame->minimumWidth(), frame->statusBar()->minimumSizeHint().width());
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

// A 16 × 15 set, a melody entered, titled and saved, another set made, and the first reopened
// from the recent-file list through the menu exactly as it was.
TEST_F(FrameTest, SessionWithKeysAndMouseRoundTripsThroughTheRecentList)
{
    prompter.formats = {1, 5};
    Key(Qt::Key_N, Qt::ControlModifier);
    InsertNotes(4);
    Key(Qt::Key_W, Qt::NoModifier, 3); // the fourth note: tone 14
    Key(Qt::Key_A);                    // a sixteenth
    const Point first = Melody()->GetNotePosition(0);
    QTest::mouseClick(View()->viewport(), Qt::LeftButton, {},
                      View()->ToViewport({first.x + 5, first.y + 10}));
    Key(Qt::Key_X);
    Key(Qt::Key_D); // the first note: tone 10, a quarter
    prompter.titles = {QStringLiteral("Звонок")};
    Key(Qt::Key_N);
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
    QMenu* file = bar->actions()[0]->menu();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(bar->actions()[0]).center());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(file));
    QTest::mouseClick(file, Qt::LeftButton, {},
                      file->actionGeometry(Action(ID_FILE_MRU_FILE1)).center());
    EXPECT_EQ(doc->GetMelodyCount(), 16u);
    EXPECT_EQ(doc->GetNotesPerMelody(), 15u);
    EXPECT_EQ(doc->GetCurrentNumber(), 1u);
    ASSERT_EQ(Melody()->GetNoteCount(), 4);
    EXPECT_EQ(Melody()->GetTitle(), Cp1251FromUtf8("Звонок"));
    EXPECT_EQ(Melody()->GetNoteCode(0), BYTE((10 << 3) | 2));
    EXPECT_EQ(Melody()->GetNoteCode(3), BYTE((14 << 3) | 4));
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("story.fml[*] - Tinkla"));
    Key(Qt::Key_S, Qt::ControlModifier); // saved again unchanged: the same bytes
    EXPECT_EQ(ReadBytes(PathOf("story.fml")), saved);
    InsertNotes(1); // given up again, for the file opened by Ctrl+O
    prompter.answers = {IDNO};
    prompter.files = {PathOf("story.fml")};
    Key(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(Melody()->GetNoteCount(), 4);
    EXPECT_FALSE(doc->IsModified());
}

} // namespace
} // namespace tinkla::test
