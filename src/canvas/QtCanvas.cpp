// The melody's drawing calls on a QPainter. Glyphs are pixel art made into images once; lines are
// filled pixel runs, so the staff stays crisp whatever the painter's render hints are.
#include "canvas/QtCanvas.h"

#include "canvas/GlyphArt.h"
#include "model/Melody.h"
#include "platform/Cp1251.h"

#include <QFontMetrics>
#include <QtMath>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <tuple>

namespace tinkla
{
namespace
{

const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kBlack = qRgb(0, 0, 0);

QColor ToQColor(Rgb c)
{
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// The glyph as its bitmap would hold it: red figure, black shadow one pixel right and below, on
// white. Ground enclosed by the figure (the hollow of a half note) gets no shadow: darkened, a
// small hollow would fill up and the note would read as a quarter.
QImage RawFromArt(const std::vector<std::string>& rows)
{
    const int height = static_cast<int>(rows.size());
    const int width = height ? static_cast<int>(rows[0].size()) : 0;
    QImage img(width, height, QImage::Format_RGB32);
    img.fill(kWhite);
    auto red = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < width && y < height &&
               rows[static_cast<size_t>(y)][static_cast<size_t>(x)] == '#';
    };
    // Ground reachable from the border without crossing the figure.
    std::vector<char> outside(static_cast<size_t>(width * height), 0);
    std::vector<QPoint> stack;
    for (int x = 0; x < width; ++x) {
        stack.emplace_back(x, 0);
        stack.emplace_back(x, height - 1);
    }
    for (int y = 0; y < height; ++y) {
        stack.emplace_back(0, y);
        stack.emplace_back(width - 1, y);
    }
    while (!stack.empty()) {
        const QPoint p = stack.back();
        stack.pop_back();
        if (p.x() < 0 || p.y() < 0 || p.x() >= width || p.y() >= height || red(p.x(), p.y()))
            continue;
        char& seen = outside[static_cast<size_t>(p.y() * width + p.x())];
        if (seen)
            continue;
        seen = 1;
        stack.emplace_back(p.x() + 1, p.y());
        stack.emplace_back(p.x() - 1, p.y());
        stack.emplace_back(p.x(), p.y() + 1);
        stack.emplace_back(p.x(), p.y() - 1);
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (red(x, y))
                img.setPixel(x, y, kRed);
            else if (outside[static_cast<size_t>(y * width + x)] &&
                     (red(x - 1, y) || red(x, y - 1) || red(x - 1, y - 1)))
                img.setPixel(x, y, kBlack);
        }
    }
    return img;
}

// White becomes transparent, as a masked image list with white as the mask colour draws it.
QImage Masked(const QImage& raw)
{
    QImage img = raw.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if ((line[x] & 0xFFFFFF) == (kWhite & 0xFFFFFF))
                line[x] = 0;
    }
    return img;
}

// The red figure in the highlight colour; the black shadow keeps the glyph's outline.
QImage Highlight(const QImage& masked, QRgb highlight)
{
    QImage img = masked;
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if (line[x] == (kRed | 0xFF000000u))
                line[x] = highlight | 0xFF000000u;
    }
    return img;
}

// Coverage of the art's figure at picture point (u, v), interpolated between pixel centres.
float Coverage(const QImage& raw, QRgb ink, float u, float v)
{
    auto at = [&](int x, int y) -> float {
        if (x < 0 || y < 0 || x >= raw.width() || y >= raw.height())
            return 0;
        return (raw.pixel(x, y) | 0xFF000000u) == (ink | 0xFF000000u) ? 1.0f : 0.0f;
    };
    const int x = int(std::floor(u)), y = int(std::floor(v));
    const float fx = u - float(x), fy = v - float(y);
    return (at(x, y) * (1 - fx) + at(x + 1, y) * fx) * (1 - fy) +
           (at(x, y + 1) * (1 - fx) + at(x + 1, y + 1) * fx) * fy;
}

// The raw glyph at scale: figure and shadow each follow the level-½ outline of their pixels, with
// a ramp one device pixel wide; at scale 1 this gives back the art itself.
QImage ScaleArt(const QImage& raw, qreal scale, QRgb figure)
{
    const QSize size(qCeil(raw.width() * scale), qCeil(raw.height() * scale));
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(0);
    const float s = float(scale);
    auto ramp = [s](float c) { return std::clamp((c - 0.5f) * s + 0.5f, 0.0f, 1.0f); };
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        const float v = (float(y) + 0.5f) / s - 0.5f;
        for (int x = 0; x < size.width(); ++x) {
            const float u = (float(x) + 0.5f) / s - 0.5f;
            const float f = ramp(Coverage(raw, kRed, u, v));
            const float b = ramp(Coverage(raw, kBlack, u, v)) * (1 - f);
            const float a = f + b;
            if (a <= 0)
                continue;
            auto channel = [&](int c) { return int(std::lround(c * f)); };
            line[x] = qRgba(channel(qRed(figure)), channel(qGreen(figure)), channel(qBlue(figure)),
                            int(std::lround(255 * a)));
        }
    }
    return img;
}

