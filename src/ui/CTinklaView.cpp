#include "ui/CTinklaView.h"

#include "canvas/QtCanvas.h"
#include "document/TinklaDoc.h"
#include "model/Melody.h"
#include "model/Messages.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "ui/CMainFrame.h"
#include "ui/CPlayDlg.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <QtMath>
#include <algorithm>
#include <cmath>

namespace tinkla
{

namespace
{

const char* const kZoomKey = "view/zoom";
// Zoom in and out go through these steps.
constexpr int kZoomSteps[] = {50, 67, 80, 100, 125, 150, 200, 250, 300, 400};

// Height of a note's head centre below its row's top staff line.
int HeadCentre(int tone)
{
    return g_nStaffOffsets[tone] + (tone <= 14 ? 25 : 4);
}

// The next zoom step above (direction > 0) or below the zoom; the zoom itself past the ends.
int ZoomStep(int zoom, int direction)
{
    if (direction > 0) {
        for (int step : kZoomSteps)
            if (step > zoom)
                return step;
    } else {
        for (auto it = std::rbegin(kZoomSteps); it != std::rend(kZoomSteps); ++it)
            if (*it < zoom)
                return *it;
    }
    return zoom;
}

} // namespace

CTinklaView::CTinklaView(CTinklaDoc* doc, CMainFrame* frame)
    : QAbstractScrollArea(frame), m_pDoc(doc), m_pFrame(frame)
{
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::NoFrame);
    // Every paint covers the whole viewport itself.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setWhatsThis(
        tr("<p><b>Нотный стан</b></p><p>Здесь показана текущая мелодия набора: её название и ноты, "
           "по двенадцать в строке. Щелчок по ноте выделяет её, щелчок вне нот снимает выделение. "
           "Правая кнопка мыши открывает меню команд для ноты или для мелодии.</p>"
           "<p>Клавиши: Ins — вставить ноту, Del — удалить выделенную, Backspace — удалить "
           "последнюю, P и O — следующая и предыдущая нота, W и X — выше и ниже, D и A — длиннее и "
           "короче, Shift+W и Shift+X — на октаву выше и ниже, N — название мелодии. Ноту можно "
           "перетащить мышью вверх или вниз. PgUp, PgDn и стрелки прокручивают стан, Ctrl+колесо "
           "мыши меняет масштаб.</p>"));
    m_nZoom = std::clamp(OpenSettings().value(QLatin1String(kZoomKey), kZoomNormal).toInt(),
                         kZoomMin, kZoomMax);
    m_nSavedZoom = m_nZoom;
}

CTinklaView::~CTinklaView()
{
    // Kept for the next run here rather than at every step: a settings write costs more than the
    // repaint a zoom key asks for.
    if (m_nZoom != m_nSavedZoom)
        OpenSettings().setValue(QLatin1String(kZoomKey), m_nZoom);
}

CMelody* CTinklaView::Melody() const
{
    return m_pDoc->GetCurrentMelody();
}

QSize CTinklaView::GetTotalSize() const
{
    return {int(std::ceil(kScrollWidth * Scale())),
            int(std::ceil((Melody()->GetRows() * 100 + 132) * Scale()))};
}

QPoint CTinklaView::ToDocument(QPoint viewportPoint) const
{
    const QPoint p = viewportPoint + GetScrollPosition();
    return {int(std::floor(p.x() / Scale())), int(std::floor(p.y() / Scale()))};
}

QPoint CTinklaView::ToViewport(QPoint document) const
{
    return QPoint(qRound(document.x() * Scale()), qRound(document.y() * Scale())) -
           GetScrollPosition();
}

void CTinklaView::SetZoom(int percent, QPoint anchor)
{
    percent = std::clamp(percent, kZoomMin, kZoomMax);
    if (percent == m_nZoom)
        return;
    if (anchor.x() < 0)
        anchor = viewport()->rect().center();
    const QPoint fixed = ToDocument(anchor);
    m_nZoom = percent;
    SetScrollSizes();
    ScrollToPosition(QPoint(qRound(fixed.x() * Scale()), qRound(fixed.y() * Scale())) - anchor);
    Repaint();
}

void CTinklaView::OnZoomIn()
{
    SetZoom(ZoomStep(m_nZoom, 1));
}

void CTinklaView::OnZoomOut()
{
    SetZoom(ZoomStep(m_nZoom, -1));
}

