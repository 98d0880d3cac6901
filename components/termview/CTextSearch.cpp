#include "CTextSearch.h"

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
}

SearchHit CTextSearch::Find(const CByteLog& log, uint64_t from, bool forward) const
{
    SearchHit hit;
    if (m_pattern.empty())
        return hit;
    uint64_t first = 0;
    uint64_t last = 0;
    Scan(log.begin(), log.end(), log.First(), [&](uint64_t offset) {
        ++hit.count;
        if (hit.count == 1)
            first = offset;
        last = offset;
        if (forward ? !hit.found && offset >= from : offset < from) {
            hit.found = true;
            hit.offset = offset;
            hit.index = hit.count;
        }
    });
    if (!hit.found && hit.count > 0) {
        // Past the end: around to the other end.
        hit.found = true;
        hit.offset = forward ? first : last;
        hit.index = forward ? 1 : hit.count;
    }
    return hit;
}

void CTextSearch::MatchesIn(const std::vector<Cell>& cells, uint64_t start,
                            std::vector<uint64_t>& starts) const
{
    if (!m_pattern.empty())
        Scan(cells.begin(), cells.end(), start, [&](uint64_t offset) { starts.push_back(offset); });
}
