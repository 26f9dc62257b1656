// The staff picture as a sequence of drawing calls: where each glyph, line and title goes, with
// which pen and style, and that every setting changed is given back.
#include "model/Canvas.h"
#include "model/Melody.h"
#include "platform/Archive.h"
#include "support/DocTestKit.h"
#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace tinkla;

namespace
{

TINKLA_PRINT_ROWS_BY_NAME

struct Segment {
    int x0, y0, x1, y1;
    Rgb color;
    int width;
    bool operator==(const Segment&) const = default;
};

struct GlyphCall {
    GlyphList list;
    int index, x, y, style;
};

struct TextCall {
    int x, y;
    QByteArray text;
    Rgb color;
    int align, bkMode, fontHeight;
    const char* face;
};

// Every call, in order, with the settings in force when it was made.
class RecordingCanvas : public Canvas
{
public:
    struct State {
        LogFont font;
        int align = 0;
        Rgb textColor = 0;
        int bkMode = 2;
        Rgb penColor = 0;
        int penWidth = 1;
    };
    enum class Kind { Line, Glyph, Text };

    void Save() override
    {
        m_stack.push_back(state);
        maxDepth = std::max(maxDepth, static_cast<int>(m_stack.size()));
    }
    void Restore() override
    {
        if (m_stack.empty()) {
            ++unbalancedRestores;
            return;
        }
        state = m_stack.back();
        m_stack.pop_back();
    }
    void SetFont(const LogFont& font) override { state.font = font; }
    void SetTextAlign(int align) override { state.align = align; }
    void SetTextColor(Rgb color) override { state.textColor = color; }
    void SetBkMode(int mode) override { state.bkMode = mode; }
    void TextOut(int x, int y, const QByteArray& text) override
    {
        texts.push_back({x, y, text, state.textColor, state.align, state.bkMode, state.font.height,
                         state.font.faceName});
        order.push_back(Kind::Text);
    }
    void SetPen(int, int width, Rgb color) override
    {
        state.penWidth = width;
        state.penColor = color;
    }
    void MoveTo(int x, int y) override { m_cur = {x, y}; }
    void LineTo(int x, int y) override
    {
        lines.push_back({m_cur.x, m_cur.y, x, y, state.penColor, state.penWidth});
        order.push_back(Kind::Line);
        m_cur = {x, y};
    }
    void DrawGlyph(GlyphList list, int index, int x, int y, int style) override
    {
        glyphs.push_back({list, index, x, y, style});
        order.push_back(Kind::Glyph);
    }

    // Staff glyphs, or note glyphs with (sharp = true) or without the sharp (note glyph 10).
    std::vector<GlyphCall> Glyphs(GlyphList list, bool sharp = false) const
    {
        std::vector<GlyphCall> out;
        for (const GlyphCall& g : glyphs)
            if (g.list == list && (list != GlyphList::Note || (g.index == 10) == sharp))
                out.push_back(g);
        return out;
    }
    // Segments that are staff lines and bars (they start at x = 24 or 609), or the others.
    std::vector<Segment> Lines(bool staff) const
    {
        std::vector<Segment> out;
        for (const Segment& s : lines)
            if ((s.x0 == 24 || s.x0 == 609) == staff)
                out.push_back(s);
        return out;
    }

