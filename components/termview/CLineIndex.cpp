#include "CLineIndex.h"

#include <algorithm>

void CLineIndex::Clear()
{
    m_starts.clear();
    m_starts.push_back(0);
    m_nFirstLine = 0;
    m_bAfterCR = false;
}

uint64_t CLineIndex::DropOldest(std::size_t count)
{
    count = std::min(count, m_starts.size() - 1);
    m_starts.erase(m_starts.begin(), m_starts.begin() + static_cast<std::ptrdiff_t>(count));
    m_nFirstLine += count;
    return m_starts.front();
}

std::size_t CLineIndex::LineOf(uint64_t offset) const
{
    const auto it = std::upper_bound(m_starts.begin(), m_starts.end(), offset);
    return it == m_starts.begin() ? 0 : static_cast<std::size_t>(it - m_starts.begin() - 1);
}
