// Drawing a melody as sheet music: a shadowed red title, a five-line staff with clef per row of
// twelve notes, note glyphs at their pitch with ledger lines and sharps, and the final bar line.
#include "model/Canvas.h"
#include "model/Melody.h"

namespace tinkla
{
namespace
{

bool IsStemUpSharp(int tone)
{
    switch (tone) {
    case 0:
    case 2:
    case 5:
    case 7:
    case 10:
    case 12:
    case 14:
        return true;
    default:
        return false;
    }
}

bool IsStemDownSharp(int tone)
{
    switch (tone) {
    case 17:
    case 19:
    case 22:
    case 24:
    case 26:
    case 29:
    case 31:
        return true;
    default:
        return false;
    }
}

void LedgerLine(Canvas& dc, int x, int y)
{
    dc.MoveTo(x - 4, y);
    dc.LineTo(x + 15, y);
}

} // namespace

void CNote::Draw(Canvas& dc) const
{
    const int t = m_nTone < kToneCount ? m_nTone : kToneCount - 1;
    const int d = m_nDuration < kDurationCount ? m_nDuration : kDurationCount - 1;
    const int x = m_ptPos.x;
    const int y = m_ptPos.y;
    const int y0 = y - g_nStaffOffsets[t]; // top staff line of the note's row

    dc.Save();
    dc.SetPen(0, 0, MakeRgb(0, 0, 0));
    if (t <= 2) {
        LedgerLine(dc, x, y0 + 54);
        LedgerLine(dc, x, y0 + 45);
    } else if (t <= 5) {
        LedgerLine(dc, x, y0 + 45);
    } else if (t >= 28) {
        LedgerLine(dc, x, y0 - 18);
        LedgerLine(dc, x, y0 - 9);
    } else if (t >= 25) {
        LedgerLine(dc, x, y0 - 9);
    }
    dc.DrawGlyph(GlyphList::Note, t <= 14 ? d : d + 5, x, y, m_nDrawStyle);
    if (IsStemUpSharp(t))
        dc.DrawGlyph(GlyphList::Note, 10, x - 17, y + 12, m_nDrawStyle);
    else if (IsStemDownSharp(t))
        dc.DrawGlyph(GlyphList::Note, 10, x - 17, y - 9, m_nDrawStyle);
    dc.Restore();
}

void CMelody::Draw(Canvas& dc)
{
    dc.Save();
    dc.SetFont(LogFont{});
    dc.SetTextAlign(kTextAlignCenterTop);
    dc.SetTextColor(MakeRgb(0, 0, 0));
    dc.SetBkMode(kBkModeTransparent);
    dc.TextOut(316, 44, m_strTitle);
    dc.SetTextColor(MakeRgb(255, 0, 0));
    dc.TextOut(315, 43, m_strTitle);
    dc.Restore();

    dc.Save();
    dc.SetPen(0, 1, MakeRgb(0, 0, 0));
    for (int r = 0; r < m_nRows; ++r) {
        const int y0 = r * 100 + 132;
        for (int k = 0; k < 5; ++k) {
            dc.MoveTo(24, y0 + 9 * k);
            dc.LineTo(609, y0 + 9 * k);
        }
        dc.MoveTo(24, y0);
        dc.LineTo(24, y0 + 36);
        dc.MoveTo(609, y0);
        dc.LineTo(609, y0 + 36);
        dc.DrawGlyph(GlyphList::Staff, 0, 29, r * 100 + 117, kGlyphNormal);
    }
    dc.Restore();

    for (int i = 0; i < GetNoteCount(); ++i) {
        m_notes[i].SetPosition(i);
        m_notes[i].Draw(dc);
    }
    const int n = GetNoteCount();
    dc.DrawGlyph(GlyphList::Staff, 1, (n % kNotesPerRow) * 45 + 74, (n / kNotesPerRow) * 100 + 117,
                 kGlyphNormal);
}

} // namespace tinkla
