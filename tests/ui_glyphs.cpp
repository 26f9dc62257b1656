// The staff picture as pixels: the thirteen glyphs' shapes and colours, heads on the right lines
// and spaces, crisp staff lines, the tinted selection, and the png command of tinkla-cli.
#include "document/TinklaDoc.h"
#include "support/ScriptedPrompter.h"
#include "ui/GlyphArt.h"
#include "ui/QtCanvas.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>
#include <set>

using namespace tinkla;

namespace
{

const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kBlack = qRgb(0, 0, 0);

QRgb Px(const QImage& img, int x, int y)
{
    return img.pixel(x, y) | 0xFF000000u;
}

// Bounding box of the pixels in rect (default: the whole image) that are not white.
QRect InkBox(const QImage& img, QRect rect = {})
{
    if (rect.isNull())
        rect = img.rect();
    QRect box;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (Px(img, x, y) != kWhite)
                box |= QRect(x, y, 1, 1);
    return box;
}

// White pixels of rect that a flood from the image border through white cannot reach: the
// hollows of the figure.
int EnclosedWhite(const QImage& img, QRect rect)
{
    const int w = img.width(), h = img.height();
    std::vector<char> seen(static_cast<size_t>(w * h), 0);
    std::vector<QPoint> stack;
    for (int x = 0; x < w; ++x)
        stack.insert(stack.end(), {QPoint(x, 0), QPoint(x, h - 1)});
    for (int y = 0; y < h; ++y)
        stack.insert(stack.end(), {QPoint(0, y), QPoint(w - 1, y)});
    while (!stack.empty()) {
        const QPoint p = stack.back();
        stack.pop_back();
        if (!img.rect().contains(p) || Px(img, p.x(), p.y()) != kWhite)
            continue;
        char& s = seen[static_cast<size_t>(p.y() * w + p.x())];
        if (s)
            continue;
        s = 1;
        stack.insert(stack.end(), {QPoint(p.x() + 1, p.y()), QPoint(p.x() - 1, p.y()),
                                   QPoint(p.x(), p.y() + 1), QPoint(p.x(), p.y() - 1)});
    }
    int n = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            n += Px(img, x, y) == kWhite && !seen[static_cast<size_t>(y * w + x)];
    return n;
}

// Separate runs of red along row y.
int RedRuns(const QImage& img, int y)
{
    int runs = 0;
    bool in = false;
    for (int x = 0; x < img.width(); ++x) {
        const bool red = Px(img, x, y) == kRed;
        runs += red && !in;
        in = red;
    }
    return runs;
}

const QImage& Raw(GlyphList list, int index)
{
    return GlyphSet::Instance().RawGlyph(list, index);
}

struct AllGlyphs {
    GlyphList list;
    int index;
};

std::vector<AllGlyphs> EveryGlyph()
{
    std::vector<AllGlyphs> all;
    for (int i = 0; i < kNoteGlyphCount; ++i)
        all.push_back({GlyphList::Note, i});
    for (int i = 0; i < kStaffGlyphCount; ++i)
        all.push_back({GlyphList::Staff, i});
    return all;
}

// Position on the staff counted in diatonic steps up from E4 (the bottom line), from the pitch
// itself: tone code 0 is G#3, MIDI 56. Sharps share the step of their natural.
int StepsAboveE4(int tone)
{
    static const int letter[12] = {0, 0, 1, 1, 2, 3, 3, 4, 4, 5, 5, 6}; // C C# D D# E F F# ...
    const int midi = 56 + tone;
    return 7 * (midi / 12 - 1) + letter[midi % 12] - (7 * 4 + 2);
}

bool IsSharp(int tone)
{
    return std::strchr(g_szNoteNames[tone % 12], '#') != nullptr;
}

} // namespace

// --- the glyph images ---------------------------------------------------------------------------

TEST(Glyphs, CellsHaveTheirFixedSizes)
{
    const GlyphSet& g = GlyphSet::Instance();
    ASSERT_EQ(g.Count(GlyphList::Note), 11);
    ASSERT_EQ(g.Count(GlyphList::Staff), 2);
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(g.Glyph(GlyphList::Note, i).size(), QSize(21, 31)) << i;
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(g.Glyph(GlyphList::Staff, i).size(), QSize(35, 69)) << i;
}

