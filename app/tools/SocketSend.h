#pragma once

#include "LinkWriter.h"

#include <QtGlobal>

#include <chrono>

class CClientSock;

// One peer of a transfer over TCP, as CLinkWriter's Write and Pending see it, from any thread:
// it fails only when it took and delivered nothing for the stall limit.
class CSocketPeer
{
public:
    explicit CSocketPeer(CClientSock& socket) : m_socket(socket) {}

    // The stall limit counts from now.
    void Restart()
    {
        m_clock.Restart();
        m_nLastQueued = 0;
    }
    // Sends what the system takes within a write time-out, waiting for room while the peer
    // reads.
    int Send(const char* data, int n, std::chrono::milliseconds stall, int& error);
    // Bytes in the send queue the peer has not acknowledged yet.
    qint64 Queued(std::chrono::milliseconds stall, int& error);

private:
    CClientSock& m_socket;
    CStallClock m_clock;
    qint64 m_nLastQueued = 0;
};
