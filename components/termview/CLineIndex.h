#pragma once

#include "TermViewConstants.h"

#include <cstddef>
#include <cstdint>
#include <deque>

// Where each line of the byte log starts. A line ends after CR, after LF, or after a CR LF pair
// (one break, not two); a line that reaches kMaxLineBytes without a break continues on a new
// line, at the next place where no character can be cut. Lines are numbered absolutely from the
// last Clear, like the log's byte offsets. Not thread-safe by itself: CTextLogStore guards it.
class CLineIndex
{
public:
    CLineIndex() { Clear(); }

    void Clear();
    // Accounts for byte b, just appended to the log at absolute offset.
    void Append(uint8_t b, uint64_t offset)
    {
        const std::size_t highRun = m_nHighRun;
        m_nHighRun = b >= 0x80 ? highRun + 1 : 0;
        if (b == 0x0A && m_bAfterCR) {
            // The LF completes the CR's break: it belongs to the line the CR ended.
            m_bAfterCR = false;
            m_starts.back() = offset + 1;
            return;
        }
        m_bAfterCR = b == 0x0D;
        if (offset - m_starts.back() >= kMaxLineBytes && IsCharStart(b, highRun, offset))
            m_starts.push_back(offset);
        if (b == 0x0D || b == 0x0A)
            m_starts.push_back(offset + 1);
    }
    // Accounts for n bytes, just appended to the log from absolute offset on.
    void Append(const uint8_t* bytes, std::size_t n, uint64_t offset);
    // Drops the oldest count lines; returns the absolute offset where the log now starts.
    uint64_t DropOldest(std::size_t count);

    // Lines that hold bytes (the empty line after a final break is not counted).
    std::size_t HeldLines(uint64_t end) const { return m_starts.size() - (m_starts.back() == end); }
    // Lines shown: the held lines plus the empty line the next byte goes to, if any.
    std::size_t ShownLines() const { return m_starts.size(); }
    uint64_t FirstLineNumber() const { return m_nFirstLine; }
    // Start offset of a shown line (index relative to the first held line).
    uint64_t Start(std::size_t index) const { return m_starts[index]; }
    // End offset (exclusive) of a shown line, given the log's end offset.
    uint64_t End(std::size_t index, uint64_t logEnd) const
    {
        return index + 1 < m_starts.size() ? m_starts[index + 1] : logEnd;
    }

    // Index of the shown line that holds the absolute offset (relative to the first held line;
    // an offset before the first line gives 0).
    std::size_t IndexOf(uint64_t offset) const;

private:
    // A long line continues on a new one only where a character starts in every encoding the
    // view may read it in: after a byte below 0x80 (nothing spans one), else, in a stretch of
    // bytes of 0x80 or more, at a UTF-8 lead an even number of bytes in (CP949 pairs run from
    // the stretch's start). Bytes that follow no such rule are cut after a few more.
    bool IsCharStart(uint8_t b, std::size_t highRun, uint64_t offset) const
    {
        return highRun == 0 || (highRun % 2 == 0 && b >= 0xC0) ||
               offset - m_starts.back() >= kMaxLineBytes + kLineBreakSearchBytes;
    }

    std::deque<uint64_t> m_starts;
    uint64_t m_nFirstLine = 0;
    bool m_bAfterCR = false;
    std::size_t m_nHighRun = 0; // bytes of 0x80 or more just before the next one
};