    State state;
    std::vector<Segment> lines;
    std::vector<GlyphCall> glyphs;
    std::vector<TextCall> texts;
    std::vector<Kind> order;
    int maxDepth = 0;
    int unbalancedRestores = 0;
    int Depth() const { return static_cast<int>(m_stack.size()); }

private:
    std::vector<State> m_stack;
    Point m_cur;
};

BYTE Code(int tone, int duration)
{
    return static_cast<BYTE>(tone * 8 + duration);
}

RecordingCanvas Draw(std::initializer_list<BYTE> codes, int selected = -1)
{
    CMelody m;
    for (BYTE c : codes)
        m.AppendNote(c);
    m.Select(selected);
    RecordingCanvas dc;
    m.Draw(dc);
    return dc;
}

RecordingCanvas Draw(CMelody& m)
{
    RecordingCanvas dc;
    m.Draw(dc);
    return dc;
}

const Rgb kBlack = MakeRgb(0, 0, 0);

struct PlacementCase {
    const char* name;
    int notes;
    int tone; // of the last note
    Point glyph;
    Point endMark;
};

class NotePlacement : public ::testing::TestWithParam<PlacementCase>
{
};

// The end mark stands where the next note would, less sixteen.
TEST_P(NotePlacement, NoteAndEndMarkGoToTheStaffPositionOfTheirIndex)
{
    const PlacementCase& c = GetParam();
    CMelody m;
    for (int i = 0; i < c.notes; ++i)
        m.AppendNote(Code(i + 1 == c.notes ? c.tone : 11, 2));
    RecordingCanvas dc = Draw(m);
    const std::vector<GlyphCall> notes = dc.Glyphs(GlyphList::Note);
    ASSERT_EQ(static_cast<int>(notes.size()), c.notes);
    if (c.glyph.x != 0) {
        EXPECT_EQ(notes.back().x, c.glyph.x);
        EXPECT_EQ(notes.back().y, c.glyph.y);
    }
    const GlyphCall mark = dc.Glyphs(GlyphList::Staff).back();
    EXPECT_EQ(mark.index, 1);
    EXPECT_EQ(mark.x, c.endMark.x);
    EXPECT_EQ(mark.y, c.endMark.y);
}

INSTANTIATE_TEST_SUITE_P(Grid, NotePlacement,
                         ::testing::Values(PlacementCase{"Empty", 0, 0, {}, {74, 117}},
                                           PlacementCase{"First", 1, 11, {90, 134}, {119, 117}},
                                           PlacementCase{"EndOfRow", 12, 31, {585, 105}, {74, 217}},
                                           PlacementCase{
                                               "SecondRow", 13, 20, {90, 232}, {119, 217}},
                                           PlacementCase{"Full", 255, 0, {}, {209, 2217}}),
                         tinkla::test::ByName{});

TEST(StaffDraw, ANoteEditedSinceItWasPlacedIsDrawnAtItsNewPitch)
{
    CMelody m;
    m.AppendNote(Code(11, 2));
    m.Select(0);
    m.ModifySelected(0); // tone up to 12: the stored position is not recomputed by the edit
    EXPECT_EQ(Draw(m).Glyphs(GlyphList::Note).at(0).y, 132 + g_nStaffOffsets[12]);
}

class EveryTone : public ::testing::TestWithParam<int>
{
};

TEST_P(EveryTone, LedgerLinesGlyphAndSharpFollowThePitch)
{
    const int t = GetParam();
    const int y0 = 132; // top staff line of row 0
    const int x = 90, y = y0 + g_nStaffOffsets[t];
    std::vector<int> ledgers;
    if (t <= 2)
        ledgers = {y0 + 54, y0 + 45};
    else if (t <= 5)
        ledgers = {y0 + 45};
    else if (t >= 28)
        ledgers = {y0 - 18, y0 - 9};
    else if (t >= 25)
        ledgers = {y0 - 9};
    std::vector<Segment> expected;
    for (int yl : ledgers)
        expected.push_back({x - 4, yl, x + 15, yl, kBlack, 0});
    const bool sharp = std::strchr(g_szNoteNames[t % 12], '#') != nullptr;

    for (int d = 0; d < kDurationCount; ++d) {
        SCOPED_TRACE(::testing::Message() << "duration " << d);
        RecordingCanvas dc = Draw({Code(t, d)});
        EXPECT_EQ(dc.Lines(false), expected);
        const GlyphCall g = dc.Glyphs(GlyphList::Note).at(0);
        EXPECT_EQ(g.index, t <= 14 ? d : d + 5);
        EXPECT_EQ(g.y, y);
        const std::vector<GlyphCall> sharps = dc.Glyphs(GlyphList::Note, true);
        ASSERT_EQ(sharps.size(), sharp ? 1u : 0u);
        if (sharp) {
            EXPECT_EQ(sharps[0].x, x - 17);
            EXPECT_EQ(sharps[0].y, t <= 14 ? y + 12 : y - 9);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Tones, EveryTone, ::testing::Range(0, kToneCount),
                         [](const auto& info) { return "Tone" + std::to_string(info.param); });

TEST(StaffDraw, LedgerLinesGoUnderTheGlyphAndTheSharpOverIt)
{
    using K = RecordingCanvas::Kind;
    // The title and its shadow, the staff: 7 lines and the clef; then the note: 2 ledger lines,
    // its glyph, its sharp; then the end mark.
    const std::vector<K> expected = {K::Text, K::Text, K::Line,  K::Line,  K::Line,
                                     K::Line, K::Line, K::Line,  K::Line,  K::Glyph,
                                     K::Line, K::Line, K::Glyph, K::Glyph, K::Glyph};
    EXPECT_EQ(Draw({Code(0, 2)}).order, expected);
}

// Each row has a staff: five lines 9 apart from x 24 to 609, a bar at each end, and the clef; a
// file may store more rows than its notes need, and every one is drawn.
TEST(StaffDraw, EveryRowHasItsStaff)
{
    test::ScriptedPrompter prompter;
    Archive in(test::MelodyRecord(4, "x", 2, test::NoteBytes(2, 11, 2)), &prompter);
    CMelody stored;
    stored.Serialize(in);
    ASSERT_TRUE(prompter.shown.empty());
    CMelody twelve;
    for (int i = 0; i < 12; ++i)
        twelve.AppendNote(Code(11, 3));
    CMelody empty;
    for (auto [m, rows] : {std::pair{&empty, 1}, std::pair{&twelve, 2}, std::pair{&stored, 4}}) {
        SCOPED_TRACE(rows);
        RecordingCanvas dc = Draw(*m);
        const std::vector<Segment> staff = dc.Lines(true);
        std::vector<GlyphCall> clefs;
        for (const GlyphCall& g : dc.Glyphs(GlyphList::Staff))
            if (g.index == 0)
                clefs.push_back(g);
        ASSERT_EQ(static_cast<int>(staff.size()), rows * 7);
        ASSERT_EQ(static_cast<int>(clefs.size()), rows);
        for (int r = 0; r < rows; ++r) {
            const int y0 = r * 100 + 132;
            for (int k = 0; k < 5; ++k)
                EXPECT_EQ(staff[r * 7 + k], (Segment{24, y0 + 9 * k, 609, y0 + 9 * k, kBlack, 1}));
            EXPECT_EQ(staff[r * 7 + 5], (Segment{24, y0, 24, y0 + 36, kBlack, 1}));
            EXPECT_EQ(staff[r * 7 + 6], (Segment{609, y0, 609, y0 + 36, kBlack, 1}));
            EXPECT_EQ(clefs[r].x, 29);
            EXPECT_EQ(clefs[r].y, r * 100 + 117);
        }
    }
}

TEST(StaffDraw, TitleIsRedOverABlackShadowInTheTitleFont)
{
    CMelody m;
    m.SetTitle(QByteArray("\xCC\xE5\xEB\xEE\xE4\xE8\xFF")); // "Мелодия" in code page 1251
    RecordingCanvas dc = Draw(m);
    ASSERT_EQ(dc.texts.size(), 2u);
    EXPECT_EQ((Point{dc.texts[0].x, dc.texts[0].y}), (Point{316, 44}));
    EXPECT_EQ(dc.texts[0].color, kBlack);
    EXPECT_EQ((Point{dc.texts[1].x, dc.texts[1].y}), (Point{315, 43}));
    EXPECT_EQ(dc.texts[1].color, MakeRgb(255, 0, 0));
    for (const TextCall& t : dc.texts) {
        EXPECT_EQ(t.text, m.GetTitle());
        EXPECT_EQ(t.align, kTextAlignCenterTop);
        EXPECT_EQ(t.bkMode, kBkModeTransparent);
        EXPECT_EQ(t.fontHeight, 36);
        EXPECT_STREQ(t.face, "Arial Cyr");
    }
}

TEST(StaffDraw, EverySettingChangedIsGivenBack)
{
    CMelody m;
    for (BYTE c : {Code(0, 0), Code(17, 1), Code(31, 4)})
        m.AppendNote(c);
    m.Select(2);
    RecordingCanvas dc;
    dc.SetTextColor(MakeRgb(1, 2, 3));
    dc.SetPen(0, 7, MakeRgb(4, 5, 6));
    dc.SetTextAlign(24);
    m.Draw(dc);
    EXPECT_EQ(dc.unbalancedRestores, 0);
    EXPECT_EQ(dc.Depth(), 0);
    EXPECT_GT(dc.maxDepth, 0);
    EXPECT_EQ(dc.state.textColor, MakeRgb(1, 2, 3));
    EXPECT_EQ(dc.state.penWidth, 7);
    EXPECT_EQ(dc.state.penColor, MakeRgb(4, 5, 6));
    EXPECT_EQ(dc.state.align, 24);
}

} // namespace