QString FamilyFor(const char* face)
{
    const QString name = QString::fromLatin1(face ? face : "");
    if (name.isEmpty() || name.startsWith(QLatin1String("Arial"), Qt::CaseInsensitive))
        return QStringLiteral("Liberation Sans");
    return name;
}

// Made once per record: the view draws the title on every paint.
const QFont& FontFor(const LogFont& lf)
{
    using Key = std::tuple<int, int, bool, bool, bool, QString>;
    static std::map<Key, QFont> cache;
    const QString family = FamilyFor(lf.faceName);
    const Key key{lf.height, lf.weight, lf.italic, lf.underline, lf.strikeOut, family};
    auto it = cache.find(key);
    if (it != cache.end())
        return it->second;

    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(
        static_cast<QFont::Weight>(std::clamp(lf.weight == 0 ? 400 : lf.weight, 1, 1000)));
    font.setItalic(lf.italic);
    font.setUnderline(lf.underline);
    font.setStrikeOut(lf.strikeOut);
    if (lf.height < 0) {
        font.setPixelSize(-lf.height);
    } else if (lf.height == 0) {
        font.setPixelSize(16);
    } else {
        // The largest em whose cell still fits the height asked for.
        int size = lf.height;
        for (; size > 1; --size) {
            font.setPixelSize(size);
            if (QFontMetrics(font).height() <= lf.height)
                break;
        }
        font.setPixelSize(size);
    }
    return cache.emplace(key, font).first->second;
}

} // namespace

QColor SelectionColor(QColor highlight)
{
    // A highlight colour near red (some themes have one) would hide the selection among the red
    // notes: such a colour gives way to a plain blue.
    const int dr = highlight.red() - 255, dg = highlight.green(), db = highlight.blue();
    return dr * dr + dg * dg + db * db >= 160 * 160 ? highlight : QColor(0, 90, 230);
}

QFont FontFromLogFont(const LogFont& font)
{
    return FontFor(font);
}

// --- GlyphSet ------------------------------------------------------------------------------------

GlyphSet::GlyphSet()
{
    for (int i = 0; i < kNoteGlyphCount; ++i) {
        m_noteRaw.push_back(RawFromArt(GlyphArt(GlyphList::Note, i)));
        m_note.push_back(Masked(m_noteRaw.back()));
    }
    for (int i = 0; i < kStaffGlyphCount; ++i) {
        m_staffRaw.push_back(RawFromArt(GlyphArt(GlyphList::Staff, i)));
        m_staff.push_back(Masked(m_staffRaw.back()));
    }
    m_noteHighlighted.resize(m_note.size());
    m_staffHighlighted.resize(m_staff.size());
}

const GlyphSet& GlyphSet::Instance()
{
    static const GlyphSet set;
    return set;
}

const QImage& GlyphSet::Glyph(GlyphList list, int index) const
{
    return list == GlyphList::Note ? m_note.at(static_cast<size_t>(index))
                                   : m_staff.at(static_cast<size_t>(index));
}

const QImage& GlyphSet::RawGlyph(GlyphList list, int index) const
{
    return list == GlyphList::Note ? m_noteRaw.at(static_cast<size_t>(index))
                                   : m_staffRaw.at(static_cast<size_t>(index));
}

const QImage& GlyphSet::Highlighted(GlyphList list, int index, QColor highlight) const
{
    const QRgb rgb = SelectionColor(highlight).rgb();
    if (rgb != m_blendColor) {
        for (QImage& img : m_noteHighlighted)
            img = QImage();
        for (QImage& img : m_staffHighlighted)
            img = QImage();
        m_blendColor = rgb;
    }
    QImage& done = list == GlyphList::Note ? m_noteHighlighted.at(static_cast<size_t>(index))
                                           : m_staffHighlighted.at(static_cast<size_t>(index));
    if (done.isNull())
        done = Highlight(Glyph(list, index), rgb);
    return done;
}

