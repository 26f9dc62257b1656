// The editing view driven as a user drives it: keys, clicks and context menus on a real main
// window, with the questions answered by a scripted prompter.
#include "model/Messages.h"
#include "ui_editor_support.h"

#include <QMenu>
#include <QToolBar>
#include <QToolButton>

namespace tinkla::test {
namespace {

using ViewTest = EditorTest;

const int kSelectionCommands[] = {ID_NOTE_DELETE, ID_TONE_UP, ID_TONE_DOWN, ID_DURATION_UP,
                                  ID_DURATION_DOWN};
const int kNoteCommands[] = {ID_NOTE_DELETE_LAST, ID_NOTE_NEXT, ID_NOTE_PREV, ID_MELODY_PLAY};

TEST_F(ViewTest, EmptyMelodyDisablesEverythingButInsert)
{
    for (int id : kSelectionCommands)
        EXPECT_FALSE(Action(id)->isEnabled()) << id;
    for (int id : kNoteCommands)
        EXPECT_FALSE(Action(id)->isEnabled()) << id;
    EXPECT_TRUE(Action(ID_NOTE_INSERT)->isEnabled());
    // The toolbar shows the same state: its buttons are the actions.
    auto* button =
        qobject_cast<QToolButton*>(frame->ToolBar()->widgetForAction(Action(ID_NOTE_DELETE)));
    ASSERT_TRUE(button);
    EXPECT_FALSE(button->isEnabled());

    // Their keys do nothing at all: no question, no change, no modification.
    for (int key : {Qt::Key_Delete, Qt::Key_Backspace, Qt::Key_W, Qt::Key_X, Qt::Key_D, Qt::Key_A,
                    Qt::Key_P, Qt::Key_O})
        Key(key);
    Key(Qt::Key_P, Qt::ControlModifier);
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(Melody()->GetNoteCount(), 0);
    EXPECT_FALSE(doc->IsModified());

    Key(Qt::Key_Insert);
    EXPECT_EQ(Melody()->GetNoteCount(), 1);
    EXPECT_TRUE(doc->IsModified());
}

TEST_F(ViewTest, CommandsFollowTheSelectionAtOnce)
{
    InsertNotes(2); // the new note is selected
    for (int id : kSelectionCommands)
        EXPECT_TRUE(Action(id)->isEnabled()) << id;
    Key(Qt::Key_P); // past the last note: no selection
    for (int id : kSelectionCommands)
        EXPECT_FALSE(Action(id)->isEnabled()) << id;
    for (int id : kNoteCommands)
        EXPECT_TRUE(Action(id)->isEnabled()) << id;
    Key(Qt::Key_Backspace, Qt::NoModifier, 2);
    for (int id : kNoteCommands)
        EXPECT_FALSE(Action(id)->isEnabled()) << id;
}

struct CycleCase {
    int key;
    std::vector<int> selections; // after each press, from no selection
};

class SelectionCycle : public EditorTest, public ::testing::WithParamInterface<CycleCase> {};

TEST_P(SelectionCycle, ThreeNotesCycleThroughNoSelection)
{
    InsertNotes(3);
    Melody()->Deselect();
    doc->SetModifiedFlag(false);
    for (int expected : GetParam().selections) {
        Key(GetParam().key);
        EXPECT_EQ(Melody()->GetSelected(), expected);
    }
    EXPECT_FALSE(doc->IsModified());
}

INSTANTIATE_TEST_SUITE_P(PandO, SelectionCycle,
                         ::testing::Values(CycleCase{Qt::Key_P, {0, 1, 2, -1, 0}},
                                           CycleCase{Qt::Key_O, {2, 1, 0, -1, 2}}));

TEST_F(ViewTest, FullMelodyRefusesInsertWithTheCapacityMessage)
{
    prompter.formats = {0}; // 32 × 7
    Key(Qt::Key_N, Qt::ControlModifier);
    ASSERT_EQ(doc->GetNotesPerMelody(), 7u);
    InsertNotes(6);
    EXPECT_TRUE(prompter.shown.empty());
    InsertNotes(1);
    EXPECT_EQ(Melody()->GetNoteCount(), 7);
    EXPECT_TRUE(prompter.shown.empty());

    doc->SetModifiedFlag(false);
    const int selected = Melody()->GetSelected();
    InsertNotes(1);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, QString::fromUtf8(kMsgCannotInsert));
    EXPECT_EQ(prompter.shown[0].type, unsigned(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(Melody()->GetNoteCount(), 7);
    EXPECT_EQ(Melody()->GetSelected(), selected);
    EXPECT_FALSE(doc->IsModified());
}

struct DeleteCase {
    Answer answer;
    int countAfter;
    bool modified;
};

class DeleteQuestion : public EditorTest, public ::testing::WithParamInterface<DeleteCase> {};

TEST_P(DeleteQuestion, DelAsksFirst)
{
    InsertNotes(3);
    Melody()->Select(1);
    doc->SetModifiedFlag(false);
    prompter.answers = {GetParam().answer};
    Key(Qt::Key_Delete);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, QString::fromUtf8(kMsgDeleteNote));
    EXPECT_EQ(prompter.shown[0].type, unsigned(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(Melody()->GetNoteCount(), GetParam().countAfter);
    EXPECT_EQ(doc->IsModified(), GetParam().modified);
}

INSTANTIATE_TEST_SUITE_P(YesNo, DeleteQuestion,
                         ::testing::Values(DeleteCase{IDYES, 2, true}, DeleteCase{IDNO, 3, false}));

TEST_F(ViewTest, ToneUpAtTheTopStillMarksTheSetModified)
{
    InsertNotes(1);
    Key(Qt::Key_W, Qt::NoModifier, kToneCount); // from G4 to the top and beyond
    ASSERT_EQ(Melody()->GetNote(0).GetTone(), kToneCount - 1);
    doc->SetModifiedFlag(false);
    Key(Qt::Key_W);
    EXPECT_EQ(Melody()->GetNote(0).GetTone(), kToneCount - 1);
    EXPECT_TRUE(doc->IsModified());
}

struct ToneKeyCase {
    int key;
    int tone;
    int duration;
};

class ToneAndDurationKeys : public EditorTest, public ::testing::WithParamInterface<ToneKeyCase> {};

TEST_P(ToneAndDurationKeys, ChangeTheSelectedNote)
{
    InsertNotes(2);
    Melody()->Select(0);
    Key(GetParam().key);
    EXPECT_EQ(Melody()->GetNote(0).GetTone(), GetParam().tone);
    EXPECT_EQ(Melody()->GetNote(0).GetDuration(), GetParam().duration);
    EXPECT_EQ(Melody()->GetNote(1).GetCode(), CNote().GetCode());
}

INSTANTIATE_TEST_SUITE_P(WXDA, ToneAndDurationKeys,
                         ::testing::Values(ToneKeyCase{Qt::Key_W, 12, 3},
                                           ToneKeyCase{Qt::Key_X, 10, 3},
                                           ToneKeyCase{Qt::Key_D, 11, 2},
                                           ToneKeyCase{Qt::Key_A, 11, 4}));

struct ClickCase {
    QPoint at; // document coordinates, three notes in one row
    int selected;
};

class ClickSelects : public EditorTest, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(ClickSelects, LeftClickHitTestsTheStaff)
{
    InsertNotes(3);
    Melody()->Select(1);
    doc->SetModifiedFlag(false);
    ClickAt(GetParam().at);
    EXPECT_EQ(Melody()->GetSelected(), GetParam().selected);
    EXPECT_FALSE(doc->IsModified());
}

INSTANTIATE_TEST_SUITE_P(Grid, ClickSelects,
                         ::testing::Values(ClickCase{{95, 150}, 0}, ClickCase{{150, 180}, 1},
                                           ClickCase{{500, 150}, 2},  // right of the last note
                                           ClickCase{{95, 250}, -1},  // below the only row
                                           ClickCase{{50, 150}, -1},  // left of the first column
                                           ClickCase{{95, 60}, -1})); // above the first row

TEST_F(ViewTest, RightClickSelectsAndPicksTheMenu)
{
    InsertNotes(3);
    Melody()->Deselect();
    EXPECT_EQ(ContextMenuAt({150, 150}), frame->NoteMenu());
    EXPECT_EQ(Melody()->GetSelected(), 1);
    EXPECT_EQ(ContextMenuAt({30, 40}), frame->MelodyMenu());
    EXPECT_EQ(Melody()->GetSelected(), -1);
}

TEST_F(ViewTest, KeyboardMenuKeepsTheSelection)
{
    InsertNotes(3);
    Melody()->Select(0);
    // Its event carries no pointer position to hit-test.
    EXPECT_EQ(ContextMenuAt({-1, -1}, QContextMenuEvent::Keyboard), frame->NoteMenu());
    EXPECT_EQ(Melody()->GetSelected(), 0);
    Melody()->Deselect();
    EXPECT_EQ(ContextMenuAt({-1, -1}, QContextMenuEvent::Keyboard), frame->MelodyMenu());

    // Shift+F10 asks for it as the menu key does.
    Melody()->Select(2);
    QMenu* shown = nullptr;
    WhenModal([&shown](QWidget* w) {
        shown = qobject_cast<QMenu*>(w);
        w->close();
    });
    Key(Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_EQ(shown, frame->NoteMenu());
    EXPECT_EQ(Melody()->GetSelected(), 2);
}

TEST_F(ViewTest, ContextMenusShareTheCommandsAndTheirState)
{
    InsertNotes(1);
    EXPECT_TRUE(frame->NoteMenu()->actions().contains(Action(ID_TONE_UP)));
    EXPECT_TRUE(frame->MelodyMenu()->actions().contains(Action(ID_NOTE_DELETE_LAST)));
    // Choosing an item runs the command like its key does.
    WhenModal([this](QWidget* w) {
        qobject_cast<QMenu*>(w)->setActiveAction(Action(ID_TONE_UP));
        QTest::keyClick(w, Qt::Key_Return);
    });
    const QPoint note(Melody()->GetNotePosition(0).x, Melody()->GetNotePosition(0).y);
    QContextMenuEvent event(QContextMenuEvent::Mouse, note, View()->viewport()->mapToGlobal(note));
    QApplication::sendEvent(View()->viewport(), &event);
    QApplication::processEvents();
    EXPECT_EQ(Melody()->GetNote(0).GetTone(), kDefaultTone + 1);
}

TEST_F(ViewTest, TwelfthNoteAddsARowToTheScrollRange)
{
    frame->resize(700, 260); // shorter than two rows, so the range shows in the scroll bar
    InsertNotes(11);
    Paint();
    EXPECT_EQ(View()->GetTotalSize().height(), 232);
    InsertNotes(1);
    Paint();
    EXPECT_EQ(View()->GetTotalSize(), QSize(632, 332));
    EXPECT_EQ(View()->verticalScrollBar()->maximum(), 332 - View()->viewport()->height());
    EXPECT_EQ(View()->verticalScrollBar()->singleStep(), 100);
    EXPECT_EQ(View()->horizontalScrollBar()->singleStep(), 45);
}

TEST_F(ViewTest, SelectionOutOfSightIsCentredAndInSightStaysPut)
{
    frame->resize(700, 260);
    InsertNotes(30); // three rows
    Paint();
    const QSize client = View()->viewport()->size();
    Key(Qt::Key_P); // the last note deselected; the view stays low
    View()->ScrollToPosition({0, 0});
    Key(Qt::Key_O); // selects the last note, far below
    const Point last = Melody()->GetNotePosition(29);
    const QPoint scroll = View()->GetScrollPosition();
    EXPECT_EQ(scroll.y(), qMin(last.y - client.height() / 2,
                               View()->GetTotalSize().height() - client.height()));
    // The one before it is in sight already: nothing moves.
    Key(Qt::Key_O);
    EXPECT_EQ(View()->GetScrollPosition(), scroll);
}

TEST_F(ViewTest, KeysScrollOnlyWhereThePictureIsLarger)
{
    frame->resize(900, 260); // wider than the picture, lower than it
    InsertNotes(30);
    Paint();
    View()->ScrollToPosition({0, 0});
    const int height = View()->viewport()->height();
    Key(Qt::Key_PageDown);
    EXPECT_EQ(View()->GetScrollPosition(), QPoint(0, height));
    Key(Qt::Key_Up);
    EXPECT_EQ(View()->GetScrollPosition(), QPoint(0, height - 100));
    Key(Qt::Key_Down);
    Key(Qt::Key_Right); // the picture fits across: no horizontal move
    EXPECT_EQ(View()->GetScrollPosition(), QPoint(0, height));
    Key(Qt::Key_Home);
    Key(Qt::Key_End);
    EXPECT_EQ(View()->GetScrollPosition(), QPoint(0, height));
    Key(Qt::Key_PageUp);
    EXPECT_EQ(View()->GetScrollPosition(), QPoint(0, 0));
    EXPECT_EQ(Melody()->GetSelected(), 29); // arrows never move the selection
}

TEST_F(ViewTest, StatusPanesShowTheSetAndTheSelectedNote)
{
    EXPECT_EQ(Pane(CMainFrame::PaneFormat), QStringLiteral(" 8 м. х 31 н."));
    EXPECT_EQ(Pane(CMainFrame::PaneMelody), QStringLiteral(" 1 м."));
    EXPECT_EQ(Pane(CMainFrame::PaneNotes), QStringLiteral(" 0 н."));
    EXPECT_EQ(Pane(CMainFrame::PaneTone), QString());
    EXPECT_EQ(Pane(CMainFrame::PaneDuration), QString());

    InsertNotes(1);
    Key(Qt::Key_W, Qt::NoModifier, 2); // tone 13, A4
    Key(Qt::Key_D);                    // duration 2, quarter
    Paint();
    EXPECT_EQ(Pane(CMainFrame::PaneNotes), QStringLiteral(" 1 н."));
    EXPECT_EQ(Pane(CMainFrame::PaneTone), QStringLiteral("Ля"));
    EXPECT_EQ(Pane(CMainFrame::PaneDuration), QStringLiteral("1/4"));
    Key(Qt::Key_P);
    Paint();
    EXPECT_EQ(Pane(CMainFrame::PaneTone), QString());
}

TEST(StatusPaneText, ToneNamesRepeatEveryOctave)
{
    // Three G sharps an octave apart read the same: the pane shows no octave.
    ScriptedPrompter prompter;
    CTinklaDoc doc(&prompter);
    CMainFrame frame(&doc);
    for (int tone : {0, 12, 24}) {
        frame.SetToneText(BYTE(tone << 3), false);
        EXPECT_EQ(frame.PaneText(CMainFrame::PaneTone), QStringLiteral("Соль#")) << tone;
    }
    frame.SetDurationText(BYTE((13 << 3) | 4), false);
    EXPECT_EQ(frame.PaneText(CMainFrame::PaneDuration), QStringLiteral("1/16"));
}

TEST_F(ViewTest, CtrlPageKeysMoveBetweenMelodies)
{
    Key(Qt::Key_PageUp, Qt::ControlModifier);
    Paint();
    EXPECT_EQ(doc->GetCurrentNumber(), 2u);
    EXPECT_EQ(Pane(CMainFrame::PaneMelody), QStringLiteral(" 2 м."));
    Key(Qt::Key_PageDown, Qt::ControlModifier, 2); // back to 1, then round to the last
    EXPECT_EQ(doc->GetCurrentNumber(), 8u);
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(ViewTest, EachMelodyKeepsItsOwnSelection)
{
    InsertNotes(2);
    Key(Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_FALSE(Action(ID_NOTE_DELETE)->isEnabled()); // the second melody is empty
    Key(Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(Melody()->GetSelected(), 1);
    EXPECT_TRUE(Action(ID_NOTE_DELETE)->isEnabled());
}

} // namespace
} // namespace tinkla::test