void CTinklaView::SetPlayingNote(int index)
{
    if (index == m_nPlaying)
        return;
    m_nPlaying = index;
    if (index >= 0 && index < Melody()->GetNoteCount()) {
        const Point pt = Melody()->GetNotePosition(index);
        EnsureVisible(pt.x, pt.y);
    } else {
        viewport()->update();
    }
}

QPoint CTinklaView::GetScrollPosition() const
{
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

void CTinklaView::ScrollToPosition(QPoint pt)
{
    horizontalScrollBar()->setValue(pt.x());
    verticalScrollBar()->setValue(pt.y());
}

void CTinklaView::SetScrollSizes()
{
    const QSize total = GetTotalSize();
    const QSize page = viewport()->size();
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* v = verticalScrollBar();
    h->setRange(0, qMax(0, total.width() - page.width()));
    h->setPageStep(page.width());
    h->setSingleStep(qMax(1, qRound(kScrollLineX * Scale())));
    v->setRange(0, qMax(0, total.height() - page.height()));
    v->setPageStep(page.height());
    v->setSingleStep(qMax(1, qRound(kScrollLineY * Scale())));
}

void CTinklaView::Repaint()
{
    SetScrollSizes();
    viewport()->update();
    emit changed();
}

void CTinklaView::OnInitialUpdate()
{
    SetScrollSizes();
    ScrollToPosition({0, 0});
    Repaint();
}

QColor CTinklaView::PaperColor() const
{
    // The staff lines and the shadows of the glyphs are black: under a dark desktop theme the
    // window colour would swallow them, so the staff then keeps white paper.
    const QColor base = viewport()->palette().color(QPalette::Base);
    return base.lightness() >= 160 ? base : QColor(Qt::white);
}

void CTinklaView::paintEvent(QPaintEvent*)
{
    CMelody* melody = Melody();
    // Drawn off screen in device pixels, then copied: the staff never shows half drawn while
    // keys repeat. Only the viewport's part is kept, so a large zoom costs no more memory.
    const qreal dpr = viewport()->devicePixelRatioF();
    const QSize pixels(qCeil(viewport()->width() * dpr), qCeil(viewport()->height() * dpr));
    if (m_picture.size() != pixels)
        m_picture = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    m_picture.setDevicePixelRatio(1);
    const QColor paper = PaperColor();
    {
        QPainter picture(&m_picture);
        picture.fillRect(m_picture.rect(), paper); // beside and below the picture
        picture.translate(-QPointF(GetScrollPosition()) * dpr);
        picture.scale(dpr * Scale(), dpr * Scale());
        const int selected = melody->GetSelected();
        if (m_nDragTone >= 0 && selected >= 0) {
            // A drag shows the note where it would go, on a copy: the melody itself changes
            // once, on release.
            CMelody dragged = *melody;
            const int steps = m_nDragTone - melody->GetNote(selected).GetTone();
            for (int i = 0; i < std::abs(steps); ++i)
                dragged.ModifySelected(steps > 0 ? 0 : 1);
            PaintMelody(picture, dragged, paper, palette().color(QPalette::Highlight));
        } else {
            PaintMelody(picture, *melody, paper, palette().color(QPalette::Highlight), m_nPlaying);
        }
    }
    m_picture.setDevicePixelRatio(dpr);
    QPainter painter(viewport());
    painter.drawImage(QPoint(0, 0), m_picture);
    painter.end();

    // The range follows the melody's rows without other bookkeeping.
    SetScrollSizes();
    UpdateStatusTexts();
}

void CTinklaView::UpdateStatusTexts()
{
    CMelody* melody = Melody();
    m_pFrame->SetFormatText(int(m_pDoc->GetMelodyCount()), int(m_pDoc->GetNotesPerMelody()));
    m_pFrame->SetMelodyText(int(m_pDoc->GetCurrentNumber()));
    m_pFrame->SetNotesText(melody->GetNoteCount());
    const int selected = melody->GetSelected();
    if (selected >= 0) {
        const BYTE code = melody->GetNoteCode(selected);
        m_pFrame->SetToneText(m_nDragTone >= 0 ? BYTE((m_nDragTone << 3) | (code & 7)) : code,
                              false);
        m_pFrame->SetDurationText(melody->GetNoteCode(selected), false);
    } else {
        m_pFrame->SetToneText(0xFF, true);
        m_pFrame->SetDurationText(0xFF, true);
    }
}

void CTinklaView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    SetScrollSizes();
}

