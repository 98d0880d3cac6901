#pragma once

#include "CServerSock.h"
#include "CSocketLink.h"

#include <array>

// A listening TCP server with its 256 client slots as one link: what is written goes to every
// client (or to the one chosen), what any client sends is received, told by slot, and clients
// coming and going are its peers, numbered by slot. A file transfer goes to the clients
// connected when it began (or to the one chosen), in step.
class CTcpServerLink : public CSocketLink
{
    Q_OBJECT

public:
    explicit CTcpServerLink(const LinkParams& params = {});
    ~CTcpServerLink() override;

    // The listening socket and its client slots.
    CServerSock& Server() { return m_server; }
    int PeerCount() const override;
    WriteResult WriteToPeer(int peer, const char* data, int n) override;
    void ChoosePeer(int peer) override;
    int ChosenPeer() const { return m_nChosen; }

    bool Open() override;
    void Close() override;
    bool HasReceived() const override;
    LinkDrops Stranded() const override;
    QString Target() const override;
    QString OpenedNotice() const override;
    QString ClosedNotice() const override;

protected:
    WriteResult WriteLink(const char* data, int n, std::chrono::milliseconds wait,
                          LinkDrops* drops) override;
    int TakeLink(QByteArray& out, int max, int wholeUpTo) override;
    int TakeFromPeers(QByteArray& out, int max, TakenPieces& pieces) override;
    std::vector<CClientSock*> TransferSockets() override;

private:
    void OnClientClosed(int slot);
    // Takes as TakeLink, noting each client's stretch in pieces when given.
    int TakeSlots(QByteArray& out, int max, TakenPieces* pieces);
    bool IsConnected(int slot) const;

    CServerSock m_server;
    std::array<bool, CServerSock::kSlots> m_ready = {}; // slots that announced received bytes
    int m_nNextSlot = 0; // where the next take starts, so that no client starves the others
    int m_nChosen = -1;  // the one client writes go to; -1: every client
};
