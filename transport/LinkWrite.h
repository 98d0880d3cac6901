#pragma once

// What an all-or-nothing write on a link did. Every link writes this way: the bytes go out whole
// (or wait whole in the link's own send queue), or none of them go. A serial line alone cannot
// take back what its driver took: when it stalls part-way the result says how much went.
enum class WriteStatus
{
    Written,  // every byte went out, or waits whole in the link's send queue
    Full,     // no room for them all within the wait; none went
    TimedOut, // a serial line stalled part-way: nWritten went, the rest did not
    TooLarge, // more than the link takes in one write; none went
    NoPeer,   // nobody to send to yet (a UDP link that answers whoever sent last); none went
    Failed,   // the link is closed or broke (nError says why); nWritten went before
};

struct WriteResult
{
    WriteStatus status = WriteStatus::Failed;
    int nWritten = 0; // bytes that went: all of them when Written
    int nError = 0;   // an errno value when not Written
    bool IsWritten() const { return status == WriteStatus::Written; }
};
