// The playback sequencer of CMelody: counted 55 ms ticks, a silent tick after every note.
#include "model/Melody.h"

namespace tinkla {
namespace {
// One playback at a time (the playback dialog is modal), so the cursor is process-wide: the note
// that sounds and the index of the one after it.
int g_nCursorCurrent = -1;
int g_nCursorNext = -1;
} // namespace

void CMelody::PlayStep(bool bStart, bool bFromSelected)
{
    if (bStart) {
        const int first = bFromSelected && m_nSelected >= 0 ? m_nSelected : 0;
        if (m_notes.empty()) {
            m_bSounding = m_bPause = false;
            m_bEnded = true;
            return;
        }
        m_nPlayIndex = first;
        g_nCursorCurrent = first;
        g_nCursorNext = first + 1 < GetNoteCount() ? first + 1 : -1;
        m_notes[g_nCursorCurrent].SoundOn();
        m_nTicks = 0;
        m_bSounding = true;
        m_bPause = false;
        m_bEnded = false;
        return;
    }

    if (m_bEnded)
        return;
    if (!m_bPause) {
        const int duration = m_notes[g_nCursorCurrent].GetDuration();
        const int length = kDurationTicks[duration < kDurationCount ? duration : 0];
        if (m_nTicks >= length) {
            CNote::SoundOff();
            m_bSounding = false;
            m_bPause = true;
            m_nTicks = 0;
        }
    } else if (m_nTicks >= 1) {
        m_bPause = false;
    }
    if (!m_bSounding && !m_bPause) {
        if (g_nCursorNext >= 0 && g_nCursorNext < GetNoteCount()) {
            g_nCursorCurrent = g_nCursorNext;
            g_nCursorNext = g_nCursorNext + 1 < GetNoteCount() ? g_nCursorNext + 1 : -1;
            m_notes[g_nCursorCurrent].SoundOn();
            m_nTicks = 0;
            ++m_nPlayIndex;
            m_bSounding = true;
        } else {
            m_bEnded = true;
        }
    }
}

void CMelody::StopPlay()
{
    if (m_bSounding) {
        CNote::SoundOff();
        m_bSounding = false;
        m_bEnded = true;
    }
    Select(m_nPlayIndex);
}

} // namespace tinkla