TEST(Glyphs, RedFiguresWithABlackShadowRightAndBelowOnWhite)
{
    for (const AllGlyphs& a : EveryGlyph()) {
        SCOPED_TRACE(::testing::Message() << "list " << int(a.list) << " glyph " << a.index);
        const QImage& raw = Raw(a.list, a.index);
        const QImage& masked = GlyphSet::Instance().Glyph(a.list, a.index);
        int red = 0, black = 0;
        for (int y = 0; y < raw.height(); ++y) {
            for (int x = 0; x < raw.width(); ++x) {
                const QRgb c = Px(raw, x, y);
                ASSERT_TRUE(c == kWhite || c == kRed || c == kBlack) << x << "," << y;
                red += c == kRed;
                if (c == kBlack) {
                    ++black;
                    const bool castByRed = (x > 0 && Px(raw, x - 1, y) == kRed) ||
                                           (y > 0 && Px(raw, x, y - 1) == kRed) ||
                                           (x > 0 && y > 0 && Px(raw, x - 1, y - 1) == kRed);
                    EXPECT_TRUE(castByRed) << "stray black at " << x << "," << y;
                }
                // Below and right of the figure's edge there is always shadow or figure.
                if (c == kRed && x + 1 < raw.width() && y + 1 < raw.height() &&
                    EnclosedWhite(raw, QRect(x + 1, y + 1, 1, 1)) == 0) {
                    EXPECT_NE(Px(raw, x + 1, y + 1), kWhite) << "no shadow at " << x << "," << y;
                }
                EXPECT_EQ(qAlpha(masked.pixel(x, y)) == 0, c == kWhite) << x << "," << y;
            }
        }
        EXPECT_GT(red, 0);
        EXPECT_GT(black, 0);
    }
}

struct HeadCase {
    int index;
    bool stemUp;
    bool hollow;
    bool stem;
};

class NoteGlyphShape : public ::testing::TestWithParam<HeadCase>
{
};

TEST_P(NoteGlyphShape, HeadInItsCornerStemOnTheEngravedSide)
{
    const HeadCase& c = GetParam();
    const QImage& raw = Raw(GlyphList::Note, c.index);
    const QRect band = c.stemUp ? QRect(0, 21, 21, 10) : QRect(0, 0, 21, 10);
    // The head band holds the head and nothing wider (a stem-up flag must not reach down to it).
    EXPECT_EQ(InkBox(raw, band), QRect(QPoint(0, band.top()), QPoint(11, band.bottom())));
    EXPECT_EQ(EnclosedWhite(raw, QRect(0, band.top(), 12, 10)) > 0, c.hollow);
    const QRect box = InkBox(raw);
    if (!c.stem) {
        EXPECT_EQ(box, QRect(QPoint(0, band.top()), QPoint(11, band.bottom())));
        return;
    }
    // The stem rises from the head's right side, or falls from its left side, most of the cell.
    const int stemX = c.stemUp ? 10 : 0;
    int stemRows = 0;
    for (int y = 0; y < 31; ++y)
        stemRows += Px(raw, stemX, y) == kRed;
    EXPECT_GE(stemRows, 24);
    EXPECT_EQ(c.stemUp ? box.top() : box.bottom(), c.stemUp ? 0 : 30);
}

INSTANTIATE_TEST_SUITE_P(
    Notes, NoteGlyphShape,
    ::testing::Values(HeadCase{0, true, true, false}, HeadCase{1, true, true, true},
                      HeadCase{2, true, false, true}, HeadCase{3, true, false, true},
                      HeadCase{4, true, false, true}, HeadCase{5, false, true, false},
                      HeadCase{6, false, true, true}, HeadCase{7, false, false, true},
                      HeadCase{8, false, false, true}, HeadCase{9, false, false, true}));

TEST(Glyphs, FlagsCountTheLength)
{
    // Flags stand off the stem: count the separate red runs along a column two pixels away.
    // Only the rows away from the head.
    auto flagsAlong = [](int index, int column) {
        const QImage& raw = Raw(GlyphList::Note, index);
        const bool stemUp = index < 5;
        int runs = 0;
        bool in = false;
        for (int y = stemUp ? 0 : 10; y < (stemUp ? 21 : 31); ++y) {
            const bool red = Px(raw, column, y) == kRed;
            runs += red && !in;
            in = red;
        }
        return runs;
    };
    EXPECT_EQ(flagsAlong(2, 12), 0);
    EXPECT_EQ(flagsAlong(3, 12), 1);
    EXPECT_EQ(flagsAlong(4, 12), 2);
    EXPECT_EQ(flagsAlong(7, 2), 0);
    EXPECT_EQ(flagsAlong(8, 2), 1);
    EXPECT_EQ(flagsAlong(9, 2), 2);
}

