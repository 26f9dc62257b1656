// The staff picture as the sequence of drawing calls: where each glyph, line and title goes, with
// which pen and style, and that every setting changed is given back.
#include "model/Canvas.h"
#include "model/Melody.h"
#include "platform/Archive.h"
#include "support/DocTestKit.h"
#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

using namespace tinkla;

namespace
{

// Every call as a word: { and } save and restore; lines x0,y0>x1,y1; glyphs S or N (staff or
// note list) index@x,y with /style unless normal; texts Tx,y:text; colours in hex.
class LogCanvas : public Canvas
{
public:
    explicit LogCanvas(CMelody& m) { m.Draw(*this); }
    explicit LogCanvas(const CNote& n) { n.Draw(*this); }
    void Save() override { Add("{"); }
    void Restore() override { Add("}"); }
    void SetFont(const LogFont& f) override { Add("font", f.height, ':', f.faceName); }
    void SetTextAlign(int align) override { Add("align", align); }
    void SetTextColor(Rgb color) override { Add("color", std::hex, color); }
    void SetBkMode(int mode) override { Add("bk", mode); }
    void TextOut(int x, int y, const QByteArray& s) override { Add('T', x, ',', y, ':', s.data()); }
    void SetPen(int style, int w, Rgb c) override { Add("pen", style, ',', w, ',', std::hex, c); }
    void MoveTo(int x, int y) override { m_cur = {x, y}; }
    void LineTo(int x, int y) override
    {
        Add(m_cur.x, ',', m_cur.y, '>', x, ',', y);
        m_cur = {x, y};
    }
    void DrawGlyph(GlyphList list, int index, int x, int y, int style) override
    {
        Add(list == GlyphList::Note ? 'N' : 'S', index, '@', x, ',', y,
            style == kGlyphNormal ? "" : "/" + std::to_string(style));
    }

    std::string log;

private:
    template <class... T> void Add(const T&... parts)
    {
        std::ostringstream word;
        ((word << parts), ...);
        log += (log.empty() ? "" : " ") + word.str();
    }
    Point m_cur;
};

// Every setting is made inside a save and given back by its restore.
TEST(StaffDraw, OneNoteMelodyIsTitleStaffNoteAndEndMark)
{
    CMelody m;
    m.SetTitle("Tune");
    m.AppendNote(0 * 8 + 2); // G#3: two ledger lines and a sharp
    m.Select(0);
    EXPECT_EQ(LogCanvas(m).log,
              "{ font36:Arial Cyr align6 color0 bk1 T316,44:Tune colorff T315,43:Tune } "
              "{ pen0,1,0 24,132>609,132 24,141>609,141 24,150>609,150 24,159>609,159 "
              "24,168>609,168 24,132>24,168 609,132>609,168 S0@29,117 } "
              "{ pen0,0,0 86,186>105,186 86,177>105,177 N2@90,165/2 N10@73,177/2 } "
              "S1@119,117");
}

// The end mark stands where the next note would, less sixteen. A row of staff is drawn for every
// twelve notes begun, and for every row a file stores.
TEST(StaffDraw, NotesEndMarkAndStaffRowsFollowTheIndex)
{
    test::ScriptedPrompter prompter;
    Archive in(test::MelodyRecord(4, "x", 2, test::NoteBytes(2, 11, 2)), &prompter);
    CMelody stored;
    stored.Serialize(in);
    ASSERT_TRUE(prompter.shown.empty());
    const struct {
        int notes, rows;
        const char* tail; // of the log
    } rows[] = {{0, 1, "S0@29,117 } S1@74,117"},
                {12, 2, "N2@585,134 } S1@74,217"},
                {13, 2, "N2@90,234 } S1@119,217"},
                {255, 22, "N2@180,2234 } S1@209,2217"},
                {-1, 4, "N2@135,134 } S1@164,117"}}; // the stored melody: two notes
    for (const auto& r : rows) {
        CMelody m;
        for (int i = 0; i < r.notes; ++i)
            m.AppendNote(11 * 8 + 2);
        const std::string log = LogCanvas(r.notes < 0 ? stored : m).log;
        EXPECT_TRUE(log.ends_with(r.tail)) << log.substr(log.size() > 30 ? log.size() - 30 : 0);
        const std::string clef = "S0@29,"; // the last row's clef, and none after it
        EXPECT_NE(log.find(clef + std::to_string(r.rows * 100 + 17)), std::string::npos);
        EXPECT_EQ(log.find(clef + std::to_string(r.rows * 100 + 117)), std::string::npos);
    }
}

TEST(StaffDraw, ANoteEditedSinceItWasPlacedIsDrawnAtItsNewPitch)
{
    CMelody m;
    m.AppendNote(11 * 8 + 2);
    m.Select(0);
    m.ModifySelected(0); // two tones up, to 13: the stored position is not recomputed by an edit
    m.ModifySelected(0);
    EXPECT_NE(LogCanvas(m).log.find(" N2@90,129/2 "), std::string::npos);
}

// The ends of the range, and the tones where ledger lines, the stem's side or a sharp change.
TEST(StaffDraw, LedgerLinesGlyphAndSharpFollowThePitch)
{
    const struct {
        int tone, duration;
        const char* calls;
    } rows[] = {
        {0, 0, "86,186>105,186 86,177>105,177 N0@90,165 N10@73,177"},
        {2, 2, "86,186>105,186 86,177>105,177 N2@90,161 N10@73,173"},
        {3, 3, "86,177>105,177 N3@90,156"},
        {5, 0, "86,177>105,177 N0@90,152 N10@73,164"},
        {6, 1, "N1@90,147"},
        {14, 4, "N4@90,129 N10@73,141"},
        {15, 0, "N5@90,146"},
        {24, 4, "N9@90,123 N10@73,114"},
        {25, 0, "86,123>105,123 N5@90,119"},
        {28, 3, "86,114>105,114 86,123>105,123 N8@90,110"},
        {31, 7, "86,114>105,114 86,123>105,123 N9@90,105 N10@73,96"}}; // 7: past the shortest
    for (const auto& r : rows) {
        CNote note(r.tone, r.duration);
        note.SetPosition(0);
        EXPECT_EQ(LogCanvas(note).log, std::string("{ pen0,0,0 ") + r.calls + " }") << r.tone;
    }
    for (int t = 0; t < kToneCount; ++t) // a sharp where the name has one
        EXPECT_EQ(LogCanvas(CNote(t, 2)).log.find("N10@") != std::string::npos,
                  QByteArray(g_szNoteNames[t % 12]).contains('#'))
            << "tone " << t;
}

} // namespace
