#include "CLineIndex.h"

#include <algorithm>
#include <bit>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Where the run of bytes below 0x80 other than CR and LF that starts at i ends, before end.
// Many bytes at a time: most of a log is such bytes.
std::size_t PlainRunEnd(const uint8_t* bytes, std::size_t i, std::size_t end)
{
#if defined(__SSE2__)
    // Sixteen at a time where the processor has it (every x86-64): a byte's mark is its top bit.
    const __m128i cr = _mm_set1_epi8(0x0D);
    const __m128i lf = _mm_set1_epi8(0x0A);
    while (i + 16 <= end) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
        const __m128i hit =
            _mm_or_si128(v, _mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)));
        if (const int marks = _mm_movemask_epi8(hit); marks != 0)
            return i + static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(marks)));
        i += 16;
    }
#endif
    constexpr uint64_t kOnes = 0x0101010101010101ULL;
    constexpr uint64_t kHigh = 0x8080808080808080ULL;
    const auto hasZeroByte = [](uint64_t v) { return (v - kOnes) & ~v & kHigh; };
    while (i + 8 <= end) {
        uint64_t word = 0;
        std::memcpy(&word, bytes + i, sizeof word);
        // The lowest byte marked is a true one: a false mark can only follow a true one.
        const uint64_t marks = (word & kHigh) | hasZeroByte(word ^ (kOnes * 0x0D)) |
                               hasZeroByte(word ^ (kOnes * 0x0A));
        if (marks != 0) {
            const int bit = std::endian::native == std::endian::little ? std::countr_zero(marks)
                                                                       : std::countl_zero(marks);
            return i + static_cast<std::size_t>(bit) / 8;
        }
        i += 8;
    }
    while (i < end && bytes[i] < 0x80 && bytes[i] != 0x0D && bytes[i] != 0x0A)
        ++i;
    return i;
}

} // namespace

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
        const std::size_t j = i < plainEnd ? PlainRunEnd(bytes, i, plainEnd) : i;
        if (j > i) {
            m_nHighRun = 0;
            m_bAfterCR = false;
            i = j;
            if (i == n)
                break;
        }
        // The byte that ended the run (a break, a high byte or the long line's cut) in the same
        // pass: a log of short lines takes one pass a line.
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
