#pragma once
// One note of a melody: a tone code 0..31 (G#3 208 Hz .. D#6 1245 Hz), a duration code 0..4
// (whole .. sixteenth; a smaller code is a longer note), the place of its glyph on the staff and
// whether it is the selected note. A note code packs both codes into one byte: tone × 8 + duration.
#include "platform/Byte.h"

#include <QString>

#include <cstdint>

namespace tinkla
{

class Archive;
class Canvas;

constexpr int kToneCount = 32;
constexpr int kDurationCount = 5;
constexpr BYTE kDefaultTone = 11;    // "Соль", G4
constexpr BYTE kDefaultDuration = 3; // "Восьмая"

// Whole hertz by tone code.
extern const int g_nFrequencies[kToneCount];
// Staff offset by tone code: the glyph's top from the row's top staff line (pixels).
extern const int g_nStaffOffsets[kToneCount];
// UTF-8 names: by tone code modulo 12 (index 0 is G sharp), and by duration code. The Russian
// names are the keys of their translations (context "CNote"); show them through the functions
// below.
extern const char* const g_szNoteNames[12];
extern const char* const g_szDurationNames[kDurationCount];
extern const char* const g_szDurationShort[kDurationCount];

// Octave format of a tone code, with "%s" for the note name: "%s, Первая октава", ...
const char* OctaveFormat(int tone);

// The names in the interface's language. Pitch without the octave: "Соль#" / "G#"; with it:
// "Соль#, Малая октава" / "G#3"; duration code 0..4: "Восьмая" / "Eighth" (empty out of range).
QString PitchName(int tone);
QString ToneName(int tone);
QString DurationName(int duration);

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

class CNote
{
public:
    CNote() = default; // tone 11, duration 3, not selected
    CNote(BYTE tone, BYTE duration) : m_nTone(tone), m_nDuration(duration) {}
    // Not validated: callers pass only codes whose low three bits are 0..4.
    explicit CNote(BYTE code) : m_nTone((code >> 3) & 0x1F), m_nDuration(code & 7) {}

    BYTE GetCode() const { return static_cast<BYTE>((m_nTone << 3) | m_nDuration); }
    BYTE GetTone() const { return m_nTone; }
    BYTE GetDuration() const { return m_nDuration; }
    void SetTone(BYTE tone) { m_nTone = tone; }
    void SetDuration(BYTE duration) { m_nDuration = duration; }

    // Each does nothing at its limit.
    void ToneUp();
    void ToneDown();
    void Lengthen();
    void Shorten();

    void Select() { m_nDrawStyle = 2; }
    void Deselect() { m_nDrawStyle = 0; }
    bool IsSelected() const { return m_nDrawStyle == 2; }
    int GetDrawStyle() const { return m_nDrawStyle; }

    // index: 0-based place in the melody; only this moves the glyph.
    void SetPosition(int index);
    Point GetPosition() const { return m_ptPos; }

    // Draws the glyph at its stored position with its selection style.
    void Draw(Canvas& dc) const;

    // Speaker tone of this note through the interval timer's channel 2, and off again.
    void SoundOn() const;
    static void SoundOff();

    // Two bytes: tone, duration. A bad record shows "Ошибка чтения ноты" and leaves the note as
    // it was; loading goes on.
    void Serialize(Archive& ar);

private:
    BYTE m_nTone = kDefaultTone;
    BYTE m_nDuration = kDefaultDuration;
    Point m_ptPos;
    int m_nDrawStyle = 0; // 0 normal, 2 selected (handed to the glyph drawing as its style)
};

} // namespace tinkla
