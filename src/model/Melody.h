#pragma once
// One melody of a set: a title (code page 1251 bytes), its notes in playing order, at most one
// selected note, and the staff rows it is drawn on (12 notes a row). The melody does not know the
// set's limit N: its callers enforce it.
#include "model/Note.h"

#include <QByteArray>
#include <vector>

namespace tinkla
{

class Archive;
class Canvas;

constexpr int kNotesPerRow = 12;
// The most rows a melody of the largest set format (255 notes) needs.
constexpr int kMaxRows = 255 / kNotesPerRow + 1;
// The longest title kept from a file, bytes (one byte a character in code page 1251).
constexpr qsizetype kMaxTitleBytes = 255;

// Ticks each duration code sounds on the 55 ms playback timer.
constexpr int kDurationTicks[kDurationCount] = {32, 16, 8, 4, 2};

class CMelody
{
public:
    CMelody(); // title "Новая мелодия", no notes, no selection, 1 row

    // Editing; all positions are 0-based note indices.
    void InsertNote();          // default note after the selection (or at the end), selected
    void AppendNote(BYTE code); // at the end; the selection stays
    void DeleteSelected();
    void DeleteLast();
    void DeleteAll();
    void ModifySelected(BYTE op); // 0 tone up, 1 tone down, 2 lengthen, 3 shorten
    void HitTest(int x, int y);   // melody drawing coordinates
    void Select(int index);       // ignored outside 0..count-1
    void Deselect();
    void SetTitle(QByteArray title) { m_strTitle = std::move(title); }
    void RecalcRows() { m_nRows = GetNoteCount() / kNotesPerRow + 1; }

    int GetSelected() const { return m_nSelected; }
    int GetNoteCount() const { return static_cast<int>(m_notes.size()); }
    int GetRows() const { return m_nRows; }
    QByteArray GetTitle() const { return m_strTitle; }
    Point GetNotePosition(int index) const { return m_notes.at(index).GetPosition(); }
    BYTE GetNoteCode(int index) const { return m_notes.at(index).GetCode(); }
    const CNote& GetNote(int index) const { return m_notes.at(index); }

    // The whole staff picture; recomputes every note's position.
    void Draw(Canvas& dc);

    // Playback sequencer, driven by the 55 ms timer: Tick counts, PlayStep advances.
    void PlayStep(bool bStart, bool bFromSelected);
    void Tick() { ++m_nTicks; }
    bool IsPlayEnded() const { return m_bEnded; }
    int GetPlayIndex() const { return m_nPlayIndex; }
    bool IsSounding() const { return m_bSounding; }
    void StopPlay();

    // The melody record: rows, title, count, notes. Loading appends to an empty melody; a count
    // outside 0..rows×12 shows "Ошибка чтения мелодии" and leaves the melody as it was.
    // maxNotes bounds what a loaded melody may hold (the set's N): extra notes are read past and
    // dropped, with a message, so no melody is ever longer than the doorbell has room for.
    void Serialize(Archive& ar, int maxNotes = 255);

private:
    QByteArray m_strTitle;
    std::vector<CNote> m_notes;
    int m_nSelected = -1;
    int m_nPlayIndex = 0;
    int m_nTicks = 0;
    bool m_bSounding = false;
    bool m_bPause = false;
    bool m_bEnded = false;
    int m_nRows = 1;
};

// The title every new melody gets, in code page 1251, in the interface's language.
QByteArray DefaultMelodyTitle();

} // namespace tinkla
