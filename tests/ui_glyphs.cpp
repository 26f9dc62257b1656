// The staff picture as pixels, where the recorded drawing calls cannot tell: the glyphs' shapes
// and shadows, the selection's tint, the title shrinking to fit, scaling, and tinkla-cli png.
#include "canvas/GlyphArt.h"
#include "canvas/QtCanvas.h"
#include "support/DocTestKit.h"
#include "ui_editor_support.h"

#include <cmath>

using namespace tinkla;

namespace
{

const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kBlack = qRgb(0, 0, 0);

const auto Px = [](const QImage& img, int x, int y) { return img.pixel(x, y) | 0xFF000000u; };

double Distance(QRgb a, QRgb b)
{
    return std::hypot(qRed(a) - qRed(b), qGreen(a) - qGreen(b), qBlue(a) - qBlue(b));
}

} // namespace

// Red on white, masked where white, a black shadow right and below, no two alike. Selected, a note
// looks apart from the red: in the usual blue, and in a reddish highlight (it gives way to blue).
TEST(Glyphs, RedFiguresWithABlackShadowEachItsOwnAndTintedWhenSelected)
{
    const GlyphSet& g = GlyphSet::Instance();
    ASSERT_EQ(g.Count(GlyphList::Note), kNoteGlyphCount);
    ASSERT_EQ(g.Count(GlyphList::Staff), kStaffGlyphCount);
    std::vector<QImage> seen;
    for (GlyphList list : {GlyphList::Note, GlyphList::Staff}) {
        for (int i = 0; i < g.Count(list); ++i) {
            SCOPED_TRACE(::testing::Message() << "list " << int(list) << " glyph " << i);
            const QImage& raw = g.RawGlyph(list, i);
            const bool note = list == GlyphList::Note;
            EXPECT_EQ(raw.size(), note ? QSize(21, 31) : QSize(35, 69));
            const QImage selected[2] = {
                note ? g.Highlighted(list, i, QColor(0, 120, 215)) : QImage(),
                note ? g.Highlighted(list, i, QColor(200, 30, 60)) : QImage()};
            int red = 0, black = 0;
            double apart[2] = {};
            for (int y = 0; y < raw.height(); ++y) {
                for (int x = 0; x < raw.width(); ++x) {
                    const QRgb c = Px(raw, x, y);
                    auto redAt = [&](int dx, int dy) {
                        return x >= dx && y >= dy && Px(raw, x - dx, y - dy) == kRed;
                    };
                    ASSERT_TRUE(c == kWhite || c == kRed || c == kBlack) << x << "," << y;
                    red += c == kRed;
                    black += c == kBlack;
                    EXPECT_TRUE(c != kBlack || redAt(1, 0) || redAt(0, 1) || redAt(1, 1))
                        << "a shadow with no figure at " << x << "," << y;
                    EXPECT_EQ(qAlpha(g.Glyph(list, i).pixel(x, y)) == 0, c == kWhite);
                    for (int k = 0; k < 2 && note && c != kWhite; ++k)
                        apart[k] += Distance(g.Glyph(list, i).pixel(x, y), selected[k].pixel(x, y));
                }
            }
            EXPECT_GT(red, 0);
            EXPECT_GT(black, 0);
            for (const QImage& other : seen)
                EXPECT_NE(raw, other);
            seen.push_back(raw);
            for (int k = 0; k < 2 && note && i != kSharpGlyph; ++k)
                EXPECT_GE(apart[k] / (red + black), 120) << k;
        }
    }
}

// The note glyphs read as their lengths: whole and half hollow, a stem on the right going up
// (glyphs 0-4) or on the left going down (5-9), and the flags standing off it, one per halving.
TEST(Glyphs, NoteHeadsStemsAndFlagsShowTheLength)
{
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(i);
        const QImage& raw = GlyphSet::Instance().RawGlyph(GlyphList::Note, i);
        const bool up = i < 5;
        const int length = i % 5, flagX = up ? 12 : 2, flagY = up ? 0 : 10;
        EXPECT_EQ(Px(raw, 5, up ? 26 : 5) == kWhite, length < 2) << "a hollow head";
        int stem = 0, flags = 0;
        for (int y = 0; y < 31; ++y)
            stem += Px(raw, up ? 10 : 0, y) == kRed;
        for (int y = flagY; y < flagY + 21; ++y)
            flags += Px(raw, flagX, y) == kRed && (y == flagY || Px(raw, flagX, y - 1) != kRed);
        EXPECT_EQ(stem >= 24, length > 0) << "a stem over most of the cell";
        EXPECT_EQ(flags, std::max(length - 2, 0));
    }
}

