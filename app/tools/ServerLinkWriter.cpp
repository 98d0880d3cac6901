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
// file.
class CServerLinkWriter : public CLinkWriter
{
public:
    explicit CServerLinkWriter(CServerSock& server) : m_server(server) {}
    ~CServerLinkWriter() override { ForgetTargets(); }

    void BeginTransfer() override
    {
        ForgetTargets();
        for (int i = 0; i < CServerSock::kSlots; ++i) {
            CClientSock* slot = m_server.GetSlot(i);
            if (slot->bsGetSlotState() != CClientSock::kSlotInUse ||
                slot->GetState() != QAbstractSocket::ConnectedState)
                continue;
            Target& target = m_targets.emplace_back();
            target.pSocket = slot;
            // The slot is freed on the user-interface thread before it can take a new client.
            std::atomic<bool>* left = &target.bLeft;
            target.freed =
                QObject::connect(slot, &CClientSock::slotFreed, [left] { *left = true; });
        }
    }

    int Write(const char* data, int n, int& error) override
    {
        error = ENOTCONN;
        int mostSent = 0;
        bool anyLeft = false;
        for (Target& target : m_targets) {
            if (target.bDropped)
                continue;
            int clientError = ECONNRESET;
            const int sent = target.bLeft ? 0 : SendAll(*target.pSocket, data, n, clientError);
            if (sent == n) {
                anyLeft = true;
                continue;
            }
            // This client went away or stopped reading: the others go on without it.
            target.bDropped = true;
            mostSent = std::max(mostSent, sent);
            error = clientError;
        }
        if (anyLeft) {
            error = 0;
            return n;
        }
        return mostSent;
    }

private:
    struct Target
    {
        CClientSock* pSocket = nullptr;
        std::atomic<bool> bLeft = false; // set on the user-interface thread
        bool bDropped = false;           // kept by the worker
        QMetaObject::Connection freed;
    };

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
};

} // namespace

std::unique_ptr<CLinkWriter> MakeServerLinkWriter(CServerSock& server)
{
    return std::make_unique<CServerLinkWriter>(server);
}