void CTinklaView::scrollContentsBy(int, int)
{
    viewport()->update();
}

void CTinklaView::EnsureVisible(int x, int y)
{
    const int width = viewport()->width();
    const int height = viewport()->height();
    const QPoint scroll = GetScrollPosition();
    x = qRound(x * Scale());
    y = qRound(y * Scale());
    const int marginX = qRound(kVisibleMarginX * Scale());
    const int marginY = qRound(kVisibleMarginY * Scale());
    const bool inSight = x >= scroll.x() && x < scroll.x() + width - marginX && y >= scroll.y() &&
                         y < scroll.y() + height - marginY;
    if (!inSight) {
        // The melody may have gained a row since the last paint: make it reachable first.
        SetScrollSizes();
        ScrollToPosition({x - width / 2, y - height / 2});
    }
    Repaint();
}

void CTinklaView::EnsureSelectionVisible()
{
    CMelody* melody = Melody();
    if (melody->GetSelected() < 0) {
        Repaint();
        return;
    }
    const Point pt = melody->GetNotePosition(melody->GetSelected());
    EnsureVisible(pt.x, pt.y);
}

void CTinklaView::OnNoteInsert()
{
    if (m_pDoc->InsertNote())
        EnsureSelectionVisible();
}

void CTinklaView::OnNoteDelete()
{
    if (m_pDoc->DeleteSelectedNote())
        Repaint();
}

void CTinklaView::OnNoteDeleteLast()
{
    if (m_pDoc->DeleteLastNote())
        Repaint();
}

void CTinklaView::ModifySelected(BYTE op)
{
    if (m_pDoc->ModifySelectedNote(op))
        EnsureSelectionVisible();
}

void CTinklaView::MoveSelectedTone(int semitones)
{
    if (m_pDoc->MoveSelectedTone(semitones))
        EnsureSelectionVisible();
    else if (Melody()->GetSelected() >= 0)
        QApplication::beep(); // past the range's end: nothing changes
}

int CTinklaView::DraggedTone(QPoint viewportPoint) const
{
    const CMelody* melody = Melody();
    const int tone = melody->GetNote(melody->GetSelected()).GetTone();
    const int target = HeadCentre(tone) + ToDocument(viewportPoint).y() - m_nDragStartY;
    // The staff position nearest the pointer; on the note's own position the note stays as it
    // is (sharp or not), elsewhere it becomes the natural of that position.
    int best = tone;
    for (int t = kToneCount - 1; t >= 0; --t)
        if (std::abs(HeadCentre(t) - target) < std::abs(HeadCentre(best) - target) ||
            (HeadCentre(t) == HeadCentre(best) && HeadCentre(t) != HeadCentre(tone)))
            best = t;
    return best;
}

void CTinklaView::MoveSelection(bool forward)
{
    // The state with no selection stands between the last note and the first.
    CMelody* melody = Melody();
    const int count = melody->GetNoteCount();
    if (count == 0)
        return;
    const int selected = melody->GetSelected();
    if (selected == (forward ? count - 1 : 0)) {
        melody->Deselect();
        Repaint();
        return;
    }
    if (selected < 0)
        melody->Select(forward ? 0 : count - 1);
    else
        melody->Select(forward ? selected + 1 : selected - 1);
    EnsureSelectionVisible();
}

void CTinklaView::OnMelodyPlay()
{
    if (Melody()->GetNoteCount() == 0)
        return;
    // The staff as shown: the dialog goes beside or below it, within the window if there is room.
    const QRect picture(ToViewport({0, 0}), GetTotalSize());
    const QRect staff = picture.intersected(viewport()->rect());
    const QRect avoid(viewport()->mapToGlobal(staff.topLeft()), staff.size());
    const int result = RunPlayCommand(
        m_pDoc, this, [this](int note) { SetPlayingNote(note); }, avoid);
    SetPlayingNote(-1);
    // A stopped playback leaves the note it stopped at selected: show where it stopped.
    if (result != IDOK && Melody()->GetSelected() >= 0)
        EnsureSelectionVisible();
    else
        Repaint();
}

