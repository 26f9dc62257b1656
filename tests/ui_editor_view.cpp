// The editing view driven as a user drives it: keys, clicks and context menus on a real main
// window, with the questions answered by a scripted prompter.
#include "devices/Speaker.h"
#include "model/Messages.h"
#include "test_speaker_support.h"
#include "ui/CPlayDlg.h"
#include "ui_editor_support.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QWheelEvent>
#include <optional>

namespace tinkla::test
{
namespace
{

using ViewTest = EditorTest;

// The menu a right click at a point of the picture, or else Shift+F10, opens; closed at once.
QWidget* ContextMenu(CTinklaView* view, std::optional<QPoint> click)
{
    QWidget* shown = nullptr;
    WhenModal([&shown](QWidget* w) {
        shown = w;
        w->close();
    });
    if (click) {
        const QPoint at = view->ToViewport(*click);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, view->viewport()->mapToGlobal(at));
        QApplication::sendEvent(view->viewport(), &event);
    } else {
        QTest::keyClick(view, Qt::Key_F10, Qt::ShiftModifier);
    }
    return shown;
}

// The keys of disabled commands do nothing at all. P and O step through the notes and the state
// with no selection between the last and the first. The panes show the set's format, the
// melody's number and notes, and the selected note's name (with no octave) and length. Insert
// into a full melody is refused with a message; Del asks first.
TEST_F(ViewTest, CommandsAndPanesFollowTheNotesInsertIntoAFullMelodyIsRefusedDelAsks)
{
    auto expectEnabled = [this](bool selection, bool notes) {
        for (int id : {ID_NOTE_DELETE, ID_TONE_UP, ID_TONE_DOWN, ID_DURATION_UP, ID_DURATION_DOWN})
            EXPECT_EQ(Action(id)->isEnabled(), selection) << id;
        for (int id : {ID_NOTE_DELETE_LAST, ID_NOTE_NEXT, ID_NOTE_PREV, ID_MELODY_PLAY})
            EXPECT_EQ(Action(id)->isEnabled(), notes) << id;
    };
    expectEnabled(false, false);
    for (int key : {Qt::Key_Delete, Qt::Key_Backspace, Qt::Key_W, Qt::Key_A, Qt::Key_P})
        Key(key);
    Key(Qt::Key_P, Qt::ControlModifier);
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(Pane(CMainFrame::PaneTone), QString());

    InsertNotes(3); // the new note is selected
    expectEnabled(true, true);
    doc->SetModifiedFlag(false);
    const std::pair<int, int> steps[] = {
        {Qt::Key_P, -1}, {Qt::Key_P, 0}, {Qt::Key_O, -1}, {Qt::Key_O, 2}, {Qt::Key_O, 1}};
    for (auto [key, selected] : steps) {
        Key(key);
        EXPECT_EQ(Melody()->GetSelected(), selected);
        expectEnabled(selected >= 0, true);
    }
    EXPECT_FALSE(doc->IsModified());
    Key(Qt::Key_W, Qt::NoModifier, 2); // tone 13, A4
    Key(Qt::Key_A);                    // a sixteenth
    Paint();
    EXPECT_EQ(Pane(CMainFrame::PaneFormat), QStringLiteral(" 8 м. х 31 н."));
    EXPECT_EQ(Pane(CMainFrame::PaneMelody), QStringLiteral(" 1 м."));
    EXPECT_EQ(Pane(CMainFrame::PaneNotes), QStringLiteral(" 3 н."));
    EXPECT_EQ(Pane(CMainFrame::PaneTone), QStringLiteral("Ля"));
    EXPECT_EQ(Pane(CMainFrame::PaneDuration), QStringLiteral("1/16"));
    Key(Qt::Key_Backspace, Qt::NoModifier, 3);
    expectEnabled(false, false);

    InsertNotes(31);
    doc->SetModifiedFlag(false);
    InsertNotes(1);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, QString::fromUtf8(kMsgCannotInsert));
    EXPECT_EQ(prompter.shown[0].type, unsigned(MB_OK | MB_ICONINFORMATION));
    EXPECT_EQ(Melody()->GetNoteCount(), 31);
    EXPECT_EQ(Melody()->GetSelected(), 30);
    EXPECT_FALSE(doc->IsModified());
    for (Answer answer : {IDNO, IDYES}) {
        prompter.answers = {answer};
        Key(Qt::Key_Delete);
        ASSERT_EQ(prompter.shown.size(), answer == IDYES ? 3u : 2u);
        EXPECT_EQ(prompter.shown.back().text, QString::fromUtf8(kMsgDeleteNote));
        EXPECT_EQ(prompter.shown.back().type, unsigned(MB_YESNO | MB_ICONQUESTION));
        EXPECT_EQ(Melody()->GetNoteCount(), answer == IDYES ? 30 : 31);
        EXPECT_EQ(doc->IsModified(), answer == IDYES);
    }
}

