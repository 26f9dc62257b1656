// The staff picture as pixels: the thirteen glyphs' shapes and colours, heads filling their
// space, crisp staff lines, the coloured selection, and the png command of tinkla-cli.
#include "canvas/GlyphArt.h"
#include "canvas/QtCanvas.h"
#include "ui_editor_support.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QProcess>
#include <cmath>
#include <set>

using namespace tinkla;
using tinkla::test::kRowName;
using tinkla::test::PrintTo; // rows outside the unnamed namespaces

namespace
{

const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kBlack = qRgb(0, 0, 0);

QRgb Px(const QImage& img, int x, int y)
{
    return img.pixel(x, y) | 0xFF000000u;
}

// Bounding box of the pixels of rect (default: the whole image) that pass the test (default:
// not white).
QRect InkBox(const QImage& img, QRect rect = {}, std::function<bool(QRgb)> ink = {})
{
    if (rect.isNull())
        rect = img.rect();
    QRect box;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (ink ? ink(Px(img, x, y)) : Px(img, x, y) != kWhite)
                box |= QRect(x, y, 1, 1);
    return box;
}

int CountOf(const QImage& img, QRect r, QRgb c)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += Px(img, x, y) == c;
    return n;
}

// Separate runs of red along n pixels from a point, a step at a time.
int RedRuns(const QImage& img, QPoint from, QPoint step, int n)
{
    int runs = 0;
    bool in = false;
    for (QPoint p = from; n-- > 0; p += step) {
        const bool red = Px(img, p.x(), p.y()) == kRed;
        runs += red && !in;
        in = red;
    }
    return runs;
}

int RedRunsAlongRow(const QImage& img, int y)
{
    return RedRuns(img, {0, y}, {1, 0}, img.width());
}

const QImage& Raw(GlyphList list, int index)
{
    return GlyphSet::Instance().RawGlyph(list, index);
}

} // namespace

TEST(Glyphs, RedFiguresWithABlackShadowRightAndBelowOnWhiteInFixedCells)
{
    const GlyphSet& g = GlyphSet::Instance();
    ASSERT_EQ(g.Count(GlyphList::Note), kNoteGlyphCount);
    ASSERT_EQ(g.Count(GlyphList::Staff), kStaffGlyphCount);
    for (GlyphList list : {GlyphList::Note, GlyphList::Staff}) {
        for (int i = 0; i < g.Count(list); ++i) {
            SCOPED_TRACE(::testing::Message() << "list " << int(list) << " glyph " << i);
            const QImage& raw = Raw(list, i);
            const QImage& masked = g.Glyph(list, i);
            EXPECT_EQ(masked.size(), list == GlyphList::Note ? QSize(21, 31) : QSize(35, 69));
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
                    EXPECT_EQ(qAlpha(masked.pixel(x, y)) == 0, c == kWhite) << x << "," << y;
                }
            }
            EXPECT_GT(red, 0);
            EXPECT_GT(black, 0);
        }
    }
}

struct HeadCase {
    const char* name;
    int index;
    bool hollow;
    int flags; // -1: no stem
};

class NoteGlyphShape : public ::testing::TestWithParam<HeadCase>
{
};

TEST_P(NoteGlyphShape, HeadInItsCornerStemOnTheEngravedSideFlagsCountTheLength)
{
    const HeadCase& c = GetParam();
    const QImage& raw = Raw(GlyphList::Note, c.index);
    const bool stemUp = c.index < 5;
    const QRect band = stemUp ? QRect(0, 21, 21, 10) : QRect(0, 0, 21, 10);
    const QRect head(QPoint(0, band.top()), QPoint(11, band.bottom()));
    // The head band holds the head and nothing wider (a stem-up flag must not reach down to it).
    EXPECT_EQ(InkBox(raw, band), head);
    EXPECT_EQ(Px(raw, 5, band.top() + 5) == kWhite, c.hollow);
    if (c.flags < 0) {
        EXPECT_EQ(InkBox(raw), head);
        return;
    }
    // The stem rises from the head's right side, or falls from its left side, most of the cell.
    int stemRows = 0;
    for (int y = 0; y < 31; ++y)
        stemRows += Px(raw, stemUp ? 10 : 0, y) == kRed;
    EXPECT_GE(stemRows, 24);
    EXPECT_EQ(stemUp ? InkBox(raw).top() : InkBox(raw).bottom(), stemUp ? 0 : 30);
    // Flags stand off the stem: separate runs two pixels away, on the rows away from the head.
    EXPECT_EQ(RedRuns(raw, stemUp ? QPoint(12, 0) : QPoint(2, 10), {0, 1}, 21), c.flags);
}

