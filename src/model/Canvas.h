#pragma once
// What drawing a melody needs of a device, and no more: so the model stays free of QtGui, and a
// test can record every call with its coordinates.
#include <QByteArray>
#include <cstdint>

namespace tinkla
{

// A font record in the manner of a Windows LOGFONT; the defaults are the melody title font.
struct LogFont {
    int height = 36; // pixels: > 0 the character cell, < 0 the em, 0 a default size
    int width = 0;
    int escapement = 0;
    int orientation = 0;
    int weight = 400; // 100..900, 400 regular
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    uint8_t charSet = 0;
    uint8_t outPrecision = 0;
    uint8_t clipPrecision = 0;
    uint8_t quality = 2;         // PROOF_QUALITY
    uint8_t pitchAndFamily = 18; // VARIABLE_PITCH | FF_ROMAN
    const char* faceName = "Arial Cyr";
};

using Rgb = uint32_t; // 0x00BBGGRR, as RGB(r, g, b) packs it
constexpr Rgb MakeRgb(int r, int g, int b)
{
    return static_cast<Rgb>(r | (g << 8) | (b << 16));
}

enum class GlyphList { Staff, Note };  // 35 × 69 staff glyphs; 21 × 31 note glyphs
constexpr int kTextAlignCenterTop = 6; // TA_CENTER | TA_TOP
constexpr int kBkModeTransparent = 1;
constexpr int kGlyphNormal = 0;
constexpr int kGlyphSelected = 2; // the selected note, in the highlight colour

class Canvas
{
public:
    virtual ~Canvas() = default;
    // Settings (font, alignment, colours, mode, pen) are saved and restored as a whole.
    virtual void Save() = 0;
    virtual void Restore() = 0;
    virtual void SetFont(const LogFont& font) = 0;
    virtual void SetTextAlign(int align) = 0;
    virtual void SetTextColor(Rgb color) = 0;
    virtual void SetBkMode(int mode) = 0;
    virtual void TextOut(int x, int y, const QByteArray& cp1251) = 0;
    // style 0 = solid; width 0 = one device pixel.
    virtual void SetPen(int style, int width, Rgb color) = 0;
    virtual void MoveTo(int x, int y) = 0;
    virtual void LineTo(int x, int y) = 0; // the end point is not painted
    virtual void DrawGlyph(GlyphList list, int index, int x, int y, int style) = 0;
};

} // namespace tinkla
