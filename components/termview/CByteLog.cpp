#include "CByteLog.h"

#include <algorithm>

void CByteLog::Append(const uint8_t* bytes, std::size_t n, uint8_t attr)
{
    // Through a small array: a range of plain cells goes into the deque block by block.
    constexpr std::size_t kStepCells = 4096;
    Cell step[kStepCells];
    for (std::size_t done = 0; done < n;) {
        const std::size_t count = std::min(n - done, kStepCells);
        for (std::size_t i = 0; i < count; ++i)
            step[i] = Cell{bytes[done + i], attr};
        m_cells.insert(m_cells.end(), step, step + count);
        done += count;
    }
}

void CByteLog::Clear()
{
    m_cells.clear();
    m_cells.shrink_to_fit();
    m_nFirst = 0;
}

void CByteLog::DropBefore(uint64_t offset)
{
    if (offset <= m_nFirst)
        return;
    const uint64_t count = std::min<uint64_t>(offset - m_nFirst, m_cells.size());
    m_cells.erase(m_cells.begin(), m_cells.begin() + static_cast<std::ptrdiff_t>(count));
    m_nFirst += count;
}

void CByteLog::CopyRange(uint64_t from, uint64_t to, std::vector<Cell>& out) const
{
    from = std::max(from, m_nFirst);
    to = std::min(to, End());
    if (from >= to)
        return;
    const auto begin = m_cells.begin() + static_cast<std::ptrdiff_t>(from - m_nFirst);
    out.insert(out.end(), begin, begin + static_cast<std::ptrdiff_t>(to - from));
}
