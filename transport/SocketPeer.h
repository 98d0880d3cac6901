#pragma once

#include "Link.h"

#include <QtGlobal>

#include <chrono>

class CClientSock;

// One peer of a file transfer over TCP, as CLink::TransferWrite and TransferPending see it, from
// any thread: it fails only when it took and delivered nothing for the stall limit. One at a
// time on a socket.
class CSocketPeer
{
public:
    // Keeps little of the transfer unsent in the system, until the peer is destroyed: left to
    // itself the system takes megabytes for a slow peer, which would go on reaching the device
    // long after the transfer was cancelled, and would make progress run ahead of delivery.
    explicit CSocketPeer(CClientSock& socket);
    ~CSocketPeer();
    CSocketPeer(const CSocketPeer&) = delete;
    CSocketPeer& operator=(const CSocketPeer&) = delete;

    // The stall limit counts from now.
    void Restart()
    {
        m_clock.Restart();
        m_nLastQueued = 0;
    }
    // Sends what the system takes within a write time-out, waiting for room while the peer
    // reads.
    int Send(const char* data, int n, std::chrono::milliseconds stall, int& error);
    // Bytes in the send queue the peer has not acknowledged yet, with ETIMEDOUT when none were
    // for the stall limit; -1 when the connection is gone.
    qint64 Queued(std::chrono::milliseconds stall, int& error);

private:
    CClientSock& m_socket;
    CStallClock m_clock;
    qint64 m_nLastQueued = 0;
    int m_nLimitedHandle = -1; // the descriptor whose unsent limit was set, to be restored
    int m_nSavedUnsentLimit = 0;
};