TEST(Glyphs, SharpIs26RowsBy16Columns)
{
    EXPECT_EQ(InkBox(Raw(GlyphList::Note, kSharpGlyph)), QRect(0, 0, 16, 26));
}

TEST(Glyphs, FinalBarIsAThinAndAThickBar)
{
    const QImage& raw = Raw(GlyphList::Staff, 1);
    EXPECT_EQ(InkBox(raw), QRect(QPoint(15, 14), QPoint(25, 50)));
    std::set<int> columns;
    for (int x = 0; x < raw.width(); ++x)
        for (int y = 0; y < raw.height(); ++y)
            if (Px(raw, x, y) != kWhite)
                columns.insert(x);
    EXPECT_EQ(columns, (std::set<int>{15, 16, 20, 21, 22, 23, 24, 25}));
}

TEST(Glyphs, ClefRisesAboveTheStaffAndCurlsRoundTheGLine)
{
    const QImage& raw = Raw(GlyphList::Staff, 0);
    const QRect box = InkBox(raw);
    // Staff lines fall on rows 15, 24, 33, 42 and 51 of the cell.
    EXPECT_LE(box.top(), 3);
    EXPECT_GE(box.bottom(), 63);
    EXPECT_LE(box.left(), 4);
    EXPECT_GE(box.right(), 30);
    EXPECT_EQ(RedRuns(raw, 8), 2);  // the two sides of the top loop
    EXPECT_GE(RedRuns(raw, 42), 3); // bowl, curl, bowl on the G line
    EXPECT_GE(RedRuns(raw, 60), 2); // tail and its ball
}

// --- the picture --------------------------------------------------------------------------------

TEST(StaffPicture, HasTheViewSizeForItsRows)
{
    for (int notes : {0, 11, 12, 255}) {
        CMelody m;
        for (int i = 0; i < notes; ++i)
            m.AppendNote(11 * 8 + 2);
        EXPECT_EQ(RenderMelody(m).size(), QSize(632, m.GetRows() * 100 + 232)) << notes;
    }
}

TEST(StaffPicture, TitleFontIsLiberationSansWithA36PixelCell)
{
    const QFont font = FontFromLogFont(LogFont{});
    EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(QFontMetrics(font).height(), 36);
}

TEST(StaffPicture, TitleIsCentredRedWithABlackShadow)
{
    CMelody m; // "Новая мелодия"
    const QImage img = RenderMelody(m);
    // Text is antialiased: count full-strength red and near-black pixels.
    QRect red, dark;
    for (int y = 30; y < 100; ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = Px(img, x, y);
            if (qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60)
                red |= QRect(x, y, 1, 1);
            else if (qRed(c) < 60 && qGreen(c) < 60 && qBlue(c) < 60)
                dark |= QRect(x, y, 1, 1);
        }
    ASSERT_FALSE(red.isNull());
    ASSERT_FALSE(dark.isNull());
    EXPECT_NEAR(red.center().x(), 315, 2);
    EXPECT_GE(red.top(), 43);
    EXPECT_LT(red.bottom(), 43 + 36);
    EXPECT_GT(red.width(), 150);
    // The shadow shows one pixel right of and below the red.
    EXPECT_EQ(dark.right(), red.right() + 1);
    EXPECT_EQ(dark.bottom(), red.bottom() + 1);
}

TEST(StaffPicture, StaffLinesAreCrispAndStopShortOfTheirEnd)
{
    CMelody m;
    const QImage img = RenderMelody(m);
    const int y0 = 132;
    for (int k = 0; k < 5; ++k)
        for (int x = 24; x <= 608; ++x)
            if ((x < 29 || x > 63) && (x < 89 || x > 99)) { // the clef, the end mark
                ASSERT_EQ(Px(img, x, y0 + 9 * k), kBlack) << x << "," << y0 + 9 * k;
            }
    for (int y = y0; y < y0 + 36; ++y) {
        EXPECT_EQ(Px(img, 24, y), kBlack);
        EXPECT_EQ(Px(img, 609, y), kBlack);
    }
    EXPECT_EQ(Px(img, 609, y0 + 36), kWhite); // neither the bottom line nor the bar reaches it
    EXPECT_EQ(Px(img, 23, y0), kWhite);
    EXPECT_EQ(Px(img, 610, y0), kWhite);
    // Below the title nothing is half-tone: lines and glyphs are drawn without antialiasing.
    for (int y = 100; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = Px(img, x, y);
            ASSERT_TRUE(c == kWhite || c == kBlack || c == kRed) << x << "," << y;
        }
}

