#include "ui/CTinklaView.h"

#include "document/TinklaDoc.h"
#include "model/Melody.h"
#include "model/Messages.h"
#include "platform/Prompter.h"
#include "ui/CMainFrame.h"
#include "ui/CPlayDlg.h"
#include "canvas/QtCanvas.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QtMath>

namespace tinkla {

CTinklaView::CTinklaView(CTinklaDoc* doc, CMainFrame* frame)
    : QAbstractScrollArea(frame), m_pDoc(doc), m_pFrame(frame)
{
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::NoFrame);
    // Every paint covers the whole viewport itself.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setWhatsThis(QStringLiteral(
        "<p><b>Нотный стан</b></p><p>Здесь показана текущая мелодия набора: её название и ноты, "
        "по двенадцать в строке. Щелчок по ноте выделяет её, щелчок вне нот снимает выделение. "
        "Правая кнопка мыши открывает меню команд для ноты или для мелодии.</p>"
        "<p>Клавиши: Ins — вставить ноту, Del — удалить выделенную, Backspace — удалить "
        "последнюю, P и O — следующая и предыдущая нота, W и X — выше и ниже, D и A — длиннее и "
        "короче, N — название мелодии. PgUp, PgDn и стрелки прокручивают стан.</p>"));
}

CMelody* CTinklaView::Melody() const
{
    return m_pDoc->GetCurrentMelody();
}

QSize CTinklaView::GetTotalSize() const
{
    return {kScrollWidth, Melody()->GetRows() * 100 + 132};
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
    h->setSingleStep(kScrollLineX);
    v->setRange(0, qMax(0, total.height() - page.height()));
    v->setPageStep(page.height());
    v->setSingleStep(kScrollLineY);
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
    // Drawn whole off screen, then copied: the staff never shows half drawn while keys repeat.
    const qreal dpr = viewport()->devicePixelRatioF();
    const QSize pixels(qCeil(kStaffPictureWidth * dpr), qCeil(StaffPictureHeight(*melody) * dpr));
    if (m_picture.size() != pixels)
        m_picture = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    m_picture.setDevicePixelRatio(dpr);
    const QColor paper = PaperColor();
    {
        QPainter picture(&m_picture);
        PaintMelody(picture, *melody, paper, palette().color(QPalette::Highlight));
    }
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), paper); // beside and below the picture
    painter.drawImage(-GetScrollPosition(), m_picture);
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
        m_pFrame->SetToneText(melody->GetNoteCode(selected), false);
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
    const bool inSight = x >= scroll.x() && x < scroll.x() + width - kVisibleMarginX &&
                         y >= scroll.y() && y < scroll.y() + height - kVisibleMarginY;
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
    const int result = RunPlayCommand(m_pDoc, this);
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
            to.ry() -= kScrollLineY;
            handled = vertical;
            break;
        case Qt::Key_Down:
            to.ry() += kScrollLineY;
            handled = vertical;
            break;
        case Qt::Key_Left:
            to.rx() -= kScrollLineX;
            handled = horizontal;
            break;
        case Qt::Key_Right:
            to.rx() += kScrollLineX;
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
    const QPoint doc = event->position().toPoint() + GetScrollPosition();
    Melody()->HitTest(doc.x(), doc.y());
    Repaint();
}

void CTinklaView::contextMenuEvent(QContextMenuEvent* event)
{
    CMelody* melody = Melody();
    QPoint at = event->globalPos();
    if (event->reason() == QContextMenuEvent::Mouse) {
        const QPoint doc = event->pos() + GetScrollPosition();
        melody->HitTest(doc.x(), doc.y());
        Repaint();
    } else {
        // From the keyboard there is no pointer to hit-test: the menu acts on the selection as
        // it is, and opens at the selected note when it is in sight, else at the view's corner.
        QPoint local(8, 8);
        if (melody->GetSelected() >= 0) {
            const Point pt = melody->GetNotePosition(melody->GetSelected());
            const QPoint note = QPoint(pt.x, pt.y + kVisibleMarginY) - GetScrollPosition();
            if (viewport()->rect().contains(note))
                local = note;
        }
        at = viewport()->mapToGlobal(local);
    }
    QMenu* menu = melody->GetSelected() >= 0 ? m_pFrame->NoteMenu() : m_pFrame->MelodyMenu();
    menu->exec(at);
}

} // namespace tinkla
