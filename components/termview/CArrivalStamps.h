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
    int client = -1; // the peer it came from or went to, marked "[N]"; -1: none to tell
};

// From offset on, the bytes came from (or went to) client; -1: the link's one peer, or all.
struct ClientRun
{
    uint64_t offset = 0;
    int client = -1;
};

// The times a terminal view shows beside the bytes that were received or sent. They are not part
// of the log: the bytes, captures and copies stay as they were. A chunk gets a stamp when it
// follows a pause longer than the gap, goes the other way than the chunk before, or comes from
// another client; a chunk inside a burst does not. A stamp of a client carries its mark, which
// shows with or without the times. User-interface thread only.
class CArrivalStamps
{
public:
    // Notes a chunk that arrived (or went out) at arrival, with the attribute of its direction,
    // and is written from offset at on; bytes are its first bytes (line breaks at its start are
    // skipped, so the time leads the line that follows them). Returns whether it got a stamp.
    bool Note(const QDateTime& arrival, uint64_t at, const unsigned char* bytes, int n,
              char attribute, int client = -1);
    // A notice written from offset at on: it belongs to no client, and the next chunk of a
    // client starts a marked record again.
    void NoteNotice(uint64_t at);
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
    // Whether any byte held is marked with a client.
    bool HasMarks() const { return m_nMarks > 0; }
    // The client runs that meet [from, to): the one in effect at from first.
    std::vector<ClientRun> ClientsIn(uint64_t from, uint64_t to) const;

    // "[HH:MM:SS.mmm] ": what a stamp shows, kStampCells wide.
    static QString Text(int msOfDay);
    // "[N] ": what a client's mark shows, at most kMarkCells wide.
    static QString MarkText(int client);
    // What leads a record: its time when times are shown (msOfDay -1: not), then its mark.
    static QString LeadText(int msOfDay, int client);

private:
    void DropClientsBefore(uint64_t first);
    void NoteClient(uint64_t at, int client);

    std::deque<ArrivalStamp> m_stamps; // offsets strictly rising
    std::deque<ClientRun> m_clients;   // offsets rising; only where the client changes
    int m_nMarks = 0;                  // stamps held with a client
    int m_nLastClient = -1;
    qint64 m_nLastArrivalMs = 0;
    bool m_bArrived = false;
    char m_cLastAttribute = 0;
    int m_nGapMs = kDefaultArrivalGapMs;
};
