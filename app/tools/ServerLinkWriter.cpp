#include "LinkWriter.h"

#include "CServerSock.h"
#include "SocketSend.h"

#include <QAbstractSocket>
#include <QObject>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <list>

namespace {

// Writes to every client of a server. The clients are fixed when a transfer begins, so that a
// client that connects later, even into the slot of one that left, never gets the tail of a
// file. The clients go in step: a call reports what the slowest of them took, and one that took
// more is not given those bytes again.
class CServerLinkWriter : public CLinkWriter
{
public:
    explicit CServerLinkWriter(CServerSock& server) : m_server(server) {}
    ~CServerLinkWriter() override { ForgetTargets(); }

    void BeginTransfer(std::chrono::milliseconds stall) override
    {
        CLinkWriter::BeginTransfer(stall);
        ForgetTargets();
        m_nGoneError = ENOTCONN;
        for (int i = 0; i < CServerSock::kSlots; ++i) {
            CClientSock* slot = m_server.GetSlot(i);
            if (slot->bsGetSlotState() != CClientSock::kSlotInUse ||
                slot->GetState() != QAbstractSocket::ConnectedState)
                continue;
            Target& target = m_targets.emplace_back(*slot);
            // The slot is freed on the user-interface thread before it can take a new client.
            std::atomic<bool>* left = &target.bLeft;
            target.freed =
                QObject::connect(slot, &CClientSock::slotFreed, [left] { *left = true; });
        }
    }

    int Write(const char* data, int n, int& error) override
    {
        int least = -1;
        for (Target& target : m_targets) {
            if (target.bDropped)
                continue;
            int taken = std::min(target.nAhead, n);
            int clientError = ECONNRESET;
            if (taken < n && !target.bLeft)
                taken += target.peer.Send(data + taken, n - taken, Stall(), clientError);
            if (taken < n && clientError != EAGAIN) {
                // This client went away or stopped reading: the others go on without it.
                Drop(target, clientError);
                continue;
            }
            target.nAhead = taken;
            least = least < 0 ? taken : std::min(least, taken);
        }
        if (least < 0) {
            error = m_nGoneError;
            return 0;
        }
        for (Target& target : m_targets) {
            if (!target.bDropped)
                target.nAhead -= least;
        }
        error = least < n ? EAGAIN : 0;
        return least;
    }

    // The fullest queue of the clients still in the transfer: done when every one has its file.
    qint64 Pending(int& error) override
    {
        qint64 most = -1;
        for (Target& target : m_targets) {
            if (target.bDropped)
                continue;
            int clientError = ECONNRESET;
            const qint64 queued = target.bLeft ? -1 : target.peer.Queued(Stall(), clientError);
            if (queued < 0 || clientError == ETIMEDOUT) {
                Drop(target, clientError);
                continue;
            }
            most = std::max(most, queued);
        }
        error = most >= 0 ? 0 : m_nGoneError;
        return most;
    }

private:
    struct Target
    {
        explicit Target(CClientSock& socket) : peer(socket) {}

        CSocketPeer peer;
        std::atomic<bool> bLeft = false; // set on the user-interface thread
        bool bDropped = false;           // kept by the worker
        int nAhead = 0;                  // bytes of the next call's data this client took already
        QMetaObject::Connection freed;
    };

    // Why the last client went is what the transfer reports when no client is left.
    void Drop(Target& target, int clientError)
    {
        target.bDropped = true;
        m_nGoneError = clientError;
    }

    void ForgetTargets()
    {
        for (const Target& target : m_targets)
            QObject::disconnect(target.freed);
        m_targets.clear();
    }

    CServerSock& m_server;
    // A list keeps each target where its close notice writes; targets are dropped by flag and
    // only forgotten on the user-interface thread, once no notice can come.
    std::list<Target> m_targets;
    int m_nGoneError = ENOTCONN; // kept by the worker
};

} // namespace

std::unique_ptr<CLinkWriter> MakeServerLinkWriter(CServerSock& server)
{
    return std::make_unique<CServerLinkWriter>(server);
}
