// The editing view driven as a user drives it: keys, clicks and context menus on a real main
// window, with the questions answered by a scripted prompter.
#include "devices/Speaker.h"
#include "model/Messages.h"
#include "test_speaker_support.h"
#include "ui/CPlayDlg.h"
#include "ui_editor_support.h"

#include <QMouseEvent>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>

namespace tinkla::test
{
namespace
{

using tinkla::test::PrintTo;

class ViewTest : public EditorTest
{
protected:
    // Thirty notes, three rows, in a window lower than the picture; no scrolling yet.
    void ThreeRowsIn(int width)
    {
        frame->resize(width, 260);
        InsertNotes(30);
        Paint();
        View()->ScrollToPosition({0, 0});
    }
};

const int kSelectionCommands[] = {ID_NOTE_DELETE, ID_TONE_UP, ID_TONE_DOWN, ID_DURATION_UP,
                                  ID_DURATION_DOWN};
const int kNoteCommands[] = {ID_NOTE_DELETE_LAST, ID_NOTE_NEXT, ID_NOTE_PREV, ID_MELODY_PLAY};

TEST_F(ViewTest, CommandsFollowTheNotesAndTheSelectionAtOnce)
{
    auto expectEnabled = [this](bool selection, bool notes) {
        for (int id : kSelectionCommands)
            EXPECT_EQ(Action(id)->isEnabled(), selection) << id;
        for (int id : kNoteCommands)
            EXPECT_EQ(Action(id)->isEnabled(), notes) << id;
        EXPECT_TRUE(Action(ID_NOTE_INSERT)->isEnabled());
    };
    expectEnabled(false, false);
    // The toolbar's buttons are the actions.
    auto* button =
        qobject_cast<QToolButton*>(frame->ToolBar()->widgetForAction(Action(ID_NOTE_DELETE)));
    ASSERT_TRUE(button);
    EXPECT_FALSE(button->isEnabled());
    // The keys of disabled commands do nothing at all: no question, no change, no modification.
    for (int key : {Qt::Key_Delete, Qt::Key_Backspace, Qt::Key_W, Qt::Key_X, Qt::Key_D, Qt::Key_A,
                    Qt::Key_P, Qt::Key_O})
        Key(key);
    Key(Qt::Key_P, Qt::ControlModifier);
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(Melody()->GetNoteCount(), 0);
    EXPECT_FALSE(doc->IsModified());

    InsertNotes(2); // the new note is selected
    EXPECT_TRUE(doc->IsModified());
    expectEnabled(true, true);
    Key(Qt::Key_P); // past the last note: no selection
    expectEnabled(false, true);
    Key(Qt::Key_Backspace, Qt::NoModifier, 2);
    expectEnabled(false, false);
}

struct CycleCase {
    const char* name;
    int key;
    std::vector<int> selections; // after each press, from no selection
};

class SelectionCycle : public EditorTest, public ::testing::WithParamInterface<CycleCase>
{
};

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

INSTANTIATE_TEST_SUITE_P(Keys, SelectionCycle,
                         ::testing::Values(CycleCase{"P", Qt::Key_P, {0, 1, 2, -1, 0}},
                                           CycleCase{"O", Qt::Key_O, {2, 1, 0, -1, 2}}),
                         kRowName);

TEST_F(ViewTest, FullMelodyRefusesInsertWithTheCapacityMessage)
{
    prompter.formats = {0}; // 32 × 7
    Key(Qt::Key_N, Qt::ControlModifier);
    InsertNotes(7);
    ASSERT_EQ(Melody()->GetNoteCount(), 7);
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

class DeleteQuestion : public EditorTest, public ::testing::WithParamInterface<Answer>
{
};

TEST_P(DeleteQuestion, DelAsksFirst)
{
    InsertNotes(3);
    Melody()->Select(1);
    doc->SetModifiedFlag(false);
    prompter.answers = {GetParam()};
    Key(Qt::Key_Delete);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, QString::fromUtf8(kMsgDeleteNote));
    EXPECT_EQ(prompter.shown[0].type, unsigned(MB_YESNO | MB_ICONQUESTION));
    const bool deleted = GetParam() == IDYES;
    EXPECT_EQ(Melody()->GetNoteCount(), deleted ? 2 : 3);
    EXPECT_EQ(doc->IsModified(), deleted);
}

INSTANTIATE_TEST_SUITE_P(Answers, DeleteQuestion, ::testing::Values(IDYES, IDNO),
                         [](const auto& info) { return info.param == IDYES ? "Yes" : "No"; });

TEST_F(ViewTest, ToneUpAtTheTopStillMarksTheSetModified)
{
    InsertNotes(1);
    Key(Qt::Key_W, Qt::NoModifier, kToneCount);
    doc->SetModifiedFlag(false);
    Key(Qt::Key_W);
    EXPECT_EQ(Melody()->GetNote(0).GetTone(), kToneCount - 1);
    EXPECT_TRUE(doc->IsModified());
}

struct OctaveCase {
    const char* name;
    int ups;  // W presses from G4 (tone 11) first
    int key;  // Qt::Key_W or Qt::Key_X, with Shift
    int tone; // afterwards; unchanged when refused
};

class OctaveKeys : public EditorTest, public ::testing::WithParamInterface<OctaveCase>
{
};

TEST_P(OctaveKeys, ShiftWAndXMoveAnOctaveAsOneStepOrNothingAtTheRangeEnds)
{
    const OctaveCase& c = GetParam();
    InsertNotes(1);
    if (c.ups > 0)
        Key(Qt::Key_W, Qt::NoModifier, c.ups);
    else
        Key(Qt::Key_X, Qt::NoModifier, -c.ups);
    const int before = Melody()->GetNote(0).GetTone();
    doc->SetModifiedFlag(false);
    Key(c.key, Qt::ShiftModifier);
    EXPECT_EQ(Melody()->GetNote(0).GetTone(), c.tone);
    EXPECT_EQ(doc->IsModified(), c.tone != before);
    // Undo takes back the octave, or when it was refused the W or X before it.
    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Melody()->GetNote(0).GetTone(),
              c.tone != before ? before : before - c.ups / std::abs(c.ups));
}

INSTANTIATE_TEST_SUITE_P(Keys, OctaveKeys,
                         ::testing::Values(OctaveCase{"UpFromG4", 1, Qt::Key_W, 24},
                                           OctaveCase{"UpToTheTop", 8, Qt::Key_W, 31},
                                           OctaveCase{"UpPastTheTopRefused", 9, Qt::Key_W, 20},
                                           OctaveCase{"DownToTheBottom", 1, Qt::Key_X, 0},
                                           OctaveCase{"DownPastTheBottomRefused", -1, Qt::Key_X,
                                                      10}),
                         kRowName);

struct DragCase {
    const char* name;
    int zoom;
    int dy;   // viewport pixels, down positive, from G4's head
    int tone; // afterwards
};

class DragNote : public EditorTest, public ::testing::WithParamInterface<DragCase>
{
};

TEST_P(DragNote, ToAnotherStaffStepIsOneEdit)
{
    const DragCase& c = GetParam();
    InsertNotes(1); // G4, tone 11, selected
    View()->SetZoom(c.zoom);
    View()->ScrollToPosition({0, 0});
    doc->SetModifiedFlag(false);
    const Point pt = Melody()->GetNotePosition(0);
    const QPoint from = QPoint(pt.x + 5, pt.y + 25) * c.zoom / kZoomNormal; // on the head
    QTest::mousePress(View()->viewport(), Qt::LeftButton, {}, from);
    for (int step = 1; step <= 4; ++step) {
        QMouseEvent move(QEvent::MouseMove, from + QPoint(0, c.dy * step / 4),
                         View()->viewport()->mapToGlobal(from + QPoint(0, c.dy * step / 4)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(View()->viewport(), &move);
    }
    EXPECT_EQ(Melody()->GetNote(0).GetTone(), kDefaultTone) << "nothing changes before release";
    Paint();
    EXPECT_EQ(Pane(CMainFrame::PaneTone), QString::fromUtf8(g_szNoteNames[c.tone % 12]));
    QTest::mouseRelease(View()->viewport(), Qt::LeftButton, {}, from + QPoint(0, c.dy));
    EXPECT_EQ(Melody()->GetNote(0).GetTone(), c.tone);
    EXPECT_EQ(doc->IsModified(), c.tone != kDefaultTone);
    if (c.tone != kDefaultTone) {
        EXPECT_EQ(QString::fromUtf8(doc->UndoName()), QString::fromUtf8(kEditTone));
        Key(Qt::Key_Z, Qt::ControlModifier); // the whole drag is one step
        EXPECT_EQ(Melody()->GetNote(0).GetTone(), kDefaultTone);
        EXPECT_FALSE(doc->IsModified());
    }
}

// G4's head centre is 4 or 5 pixels from A4's and F4's, 9 from B4's.
INSTANTIATE_TEST_SUITE_P(Moves, DragNote,
                         ::testing::Values(DragCase{"UpAStep", 100, -5, 13},
                                           DragCase{"UpTwoSteps", 100, -9, 15},
                                           DragCase{"DownAStep", 100, 4, 9},
                                           DragCase{"TooLittleToMove", 100, 1, 11},
                                           DragCase{"UpTwoStepsAt200", 200, -18, 15},
                                           DragCase{"FarUpStopsAtTheTop", 100, -400, 30}),
                         kRowName);

TEST_F(ViewTest, ZoomStepsWithinItsRangeAndIsRemembered)
{
    EXPECT_EQ(View()->GetZoom(), 100);
    Key(Qt::Key_Equal, Qt::ControlModifier);
    Key(Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(View()->GetZoom(), 150);
    Paint();
    EXPECT_EQ(View()->GetTotalSize(), QSize(948, 348));
    Key(Qt::Key_Minus, Qt::ControlModifier, 20);
    EXPECT_EQ(View()->GetZoom(), kZoomMin);
    EXPECT_FALSE(Action(ID_VIEW_ZOOM_OUT)->isEnabled());
    QWheelEvent wheel(QPointF(10, 10), View()->viewport()->mapToGlobal(QPointF(10, 10)), {},
                      {0, 120 * 20}, Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(View()->viewport(), &wheel);
    EXPECT_EQ(View()->GetZoom(), kZoomMax);
    EXPECT_FALSE(Action(ID_VIEW_ZOOM_IN)->isEnabled());
    Key(Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(View()->GetZoom(), 100);
    View()->SetZoom(300);
    frame.reset(); // the next run
    frame = std::make_unique<CMainFrame>(doc.get());
    EXPECT_EQ(View()->GetZoom(), 300) << "remembered";
}

struct ClickCase {
    const char* name;
    QPoint at; // document coordinates, three notes in one row
    int selected;
    int zoom = kZoomNormal;
};

class ClickSelects : public EditorTest, public ::testing::WithParamInterface<ClickCase>
{
};

TEST_P(ClickSelects, LeftClickHitTestsTheStaff)
{
    InsertNotes(3);
    Melody()->Select(1);
    doc->SetModifiedFlag(false);
    View()->SetZoom(GetParam().zoom);
    View()->ScrollToPosition({0, 0});
    // The viewport point worked out here, not by the view's own mapping.
    QTest::mouseClick(View()->viewport(), Qt::LeftButton, {},
                      GetParam().at * GetParam().zoom / kZoomNormal);
    EXPECT_EQ(Melody()->GetSelected(), GetParam().selected);
    EXPECT_FALSE(doc->IsModified());
}

INSTANTIATE_TEST_SUITE_P(Points, ClickSelects,
                         ::testing::Values(ClickCase{"FirstNote", {95, 150}, 0},
                                           ClickCase{"RightOfTheLast", {500, 150}, 2},
                                           ClickCase{"BelowTheOnlyRow", {95, 250}, -1},
                                           ClickCase{"AboveTheFirstRow", {95, 60}, -1},
                                           ClickCase{"ThirdNoteAt200", {185, 150}, 2, 200},
                                           ClickCase{"FirstNoteAt50", {95, 150}, 0, 50},
                                           ClickCase{"BelowTheRowAt50", {95, 250}, -1, 50}),
                         kRowName);

TEST_F(ViewTest, ContextMenuByMouseSelectsByKeyboardKeepsTheSelection)
{
    InsertNotes(3);
    Melody()->Deselect();
    EXPECT_EQ(ContextMenuAt({150, 150}), frame->NoteMenu());
    EXPECT_EQ(Melody()->GetSelected(), 1);
    EXPECT_EQ(ContextMenuAt({30, 40}), frame->MelodyMenu());
    EXPECT_EQ(Melody()->GetSelected(), -1);

    // The keyboard's event carries no pointer position to hit-test.
    Melody()->Select(0);
    EXPECT_EQ(ContextMenuAt({-1, -1}, QContextMenuEvent::Keyboard), frame->NoteMenu());
    EXPECT_EQ(Melody()->GetSelected(), 0);
    Melody()->Deselect();
    EXPECT_EQ(ContextMenuAt({-1, -1}, QContextMenuEvent::Keyboard), frame->MelodyMenu());
    Melody()->Select(2);
    EXPECT_EQ(MenuOpenedBy([this] { Key(Qt::Key_F10, Qt::ShiftModifier); }), frame->NoteMenu());
    EXPECT_EQ(Melody()->GetSelected(), 2);
}

TEST_F(ViewTest, ContextMenuItemRunsTheCommandLikeItsKey)
{
    InsertNotes(1);
    EXPECT_TRUE(frame->MelodyMenu()->actions().contains(Action(ID_NOTE_DELETE_LAST)));
    WhenModal([this](QWidget* w) {
        qobject_cast<QMenu*>(w)->setActiveAction(Action(ID_TONE_UP));
        QTest::keyClick(w, Qt::Key_Return);
    });
    SendContextMenu({Melody()->GetNotePosition(0).x, Melody()->GetNotePosition(0).y});
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
    ThreeRowsIn(700);
    const int client = View()->viewport()->height();
    Key(Qt::Key_P);
    View()->ScrollToPosition({0, 0});
    Key(Qt::Key_O); // selects the last note, far below
    const QPoint scroll = View()->GetScrollPosition();
    EXPECT_EQ(scroll.y(), qMin(Melody()->GetNotePosition(29).y - client / 2,
                               View()->GetTotalSize().height() - client));
    Key(Qt::Key_O); // the one before it is in sight already
    EXPECT_EQ(View()->GetScrollPosition(), scroll);
}

TEST_F(ViewTest, PlaybackMarksTheSoundingNoteInSightAndTheDialogHidesNoStaff)
{
    std::vector<uint32_t> events;
    ScopedSpeaker speaker{std::make_unique<Pit>(std::make_unique<RecordingSink>(&events))};
    ThreeRowsIn(700);
    Melody()->Deselect();
    bool checked = false;
    WhenModal([&](QWidget* w) {
        auto* dlg = qobject_cast<CPlayDlg*>(w);
        ASSERT_TRUE(dlg);
        const QRect staff(View()->viewport()->mapToGlobal(QPoint(0, 0)),
                          View()->viewport()->size().boundedTo(View()->GetTotalSize()));
        EXPECT_FALSE(dlg->frameGeometry().intersects(staff));
        dlg->OnPlay();
        while (Melody()->GetPlayIndex() < 26 && dlg->isVisible())
            dlg->OnTimer();
        EXPECT_EQ(View()->GetPlayingNote(), 26);
        const Point pt = Melody()->GetNotePosition(26);
        EXPECT_TRUE(View()->viewport()->rect().contains(View()->ToViewport({pt.x, pt.y})));
        checked = true;
        dlg->reject();
    });
    Key(Qt::Key_P, Qt::ControlModifier);
    EXPECT_TRUE(checked);
    EXPECT_EQ(View()->GetPlayingNote(), -1);
}

TEST_F(ViewTest, KeysScrollOnlyWhereThePictureIsLarger)
{
    ThreeRowsIn(900); // wider than the picture
    const int height = View()->viewport()->height();
    Key(Qt::Key_PageDown);
    EXPECT_EQ(View()->GetScrollPosition(), QPoint(0, height));
    Key(Qt::Key_Up);
    EXPECT_EQ(View()->GetScrollPosition(), QPoint(0, height - 100));
    for (int key : {Qt::Key_Down, Qt::Key_Right, Qt::Key_Home, Qt::Key_End})
        Key(key);
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
    Key(Qt::Key_D);                    // a quarter
    Paint();
    EXPECT_EQ(Pane(CMainFrame::PaneNotes), QStringLiteral(" 1 н."));
    EXPECT_EQ(Pane(CMainFrame::PaneTone), QStringLiteral("Ля"));
    EXPECT_EQ(Pane(CMainFrame::PaneDuration), QStringLiteral("1/4"));
    Key(Qt::Key_P);
    Paint();
    EXPECT_EQ(Pane(CMainFrame::PaneTone), QString());

    // No octave in the pane: G sharps an octave apart read the same.
    for (int tone : {0, 24}) {
        frame->SetToneText(BYTE(tone << 3), false);
        EXPECT_EQ(Pane(CMainFrame::PaneTone), QStringLiteral("Соль#")) << tone;
    }
    frame->SetDurationText(BYTE((13 << 3) | 4), false);
    EXPECT_EQ(Pane(CMainFrame::PaneDuration), QStringLiteral("1/16"));
}

TEST_F(ViewTest, CtrlPageKeysMoveBetweenMelodiesEachKeepingItsSelection)
{
    InsertNotes(2);
    doc->SetModifiedFlag(false);
    Key(Qt::Key_PageUp, Qt::ControlModifier);
    Paint();
    EXPECT_EQ(doc->GetCurrentNumber(), 2u);
    EXPECT_EQ(Pane(CMainFrame::PaneMelody), QStringLiteral(" 2 м."));
    EXPECT_FALSE(Action(ID_NOTE_DELETE)->isEnabled()); // the second melody is empty
    Key(Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(Melody()->GetSelected(), 1);
    EXPECT_TRUE(Action(ID_NOTE_DELETE)->isEnabled());
    Key(Qt::Key_PageDown, Qt::ControlModifier); // round to the last
    EXPECT_EQ(doc->GetCurrentNumber(), 8u);
    EXPECT_FALSE(doc->IsModified());
}

} // namespace
} // namespace tinkla::test
