#include "CTcpServerLink.h"

#include "CTcpClientLink.h"
#include "TransportConstants.h"

#include <QAbstractSocket>

#include <algorithm>
#include <cerrno>

LinkPtr MakeTcpServerLink(const LinkParams& params)
{
    return LinkPtr(new CTcpServerLink(params));
}

CTcpServerLink::CTcpServerLink(const LinkParams& params) : CSocketLink(params)
{
    connect(&m_server, &CServerSock::accepted, this, [this](int slot) {
        // The peer's own port tells apart clients that connect from one machine.
        QString address;
        quint16 port = 0;
        m_server.GetSlot(slot)->GetPeerName(address, port);
        emit peerJoined(slot, address, port);
    });
    connect(&m_server, &CServerSock::receiveReady, this, [this](int slot) {
        m_ready[size_t(slot)] = true;
        emit received();
    });
    connect(&m_server, &CServerSock::closed, this, &CTcpServerLink::OnClientClosed);
    connect(&m_server, &CServerSock::refused, this, &CLink::peerRefused);
}

CTcpServerLink::~CTcpServerLink()
{
    ForgetTargets();
}

bool CTcpServerLink::Open()
{
    if (GetState() != State::Closed)
        return true;
    if (!CheckPort(Params().nPort))
        return false;
    const QString& address = Params().strLocalAddress;
    if (!m_server.Create(quint16(Params().nPort), address.isEmpty()
                                                      ? QHostAddress(QHostAddress::Any)
                                                      : QHostAddress(address))) {
        const int error = errno;
        return Fail(error == EADDRINUSE ? LinkFailure::PortInUse : LinkFailure::Listen, error);
    }
    m_server.Listen();
    SetState(State::Open);
    return true;
}

void CTcpServerLink::Close()
{
    m_server.Close();
    for (int slot = 0; slot < CServerSock::kSlots; ++slot) {
        CClientSock* client = m_server.GetSlot(slot);
        if (client->bsGetSlotState() == CClientSock::kSlotInUse)
            client->Close();
    }
    m_ready = {};
    m_nChosen = -1;
    MarkClosed();
}

void CTcpServerLink::OnClientClosed(int slot)
{
    CClientSock* client = m_server.GetSlot(slot);
    QString address;
    quint16 port = 0;
    client->GetPeerName(address, port);
    m_ready[size_t(slot)] = false;
    // A later client in the same slot is somebody else: it is not chosen by inheritance.
    if (slot == m_nChosen)
        m_nChosen = -1;
    // What still waited for the peer goes with the connection, told with it.
    emit peerLeft(address, port, client->QueuedBytes());
    client->Close();
}

WriteResult CTcpServerLink::WriteLink(const char* data, int n, std::chrono::milliseconds wait,
                                      LinkDrops* drops)
{
    // Each client takes the write whole or not at all: a client that reads too slowly misses
    // whole writes, never parts of one. The write went out when one client took it.
    bool anyone = false;
    bool taken = false;
    for (int slot = 0; slot < CServerSock::kSlots; ++slot) {
        CClientSock* client = m_server.GetSlot(slot);
        if (client->bsGetSlotState() != CClientSock::kSlotInUse ||
            (m_nChosen >= 0 && slot != m_nChosen))
            continue;
        anyone = true;
        const WriteResult result =
            client->WriteWhole(data, n, std::max(wait, std::chrono::milliseconds(0)));
        if (result.IsWritten())
            taken = true;
        else
            AddDrop(drops, PeerText(*client), n - result.nWritten, result.status);
    }
    if (taken)
        return {WriteStatus::Written, n, 0};
    return anyone ? WriteResult{WriteStatus::Full, 0, EAGAIN}
                  : WriteResult{WriteStatus::NoPeer, 0, ENOTCONN};
}

