// The playback sequencer of CMelody: counted 55 ms ticks, a silent tick after every note.
//
// The note after the current one is always m_nPlayIndex + 1, so the melody itself is the cursor:
// nothing is shared between melodies, and a second player (the simulated doorbell) cannot move
// the editor's playback.
#include "model/Melody.h"

namespace tinkla
{

namespace
{
int TicksOf(const CNote& note)
{
    const int duration = note.GetDuration();
    // A duration code outside the table can only come from an unchecked note code; play it as
    // the longest note rather than read past the table.
    return kDurationTicks[duration < kDurationCount ? duration : 0];
}
} // namespace

void CMelody::PlayStep(bool bStart, bool bFromSelected)
{
    if (bStart) {
        m_nTicks = 0;
        m_bPause = false;
        if (m_notes.empty()) {
            // Nothing to play: end at once instead of sounding a note that does not exist.
            m_nPlayIndex = 0;
            m_bSounding = false;
            m_bEnded = true;
            return;
        }
        m_nPlayIndex = bFromSelected && m_nSelected >= 0 ? m_nSelected : 0;
        m_notes[m_nPlayIndex].SoundOn();
        m_bSounding = true;
        m_bEnded = false;
        return;
    }

    // Only a running playback advances (sounding, or in the pause after a note).
    if (m_bEnded || (!m_bSounding && !m_bPause))
        return;
    if (m_nPlayIndex < 0 || m_nPlayIndex >= GetNoteCount()) {
        // The notes changed under the playback; end it silently rather than index past them.
        if (m_bSounding)
            CNote::SoundOff();
        m_bSounding = m_bPause = false;
        m_bEnded = true;
        return;
    }

    if (!m_bPause) {
        if (m_nTicks >= TicksOf(m_notes[m_nPlayIndex])) {
            CNote::SoundOff();
            m_bSounding = false;
            m_bPause = true;
            m_nTicks = 0;
        }
    } else if (m_nTicks >= 1) {
        m_bPause = false;
    }

    if (!m_bSounding && !m_bPause) {
        if (m_nPlayIndex + 1 < GetNoteCount()) {
            ++m_nPlayIndex;
            m_notes[m_nPlayIndex].SoundOn();
            m_nTicks = 0;
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