void CTinklaView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, QPoint(), QPoint(), Qt::NoModifier);
        contextMenuEvent(&menu);
        return;
    }
    const QPoint scroll = GetScrollPosition();
    const QSize client = viewport()->size();
    const QSize total = GetTotalSize();
    QPoint to = scroll;
    bool handled = false;
    const int lineX = qRound(kScrollLineX * Scale());
    const int lineY = qRound(kScrollLineY * Scale());
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        // Each direction moves only when the picture is larger than the view that way.
        const bool vertical = total.height() > client.height();
        const bool horizontal = total.width() > client.width();
        handled = true;
        switch (event->key()) {
        case Qt::Key_PageUp:
            to.ry() -= client.height();
            handled = vertical;
            break;
        case Qt::Key_PageDown:
            to.ry() += client.height();
            handled = vertical;
            break;
        case Qt::Key_Up:
            to.ry() -= lineY;
            handled = vertical;
            break;
        case Qt::Key_Down:
            to.ry() += lineY;
            handled = vertical;
            break;
        case Qt::Key_Left:
            to.rx() -= lineX;
            handled = horizontal;
            break;
        case Qt::Key_Right:
            to.rx() += lineX;
            handled = horizontal;
            break;
        default:
            handled = false;
            break;
        }
    }
    if (handled)
        ScrollToPosition(to);
    viewport()->update();
    if (!handled)
        event->ignore(); // on to the frame
}

void CTinklaView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const QPoint doc = ToDocument(event->position().toPoint());
    CMelody* melody = Melody();
    melody->HitTest(doc.x(), doc.y());
    // A press on the selected note's glyph (or its sharp) may drag it to another tone.
    m_bDragging = false;
    m_nDragTone = -1;
    if (melody->GetSelected() >= 0) {
        const Point pt = melody->GetNotePosition(melody->GetSelected());
        m_bDragging =
            QRect(pt.x - 17, pt.y, 17 + kVisibleMarginX, kVisibleMarginY + 12).contains(doc);
        m_nDragStartY = doc.y();
    }
    Repaint();
}

void CTinklaView::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_bDragging || !(event->buttons() & Qt::LeftButton))
        return;
    // The tone the note would take is shown on the staff and in the tone pane; the note itself
    // changes once, on release, so the whole drag is one edit.
    const int tone = DraggedTone(event->position().toPoint());
    setCursor(Qt::SizeVerCursor);
    if (tone != m_nDragTone) {
        m_nDragTone = tone;
        viewport()->update();
    }
}

void CTinklaView::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_bDragging || event->button() != Qt::LeftButton)
        return;
    m_bDragging = false;
    m_nDragTone = -1;
    unsetCursor();
    const CMelody* melody = Melody();
    if (melody->GetSelected() < 0)
        return;
    const int tone = melody->GetNote(melody->GetSelected()).GetTone();
    if (m_pDoc->MoveSelectedTone(DraggedTone(event->position().toPoint()) - tone))
        EnsureSelectionVisible();
    else
        Repaint();
}

void CTinklaView::wheelEvent(QWheelEvent* event)
{
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    const int notches = event->angleDelta().y() / 120;
    int zoom = m_nZoom;
    for (int i = 0; i < std::abs(notches); ++i)
        zoom = ZoomStep(zoom, notches);
    SetZoom(zoom, event->position().toPoint());
    event->accept();
}

void CTinklaView::contextMenuEvent(QContextMenuEvent* event)
{
    CMelody* melody = Melody();
    QPoint at = event->globalPos();
    if (event->reason() == QContextMenuEvent::Mouse) {
        const QPoint doc = ToDocument(event->pos());
        melody->HitTest(doc.x(), doc.y());
        Repaint();
    } else {
        // From the keyboard there is no pointer to hit-test: the menu acts on the selection as
        // it is, and opens at the selected note when it is in sight, else at the view's corner.
        QPoint local(8, 8);
        if (melody->GetSelected() >= 0) {
            const Point pt = melody->GetNotePosition(melody->GetSelected());
            const QPoint note = ToViewport(QPoint(pt.x, pt.y + kVisibleMarginY));
            if (viewport()->rect().contains(note))
                local = note;
        }
        at = viewport()->mapToGlobal(local);
    }
    QMenu* menu = melody->GetSelected() >= 0 ? m_pFrame->NoteMenu() : m_pFrame->MelodyMenu();
    menu->exec(at);
}

} // namespace tinkla
