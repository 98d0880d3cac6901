#pragma once

#include "ToolsConstants.h"

#include <QtGlobal>

#include <chrono>
#include <memory>

class CClientSock;
class CRS232Ctrl;
class CServerSock;

// When a link last took or delivered a byte: a slow peer goes on, a stalled one is given up.
class CStallClock
{
public:
    void Restart() { m_last = Clock::now(); }
    bool HasStalled(std::chrono::milliseconds limit) const
    {
        return Clock::now() - m_last >= limit;
    }

private:
    using Clock = std::chrono::steady_clock;
    Clock::time_point m_last = Clock::now();
};

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
    virtual qint64 Pending(int& error)
    {
        error = 0;
        return 0;
    }
    // Called on the user-interface thread just before a transfer's first Write, with the stall
    // limit; a writer with several peers also fixes here which of them the transfer goes to.
    virtual void BeginTransfer(std::chrono::milliseconds stall) { m_stall = stall; }

protected:
    std::chrono::milliseconds Stall() const { return m_stall; }

private:
    std::chrono::milliseconds m_stall = std::chrono::seconds(kDefaultTransferStallSec);
};

// The port must stay open and alive while the writer is used.
std::unique_ptr<CLinkWriter> MakeSerialLinkWriter(CRS232Ctrl& port);
// The socket must stay alive while the writer is used.
std::unique_ptr<CLinkWriter> MakeClientLinkWriter(CClientSock& socket);
// Sends every block to every client connected when the transfer began; a client that fails or
// stalls is dropped from the transfer and the others go on. The server must stay alive while
// the writer is used.
std::unique_ptr<CLinkWriter> MakeServerLinkWriter(CServerSock& server);
