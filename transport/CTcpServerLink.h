#pragma once

#include "CServerSock.h"
#include "Link.h"
#include "SocketPeer.h"

#include <array>
#include <atomic>
#include <list>

// A listening TCP server with its 256 client slots as one link: what is written goes to every
// client, what any client sends is received, and clients coming and going are its peers. A
// file transfer goes to the clients connected when it began, in step.
class CTcpServerLink : public CLink
{
    Q_OBJECT

public:
    explicit CTcpServerLink(const LinkParams& params = {});
    ~CTcpServerLink() override;

    CServerSock& Server() { return m_server; }

    bool Open() override;
    void Close() override;
    WriteResult WriteToPeer(int peer, const char* data, int n) override;
    bool HasReceived() const override;
    LinkDrops Stranded() const override;
    int PeerCount() const override;
    QString Target() const override;
    QString OpenedNotice() const override;
    QString ClosedNotice() const override;

    void BeginTransfer(std::chrono::milliseconds stall) override;
    int TransferWrite(const char* data, int n, int& error) override;
    qint64 TransferPending(int& error) override;
    void EndTransfer() override;

protected:
    WriteResult WriteLink(const char* data, int n, std::chrono::milliseconds wait,
                          LinkDrops* drops) override;
    int TakeLink(QByteArray& out, int max, int wholeUpTo) override;

private:
    // A client a transfer goes to.
    struct TransferPeer
    {
        explicit TransferPeer(CClientSock& socket) : peer(socket) {}

        CSocketPeer peer;
        std::atomic<bool> bLeft = false; // set on the link's thread
        bool bDropped = false;           // kept by the transfer's thread
        int nAhead = 0;                  // bytes of the next call's data this client took already
        QMetaObject::Connection freed;
    };

    void OnClientClosed(int slot);
    // Why the last client went is what the transfer reports when no client is left.
    void Drop(TransferPeer& target, int clientError);
    void ForgetTargets();

    CServerSock m_server;
    std::array<bool, CServerSock::kSlots> m_ready = {}; // slots that announced received bytes
    int m_nNextSlot = 0; // where the next take starts, so that no client starves the others
    // A list keeps each target where its close notice writes; targets are dropped by flag and
    // only forgotten on the link's thread, once no notice can come.
    std::list<TransferPeer> m_targets;
    int m_nGoneError = ENOTCONN; // kept by the transfer's thread
};
