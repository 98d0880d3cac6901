#pragma once

#include "CaptureCell.h"

#include <cstdint>
#include <deque>
#include <vector>

// The bytes held by a terminal view, addressed by absolute offsets that count every byte
// written since the last Clear, so positions stay valid while the oldest bytes are dropped.
// Not thread-safe by itself: CTextLogStore guards it.
class CByteLog
{
public:
    void Append(uint8_t b, uint8_t attr) { m_cells.push_back(Cell{b, attr}); }
    void Append(const uint8_t* bytes, std::size_t n, uint8_t attr);
    void Clear();
    // Drops every byte before the absolute offset (no-op when it is not past the first byte).
    void DropBefore(uint64_t offset);

    uint64_t First() const { return m_nFirst; }
    uint64_t End() const { return m_nFirst + m_cells.size(); }
    std::size_t Size() const { return m_cells.size(); }
    // Copies the held bytes of [from, to) into out (appending); parts outside the log are skipped.
    void CopyRange(uint64_t from, uint64_t to, std::vector<Cell>& out) const;
    // The held cells, oldest first.
    auto begin() const { return m_cells.begin(); }
    auto end() const { return m_cells.end(); }

private:
    std::deque<Cell> m_cells;
    uint64_t m_nFirst = 0;
};
