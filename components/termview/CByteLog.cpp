#include "CByteLog.h"

#include <algorithm>

void CByteLog::Append(const uint8_t* bytes, std::size_t n, uint8_t attr)
{
    for (std::size_t done = 0; done < n;) {
        const std::size_t tail = m_nHead + m_nSize;
        if (tail == m_blocks.size() * kBlockCells)
            m_blocks.push_back(m_spare ? std::move(m_spare)
                                       : std::make_unique_for_overwrite<Cell[]>(kBlockCells));
        Cell* block = m_blocks.back().get() + tail % kBlockCells;
        const std::size_t count = std::min(n - done, kBlockCells - tail % kBlockCells);
        for (std::size_t i = 0; i < count; ++i)
            block[i] = Cell{bytes[done + i], attr};
        m_nSize += count;
        done += count;
    }
}

void CByteLog::Clear()
{
    m_blocks.clear();
    m_spare.reset();
    m_nHead = 0;
    m_nSize = 0;
    m_nFirst = 0;
}

void CByteLog::DropBefore(uint64_t offset)
{
    if (offset <= m_nFirst)
        return;
    const auto count = static_cast<std::size_t>(std::min<uint64_t>(offset - m_nFirst, m_nSize));
    m_nHead += count;
    m_nSize -= count;
    m_nFirst += count;
    while (m_nHead >= kBlockCells) {
        m_spare = std::move(m_blocks.front());
        m_blocks.pop_front();
        m_nHead -= kBlockCells;
    }
}

void CByteLog::CopyRange(uint64_t from, uint64_t to, std::vector<Cell>& out) const
{
    from = std::max(from, m_nFirst);
    to = std::min(to, End());
    if (from >= to)
        return;
    out.reserve(out.size() + static_cast<std::size_t>(to - from));
    std::size_t at = m_nHead + static_cast<std::size_t>(from - m_nFirst);
    for (auto left = static_cast<std::size_t>(to - from); left > 0;) {
        const Cell* block = m_blocks[at / kBlockCells].get() + at % kBlockCells;
        const std::size_t count = std::min(left, kBlockCells - at % kBlockCells);
        out.insert(out.end(), block, block + count);
        at += count;
        left -= count;
    }
}
