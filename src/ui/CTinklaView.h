#pragma once
// The editing view: the current melody of the set drawn as a staff in a scrolling area, and the
// note commands that edit it. It owns no melody data and never keeps a melody pointer: every
// handler looks the current melody up through the document.
#include "model/Note.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QImage>
#include <QPoint>
#include <QSize>

namespace tinkla
{

class CMainFrame;
class CMelody;
class CTinklaDoc;

// Scroll geometry of the staff picture (pixels).
constexpr int kScrollWidth = 632;   // total width of the scroll range
constexpr int kScrollLineX = 45;    // one note column: line step and Left/Right step
constexpr int kScrollLineY = 100;   // one staff row: line step and Up/Down step
constexpr int kVisibleMarginX = 21; // a note counts as in sight only with its whole glyph
constexpr int kVisibleMarginY = 31;
// Zoom of the staff, in percent.
constexpr int kZoomMin = 50;
constexpr int kZoomMax = 400;
constexpr int kZoomNormal = 100;

class CTinklaView : public QAbstractScrollArea
{
    Q_OBJECT
public:
    // frame receives the five status texts after every paint and lends its two context menus.
    CTinklaView(CTinklaDoc* doc, CMainFrame* frame);
    ~CTinklaView() override;

    CTinklaDoc* GetDocument() const { return m_pDoc; }
    // Total scroll size: 632 × (rows × 100 + 132) for the current melody, times the zoom.
    QSize GetTotalSize() const;
    // Top-left point of the zoomed picture shown at the viewport's top-left.
    QPoint GetScrollPosition() const;
    // Between viewport pixels and the melody's drawing coordinates, through scroll and zoom.
    QPoint ToDocument(QPoint viewportPoint) const;
    QPoint ToViewport(QPoint document) const;

    int GetZoom() const { return m_nZoom; }
    // Clamped into 50..400 %; the document point at anchor (viewport) stays where it is, the
    // viewport's centre without one. Remembered in the settings when the view goes.
    void SetZoom(int percent, QPoint anchor = QPoint(-1, -1));
    // The note the playback is sounding, marked on the staff and kept in sight; -1 for none.
    void SetPlayingNote(int index);
    int GetPlayingNote() const { return m_nPlaying; }
    // Clamped into the scroll range.
    void ScrollToPosition(QPoint pt);

    // Keeps the note glyph at document point (x, y) in sight: nothing scrolls while the glyph
    // lies inside the viewport less 21 × 31; otherwise it is centred as far as the range allows.
    // Always repaints.
    void EnsureVisible(int x, int y);
    // The whole view again, scroll range first; announces that command states may have changed.
    void Repaint();
    // A new set in the view (New, Open, a set read from the doorbell): back to the top.
    void OnInitialUpdate();
    // Scrolls the selected note into sight (and repaints); just repaints without a selection.
    void EnsureSelectionVisible();

public slots:
    void OnNoteInsert();
    void OnNoteDelete();
    void OnNoteDeleteLast();
    void OnToneUp() { ModifySelected(0); }
    void OnToneDown() { ModifySelected(1); }
    void OnOctaveUp() { MoveSelectedTone(12); }
    void OnOctaveDown() { MoveSelectedTone(-12); }
    void OnZoomIn();
    void OnZoomOut();
    void OnZoomReset() { SetZoom(kZoomNormal); }
    void OnDurationUp() { ModifySelected(2); }
    void OnDurationDown() { ModifySelected(3); }
    void OnNoteNext() { MoveSelection(true); }
    void OnNotePrev() { MoveSelection(false); }
    void OnMelodyPlay();

signals:
    // The melody, its selection or the set changed: the enabled commands must be recomputed.
    void changed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    CMelody* Melody() const;
    // The window colour of the palette, unless it is too dark for black staff lines.
    QColor PaperColor() const;
    void SetScrollSizes();
    // op: 0 tone up, 1 tone down, 2 lengthen, 3 shorten.
    void ModifySelected(BYTE op);
    void MoveSelection(bool forward);
    void MoveSelectedTone(int semitones);
    double Scale() const { return m_nZoom / 100.0; }
    // The tone of the selected note dragged to the pointer's height (staff steps).
    int DraggedTone(QPoint viewportPoint) const;
    void UpdateStatusTexts();

    CTinklaDoc* m_pDoc;
    CMainFrame* m_pFrame;
    QImage m_picture; // the off-screen staff picture, reused while its size stays
    int m_nZoom = kZoomNormal;
    int m_nSavedZoom = kZoomNormal; // as the settings hold it
    int m_nPlaying = -1;
    bool m_bDragging = false; // a press on the selected note, until release
    int m_nDragStartY = 0;    // document y of the press
    int m_nDragTone = -1;     // the tone the drag points at, shown; -1 before any move
};

} // namespace tinkla
