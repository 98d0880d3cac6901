#pragma once

#include "TermViewConstants.h"

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <deque>
#include <vector>

// When a received chunk arrived, kept by the offset of the byte it is shown before.
struct ArrivalStamp
{
    uint64_t offset = 0;
    int msOfDay = 0; // local time of day, in milliseconds
};

// The times a terminal view shows beside the bytes that were received or sent. They are not part
// of the log: the bytes, captures and copies stay as they were. A chunk gets a stamp when it
// follows a pause longer than the gap or goes the other way than the chunk before; a chunk
// inside a burst does not. User-interface thread only.
class CArrivalStamps
{
public:
    // Notes a chunk that arrived (or went out) at arrival, with the attribute of its direction,
    // and is written from offset at on; bytes are its first bytes (line breaks at its start are
    // skipped, so the time leads the line that follows them). Returns whether it got a stamp.
    bool Note(const QDateTime& arrival, uint64_t at, const unsigned char* bytes, int n,
              char attribute);
    void SetGapMs(int ms) { m_nGapMs = ms; }
    int GapMs() const { return m_nGapMs; }
    // Forgets stamps of bytes the log no longer holds.
    void DropBefore(uint64_t first);
    // The bytes from offset from on moved to offset to; stamps of bytes before from go.
    void Rebase(uint64_t from, uint64_t to);
    void Clear();

    // Stamps with offsets in [from, to), in order.
    std::vector<ArrivalStamp> In(uint64_t from, uint64_t to) const;
    bool IsEmpty() const { return m_stamps.empty(); }

    // "[HH:MM:SS.mmm] ": what a stamp shows, kStampCells wide.
    static QString Text(int msOfDay);

private:
    std::deque<ArrivalStamp> m_stamps; // offsets strictly rising
    qint64 m_nLastArrivalMs = 0;
    bool m_bArrived = false;
    char m_cLastAttribute = 0;
    int m_nGapMs = kDefaultArrivalGapMs;
};
