#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "CByteLog.h"

// Longest pattern a search takes, in bytes.
inline constexpr int kMaxSearchPatternBytes = 256;

// Reads a byte pattern typed as pairs of hex digits, spaces between pairs optional ("0D 0A",
// "0d0a"). False, and bytes left empty, when the text is empty, holds anything else, has a
// lone digit, or is longer than kMaxSearchPatternBytes.
bool ParseHexPattern(const QString& text, QByteArray* bytes);

// Where a search landed in the log.
struct SearchHit
{
    bool found = false;
    uint64_t offset = 0;   // absolute offset of the match's first byte
    std::size_t index = 0; // its place among all matches, from 1
    std::size_t count = 0; // matches in the whole log
};

// Finds a byte pattern in the bytes of a log, byte for byte (case-sensitive, sent and received
// bytes alike, across line breaks and chunks). Matches may overlap. Linear in the log's size
// whatever the pattern (Knuth-Morris-Pratt).
class CTextSearch
{
public:
    // pattern: 1 to kMaxSearchPatternBytes bytes.
    explicit CTextSearch(const QByteArray& pattern);

    std::size_t Size() const { return m_pattern.size(); }
    const std::vector<uint8_t>& Pattern() const { return m_pattern; }

    // Forward: the first match that starts at or after from; backward: the last one that
    // starts before from. Wraps around the log's ends; counts every match on the way.
    SearchHit Find(const CByteLog& log, uint64_t from, bool forward) const;
    // Appends the starts of the matches lying wholly in cells, which begin at offset start.
    void MatchesIn(const std::vector<Cell>& cells, uint64_t start,
                   std::vector<uint64_t>& starts) const;

private:
    // Calls found(offset of the match's first byte) for every match in [begin, end), whose
    // first cell lies at offset start.
    template <class It, class Found> void Scan(It begin, It end, uint64_t start, Found found) const
    {
        const std::size_t size = m_pattern.size();
        std::size_t matched = 0;
        uint64_t offset = start;
        const uint8_t head = m_pattern[0];
        for (It it = begin; it != end; ++it, ++offset) {
            if (matched == 0) {
                // Most bytes start no match: pass over them in a tight loop.
                while (it != end && it->byte != head) {
                    ++it;
                    ++offset;
                }
                if (it == end)
                    break;
            }
            const uint8_t b = it->byte;
            while (matched > 0 && m_pattern[matched] != b)
                matched = m_fallback[matched - 1];
            if (m_pattern[matched] == b)
                ++matched;
            if (matched == size) {
                found(offset + 1 - size);
                matched = m_fallback[size - 1];
            }
        }
    }

    std::vector<uint8_t> m_pattern;
    // m_fallback[i]: length of the longest proper prefix of m_pattern[0..i] that is also its
    // suffix, where a failed comparison resumes.
    std::vector<std::size_t> m_fallback;
};
