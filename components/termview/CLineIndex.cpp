#include "CLineIndex.h"

#include <algorithm>

void CLineIndex::Clear()
{
    m_starts.clear();
    m_starts.push_back(0);
    m_nFirstLine = 0;
    m_bAfterCR = false;
    m_nHighRun = 0;
}

uint64_t CLineIndex::DropOldest(std::size_t count)
{
    count = std::min(count, m_starts.size() - 1);
    m_starts.erase(m_starts.begin(), m_starts.begin() + static_cast<std::ptrdiff_t>(count));
    m_nFirstLine += count;
    return m_starts.front();
}
