#include "CTextSearch.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

// What comparing a candidate costs beyond its bytes, in bytes a bytewise scan reads meanwhile.
constexpr std::ptrdiff_t kCandidateCostBytes = 16;
// Comparing candidates may cost this many times the bytes of what is scanned before the rest is
// scanned byte by byte.
constexpr std::ptrdiff_t kCandidateBudgetPerByte = 2;

// Copies the bytes of cells, without their attributes, to out.
void CellBytes(const Cell* cells, std::size_t n, uint8_t* out)
{
    std::size_t i = 0;
#ifdef __SSE2__
    // Sixteen cells at a time: the byte is the low half of each two-byte cell.
    static_assert(offsetof(Cell, byte) == 0);
    const __m128i low = _mm_set1_epi16(0x00FF);
    for (; i + 16 <= n; i += 16) {
        const auto* from = reinterpret_cast<const __m128i*>(cells + i);
        const __m128i a = _mm_and_si128(_mm_loadu_si128(from), low);
        const __m128i b = _mm_and_si128(_mm_loadu_si128(from + 1), low);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(a, b));
    }
#endif
    for (; i < n; ++i)
        out[i] = cells[i].byte;
}

// Bits set in a mask of sixteen places, without the library call std::popcount becomes where
// the processor's own instruction may be missing.
std::size_t PlacesIn(unsigned mask)
{
    mask -= (mask >> 1) & 0x5555u;
    mask = (mask & 0x3333u) + ((mask >> 2) & 0x3333u);
    mask = (mask + (mask >> 4)) & 0x0F0Fu;
    return (mask + (mask >> 8)) & 0x1Fu;
}

} // namespace

bool ParseHexPattern(const QString& text, QByteArray* bytes)
{
    bytes->clear();
    int high = -1; // first digit of a pair, until its second comes
    for (const QChar c : text) {
        if (c == QLatin1Char(' ')) {
            if (high >= 0)
                break; // a lone digit
            continue;
        }
        const int digit = c.isDigit() && c.unicode() < 0x80                ? c.unicode() - '0'
                          : c >= QLatin1Char('a') && c <= QLatin1Char('f') ? c.unicode() - 'a' + 10
                          : c >= QLatin1Char('A') && c <= QLatin1Char('F') ? c.unicode() - 'A' + 10
                                                                           : -1;
        if (digit < 0) {
            high = -2;
            break;
        }
        if (high < 0) {
            high = digit;
            continue;
        }
        if (bytes->size() == kMaxSearchPatternBytes) {
            high = -2;
            break;
        }
        bytes->append(static_cast<char>(high * 16 + digit));
        high = -1;
    }
    if (high != -1 || bytes->isEmpty()) {
        bytes->clear();
        return false;
    }
    return true;
}

CTextSearch::CTextSearch(const QByteArray& pattern)
    : m_pattern(pattern.begin(), pattern.end()), m_fallback(m_pattern.size(), 0)
{
    std::size_t length = 0;
    for (std::size_t i = 1; i < m_pattern.size(); ++i) {
        while (length > 0 && m_pattern[i] != m_pattern[length])
            length = m_fallback[length - 1];
        if (m_pattern[i] == m_pattern[length])
            ++length;
        m_fallback[i] = length;
    }
    if (m_pattern.empty())
        return;
    m_nProbe = m_pattern.size() - 1;
    while (m_nProbe > 0 && m_pattern[m_nProbe] == m_pattern[0])
        --m_nProbe;
    if (m_nProbe == 0)
        m_nProbe = m_pattern.size() - 1;
}

template <class Found> void CTextSearch::Scan(const uint8_t* data, std::size_t n, Found found) const
{
    const std::size_t size = m_pattern.size();
    if (size == 0 || n < size)
        return;
    const std::size_t starts = n - size + 1; // places where a match may start
    const uint8_t* pattern = m_pattern.data();
    std::ptrdiff_t budget = kCandidateBudgetPerByte * static_cast<std::ptrdiff_t>(n);
    // Pays for comparing a candidate; false once candidates have cost more than a bytewise scan.
    const auto afford = [&] {
        budget -= kCandidateCostBytes + static_cast<std::ptrdiff_t>(size);
        return budget >= 0;
    };
    std::size_t i = 0;
#ifdef __SSE2__
    // Sixteen places at a time: where the first byte and the probe byte are in place, and then
    // the rest of the first kAtOnceBytes; longer patterns are compared on one place at a time.
    constexpr std::size_t kPlaces = 16;
    constexpr std::size_t kAtOnceBytes = 64;
    const std::size_t prefix = std::min(size, kAtOnceBytes);
    __m128i wanted[kAtOnceBytes];
    for (std::size_t k = 0; k < prefix; ++k)
        wanted[k] = _mm_set1_epi8(static_cast<char>(pattern[k]));
    const __m128i probe = _mm_set1_epi8(static_cast<char>(pattern[m_nProbe]));
    const auto equal = [](const uint8_t* at, __m128i bytes) {
        return static_cast<unsigned>(_mm_movemask_epi8(
            _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at)), bytes)));
    };
    for (; i + kPlaces <= starts; i += kPlaces) {
        unsigned mask = equal(data + i, wanted[0]) & equal(data + i + m_nProbe, probe);
        for (std::size_t k = 1; k < prefix && mask != 0; ++k)
            mask &= equal(data + i + k, wanted[k]);
        if (size > kAtOnceBytes) {
            unsigned whole = 0;
            for (unsigned left = mask; left != 0; left &= left - 1) {
                const auto bit = static_cast<unsigned>(std::countr_zero(left));
                const std::size_t at = i + bit;
                if (std::memcmp(data + at + kAtOnceBytes, pattern + kAtOnceBytes,
                                size - kAtOnceBytes) == 0)
                    whole |= 1u << bit;
                if (!afford()) {
                    if (whole != 0)
                        found(i, whole);
                    ScanBytewise(data, at + 1, n, found);
                    return;
                }
            }
            mask = whole;
        }
        if (mask != 0)
            found(i, mask);
    }
