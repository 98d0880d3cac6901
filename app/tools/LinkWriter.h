#pragma once

#include "Link.h"

#include <QtGlobal>

#include <chrono>
#include <memory>

// Where a file transfer writes its blocks: one open link of a monitor window. Write and Pending
// are called on the transfer's worker thread, each returning within about a write time-out so
// that the worker can stop between calls. A link fails only when it took and delivered nothing
// for the stall limit: a slow receiver is waited for.
class CLinkWriter
{
public:
    virtual ~CLinkWriter() = default;
    // The bytes the system took, all n unless it stopped; then fewer, with an errno-style error:
    // EAGAIN when the link is slow (call again with the rest), ETIMEDOUT when it took nothing
    // for the stall limit, anything else when it failed.
    virtual int Write(const char* data, int n, int& error) = 0;
    // Bytes the system took but has not delivered yet (a socket's send queue; 0 where the link
    // cannot tell), or -1 with an errno-style error when the link failed. When the link
    // delivered nothing for the stall limit, the count comes with the error ETIMEDOUT.
    virtual qint64 Pending(int& error) = 0;
    // Called on the user-interface thread just before a transfer's first Write, with the stall
    // limit; a link with several peers also fixes here which of them the transfer goes to.
    virtual void BeginTransfer(std::chrono::milliseconds stall) = 0;
};

// The writer of a transfer on the link, which it keeps alive, closed meanwhile or not, until
// the writer is gone.
std::unique_ptr<CLinkWriter> MakeLinkWriter(SharedLink link);
