#pragma once

#include "CByteLog.h"

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// Longest pattern a search takes, in bytes.
inline constexpr int kMaxSearchPatternBytes = 256;
// A search reads the log this many bytes at a time, so that writers wait for no more than the
// copy of one stretch.
inline constexpr std::size_t kSearchStretchBytes = 64 * 1024;

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

// Appends the held cells of [from, to) to out, clipped to what is held; returns the offset of
// the first cell appended (or where it would be).
using CellReader = std::function<uint64_t(uint64_t from, uint64_t to, std::vector<Cell>& out)>;

// Finds a byte pattern in the bytes of a log, byte for byte (case-sensitive, sent and received
// bytes alike, across line breaks and chunks). Matches may overlap. Sixteen places are tried at
// once, by two of the pattern's bytes and then by its first 64; where the candidates of a longer
// pattern come too thick to compare one by one, the rest of a stretch is scanned byte by byte
// (Knuth-Morris-Pratt), so a search stays linear in the log's size whatever the pattern.
class CTextSearch
{
public:
    // pattern: 1 to kMaxSearchPatternBytes bytes.
    explicit CTextSearch(const QByteArray& pattern);

    std::size_t Size() const { return m_pattern.size(); }
    const std::vector<uint8_t>& Pattern() const { return m_pattern; }

    // Searches the log's bytes [first, end), read a stretch at a time. Forward: the first match
    // that starts at or after from; backward: the last one that starts before from. Wraps
    // around the ends; counts every match on the way.
    SearchHit Find(uint64_t first, uint64_t end, uint64_t from, bool forward,
                   const CellReader& read) const;
    // Appends the starts of the matches lying wholly in cells, which begin at offset start.
    void MatchesIn(const std::vector<Cell>& cells, uint64_t start,
                   std::vector<uint64_t>& starts) const;

private:
    // Calls found(at, mask) for the matches lying wholly in data[0, n), in order: one starts at
    // at + k for every bit k set in mask.
    template <class Found> void Scan(const uint8_t* data, std::size_t n, Found found) const;
    // The same, byte by byte, for the matches that start at or after begin.
    template <class Found>
    void ScanBytewise(const uint8_t* data, std::size_t begin, std::size_t n, Found found) const;

    std::vector<uint8_t> m_pattern;
    // m_fallback[i]: length of the longest proper prefix of m_pattern[0..i] that is also its
    // suffix, where a failed comparison resumes.
    std::vector<std::size_t> m_fallback;
    // Where the second byte that picks candidates lies: the last one unlike the first, if any.
    std::size_t m_nProbe = 0;
};