TEST_P(NoteGlyphShape, SelectedLooksApartFromTheRedOnAverage)
{
    // The usual blue highlight and a reddish one (which gives way to blue).
    for (QColor highlight : {QColor(0, 120, 215), QColor(200, 30, 60)}) {
        const QImage& plain = GlyphSet::Instance().Glyph(GlyphList::Note, GetParam().index);
        const QImage& sel =
            GlyphSet::Instance().Highlighted(GlyphList::Note, GetParam().index, highlight);
        double sum = 0;
        int n = 0;
        for (int y = 0; y < plain.height(); ++y)
            for (int x = 0; x < plain.width(); ++x) {
                const QRgb a = plain.pixel(x, y), b = sel.pixel(x, y);
                if (qAlpha(a) == 0)
                    continue;
                ++n;
                sum += std::hypot(qRed(a) - qRed(b), qGreen(a) - qGreen(b), qBlue(a) - qBlue(b));
            }
        EXPECT_GE(sum / n, 120) << highlight.name().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Notes, NoteGlyphShape,
    ::testing::Values(HeadCase{"WholeUp", 0, true, -1}, HeadCase{"HalfUp", 1, true, 0},
                      HeadCase{"QuarterUp", 2, false, 0}, HeadCase{"EighthUp", 3, false, 1},
                      HeadCase{"SixteenthUp", 4, false, 2}, HeadCase{"WholeDown", 5, true, -1},
                      HeadCase{"HalfDown", 6, true, 0}, HeadCase{"QuarterDown", 7, false, 0},
                      HeadCase{"EighthDown", 8, false, 1}, HeadCase{"SixteenthDown", 9, false, 2}),
    kRowName);

TEST(Glyphs, SharpFinalBarAndClefHaveTheirShapes)
{
    EXPECT_EQ(InkBox(Raw(GlyphList::Note, kSharpGlyph)), QRect(0, 0, 16, 26));

    // The final bar: a thin and a thick bar.
    const QImage& bar = Raw(GlyphList::Staff, 1);
    EXPECT_EQ(InkBox(bar), QRect(QPoint(15, 14), QPoint(25, 50)));
    std::set<int> columns;
    for (int x = 0; x < bar.width(); ++x)
        if (!InkBox(bar, QRect(x, 0, 1, bar.height())).isNull())
            columns.insert(x);
    EXPECT_EQ(columns, (std::set<int>{15, 16, 20, 21, 22, 23, 24, 25}));

    // The clef rises above the staff (rows 15 to 51 of its cell) and curls round the G line.
    const QImage& clef = Raw(GlyphList::Staff, 0);
    const QRect box = InkBox(clef);
    EXPECT_LE(box.top(), 3);
    EXPECT_GE(box.bottom(), 63);
    EXPECT_LE(box.left(), 4);
    EXPECT_GE(box.right(), 30);
    EXPECT_EQ(RedRunsAlongRow(clef, 8), 2);  // the two sides of the top loop
    EXPECT_GE(RedRunsAlongRow(clef, 42), 3); // bowl, curl, bowl on the G line
    EXPECT_GE(RedRunsAlongRow(clef, 60), 2); // tail and its ball
}

TEST(StaffPicture, TitleIsCentredRedWithABlackShadowInLiberationSans)
{
    const QFont font = FontFromLogFont(LogFont{});
    EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(QFontMetrics(font).height(), 36);

    CMelody m; // "Новая мелодия"
    const QImage img = RenderMelody(m);
    // Antialiased: full-strength red and near-black pixels only.
    const QRect titleRows(0, 30, img.width(), 70);
    const QRect red = InkBox(
        img, titleRows, [](QRgb c) { return qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60; });
    const QRect dark = InkBox(
        img, titleRows, [](QRgb c) { return qRed(c) < 60 && qGreen(c) < 60 && qBlue(c) < 60; });
    ASSERT_FALSE(red.isNull());
    EXPECT_NEAR(red.center().x(), 315, 2);
    EXPECT_GE(red.top(), 43);
    EXPECT_LT(red.bottom(), 43 + 36);
    EXPECT_GT(red.width(), 150);
    EXPECT_EQ(dark.bottomRight(), red.bottomRight() + QPoint(1, 1));

    // Thirty wide letters: the font shrinks until the whole title fits the picture.
    m.SetTitle(QByteArray(30, char(0xD8))); // Ш in code page 1251
    const QImage wide = RenderMelody(m);
    const QRect whole =
        InkBox(wide, titleRows, [](QRgb c) { return qRed(c) > 200 && qGreen(c) < 60; });
    EXPECT_GT(whole.left(), 0);
    EXPECT_LT(whole.right(), wide.width() - 1);
    EXPECT_GT(whole.width(), 500);
}

TEST(StaffPicture, StaffLinesAreCrispAndStopShortOfTheirEnd)
{
    CMelody m;
    const QImage img = RenderMelody(m);
    const int y0 = 132;
    for (int k = 0; k < 5; ++k) // right of the clef and the end mark, up to the last column
        EXPECT_EQ(CountOf(img, QRect(100, y0 + 9 * k, 509, 1), kBlack), 509) << k;
    EXPECT_EQ(CountOf(img, QRect(24, y0, 1, 36), kBlack), 36);
    EXPECT_EQ(CountOf(img, QRect(609, y0, 1, 36), kBlack), 36);
    EXPECT_EQ(Px(img, 609, y0 + 36), kWhite); // neither the bottom line nor the bar reaches it
    EXPECT_EQ(Px(img, 23, y0), kWhite);
    EXPECT_EQ(Px(img, 610, y0), kWhite);
    // Below the title nothing is half-tone: lines and glyphs are drawn without antialiasing.
    const QRect below(0, 100, img.width(), img.height() - 100);
    EXPECT_EQ(CountOf(img, below, kWhite) + CountOf(img, below, kBlack) + CountOf(img, below, kRed),
              below.width() * below.height());
}

class ScaledPicture : public ::testing::TestWithParam<double>
{
};

TEST_P(ScaledPicture, HasEquallyThickStaffLinesAndGlyphsDrawnAtThatResolution)
{
    const double s = GetParam();
    CMelody m;
    m.AppendNote(13 * 8 + 2);
    const QImage img = RenderMelody(m, Qt::white, QColor(0, 120, 215), s);
    EXPECT_EQ(img.size(), QSize(int(std::ceil(632 * s)), int(std::ceil(332 * s))));
    // Down a column right of the notes, below the title: five black runs of the same height.
    std::vector<int> runs;
    bool in = false;
    for (int y = int(100 * s); y < img.height(); ++y) {
        const bool black = Px(img, int(400 * s), y) == kBlack;
        if (black && in)
            ++runs.back();
        else if (black)
            runs.push_back(1);
        in = black;
    }
    EXPECT_EQ(runs, std::vector<int>(5, std::max(1, int(std::lround(s)))));
    // Not a blown-up 1:1 picture: the clef's edges have pixels between red, black and white.
    const QRect clef(int(29 * s), int(117 * s), int(35 * s), int(69 * s));
    const int pure =
        CountOf(img, clef, kRed) + CountOf(img, clef, kWhite) + CountOf(img, clef, kBlack);
    EXPECT_GT(clef.width() * clef.height() - pure, 20);
}

INSTANTIATE_TEST_SUITE_P(Ratios, ScaledPicture, ::testing::Values(1.25, 1.5, 2.0, 3.0),
                         [](const auto& info) {
                             return "Times" + std::to_string(int(info.param * 100));
                         });

TEST(StaffPicture, HeadsFillTheirSpace)
{
    CMelody m;
    m.AppendNote(13 * 8 + 2); // A4: second space from the bottom
    m.AppendNote(20 * 8 + 2); // E5: top space
    const QImage img = RenderMelody(m);
    const int y0 = 132;
    // The head's red, leaving out the stem's column; the shadow adds the row below.
    auto isRed = [](QRgb c) { return c == kRed; };
    const QRect a4 = InkBox(img, QRect(90, y0 + 5, 10, 30), isRed);
    EXPECT_EQ(a4.top(), y0 + 18);
    EXPECT_EQ(a4.bottom() + 1, y0 + 27);
    const QRect e5 = InkBox(img, QRect(136, y0 - 8, 11, 18), isRed);
    EXPECT_EQ(e5.top(), y0);
    EXPECT_EQ(e5.bottom() + 1, y0 + 9);
}

TEST(StaffPicture, SelectionColoursGlyphAndSharpButNotLedgerLines)
{
    CMelody m;
    m.AppendNote(0 * 8 + 2); // G#3: two ledger lines and a sharp
    m.AppendNote(0 * 8 + 2);
    m.Select(0);
    const QImage img = RenderMelody(m, Qt::white, QColor(0, 0, 255));
    const QRgb selectedBlue = qRgb(0, 0, 255);
    const QRect first(90 - 17, 132 + g_nStaffOffsets[0], 17 + 21, 31 + 12 + 26);
    const QRect second = first.translated(45, 0);
    EXPECT_GT(CountOf(img, first, selectedBlue), 50);
    EXPECT_GT(CountOf(img, QRect(90 - 17, 132 + g_nStaffOffsets[0] + 12, 16, 26), selectedBlue),
              30);
    EXPECT_EQ(CountOf(img, first, kRed), 0);
    EXPECT_EQ(CountOf(img, second, selectedBlue), 0);
    EXPECT_GT(CountOf(img, second, kRed), 50);
    // The ledger lines at y0 + 45 and y0 + 54 start 4 pixels left of the glyph, in black.
    EXPECT_EQ(Px(img, 90 - 4, 132 + 45), kBlack);
    EXPECT_EQ(Px(img, 90 - 4, 132 + 54), kBlack);
}

// --- tinkla-cli png -----------------------------------------------------------------------------

namespace
{

int RunCli(const QStringList& args, QString* err = nullptr)
{
    const QByteArray env = qgetenv("TINKLA_CLI");
    QProcess p;
    p.start(env.isEmpty() ? QStringLiteral(TINKLA_BINARY_DIR "/tinkla-cli")
                          : QString::fromLocal8Bit(env),
            args);
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
    // Runs png on melody 2 of the set; returns the picture.
    QImage Png(const char* name, const QStringList& options = {})
    {
        const QString out = dir.filePath(QString::fromUtf8(name));
        EXPECT_EQ(
            RunCli(QStringList{QStringLiteral("png"), set, QStringLiteral("2"), out} + options), 0);
        return QImage(out);
    }
    QTemporaryDir dir;
    QString set;
    CMelody melody;
};

} // namespace

TEST_F(PngCommand, DrawsTheMelodyAsTheEditorDoesAndSelectTintsOnlyThatNote)
{
    const QImage plain = Png("plain.png");
    ASSERT_FALSE(plain.isNull());
    EXPECT_EQ(plain, RenderMelody(melody).convertToFormat(plain.format()));

    const QImage sel = Png("sel.png", {QStringLiteral("--select"), QStringLiteral("2")});
    ASSERT_EQ(sel.size(), plain.size());
    QRect changed;
    for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x)
            if (plain.pixel(x, y) != sel.pixel(x, y))
                changed |= QRect(x, y, 1, 1);
    // Note 2 (E5) has its glyph at (180, 132): only its cell changes.
    ASSERT_FALSE(changed.isNull());
    EXPECT_TRUE(QRect(180, 132, 21, 31).contains(changed)) << changed.x() << "," << changed.y();

    const QImage scaled = Png("scaled.png", {QStringLiteral("--scale"), QStringLiteral("1.5")});
    EXPECT_EQ(scaled.size(), QSize(948, 498));
}

