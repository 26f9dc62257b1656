// Pixel art of the staff glyphs, drawn at the size they are shown (nine pixels between staff
// lines): outlines scaled down to this size lose their stems and flags, hand-placed pixels do not.
// The note glyphs are put together from a head, a stem and flags, so all ten share one head of
// each kind and the stem-down flags mirror the stem-up ones.
#include "canvas/GlyphArt.h"

namespace tinkla
{
namespace
{

// One string per pixel row keeps the pictures legible.
// clang-format off

// Heads, 11 × 9, tilted as engraved heads are; the whole note's hollow leans against the tilt.
constexpr int kHeadRows = 9;
const char* const kHeadFilled[kHeadRows] = {
    "......##...",
    "...#######.",
    "..#########",
    ".##########",
    "###########",
    "##########.",
    "#########..",
    ".#######...",
    "...##......",
};
const char* const kHeadHalf[kHeadRows] = {
    "......##...",
    "...#######.",
    "..#####.###",
    ".####...###",
    "####...####",
    "###...####.",
    "###.#####..",
    ".#######...",
    "...##......",
};
const char* const kHeadWhole[kHeadRows] = {
    "...#####...",
    ".#########.",
    "####..#####",
    "###....####",
    "####...####",
    "####....###",
    "#####..####",
    ".#########.",
    "...#####...",
};

// Flags of a stem-up note, from the top of the stem down; column 0 is the stem's column.
const char* const kFlagEighth[] = {
    "#.........",
    "##........",
    "###.......",
    "####......",
    "#.###.....",
    "#..###....",
    "#...###...",
    "#....###..",
    "#.....###.",
    "#......##.",
    "#.......##",
    "#.......##",
    "#.......#.",
    "#......##.",
};
// Two flags; the upper one runs into the lower one.
const char* const kFlagSixteenth[] = {
    "#.........",
    "##........",
    "###.......",
    "#.###.....",
    "##.###....",
    "###..###..",
    "####..###.",
    "#.###..##.",
    "#..###.###",
    "#...###.##",
    "#....#####",
    "#......###",
    "#.......##",
    "#.......##",
    "#.......#.",
    "#......##.",
};

// Two flags of a stem-down note, from the foot of the stem up: the stem-up pair mirrored would
// close into a loop and read as a flat beside the sharp, so these are two open strokes rising to
// the right, each ending in a short hook.
const char* const kFlagSixteenthDown[] = {
    "#.........",
    "###.......",
    "#.###.....",
    "#...###...",
    "#.....###.",
    "###.....##",
    "#.###....#",
    "#...###...",
    "#.....###.",
    "#.......##",
    "#........#",
};

// The sharp, 15 × 25: thin uprights, the right one higher, and thick bars rising to the right.
const char* const kSharp[] = {
    "..........#....",
    "..........#....",
    "..........#....",
    "....#.....#....",
    "....#.....#....",
    "....#.....#.###",
    "....#...#######",
    "....###########",
    "############...",
    "########..#....",
    "#####.....#....",
    "....#.....#....",
    "....#.....#....",
    "....#.....#....",
    "....#.....#.###",
    "....#...#######",
    "....###########",
    "############...",
    "########..#....",
    "#####.....#....",
    "....#.....#....",
    "....#.....#....",
    "....#..........",
    "....#..........",
    "....#..........",
};

// The treble clef in its whole 35 × 69 cell; the curl winds round row 42, the G line.
const char* const kTrebleClef[kStaffGlyphHeight] = {
    "...................................",
    "...................####............",
    "..................##..##...........",
    ".................##...###..........",
    ".................##....##..........",
    "................##.....##..........",
    "................##.....##..........",
    "................##....###..........",
    "................##....###..........",
    "................##....###..........",
    "................##...####..........",
    "................##...####..........",
    "................##..#####..........",
    "................##..####...........",
    "................##.#####...........",
    "................#######............",
    "................######.............",
    "................######.............",
    "................#####..............",
    "...............#####...............",
    "..............#####................",
    ".............######................",
    "............#######................",
    "...........########................",
    "..........######.##................",
    ".........######..##................",
    "........######...##................",
    "........#####....##................",
    ".......#####.....##................",
    "......#####......##................",
    ".....#####.......##................",
    ".....#####.......###...............",
    "....#####........########..........",
    "....####........####..#####........",
    "...#####.......#####....####.......",
    "...####........#####......###......",
    "...####.......######......####.....",
    "...####.......######.......####....",
    "..#####.......######.......####....",
    "..#####.......######........####...",
    "..#####.......#######.......####...",
    "..#####........######.......####...",
    "...####........######.......####...",
    "...####.........#####.......####...",
    "...####............##.......####...",
    "....####...........##.......####...",
    "....####...........##......####....",
    ".....####..........##......####....",
    "......####.........##.....####.....",
    ".......####........##....####......",
    "........#####......##...####.......",
    "..........#######..#######.........",
    ".............###########...........",
    "...................###.............",
    "...................###.............",
    "...................###.............",
    "...................###.............",
    "...................###.............",
    "...................###.............",
    "..........###......##..............",
    ".........######....##..............",
    "........#######....##..............",
    "........#######...###..............",
    ".........#####....##...............",
    "..........####..###................",
    "............######.................",
    "...................................",
    "...................................",
    "...................................",
};

// clang-format on

using Art = std::vector<std::string>;

template <size_t N>
void Put(Art& art, const char* const (&rows)[N], int left, int top, bool flipRows = false)
{
    for (int r = 0; r < static_cast<int>(N); ++r) {
        const int y = flipRows ? top - r : top + r;
        for (int c = 0; rows[r][c]; ++c)
            if (rows[r][c] == '#')
                art.at(static_cast<size_t>(y)).at(static_cast<size_t>(left + c)) = '#';
    }
}

void VLine(Art& art, int x, int top, int bottom)
{
    for (int y = top; y <= bottom; ++y)
        art.at(static_cast<size_t>(y)).at(static_cast<size_t>(x)) = '#';
}

// Stem up: head in rows 21..29, stem on its right (column 10) from row 0, flags to the right of
// the stem. Stem down: head in rows 0..8, stem on its left (column 0) down to row 29, flags
// mirrored upwards from the foot of the stem. Row 30 and column 20 stay free for the shadow.
Art NoteArt(int duration, bool stemUp)
{
    Art art(kNoteGlyphHeight, std::string(kNoteGlyphWidth, '.'));
    const char* const(&head)[kHeadRows] = duration == 0   ? kHeadWhole
                                          : duration == 1 ? kHeadHalf
                                                          : kHeadFilled;
    const int headTop = stemUp ? 21 : 0;
    Put(art, head, 0, headTop);
    if (duration == 0)
        return art;
    const int stemX = stemUp ? 10 : 0;
    if (stemUp)
        VLine(art, stemX, 0, headTop + 3);
    else
        VLine(art, stemX, 4, 29);
    const int flagTop = stemUp ? 0 : 29;
    if (duration == 3)
        Put(art, kFlagEighth, stemX, flagTop, !stemUp);
    else if (duration == 4 && stemUp)
        Put(art, kFlagSixteenth, stemX, flagTop);
    else if (duration == 4)
        Put(art, kFlagSixteenthDown, stemX, flagTop, true);
    return art;
}

// A thin bar (column 15) and a thick bar (columns 20..24), rows 14..49.
Art BarLineArt()
{
    Art art(kStaffGlyphHeight, std::string(kStaffGlyphWidth, '.'));
    for (int x : {15, 20, 21, 22, 23, 24})
        VLine(art, x, 14, 49);
    return art;
}

} // namespace

std::vector<std::string> GlyphArt(GlyphList list, int index)
{
    if (list == GlyphList::Staff) {
        if (index == 0)
            return Art(std::begin(kTrebleClef), std::end(kTrebleClef));
        return BarLineArt();
    }
    if (index == kSharpGlyph) {
        Art art(kNoteGlyphHeight, std::string(kNoteGlyphWidth, '.'));
        Put(art, kSharp, 0, 0);
        return art;
    }
    return NoteArt(index % 5, index < 5);
}

} // namespace tinkla
