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

void CLineIndex::Append(const uint8_t* bytes, std::size_t n, uint64_t offset)
{
    for (std::size_t i = 0; i < n;) {
        // Bytes below 0x80 other than CR and LF change nothing but the run and CR state while
        // the line stays short of kMaxLineBytes: skip them together.
        const uint64_t cut = m_starts.back() + kMaxLineBytes;
        const std::size_t plainEnd =
            cut > offset + i ? std::size_t(std::min<uint64_t>(n, cut - offset)) : i;
        std::size_t j = i;
        while (j < plainEnd && bytes[j] < 0x80 && bytes[j] != 0x0D && bytes[j] != 0x0A)
            ++j;
        if (j > i) {
            m_nHighRun = 0;
            m_bAfterCR = false;
            i = j;
            continue;
        }
        Append(bytes[i], offset + i);
        ++i;
    }
}

uint64_t CLineIndex::DropOldest(std::size_t count)
{
    count = std::min(count, m_starts.size() - 1);
    m_starts.erase(m_starts.begin(), m_starts.begin() + static_cast<std::ptrdiff_t>(count));
    m_nFirstLine += count;
    return m_starts.front();
}

std::size_t CLineIndex::IndexOf(uint64_t offset) const
{
    const auto after = std::upper_bound(m_starts.begin(), m_starts.end(), offset);
    return after == m_starts.begin() ? 0 : static_cast<std::size_t>(after - m_starts.begin() - 1);
}