const QImage& GlyphSet::Scaled(GlyphList list, int index, qreal scale, QRgb figure) const
{
    const auto key = std::make_tuple(int(list), index, qRound(scale * 1000), figure | 0xFF000000u);
    auto it = m_scaled.find(key);
    if (it == m_scaled.end())
        it = m_scaled.emplace(key, ScaleArt(RawGlyph(list, index), scale, figure)).first;
    return it->second;
}

int GlyphSet::Count(GlyphList list) const
{
    return static_cast<int>(list == GlyphList::Note ? m_note.size() : m_staff.size());
}

// --- QtCanvas ------------------------------------------------------------------------------------

QtCanvas::QtCanvas(QPainter* painter, QColor highlight) : m_painter(painter), m_highlight(highlight)
{
}

void QtCanvas::Save()
{
    m_painter->save();
    m_saved.push_back(m_state);
}

void QtCanvas::Restore()
{
    if (m_saved.empty())
        return; // unbalanced: keep the painter's own stack intact
    m_painter->restore();
    m_state = m_saved.back();
    m_saved.pop_back();
}

void QtCanvas::SetFont(const LogFont& font)
{
    m_painter->setFont(FontFor(font));
}

void QtCanvas::SetTextAlign(int align)
{
    m_state.align = align;
}

void QtCanvas::SetTextColor(Rgb color)
{
    m_state.textColor = ToQColor(color);
}

void QtCanvas::SetBkMode(int mode)
{
    m_state.bkMode = mode;
}

void QtCanvas::TextOut(int x, int y, const QByteArray& cp1251)
{
    const QString text = Cp1251ToUnicode(cp1251);
    if (QFontMetrics(m_painter->font()).horizontalAdvance(text) > kWidestText) {
        QFont font = m_painter->font();
        while (font.pixelSize() > 6 && QFontMetrics(font).horizontalAdvance(text) > kWidestText)
            font.setPixelSize(font.pixelSize() - 1);
        m_painter->setFont(font);
    }
    const QFontMetrics fm(m_painter->font());
    const int width = fm.horizontalAdvance(text);
    // TA_CENTER = 6 and TA_RIGHT = 2 share bit 1; TA_BASELINE = 24 and TA_BOTTOM = 8 share bit 3.
    int left = x;
    if ((m_state.align & 6) == 6)
        left = x - width / 2;
    else if (m_state.align & 2)
        left = x - width;
    int top = y;
    if ((m_state.align & 24) == 24)
        top = y - fm.ascent();
    else if (m_state.align & 8)
        top = y - fm.height();
    if (m_state.bkMode != kBkModeTransparent)
        m_painter->fillRect(QRect(left, top, width, fm.height()), Qt::white);
    m_painter->setPen(m_state.textColor);
    m_painter->drawText(QPoint(left, top + fm.ascent()), text);
}

void QtCanvas::SetPen(int style, int width, Rgb color)
{
    m_state.penStyle = style;
    m_state.penWidth = width < 1 ? 1 : width;
    m_state.penColor = ToQColor(color);
}

void QtCanvas::MoveTo(int x, int y)
{
    m_cur = QPoint(x, y);
}

void QtCanvas::LineTo(int x, int y)
{
    Line(m_cur, QPoint(x, y));
    m_cur = QPoint(x, y);
}

void QtCanvas::Line(QPoint from, QPoint to)
{
    constexpr int kNullPen = 5; // PS_NULL
    if (m_state.penStyle == kNullPen || from == to)
        return;
    const QColor color = m_state.penColor;
    if (m_painter->worldTransform().isScaling() && (from.x() == to.x() || from.y() == to.y())) {
        ScaledLine(from, to);
        return;
    }
    if (m_state.penWidth > 1) {
        m_painter->save();
        m_painter->setRenderHint(QPainter::Antialiasing, false);
        m_painter->setPen(QPen(color, m_state.penWidth, Qt::SolidLine, Qt::FlatCap));
        m_painter->drawLine(from, to);
        m_painter->restore();
        return;
    }
    if (from.y() == to.y()) {
        const int x0 = to.x() > from.x() ? from.x() : to.x() + 1;
        m_painter->fillRect(QRect(x0, from.y(), std::abs(to.x() - from.x()), 1), color);
        return;
    }
    if (from.x() == to.x()) {
        const int y0 = to.y() > from.y() ? from.y() : to.y() + 1;
        m_painter->fillRect(QRect(from.x(), y0, 1, std::abs(to.y() - from.y())), color);
        return;
    }
    // Bresenham, stopping one pixel short of the end as a device context does.
    const int dx = std::abs(to.x() - from.x()), sx = from.x() < to.x() ? 1 : -1;
    const int dy = -std::abs(to.y() - from.y()), sy = from.y() < to.y() ? 1 : -1;
    int err = dx + dy;
    QPoint p = from;
    std::vector<QPoint> points;
    while (p != to) {
        points.push_back(p);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            p.rx() += sx;
        }
        if (e2 <= dx) {
            err += dx;
            p.ry() += sy;
        }
    }
    m_painter->save();
    m_painter->setRenderHint(QPainter::Antialiasing, false);
    m_painter->setPen(QPen(color, 1));
    m_painter->drawPoints(points.data(), static_cast<int>(points.size()));
    m_painter->restore();
}

