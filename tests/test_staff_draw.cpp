// The staff picture as a sequence of drawing calls: where each glyph, line and title goes, with
// which pen and style, and that every setting changed is given back.
#include "model/Canvas.h"
#include "model/Melody.h"
#include "platform/Archive.h"
#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace tinkla;

namespace
{

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
        m_stack.push_back(m_state);
        maxDepth = std::max(maxDepth, static_cast<int>(m_stack.size()));
    }
    void Restore() override
    {
        if (m_stack.empty()) {
            ++unbalancedRestores;
            return;
        }
        m_state = m_stack.back();
        m_stack.pop_back();
    }
    void SetFont(const LogFont& font) override { m_state.font = font; }
    void SetTextAlign(int align) override { m_state.align = align; }
    void SetTextColor(Rgb color) override { m_state.textColor = color; }
    void SetBkMode(int mode) override { m_state.bkMode = mode; }
    void TextOut(int x, int y, const QByteArray& text) override
    {
        texts.push_back({x, y, text, m_state.textColor, m_state.align, m_state.bkMode,
                         m_state.font.height, m_state.font.faceName});
        order.push_back(Kind::Text);
    }
    void SetPen(int, int width, Rgb color) override
    {
        m_state.penWidth = width;
        m_state.penColor = color;
    }
    void MoveTo(int x, int y) override { m_cur = {x, y}; }
    void LineTo(int x, int y) override
    {
        lines.push_back({m_cur.x, m_cur.y, x, y, m_state.penColor, m_state.penWidth});
        order.push_back(Kind::Line);
        m_cur = {x, y};
    }
    void DrawGlyph(GlyphList list, int index, int x, int y, int style) override
    {
        glyphs.push_back({list, index, x, y, style});
        order.push_back(Kind::Glyph);
    }

    int Depth() const { return static_cast<int>(m_stack.size()); }
    const State& Current() const { return m_state; }

    std::vector<Segment> lines;
    std::vector<GlyphCall> glyphs;
    std::vector<TextCall> texts;
    std::vector<Kind> order;
    int maxDepth = 0;
    int unbalancedRestores = 0;

    std::vector<GlyphCall> Glyphs(GlyphList list) const
    {
        std::vector<GlyphCall> out;
        for (const GlyphCall& g : glyphs)
            if (g.list == list)
                out.push_back(g);
        return out;
    }
    // Segments that are not part of a staff (its lines and bars all start at x = 24 or 609).
    std::vector<Segment> LedgerLines() const
    {
        std::vector<Segment> out;
        for (const Segment& s : lines)
            if (s.x0 != 24 && s.x0 != 609)
                out.push_back(s);
        return out;
    }

private:
    State m_state;
    std::vector<State> m_stack;
    Point m_cur;
};

BYTE Code(int tone, int duration)
{
    return static_cast<BYTE>(tone * 8 + duration);
}

CMelody MelodyOf(std::initializer_list<BYTE> codes)
{
    CMelody m;
    for (BYTE c : codes)
        m.AppendNote(c);
    return m;
}

RecordingCanvas Draw(CMelody& m)
{
    RecordingCanvas dc;
    m.Draw(dc);
    return dc;
}

// The one note glyph (not a sharp) of a single-note melody.
GlyphCall NoteGlyph(const RecordingCanvas& dc)
{
    for (const GlyphCall& g : dc.Glyphs(GlyphList::Note))
        if (g.index != 10)
            return g;
    ADD_FAILURE() << "no note glyph drawn";
    return {};
}

bool NameHasSharp(int tone)
{
    return std::strchr(g_szNoteNames[tone % 12], '#') != nullptr;
}

} // namespace

// --- where notes go -------------------------------------------------------------------------

struct PlacementCase {
    int index;
    int tone;
    Point glyph;
};

class NotePlacement : public ::testing::TestWithParam<PlacementCase>
{
};

TEST_P(NotePlacement, GlyphGoesToTheStaffPositionOfItsIndexAndTone)
{
    const PlacementCase& c = GetParam();
    CMelody m;
    for (int i = 0; i <= c.index; ++i)
        m.AppendNote(Code(i == c.index ? c.tone : 11, 2));
    RecordingCanvas dc = Draw(m);
    std::vector<GlyphCall> notes;
    for (const GlyphCall& g : dc.Glyphs(GlyphList::Note))
        if (g.index != 10)
            notes.push_back(g);
    ASSERT_EQ(static_cast<int>(notes.size()), c.index + 1);
    EXPECT_EQ(notes.back().x, c.glyph.x);
    EXPECT_EQ(notes.back().y, c.glyph.y);
}

INSTANTIATE_TEST_SUITE_P(Grid, NotePlacement,
                         ::testing::Values(PlacementCase{0, 11, {90, 134}},
                                           PlacementCase{12, 20, {90, 232}},
                                           PlacementCase{23, 0, {585, 265}},
                                           PlacementCase{11, 31, {585, 105}}));