// A quarter note of every tone, one per column: the head on its line or space, the stem on the
// engraved side, a sharp in front of every sharpened pitch.
TEST(StaffPicture, EveryToneReadsAsItsPitch)
{
    CMelody m;
    for (int t = 0; t < kToneCount; ++t)
        m.AppendNote(static_cast<BYTE>(t * 8 + 2));
    const QImage img = RenderMelody(m);
    for (int t = 0; t < kToneCount; ++t) {
        SCOPED_TRACE(::testing::Message() << "tone " << t);
        const int x = 90 + 45 * (t % 12);
        const int y0 = 132 + 100 * (t / 12);
        const int rowTop = y0 - 35, rowBottom = y0 + 70; // this staff's notes only
        // Head rows: where the red is at least six pixels wide within the head's columns.
        int first = -1, last = -1;
        for (int y = rowTop; y <= rowBottom; ++y) {
            int red = 0;
            for (int dx = 0; dx <= 11; ++dx)
                red += Px(img, x + dx, y) == kRed;
            if (red >= 6) {
                if (first < 0)
                    first = y;
                last = y;
            }
        }
        ASSERT_GE(first, 0);
        EXPECT_LE(last - first, 8);
        const double centre = (first + last) / 2.0;
        const double expected = y0 + 36 - 4.5 * StepsAboveE4(t);
        EXPECT_LE(std::abs(centre - expected), 0.5) << "head centre " << centre;

        const bool stemUp = t <= 14; // B4, the middle line, and above: stem down
        int stem = 0;
        for (int y = rowTop; y <= rowBottom; ++y) {
            if (stemUp && y < first - 4)
                stem += Px(img, x + 10, y) == kRed;
            if (!stemUp && y > last + 4)
                stem += Px(img, x, y) == kRed;
        }
        EXPECT_GE(stem, 15);

        int sharp = 0;
        for (int y = first - 6; y <= last + 6; ++y)
            for (int sx = x - 17; sx <= x - 2; ++sx)
                sharp += Px(img, sx, y) == kRed;
        EXPECT_EQ(sharp > 0, IsSharp(t)) << sharp;
    }
}

TEST(StaffPicture, HeadsFillTheirSpace)
{
    CMelody m;
    m.AppendNote(13 * 8 + 2); // A4: second space from the bottom
    m.AppendNote(20 * 8 + 2); // E5: top space
    const QImage img = RenderMelody(m);
    const int y0 = 132;
    // The head's red, leaving out the stem's column; the shadow adds the row below.
    auto redBox = [&](QRect r) {
        QRect box;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (Px(img, x, y) == kRed)
                    box |= QRect(x, y, 1, 1);
        return box;
    };
    const QRect a4 = redBox(QRect(90, y0 + 5, 10, 30));
    EXPECT_EQ(a4.top(), y0 + 18);
    EXPECT_EQ(a4.bottom() + 1, y0 + 27);
    const QRect e5 = redBox(QRect(136, y0 - 8, 11, 18));
    EXPECT_EQ(e5.top(), y0);
    EXPECT_EQ(e5.bottom() + 1, y0 + 9);
}

TEST(StaffPicture, SelectionTintsGlyphAndSharpButNotLedgerLines)
{
    CMelody m;
    m.AppendNote(0 * 8 + 2); // G#3: two ledger lines and a sharp
    m.AppendNote(0 * 8 + 2);
    m.Select(0);
    const QColor highlight(0, 0, 255);
    const QImage img = RenderMelody(m, Qt::white, highlight);
    const QRgb tintedRed = qRgb(191, 0, 64);
    const QRgb tintedBlack = qRgb(0, 0, 64);
    auto count = [&](QRect r, QRgb c) {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                n += Px(img, x, y) == c;
        return n;
    };
    const int y = 132 + g_nStaffOffsets[0];
    const QRect first(90 - 17, y, 17 + 21, 31 + 12 + 26);
    const QRect second = first.translated(45, 0);
    EXPECT_GT(count(first, tintedRed), 50);
    EXPECT_GT(count(first, tintedBlack), 20);
    EXPECT_EQ(count(first, kRed), 0);
    EXPECT_EQ(count(second, tintedRed), 0);
    EXPECT_GT(count(second, kRed), 50);
    // The ledger lines at y0 + 45 and y0 + 54 start 4 pixels left of the glyph, in black.
    EXPECT_EQ(Px(img, 90 - 4, 132 + 45), kBlack);
    EXPECT_EQ(Px(img, 90 - 4, 132 + 54), kBlack);
}

// --- tinkla-cli png -----------------------------------------------------------------------------

