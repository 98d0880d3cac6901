#pragma once

#include "Link.h"
#include "SocketPeer.h"

#include <atomic>
#include <list>
#include <vector>

class CClientSock;

// A link over TCP connections, one (a client) or many (a server's clients). A file transfer
// goes to the connections there were when it began, in step: a write reports what the slowest
// of them took, and one that went away or stopped reading is left behind while the others go
// on.
class CSocketLink : public CLink
{
    Q_OBJECT

public:
    using CLink::CLink;
    ~CSocketLink() override;

    void BeginTransfer(std::chrono::milliseconds stall) final;
    int TransferWrite(const char* data, int n, int& error) final;
    qint64 TransferPending(int& error) final;
    void EndTransfer() final { ForgetTargets(); }

protected:
    // The connections a transfer beginning now goes to; link's thread.
    virtual std::vector<CClientSock*> TransferSockets() = 0;
    // Forgets the transfer's connections; an owner calls it before it closes them.
    void ForgetTargets();

private:
    struct TransferPeer
    {
        explicit TransferPeer(CClientSock& socket) : peer(socket) {}

        CSocketPeer peer;
        std::atomic<bool> bLeft = false; // set on the link's thread
        bool bDropped = false;           // kept by the transfer's thread
        int nAhead = 0;                  // bytes of the next call's data this one took already
        QMetaObject::Connection freed;
    };

    // Why the last connection went is what the transfer reports when none is left.
    void Drop(TransferPeer& target, int error);

    // A list keeps each target where its close notice writes; targets are dropped by flag and
    // only forgotten on the link's thread, once no notice can come.
    std::list<TransferPeer> m_targets;
    int m_nGoneError = ENOTCONN;            // kept by the transfer's thread
    TransferPeer* m_pLastDropped = nullptr; // likewise
};