// Shift+W and Shift+X move an octave as one step, or nothing past the range's ends; undo takes
// back the octave, or the W or X before it. The menu names the step and is disabled with nothing
// to take back; Ctrl+Y and Ctrl+Shift+Z redo. W at the top changes nothing, yet marks the set.
TEST_F(ViewTest, OctaveKeysStopAtTheRangeEndsAndUndoByKeys)
{
    EXPECT_FALSE(Action(ID_EDIT_UNDO)->isEnabled());
    // W presses from G4 (tone 11), or X presses when negative; the key pressed with Shift; the
    // tone afterwards, and after undo.
    const int rows[][4] = {{8, Qt::Key_W, 31, 19},
                           {9, Qt::Key_W, 20, 19},
                           {1, Qt::Key_X, 0, 12},
                           {-1, Qt::Key_X, 10, 11}};
    for (const auto& [ups, key, tone, undone] : rows) {
        Key(Qt::Key_Backspace);
        InsertNotes(1);
        Key(ups > 0 ? Qt::Key_W : Qt::Key_X, Qt::NoModifier, std::abs(ups));
        const int before = Melody()->GetNote(0).GetTone();
        doc->SetModifiedFlag(false);
        Key(key, Qt::ShiftModifier);
        EXPECT_EQ(Melody()->GetNote(0).GetTone(), tone) << ups;
        EXPECT_EQ(doc->IsModified(), tone != before) << ups;
        Key(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(Melody()->GetNote(0).GetTone(), undone) << ups;
    }
    Key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(
        Action(ID_EDIT_UNDO)->text().startsWith(QStringLiteral("&Отменить «Изменение высоты»")));
    Key(Qt::Key_Z, Qt::ControlModifier);
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Melody()->GetNote(0).GetTone(), 10);
    EXPECT_FALSE(Action(ID_EDIT_REDO)->isEnabled());
    Key(Qt::Key_W, Qt::NoModifier, kToneCount);
    doc->SetModifiedFlag(false);
    Key(Qt::Key_W);
    EXPECT_EQ(Melody()->GetNote(0).GetTone(), kToneCount - 1);
    EXPECT_TRUE(doc->IsModified());
}