void QtCanvas::ScaledLine(QPoint from, QPoint to)
{
    // The picture pixels the line covers, [lo, hi) along it, then in whole device pixels: every
    // line as thick as the scale rounds to, whatever its position.
    const QTransform t = m_painter->worldTransform();
    const bool horizontal = from.y() == to.y();
    const int a = horizontal ? from.x() : from.y(), b = horizontal ? to.x() : to.y();
    const int lo = b > a ? a : b + 1, hi = b > a ? b : a + 1;
    const int across = horizontal ? from.y() : from.x();
    const qreal scale = horizontal ? t.m22() : t.m11(), along = horizontal ? t.m11() : t.m22();
    const qreal shift = horizontal ? t.dy() : t.dx(), shiftAlong = horizontal ? t.dx() : t.dy();
    const int thick = qMax(1, qRound(scale * m_state.penWidth));
    const int start = qRound(across * scale + shift);
    const int d0 = qRound(lo * along + shiftAlong), d1 = qRound(hi * along + shiftAlong);
    const QRect r =
        horizontal ? QRect(d0, start, d1 - d0, thick) : QRect(start, d0, thick, d1 - d0);
    // The transform alone is put back: a whole save and restore per line costs more than the line.
    m_painter->setWorldTransform(QTransform());
    m_painter->fillRect(r, m_state.penColor);
    m_painter->setWorldTransform(t);
}

void QtCanvas::DrawGlyph(GlyphList list, int index, int x, int y, int style)
{
    const GlyphSet& glyphs = GlyphSet::Instance();
    if (index < 0 || index >= glyphs.Count(list))
        return;
    const QTransform t = m_painter->worldTransform();
    if (t.isScaling()) {
        // Drawn at the device's own resolution, placed on the device pixel nearest its corner.
        const QRgb figure = style == kGlyphSelected ? SelectionColor(m_highlight).rgb() : kRed;
        const QPoint at(qRound(x * t.m11() + t.dx()), qRound(y * t.m22() + t.dy()));
        m_painter->setWorldTransform(QTransform());
        m_painter->drawImage(at, glyphs.Scaled(list, index, t.m11(), figure));
        m_painter->setWorldTransform(t);
        return;
    }
    m_painter->drawImage(QPoint(x, y), style == kGlyphSelected
                                           ? glyphs.Highlighted(list, index, m_highlight)
                                           : glyphs.Glyph(list, index));
}

// --- the picture ---------------------------------------------------------------------------------

int StaffPictureHeight(const CMelody& melody)
{
    return std::max(melody.GetRows(), 0) * 100 + 232;
}

QRect PlayingMarkRect(int index)
{
    // The column's width (45) and the row's height (100), from well above the staff to the
    // lowest ledger note's foot.
    return {(index % kNotesPerRow) * 45 + 90 - 20, (index / kNotesPerRow) * 100 + 132 - 30, 45,
            100};
}

void PaintMelody(QPainter& painter, CMelody& melody, QColor background, QColor highlight,
                 int playing)
{
    painter.save();
    painter.fillRect(QRect(0, 0, kStaffPictureWidth, StaffPictureHeight(melody)), background);
    if (playing >= 0 && playing < melody.GetNoteCount())
        painter.fillRect(PlayingMarkRect(playing), kPlayingMarkColor);
    QtCanvas canvas(&painter, highlight);
    melody.Draw(canvas);
    painter.restore();
}

QImage RenderMelody(CMelody& melody, QColor background, QColor highlight, qreal scale)
{
    QImage image(qCeil(kStaffPictureWidth * scale), qCeil(StaffPictureHeight(melody) * scale),
                 QImage::Format_RGB32);
    QPainter painter(&image);
    if (scale != 1)
        painter.scale(scale, scale);
    PaintMelody(painter, melody, background, highlight);
    painter.end();
    return image;
}

} // namespace tinkla