struct PngRefusal {
    const char* name;
    QStringList args; // %SET and %OUT stand for the set file and the output path
    int exitCode;
    const char* says = ""; // part of the error output
};

class PngRefuses : public PngCommand, public ::testing::WithParamInterface<PngRefusal>
{
};

TEST_P(PngRefuses, WithoutWritingAFile)
{
    const QString out = dir.filePath(QStringLiteral("out.png"));
    const QString unwritable = dir.filePath(QStringLiteral("no/such/dir/out.png"));
    QStringList args{QStringLiteral("png")};
    for (QString a : GetParam().args)
        args << a.replace(QStringLiteral("%SET"), set)
                    .replace(QStringLiteral("%OUT"), out)
                    .replace(QStringLiteral("%BAD"), unwritable);
    QString err;
    EXPECT_EQ(RunCli(args, &err), GetParam().exitCode);
    EXPECT_FALSE(err.isEmpty());
    EXPECT_TRUE(err.contains(QString::fromUtf8(GetParam().says))) << err.toStdString();
    EXPECT_FALSE(QFile::exists(out));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PngRefuses,
    ::testing::Values(
        PngRefusal{"TooFewArguments", {"%SET", "2"}, 2},
        PngRefusal{"MelodyNumberNotANumber", {"%SET", "two", "%OUT"}, 2},
        PngRefusal{"NoSuchMelody", {"%SET", "9", "%OUT"}, 1},
        PngRefusal{"NoSuchNote", {"%SET", "2", "%OUT", "--select", "4"}, 1},
        PngRefusal{"EmptyMelodyHasNothingToSelect", {"%SET", "1", "%OUT", "--select", "0"}, 1},
        PngRefusal{"NegativeNote", {"%SET", "2", "%OUT", "--select", "-1"}, 2},
        PngRefusal{"UnknownOption", {"%SET", "2", "%OUT", "--colour", "red"}, 2},
        PngRefusal{"ScaleNotANumber", {"%SET", "2", "%OUT", "--scale", "big"}, 2, "--scale"},
        PngRefusal{"ScaleTooLarge", {"%SET", "2", "%OUT", "--scale", "100"}, 2, "--scale"},
        PngRefusal{"MissingSet", {"%SET.missing", "2", "%OUT"}, 1},
        PngRefusal{"UnwritablePath", {"%SET", "2", "%BAD"}, 1, "нет такой папки"}),
    kRowName);
