#pragma once
// Melodies in the world's formats: RTTTL ring-tone texts and Standard MIDI Files, read into notes
// of true pitch and written from a melody's note codes, and the fit that brings any pitch into
// the doorbell's 32 semitones. Pure functions over bytes: no files, no messages. A reader refuses
// what it cannot read with a text that names the place (character position or byte offset).
#include "model/Note.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace tinkla::exchange
{

constexpr int kLowestPitch = 56; // MIDI note number of tone code 0 (G#3)
constexpr int kHighestPitch = kLowestPitch + kToneCount - 1; // D#6, tone code 31
constexpr int kExportBpm = 136;   // the standard tempo nearest a 440 ms quarter
constexpr int kMidiDivision = 96; // ticks per quarter of the MIDI files we write
constexpr int kTitleChars = 30;   // the longest title the title dialog allows

struct ImportedNote {
    int pitch = 0;     // MIDI note number, any (a4 = 69); the fit brings it into range
    BYTE duration = 0; // duration code 0..4
    bool operator==(const ImportedNote&) const = default;
};

// What the reader had to change to make the file's melody playable: each kind counted.
struct Approximations {
    int dots = 0;       // dotted notes played at their plain length
    int shortNotes = 0; // notes shorter than a 1/16 played as a 1/16
    int rests = 0;      // rests left out (every note keeps its short pause)
    int chords = 0;     // chords reduced to their highest note
    int lengths = 0;    // MIDI lengths moved to the nearest of the five
};

struct Imported {
    QString title; // as the file names it (RTTTL name, MIDI track name); may be empty
    std::vector<ImportedNote> notes;
    Approximations approx;
    int tempoBpm = 0; // the file's tempo, reported and not kept; 0 when it gives none
};

// An RTTTL (or RTX) text: "name:d=4,o=6,b=63:8e6,8d#6,...". Returns false with *error naming the
// 1-based character position when the text is not one.
bool ReadRtttl(const QByteArray& text, Imported* out, QString* error);
// track: 1-based track number, or 0 for the first track with notes. Formats 0 and 1; returns
// false with *error naming the byte offset of what it cannot read.
bool ReadMidi(const QByteArray& bytes, int track, Imported* out, QString* error);

// codes: note codes of a melody (tone code × 8 + duration code). Both give the same notes back
// through the readers.
QByteArray WriteRtttl(const QString& title, const std::vector<BYTE>& codes);
QByteArray WriteMidi(const QString& title, const std::vector<BYTE>& codes);

struct FitResult {
    std::vector<BYTE> codes;
    int shift = 0;   // semitones applied to the whole melody before folding
    int folded = 0;  // notes that were still out of range, moved by octaves
    int dropped = 0; // notes past maxNotes, left out
};
// fitOctaves: the whole melody moves by the octave shift that puts the most notes in range (a tie
// goes to the smaller shift); otherwise by `semitones`. Notes still out of range move by octaves
// until they are in. Only the first maxNotes notes are kept.
FitResult FitNotes(const std::vector<ImportedNote>& notes, bool fitOctaves, int semitones,
                   int maxNotes);

// Moves every note by `semitones`. A note that would leave the range refuses the whole move
// (false, codes unchanged) unless fold, which moves it back by octaves (*folded counts those).
bool TransposeCodes(std::vector<BYTE>* codes, int semitones, bool fold, int* folded);

// The report after an import, in the program's words, one line a fact.
QString ImportReport(const Imported& imported, const FitResult& fit, int maxNotes);
// A title for the melody: the first 30 characters code page 1251 can hold, as its bytes.
QByteArray TitleBytes(const QString& title);
// Bytes of a name read from a file: UTF-8 when they are valid UTF-8, else code page 1251.
QString DecodeName(const QByteArray& bytes);

} // namespace tinkla::exchange
