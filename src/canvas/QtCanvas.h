#pragma once
// The staff picture on a QPainter: the melody's drawing calls turned into painting, with the
// thirteen glyphs masked (white is transparent) and the selected note blended 25 % with the
// palette's highlight colour.
#include "model/Canvas.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <vector>

namespace tinkla
{

class CMelody;

// The glyph images, made once: 11 note glyphs (21 × 31) and 2 staff glyphs (35 × 69), in the
// order the drawing indexes them. Format ARGB32 (premultiplied) with white already made
// transparent. Used from the GUI thread only.
class GlyphSet
{
public:
    static const GlyphSet& Instance();
    // index must be below Count(list).
    const QImage& Glyph(GlyphList list, int index) const;
    // The raw glyph on white, as a glyph bitmap holds it (for checking the art).
    const QImage& RawGlyph(GlyphList list, int index) const;
    // The glyph with its figure blended 25 % with highlight (the selected look); the transparent
    // ground stays transparent. Made on first use and kept for the last highlight colour.
    const QImage& Blended(GlyphList list, int index, QColor highlight) const;
    int Count(GlyphList list) const;

private:
    GlyphSet();
    std::vector<QImage> m_note, m_staff, m_noteRaw, m_staffRaw;
    mutable QRgb m_blendColor = 0;
    mutable std::vector<QImage> m_noteBlended, m_staffBlended; // null until used
};

class QtCanvas : public Canvas
{
public:
    // highlight: the colour a selected glyph is blended with (the palette's highlight).
    QtCanvas(QPainter* painter, QColor highlight);

    void Save() override;
    void Restore() override;
    void SetFont(const LogFont& font) override;
    void SetTextAlign(int align) override;
    void SetTextColor(Rgb color) override;
    void SetBkMode(int mode) override;
    void TextOut(int x, int y, const QByteArray& cp1251) override;
    void SetPen(int style, int width, Rgb color) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void DrawGlyph(GlyphList list, int index, int x, int y, int style) override;

private:
    // What Save and Restore keep besides the painter's own state; the defaults are a fresh
    // device context's: left/top alignment, black text, opaque white text background, black pen.
    struct State {
        int align = 0;
        QColor textColor = Qt::black;
        int bkMode = 2;
        QColor penColor = Qt::black;
        int penStyle = 0;
        int penWidth = 1;
    };
    void Line(QPoint from, QPoint to); // from painted, to not
    QPainter* m_painter;
    QColor m_highlight;
    QPoint m_cur;
    State m_state;
    std::vector<State> m_saved;
};

// The face a font record asks for, as this desktop has it: "Arial Cyr" and Arial become the
// metric-compatible Liberation Sans. A positive height is the character cell (ascent + descent),
// a negative one the em size, 0 a default 16 pixels.
QFont FontFromLogFont(const LogFont& font);

// Width of the staff picture: wide enough for the right bar line at x = 609.
constexpr int kStaffPictureWidth = 632;
// Height of a melody's picture: rows × 100 + 232.
int StaffPictureHeight(const CMelody& melody);
// Fills the picture's area with background and draws the melody into painter (document coords).
void PaintMelody(QPainter& painter, CMelody& melody, QColor background, QColor highlight);
// The whole picture as an image (for PNG export and tests).
QImage RenderMelody(CMelody& melody, QColor background = Qt::white,
                    QColor highlight = QColor(0, 120, 215));

} // namespace tinkla
