#pragma once
// The set's undo history. Each step keeps what it changed as it was before and after (one melody
// or, for changes of the whole set, the set), with the current melody and the selection of the
// moment, so that undo and redo give back the set byte for byte and show where the change was.
#include <QByteArray>
#include <cstddef>
#include <vector>

namespace tinkla
{

struct EditState {
    unsigned current = 1; // the current melody, 1-based
    int melody = -1;      // the melody `bytes` holds (0-based; its record), or -1: the whole set
    QByteArray bytes;
    int selected = -1; // in that melody, or in the current one for the whole set
};

struct EditStep {
    const char* name; // UTF-8, shown in the Edit menu: "Вставка ноты"
    EditState before;
    EditState after;
};

class EditHistory
{
public:
    // Forgets every step; the present state is the saved one when clean.
    void Clear(bool clean = true);
    // A new step after the ones that can be undone; the ones that could be redone are gone.
    void Push(EditStep step);
    const EditStep* NextUndo() const { return m_nDone > 0 ? &m_steps[m_nDone - 1] : nullptr; }
    const EditStep* NextRedo() const
    {
        return m_nDone < m_steps.size() ? &m_steps[m_nDone] : nullptr;
    }
    // Move one step back or forward and return it; call only when NextUndo/NextRedo is there.
    const EditStep& Undo() { return m_steps[--m_nDone]; }
    const EditStep& Redo() { return m_steps[m_nDone++]; }
    // The present state is the one on disk; IsClean says whether the history is back there.
    void SetClean() { m_nClean = static_cast<std::ptrdiff_t>(m_nDone); }
    bool IsClean() const { return m_nClean == static_cast<std::ptrdiff_t>(m_nDone); }

private:
    std::vector<EditStep> m_steps;
    size_t m_nDone = 0;          // steps in effect
    std::ptrdiff_t m_nClean = 0; // m_nDone of the saved state; -1 when no step leads back to it
};

} // namespace tinkla
