#pragma once
// The staff picture on a QPainter: the melody's drawing calls turned into painting, with the
// thirteen glyphs masked (white is transparent) and the selected note's figure in the palette's
// highlight colour.
#include "model/Canvas.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <map>
#include <tuple>
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
    // The glyph with its figure in highlight (the selected look); shadow and ground stay as they
    // are. A highlight too close to the figure's red gives way to a blue that stands out. Made
    // on first use and kept for the last highlight colour.
    const QImage& Highlighted(GlyphList list, int index, QColor highlight) const;
    int Count(GlyphList list) const;
    // The glyph drawn afresh at scale (device pixels per picture pixel), the figure in figure:
    // the art's outline followed at that resolution, so diagonals stay smooth and one-pixel
    // stems stay one picture pixel wide, with a pixel of antialiasing at the edges. Made on first
    // use and kept per scale and colour.
    const QImage& Scaled(GlyphList list, int index, qreal scale, QRgb figure) const;

private:
    GlyphSet();
    std::vector<QImage> m_note, m_staff, m_noteRaw, m_staffRaw;
    mutable QRgb m_blendColor = 0;
    mutable std::vector<QImage> m_noteHighlighted, m_staffHighlighted; // null until used
    mutable std::map<std::tuple<int, int, int, QRgb>, QImage> m_scaled;
};

class QtCanvas : public Canvas
{
public:
    // highlight: the colour of a selected glyph's figure (the palette's highlight).
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
    // The same on a scaled painter: the run's pixels mapped to whole device pixels, every line
    // equally thick.
    void ScaledLine(QPoint from, QPoint to);
    QPainter* m_painter;
    QColor m_highlight;
    QPoint m_cur;
    State m_state;
    std::vector<State> m_saved;
};

// The colour a selected note's figure takes for the palette's highlight.
QColor SelectionColor(QColor highlight);

// The face a font record asks for, as this desktop has it: "Arial Cyr" and Arial become the
// metric-compatible Liberation Sans. A positive height is the character cell (ascent + descent),
// a negative one the em size, 0 a default 16 pixels.
QFont FontFromLogFont(const LogFont& font);

// Width of the staff picture: wide enough for the right bar line at x = 609.
constexpr int kStaffPictureWidth = 632;
// Height of a melody's picture: rows × 100 + 232.
int StaffPictureHeight(const CMelody& melody);
// A text wider than this is drawn in a smaller font until it fits (a long title of wide letters).
constexpr int kWidestText = kStaffPictureWidth - 12;
// Fills the picture's area with background and draws the melody into painter (document coords).
// playing: the note the playback sounds, marked by a band behind its column; -1 for none.
void PaintMelody(QPainter& painter, CMelody& melody, QColor background, QColor highlight,
                 int playing = -1);
// The band behind note index's column in its row (document coords).
QRect PlayingMarkRect(int index);
// The colour of that band: warm, apart from the selection's highlight and the red notes.
inline const QColor kPlayingMarkColor(255, 224, 130);
// The whole picture as an image (for PNG export and tests), scale device pixels per picture pixel:
// ⌈632·scale⌉ × ⌈height·scale⌉.
QImage RenderMelody(CMelody& melody, QColor background = Qt::white,
                    QColor highlight = QColor(0, 120, 215), qreal scale = 1);

} // namespace tinkla