TEST(StaffDraw, ANoteEditedSinceItWasPlacedIsDrawnAtItsNewPitch)
{
    CMelody m = MelodyOf({Code(11, 2)});
    m.Select(0);
    m.ModifySelected(0); // tone up to 12: the stored position is not recomputed by the edit
    RecordingCanvas dc = Draw(m);
    EXPECT_EQ(NoteGlyph(dc).y, 132 + g_nStaffOffsets[12]);
}

// --- one note: its glyph, ledger lines and sharp, for every tone ---------------------------------

class EveryTone : public ::testing::TestWithParam<int>
{
};

TEST_P(EveryTone, LedgerLinesGlyphAndSharpFollowThePitch)
{
    const int t = GetParam();
    const int y0 = 132; // top staff line of row 0
    for (int d = 0; d < kDurationCount; ++d) {
        SCOPED_TRACE(::testing::Message() << "tone " << t << " duration " << d);
        CMelody m = MelodyOf({Code(t, d)});
        RecordingCanvas dc = Draw(m);
        const int x = 90, y = y0 + g_nStaffOffsets[t];

        std::vector<int> expectedLedgers;
        if (t <= 2)
            expectedLedgers = {y0 + 54, y0 + 45};
        else if (t <= 5)
            expectedLedgers = {y0 + 45};
        else if (t >= 28)
            expectedLedgers = {y0 - 18, y0 - 9};
        else if (t >= 25)
            expectedLedgers = {y0 - 9};
        std::vector<Segment> expected;
        for (int yl : expectedLedgers)
            expected.push_back({x - 4, yl, x + 15, yl, MakeRgb(0, 0, 0), 0});
        EXPECT_EQ(dc.LedgerLines(), expected);

        const GlyphCall g = NoteGlyph(dc);
        EXPECT_EQ(g.index, t <= 14 ? d : d + 5);
        EXPECT_EQ(g.x, x);
        EXPECT_EQ(g.y, y);

        std::vector<GlyphCall> sharps;
        for (const GlyphCall& s : dc.Glyphs(GlyphList::Note))
            if (s.index == 10)
                sharps.push_back(s);
        ASSERT_EQ(sharps.size(), NameHasSharp(t) ? 1u : 0u);
        if (!sharps.empty()) {
            EXPECT_EQ(sharps[0].x, x - 17);
            EXPECT_EQ(sharps[0].y, t <= 14 ? y + 12 : y - 9);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Tones, EveryTone, ::testing::Range(0, kToneCount));

TEST(StaffDraw, LedgerLinesGoUnderTheGlyphAndTheSharpOverIt)
{
    CMelody m = MelodyOf({Code(0, 2)});
    RecordingCanvas dc = Draw(m);
    using K = RecordingCanvas::Kind;
    // The staff: 7 lines and the clef; then the note: 2 ledger lines, its glyph, its sharp; then
    // the end mark.
    const std::vector<K> expected = {K::Text, K::Text, K::Line,  K::Line,  K::Line,
                                     K::Line, K::Line, K::Line,  K::Line,  K::Glyph,
                                     K::Line, K::Line, K::Glyph, K::Glyph, K::Glyph};
    EXPECT_EQ(dc.order, expected);
}

// --- selection --------------------------------------------------------------------------------

TEST(StaffDraw, SelectedNoteIsTintedWithItsSharpButNotItsLedgerLines)
{
    CMelody m = MelodyOf({Code(0, 2), Code(31, 4), Code(2, 1)});
    m.Select(1);
    RecordingCanvas dc = Draw(m);
    for (const GlyphCall& g : dc.Glyphs(GlyphList::Note)) {
        const bool second = g.x == 135 || g.x == 135 - 17;
        EXPECT_EQ(g.style, second ? kGlyphBlend25 : kGlyphNormal) << "glyph at x " << g.x;
    }
    for (const Segment& s : dc.LedgerLines())
        EXPECT_EQ(s.color, MakeRgb(0, 0, 0));
    EXPECT_EQ(dc.LedgerLines().size(), 6u);
    for (const GlyphCall& g : dc.Glyphs(GlyphList::Staff))
        EXPECT_EQ(g.style, kGlyphNormal);
}

// --- the staff, the clef and the end mark -------------------------------------------------------

struct EndMarkCase {
    int notes;
    Point at;
};

class EndMark : public ::testing::TestWithParam<EndMarkCase>
{
};

TEST_P(EndMark, StandsWhereTheNextNoteWouldBeLessSixteen)
{
    CMelody m;
    for (int i = 0; i < GetParam().notes; ++i)
        m.AppendNote(Code(i % kToneCount, i % kDurationCount));
    RecordingCanvas dc = Draw(m);
    const std::vector<GlyphCall> staff = dc.Glyphs(GlyphList::Staff);
    ASSERT_FALSE(staff.empty());
    EXPECT_EQ(staff.back().index, 1);
    EXPECT_EQ(staff.back().x, GetParam().at.x);
    EXPECT_EQ(staff.back().y, GetParam().at.y);
}

INSTANTIATE_TEST_SUITE_P(Counts, EndMark,
                         ::testing::Values(EndMarkCase{0, {74, 117}}, EndMarkCase{5, {299, 117}},
                                           EndMarkCase{11, {569, 117}}, EndMarkCase{12, {74, 217}},
                                           EndMarkCase{255, {209, 2217}}));

// Each of rows staves: five lines 9 apart from x 24 to 609, a bar at each end, and the clef.
void ExpectStaves(const RecordingCanvas& dc, int rows)
{
    std::vector<Segment> staffLines;
    for (const Segment& s : dc.lines)
        if (s.x0 == 24 || s.x0 == 609)
            staffLines.push_back(s);
    ASSERT_EQ(static_cast<int>(staffLines.size()), rows * 7);
    std::vector<GlyphCall> clefs;
    for (const GlyphCall& g : dc.Glyphs(GlyphList::Staff))
        if (g.index == 0)
            clefs.push_back(g);
    ASSERT_EQ(static_cast<int>(clefs.size()), rows);
    const Rgb black = MakeRgb(0, 0, 0);
    for (int r = 0; r < rows; ++r) {
        const int y0 = r * 100 + 132;
        for (int k = 0; k < 5; ++k)
            EXPECT_EQ(staffLines[r * 7 + k], (Segment{24, y0 + 9 * k, 609, y0 + 9 * k, black, 1}));
        EXPECT_EQ(staffLines[r * 7 + 5], (Segment{24, y0, 24, y0 + 36, black, 1}));
        EXPECT_EQ(staffLines[r * 7 + 6], (Segment{609, y0, 609, y0 + 36, black, 1}));
        EXPECT_EQ(clefs[r].x, 29);
        EXPECT_EQ(clefs[r].y, r * 100 + 117);
    }
}

TEST(StaffDraw, EmptyMelodyHasOneStaff)
{
    CMelody m;
    ExpectStaves(Draw(m), 1);
}

TEST(StaffDraw, TwelveNotesOpenASecondStaff)
{
    CMelody m;
    for (int i = 0; i < 12; ++i)
        m.AppendNote(Code(11, 3));
    ExpectStaves(Draw(m), 2);
}

TEST(StaffDraw, EveryStoredRowIsDrawnWhenTheFileGaveMoreThanTheNotesNeed)
{
    Archive out;
    out.WriteI32(4); // rows
    out.WriteString("x");
    out.WriteI32(2); // notes
    for (int i = 0; i < 2; ++i) {
        out.WriteU8(11);
        out.WriteU8(2);
    }
    test::ScriptedPrompter prompter;
    Archive in(out.Data(), &prompter);
    CMelody m;
    m.Serialize(in);
    ASSERT_TRUE(prompter.shown.empty());
    ASSERT_EQ(m.GetRows(), 4);
    ExpectStaves(Draw(m), 4);
}

// --- the title and the settings -------------------------------------------------------------

TEST(StaffDraw, TitleIsRedOverABlackShadowInTheTitleFont)
{
    CMelody m;
    m.SetTitle(QByteArray("\xCC\xE5\xEB\xEE\xE4\xE8\xFF")); // "Мелодия" in code page 1251
    RecordingCanvas dc = Draw(m);
    ASSERT_EQ(dc.texts.size(), 2u);
    const TextCall& shadow = dc.texts[0];
    const TextCall& title = dc.texts[1];
    EXPECT_EQ(shadow.x, 316);
    EXPECT_EQ(shadow.y, 44);
    EXPECT_EQ(shadow.color, MakeRgb(0, 0, 0));
    EXPECT_EQ(title.x, 315);
    EXPECT_EQ(title.y, 43);
    EXPECT_EQ(title.color, MakeRgb(255, 0, 0));
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
    CMelody m = MelodyOf({Code(0, 0), Code(17, 1), Code(31, 4)});
    m.Select(2);
    RecordingCanvas dc;
    dc.SetTextColor(MakeRgb(1, 2, 3));
    dc.SetPen(0, 7, MakeRgb(4, 5, 6));
    dc.SetTextAlign(24);
    m.Draw(dc);
    EXPECT_EQ(dc.unbalancedRestores, 0);
    EXPECT_EQ(dc.Depth(), 0);
    EXPECT_GT(dc.maxDepth, 0);
    EXPECT_EQ(dc.Current().textColor, MakeRgb(1, 2, 3));
    EXPECT_EQ(dc.Current().penWidth, 7);
    EXPECT_EQ(dc.Current().penColor, MakeRgb(4, 5, 6));
    EXPECT_EQ(dc.Current().align, 24);
}
