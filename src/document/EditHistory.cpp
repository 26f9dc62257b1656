#include "document/EditHistory.h"

namespace tinkla
{

void EditHistory::Clear(bool clean)
{
    m_steps.clear();
    m_nDone = 0;
    m_nClean = clean ? 0 : -1;
}

void EditHistory::Push(EditStep step)
{
    m_steps.resize(m_nDone);
    if (m_nClean > static_cast<std::ptrdiff_t>(m_nDone))
        m_nClean = -1; // the saved state was further on, on the branch now dropped
    m_steps.push_back(std::move(step));
    ++m_nDone;
}

} // namespace tinkla
