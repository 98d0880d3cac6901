#include "CSocketLink.h"

#include "CClientSock.h"

#include <algorithm>
#include <cerrno>

CSocketLink::~CSocketLink()
{
    ForgetTargets();
}

void CSocketLink::BeginTransfer(std::chrono::milliseconds stall)
{
    // The connections are fixed now, so that a client that connects later, even into the slot
    // of one that left, never gets the tail of a file.
    CLink::BeginTransfer(stall);
    ForgetTargets();
    m_nGoneError = ENOTCONN;
    for (CClientSock* socket : TransferSockets()) {
        TransferPeer& target = m_targets.emplace_back(*socket);
        target.peer.Restart();
        // A server's slot is freed on the link's thread before it can take a new client.
        std::atomic<bool>* left = &target.bLeft;
        target.freed = QObject::connect(socket, &CClientSock::slotFreed, [left] { *left = true; });
    }
}

int CSocketLink::TransferWrite(const char* data, int n, int& error)
{
    int least = -1;
    int lastTaken = 0; // by the last connection left behind in this call
    for (TransferPeer& target : m_targets) {
        if (target.bDropped)
            continue;
        int taken = std::min(target.nAhead, n);
        int peerError = ECONNRESET;
        if (taken < n && !target.bLeft)
            taken += target.peer.Send(data + taken, n - taken, Stall(), peerError);
        if (taken < n && peerError != EAGAIN) {
            Drop(target, peerError);
            lastTaken = taken;
            continue;
        }
        target.nAhead = taken;
        least = least < 0 ? taken : std::min(least, taken);
    }
    if (least < 0) {
        // With none left, what the last one took counts: one connection's transfer is exact.
        error = m_nGoneError;
        return lastTaken;
    }
    for (TransferPeer& target : m_targets) {
        if (!target.bDropped)
            target.nAhead -= least;
    }
    error = least < n ? EAGAIN : 0;
    return least;
}

qint64 CSocketLink::TransferPending(int& error)
{
    // The fullest queue of the connections still in the transfer: done when each has its file.
    qint64 most = -1;
    for (TransferPeer& target : m_targets) {
        if (target.bDropped)
            continue;
        int peerError = ECONNRESET;
        const qint64 queued = target.bLeft ? -1 : target.peer.Queued(Stall(), peerError);
        if (queued < 0 || peerError == ETIMEDOUT) {
            Drop(target, peerError);
            continue;
        }
        most = std::max(most, queued);
    }
    error = most >= 0 ? 0 : m_nGoneError;
    if (most >= 0 || m_pLastDropped == nullptr || m_pLastDropped->bLeft)
        return most;
    // With none left, what the last one to go still holds, so that what was delivered is known
    // to the byte.
    int ignored = 0;
    return m_pLastDropped->peer.Queued(Stall(), ignored);
}

void CSocketLink::Drop(TransferPeer& target, int error)
{
    target.bDropped = true;
    m_nGoneError = error;
    m_pLastDropped = &target;
}

void CSocketLink::ForgetTargets()
{
    for (const TransferPeer& target : m_targets)
        QObject::disconnect(target.freed);
    m_targets.clear();
    m_pLastDropped = nullptr;
}
