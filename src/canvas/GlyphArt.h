#pragma once
// The thirteen staff glyphs as pixel art: '#' is the red figure, '.' the white ground. The black
// one-pixel shadow to the right and below is not part of the art; it is derived from the figure
// when the images are made, so the two can never disagree.
#include "model/Canvas.h"

#include <string>
#include <vector>

namespace tinkla
{

// Note glyphs: 21 × 31 cells, in the order the drawing indexes them (duration code for stem-up
// notes, duration code + 5 for stem-down notes, 10 the sharp). Heads lie in rows 21..30 (stem up)
// or 0..9 (stem down) and columns 0..11, shadow included.
constexpr int kNoteGlyphCount = 11;
constexpr int kNoteGlyphWidth = 21;
constexpr int kNoteGlyphHeight = 31;
constexpr int kSharpGlyph = 10;

// Staff glyphs: 35 × 69 cells; 0 the treble clef (placed 15 rows above the top staff line, so the
// G line is row 42), 1 the final bar line (rows 14..50, thin bar in columns 15..16, thick bar in
// columns 20..25, shadow included).
constexpr int kStaffGlyphCount = 2;
constexpr int kStaffGlyphWidth = 35;
constexpr int kStaffGlyphHeight = 69;

// The figure of glyph index in list: one string per row of the cell, each as wide as the cell.
// index must be below the list's count.
std::vector<std::string> GlyphArt(GlyphList list, int index);

} // namespace tinkla