// A title too wide for the picture shrinks until it fits, its shadow a pixel right and below.
TEST(StaffPicture, TitleTooWideShrinksToFitOverItsShadow)
{
    CMelody m;
    m.SetTitle(QByteArray(30, char(0xD8))); // thirty Ш in code page 1251
    const QImage img = RenderMelody(m);
    QRect title, shadow; // full-strength red, and near black: the letters are antialiased
    for (int y = 30; y < 100; ++y) {
        for (int x = 0; x < kStaffPictureWidth; ++x) {
            const QRgb c = Px(img, x, y);
            const QRect at(x, y, 1, 1);
            title |= qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60 ? at : QRect();
            shadow |= qRed(c) < 60 && qGreen(c) < 60 && qBlue(c) < 60 ? at : QRect();
        }
    }
    EXPECT_GT(title.left(), 0);
    EXPECT_LT(title.right(), kStaffPictureWidth - 1);
    EXPECT_GT(title.width(), 500);
    EXPECT_EQ(shadow.bottomRight(), title.bottomRight() + QPoint(1, 1));
}

// Down a column right of the notes, below the title: five black runs of the same height.
TEST(StaffPicture, ScaledHasEquallyThickStaffLines)
{
    for (double s : {1.25, 1.5, 2.0, 3.0}) {
        CMelody m;
        m.AppendNote(13 * 8 + 2);
        const QImage img = RenderMelody(m, Qt::white, QColor(0, 120, 215), s);
        std::vector<int> runs;
        for (int y = int(100 * s), x = int(400 * s); y < img.height(); ++y) {
            if (Px(img, x, y) != kBlack)
                continue;
            if (Px(img, x, y - 1) == kBlack) // the row above the first is white
                ++runs.back();
            else
                runs.push_back(1);
        }
        EXPECT_EQ(runs, std::vector<int>(5, std::max(1, int(std::lround(s))))) << s;
    }
}

// Melody 2 of the set holds G#3, A4, E5 and G#5. Selected, only the note's own cell changes: E5's
// at (180, 132). A refused command leaves no file.
TEST(PngCommand, DrawsAsTheEditorTintsOnlyTheSelectedNoteAndRefusesWithItsStatus)
{
    test::TempFiles files;
    const QString set = files.Path(QStringLiteral("set.fml"));
    const QString out = files.Path(QStringLiteral("out.png"));
    test::ScriptedPrompter prompter;
    CTinklaDoc doc(&prompter);
    ASSERT_TRUE(doc.OnNewDocument()); // 8 melodies of up to 31 notes
    for (int t : {0, 13, 20, 31})
        doc.GetMelody(1)->AppendNote(static_cast<BYTE>(t * 8 + t % 5));
    ASSERT_TRUE(doc.OnSaveDocument(set));
    const QStringList png{QStringLiteral("png"), set};

    ASSERT_EQ(test::RunCli(png + QStringList{"2", out}).code, 0);
    const QImage plain(out);
    EXPECT_EQ(plain, RenderMelody(*doc.GetMelody(1)).convertToFormat(plain.format()));
    ASSERT_EQ(test::RunCli(png + QStringList{"2", out, "--select", "2"}).code, 0);
    const QImage sel(out);
    QRect changed;
    for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x)
            changed |= plain.pixel(x, y) != sel.pixel(x, y) ? QRect(x, y, 1, 1) : QRect();
    EXPECT_TRUE(QRect(180, 132, 21, 31).contains(changed)); // false too when nothing changed
    ASSERT_EQ(test::RunCli(png + QStringList{"2", out, "--scale", "1.5"}).code, 0);
    EXPECT_EQ(QImage(out).size(), QSize(948, 498));

    ASSERT_TRUE(QFile::remove(out));
    const struct {
        QStringList args; // after the set
        int exitCode;
        const char* says; // part of the error output
    } refusals[] = {{{"2"}, 2, "usage: tinkla-cli png"},
                    {{"9", out}, 1, "there is no melody 9"},
                    {{"2", out, "--select", "4"}, 1, "notes 0..3, there is no note 4"},
                    {{"1", out, "--select", "0"}, 1, "has no notes to select"},
                    {{"2", out, "--select", "-1"}, 2, "--select"},
                    {{"2", out, "--scale", "big"}, 2, "--scale"},
                    {{"2", out, "--scale", "100"}, 2, "--scale"},
                    {{"2", out + "/no/such/dir/out.png"}, 1, "нет такой папки"}};
    for (const auto& r : refusals) {
        const test::CliResult run = test::RunCli(png + r.args);
        EXPECT_EQ(run.code, r.exitCode) << r.args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(r.says))) << run.err.toStdString();
        EXPECT_FALSE(QFile::exists(out));
    }
    EXPECT_EQ(test::RunCli({"png", set + ".missing", "2", out}).code, 1);
}