namespace
{

QString CliPath()
{
    const QByteArray env = qgetenv("TINKLA_CLI");
    return env.isEmpty() ? QStringLiteral(TINKLA_BINARY_DIR "/tinkla-cli")
                         : QString::fromLocal8Bit(env);
}

int RunCli(const QStringList& args, QString* err = nullptr)
{
    QProcess p;
    p.start(CliPath(), args);
    if (!p.waitForFinished(30000))
        return -1;
    if (err)
        *err = QString::fromUtf8(p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

class PngCommand : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        test::ScriptedPrompter prompter;
        CTinklaDoc doc(&prompter);
        ASSERT_TRUE(doc.OnNewDocument()); // 8 melodies of up to 31 notes
        CMelody* m = doc.GetMelody(1);
        for (int t : {0, 13, 20, 31})
            m->AppendNote(static_cast<BYTE>(t * 8 + t % 5));
        set = dir.filePath(QStringLiteral("set.fml"));
        ASSERT_TRUE(doc.OnSaveDocument(set));
        melody = *m;
    }
    QTemporaryDir dir;
    QString set;
    CMelody melody;
};

} // namespace

TEST_F(PngCommand, DrawsTheMelodyAsTheEditorDoes)
{
    const QString out = dir.filePath(QStringLiteral("m2.png"));
    ASSERT_EQ(RunCli({QStringLiteral("png"), set, QStringLiteral("2"), out}), 0);
    const QImage png(out);
    ASSERT_FALSE(png.isNull());
    const QImage expected = RenderMelody(melody).convertToFormat(png.format());
    EXPECT_EQ(png, expected);
}

TEST_F(PngCommand, SelectTintsOnlyThatNote)
{
    const QString plain = dir.filePath(QStringLiteral("plain.png"));
    const QString sel = dir.filePath(QStringLiteral("sel.png"));
    ASSERT_EQ(RunCli({QStringLiteral("png"), set, QStringLiteral("2"), plain}), 0);
    ASSERT_EQ(RunCli({QStringLiteral("png"), set, QStringLiteral("2"), sel,
                      QStringLiteral("--select"), QStringLiteral("2")}),
              0);
    const QImage a(plain), b(sel);
    ASSERT_EQ(a.size(), b.size());
    QRect changed;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                changed |= QRect(x, y, 1, 1);
    // Note 2 (E5) has its glyph at (180, 132): only its cell changes.
    ASSERT_FALSE(changed.isNull());
    EXPECT_TRUE(QRect(180, 132, 21, 31).contains(changed)) << changed.x() << "," << changed.y();
}

struct PngRefusal {
    const char* what;
    QStringList args; // %SET and %OUT stand for the set file and the output path
    int exitCode;
};

class PngRefuses : public PngCommand, public ::testing::WithParamInterface<PngRefusal>
{
};

TEST_P(PngRefuses, WithoutWritingAFile)
{
    const QString out = dir.filePath(QStringLiteral("out.png"));
    QStringList args{QStringLiteral("png")};
    for (QString a : GetParam().args)
        args << a.replace(QStringLiteral("%SET"), set).replace(QStringLiteral("%OUT"), out);
    QString err;
    EXPECT_EQ(RunCli(args, &err), GetParam().exitCode) << GetParam().what;
    EXPECT_FALSE(err.isEmpty());
    EXPECT_FALSE(QFile::exists(out));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PngRefuses,
    ::testing::Values(
        PngRefusal{"too few arguments", {"%SET", "2"}, 2},
        PngRefusal{"melody number not a number", {"%SET", "two", "%OUT"}, 2},
        PngRefusal{"no such melody", {"%SET", "9", "%OUT"}, 1},
        PngRefusal{"no such note", {"%SET", "2", "%OUT", "--select", "4"}, 1},
        PngRefusal{"empty melody has nothing to select", {"%SET", "1", "%OUT", "--select", "0"}, 1},
        PngRefusal{"negative note", {"%SET", "2", "%OUT", "--select", "-1"}, 2},
        PngRefusal{"unknown option", {"%SET", "2", "%OUT", "--colour", "red"}, 2},
        PngRefusal{"missing set", {"%SET.missing", "2", "%OUT"}, 1}));

TEST_F(PngCommand, UnwritablePathFails)
{
    QString err;
    EXPECT_EQ(RunCli({QStringLiteral("png"), set, QStringLiteral("2"),
                      dir.filePath(QStringLiteral("no/such/dir/out.png"))},
                     &err),
              1);
    EXPECT_TRUE(err.contains(QStringLiteral("cannot write"))) << err.toStdString();
}
