#pragma once

#include "CaptureCell.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

// The bytes held by a terminal view, addressed by absolute offsets that count every byte
// written since the last Clear, so positions stay valid while the oldest bytes are dropped.
// Held in blocks of 64 KiB: a flood that writes at one end and drops at the other moves whole
// blocks, and one block is kept aside for the next, rather than asking the heap at every few
// hundred bytes. Not thread-safe by itself: CTextLogStore guards it.
class CByteLog
{
public:
    void Append(uint8_t b, uint8_t attr) { Append(&b, 1, attr); }
    void Append(const uint8_t* bytes, std::size_t n, uint8_t attr);
    void Clear();
    // Drops every byte before the absolute offset (no-op when it is not past the first byte).
    void DropBefore(uint64_t offset);

    uint64_t First() const { return m_nFirst; }
    uint64_t End() const { return m_nFirst + m_nSize; }
    std::size_t Size() const { return m_nSize; }
    // Copies the held bytes of [from, to) into out (appending); parts outside the log are skipped.
    void CopyRange(uint64_t from, uint64_t to, std::vector<Cell>& out) const;

private:
    static constexpr std::size_t kBlockCells = 32 * 1024;

    std::deque<std::unique_ptr<Cell[]>> m_blocks;
    std::unique_ptr<Cell[]> m_spare;
    std::size_t m_nHead = 0; // where the first held cell lies in the first block
    std::size_t m_nSize = 0;
    uint64_t m_nFirst = 0;
};