WriteResult CTcpServerLink::WriteToPeer(int peer, const char* data, int n)
{
    if (!IsConnected(peer))
        return {WriteStatus::NoPeer, 0, ENOTCONN};
    return m_server.GetSlot(peer)->WriteWhole(data, n);
}

bool CTcpServerLink::IsConnected(int slot) const
{
    const CClientSock* client = m_server.GetSlot(slot);
    return client != nullptr && client->bsGetSlotState() == CClientSock::kSlotInUse;
}

void CTcpServerLink::ChoosePeer(int peer)
{
    // A slot nobody holds is no choice: writes would go nowhere without a word.
    m_nChosen = peer >= 0 && IsConnected(peer) ? peer : -1;
}

int CTcpServerLink::TakeLink(QByteArray& out, int max, int)
{
    return TakeSlots(out, max, nullptr);
}

int CTcpServerLink::TakeFromPeers(QByteArray& out, int max, TakenPieces& pieces)
{
    return TakeSlots(out, max, &pieces);
}

int CTcpServerLink::TakeSlots(QByteArray& out, int max, TakenPieces* pieces)
{
    int taken = 0;
    for (int i = 0; i < CServerSock::kSlots && taken < max; ++i) {
        const int slot = (m_nNextSlot + i) % CServerSock::kSlots;
        if (!m_ready[size_t(slot)])
            continue;
        CClientSock* client = m_server.GetSlot(slot);
        int got = 0;
        while (taken < max) {
            const qsizetype held = out.size();
            const int piece = std::min(max - taken, kReceiveBatchBytes);
            out.resize(held + piece);
            got = client->Receive(out.data() + held, piece);
            out.resize(held + std::max(got, 0));
            if (got <= 0)
                break;
            taken += got;
            if (pieces == nullptr)
                continue;
            if (!pieces->empty() && pieces->back().nPeer == slot)
                pieces->back().nBytes += got;
            else
                pieces->push_back({slot, got});
        }
        // A client read up to the bound announces the rest itself.
        m_ready[size_t(slot)] = got > 0;
        m_nNextSlot = (slot + 1) % CServerSock::kSlots;
    }
    return taken;
}

bool CTcpServerLink::HasReceived() const
{
    return std::find(m_ready.begin(), m_ready.end(), true) != m_ready.end();
}

LinkDrops CTcpServerLink::Stranded() const
{
    LinkDrops drops;
    for (int slot = 0; slot < CServerSock::kSlots; ++slot) {
        const CClientSock* client = m_server.GetSlot(slot);
        if (client->bsGetSlotState() == CClientSock::kSlotInUse)
            AddDrop(&drops, PeerText(*client), client->QueuedBytes(), WriteStatus::Failed);
    }
    return drops;
}

int CTcpServerLink::PeerCount() const
{
    int count = 0;
    for (int slot = 0; slot < CServerSock::kSlots; ++slot) {
        if (m_server.GetSlot(slot)->bsGetSlotState() != CClientSock::kSlotFree)
            ++count;
    }
    return count;
}

QString CTcpServerLink::Target() const
{
    return QStringLiteral("*:%1").arg(Params().nPort);
}

QString CTcpServerLink::OpenedNotice() const
{
    return QStringLiteral("\r\nServer started (port:%1)...\r\n").arg(Params().nPort);
}

QString CTcpServerLink::ClosedNotice() const
{
    return QStringLiteral("\r\nServer stopped ...\r\n\n");
}

std::vector<CClientSock*> CTcpServerLink::TransferSockets()
{
    std::vector<CClientSock*> sockets;
    for (int i = 0; i < CServerSock::kSlots; ++i) {
        CClientSock* slot = m_server.GetSlot(i);
        if (m_nChosen >= 0 && i != m_nChosen)
            continue;
        if (slot->bsGetSlotState() == CClientSock::kSlotInUse &&
            slot->GetState() == QAbstractSocket::ConnectedState)
            sockets.push_back(slot);
    }
    return sockets;
}