// G4's head centre is 4 or 5 pixels from A4's and F4's, 9 from B4's. While the note is dragged
// only the tone pane follows; the release changes the note, as one undo step. At 200 % the press
// finds the note only if it is hit-tested at the zoom.
TEST_F(ViewTest, DragToAnotherStaffStepIsOneEdit)
{
    // Zoom; viewport pixels moved, down positive, from G4's head; the tone afterwards.
    const int rows[][3] = {{100, -5, 13}, {100, -9, 15},  {100, 4, 9},
                           {100, 1, 11},  {200, -18, 15}, {100, -400, 30}};
    InsertNotes(1); // G4, tone 11, selected
    for (const auto& [zoom, dy, tone] : rows) {
        View()->SetZoom(zoom);
        View()->ScrollToPosition({0, 0});
        doc->SetModifiedFlag(false);
        const Point pt = Melody()->GetNotePosition(0);
        const QPoint from = QPoint(pt.x + 5, pt.y + 25) * zoom / kZoomNormal; // on the head
        const QPoint to = from + QPoint(0, dy);
        QTest::mousePress(View()->viewport(), Qt::LeftButton, {}, from);
        for (const QPoint at : {from + (to - from) / 2, to}) { // in two moves, still one edit
            QMouseEvent move(QEvent::MouseMove, at, View()->viewport()->mapToGlobal(at),
                             Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(View()->viewport(), &move);
        }
        Paint();
        EXPECT_EQ(Melody()->GetNote(0).GetTone(), kDefaultTone) << dy;
        EXPECT_EQ(Pane(CMainFrame::PaneTone), QString::fromUtf8(g_szNoteNames[tone % 12])) << dy;
        QTest::mouseRelease(View()->viewport(), Qt::LeftButton, {}, to);
        EXPECT_EQ(Melody()->GetNote(0).GetTone(), tone) << dy;
        EXPECT_EQ(doc->IsModified(), tone != kDefaultTone) << dy;
        if (tone != kDefaultTone)
            Key(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(Melody()->GetNote(0).GetTone(), kDefaultTone) << dy << " undone";
        EXPECT_FALSE(doc->IsModified()) << dy << " undone in one step";
    }
}

// The zoom is written when the view goes, not at every step.
TEST_F(ViewTest, ZoomStepsWithinItsRangeAndIsRemembered)
{
    Key(Qt::Key_Equal, Qt::ControlModifier);
    Key(Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(View()->GetZoom(), 150);
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
    View()->SetZoom(200);
    frame.reset(); // the next run
    frame = std::make_unique<CMainFrame>(doc.get());
    EXPECT_EQ(View()->GetZoom(), 200) << "remembered";
}

// By mouse the menu goes by the note under the pointer, by keyboard by the selection.
TEST_F(ViewTest, ContextMenuByMouseSelectsByKeyboardKeepsTheSelection)
{
    InsertNotes(3);
    EXPECT_EQ(ContextMenu(View(), QPoint(150, 150)), frame->NoteMenu());
    EXPECT_EQ(ContextMenu(View(), {}), frame->NoteMenu());
    EXPECT_EQ(Melody()->GetSelected(), 1);
    EXPECT_EQ(ContextMenu(View(), QPoint(30, 40)), frame->MelodyMenu());
    EXPECT_EQ(ContextMenu(View(), {}), frame->MelodyMenu());
    EXPECT_EQ(Melody()->GetSelected(), -1);
}

// Three rows in a window lower and wider than the picture. A note selected or playing out of
// sight is scrolled to the middle, one in sight stays put, and the play dialog hides no staff.
// The keys scroll by rows and pages, never select, and only where the picture is larger.
TEST_F(ViewTest, SelectedAndPlayingNotesAreKeptInSightAndKeysScroll)
{
    std::vector<uint32_t> events;
    ScopedSpeaker speaker{std::make_unique<Pit>(std::make_unique<RecordingSink>(&events))};
    frame->resize(700, 260);
    InsertNotes(30);
    Paint();
    const int height = View()->viewport()->height();
    View()->ScrollToPosition({0, 0});
    Key(Qt::Key_P);
    Key(Qt::Key_O); // selects the last note, far below
    const QPoint scroll = View()->GetScrollPosition();
    EXPECT_EQ(scroll.y(), qMin(Melody()->GetNotePosition(29).y - height / 2, 432 - height));
    Key(Qt::Key_O); // the one before it is in sight already
    EXPECT_EQ(View()->GetScrollPosition(), scroll);

    View()->ScrollToPosition({0, 0});
    bool played = false;
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
        played = true;
        dlg->reject();
    });
    Key(Qt::Key_P, Qt::ControlModifier);
    EXPECT_TRUE(played);
    EXPECT_EQ(View()->GetPlayingNote(), -1);

    View()->ScrollToPosition({0, 0});
    const int selected = Melody()->GetSelected();
    Key(Qt::Key_PageDown);
    EXPECT_EQ(View()->GetScrollPosition(), QPoint(0, height));
    Key(Qt::Key_Up);
    EXPECT_EQ(View()->GetScrollPosition(), QPoint(0, height - 100));
    for (int key : {Qt::Key_Down, Qt::Key_Right, Qt::Key_Home, Qt::Key_End})
        Key(key);
    EXPECT_EQ(View()->GetScrollPosition(), QPoint(0, height));
    EXPECT_EQ(Melody()->GetSelected(), selected);
}

} // namespace
} // namespace tinkla::test