#endif
    for (; i < starts; ++i) {
        if (data[i] != pattern[0] || data[i + m_nProbe] != pattern[m_nProbe])
            continue;
        if (std::memcmp(data + i, pattern, size) == 0)
            found(i, 1u);
        if (!afford()) {
            ScanBytewise(data, i + 1, n, found);
            return;
        }
    }
}

template <class Found>
void CTextSearch::ScanBytewise(const uint8_t* data, std::size_t begin, std::size_t n,
                               Found found) const
{
    const std::size_t size = m_pattern.size();
    const uint8_t head = m_pattern[0];
    std::size_t matched = 0;
    for (std::size_t i = begin; i < n; ++i) {
        if (matched == 0) {
            // Most bytes start no match: pass over them in a tight loop.
            while (i < n && data[i] != head)
                ++i;
            if (i == n)
                break;
        }
        const uint8_t b = data[i];
        while (matched > 0 && m_pattern[matched] != b)
            matched = m_fallback[matched - 1];
        if (m_pattern[matched] == b)
            ++matched;
        if (matched == size) {
            found(i + 1 - size, 1u);
            matched = m_fallback[size - 1];
        }
    }
}

SearchHit CTextSearch::Find(uint64_t first, uint64_t end, uint64_t from, bool forward,
                            const CellReader& read) const
{
    SearchHit hit;
    if (m_pattern.empty())
        return hit;
    uint64_t firstMatch = 0;
    uint64_t lastMatch = 0;
    std::vector<Cell> cells;
    std::vector<uint8_t> bytes;
    for (uint64_t next = first; next < end;) {
        // A stretch ends at from, so that its matches all lie on one side of it, and is read on
        // past its end by what a match starting in it needs.
        uint64_t stop = std::min(end, next + kSearchStretchBytes);
        if (next < from && from < stop)
            stop = from;
        cells.clear();
        const uint64_t start = read(next, std::min(end, stop + m_pattern.size() - 1), cells);
        next = stop;
        bytes.resize(cells.size());
        CellBytes(cells.data(), cells.size(), bytes.data());
        std::size_t count = 0;
        uint64_t firstHere = 0;
        uint64_t lastHere = 0;
        Scan(bytes.data(), bytes.size(), [&](std::size_t at, unsigned mask) {
            if (count == 0)
                firstHere = start + at + static_cast<unsigned>(std::countr_zero(mask));
            lastHere = start + at + static_cast<unsigned>(std::bit_width(mask)) - 1;
            count += PlacesIn(mask);
        });
        if (count == 0)
            continue;
        if (hit.count == 0)
            firstMatch = firstHere;
        lastMatch = lastHere;
        hit.count += count;
        if (forward ? !hit.found && firstHere >= from : lastHere < from) {
            hit.found = true;
            hit.offset = forward ? firstHere : lastHere;
            hit.index = forward ? hit.count - count + 1 : hit.count;
        }
    }
    if (!hit.found && hit.count > 0) {
        // Past the end: around to the other end.
        hit.found = true;
        hit.offset = forward ? firstMatch : lastMatch;
        hit.index = forward ? 1 : hit.count;
    }
    return hit;
}

void CTextSearch::MatchesIn(const std::vector<Cell>& cells, uint64_t start,
                            std::vector<uint64_t>& starts) const
{
    std::vector<uint8_t> bytes(cells.size());
    CellBytes(cells.data(), cells.size(), bytes.data());
    Scan(bytes.data(), bytes.size(), [&](std::size_t at, unsigned mask) {
        for (; mask != 0; mask &= mask - 1)
            starts.push_back(start + at + static_cast<unsigned>(std::countr_zero(mask)));
    });
}
