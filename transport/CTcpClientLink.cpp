#include "CTcpClientLink.h"

#include "Comm.h"
#include "TransportConstants.h"

#include <algorithm>
#include <cerrno>

namespace {

const CLinkKind kTcpKind = {1,           "tcp", "TCP/IP", MEDIA_TCP, kLinkRole, "a TCP connection",
                            &MakeTcpLink};
const CLinkKindRegistration kRegistration(kTcpKind);

} // namespace

LinkPtr MakeTcpLink(const LinkParams& params)
{
    return params.bServer ? MakeTcpServerLink(params) : LinkPtr(new CTcpClientLink(params));
}

QString PeerText(const CClientSock& socket)
{
    QString address;
    quint16 port = 0;
    socket.GetPeerName(address, port);
    return QStringLiteral("%1:%2").arg(address).arg(port);
}

CTcpClientLink::CTcpClientLink(const LinkParams& params) : CSocketLink(params)
{
    connect(&m_socket, &CClientSock::connectFinished, this, &CTcpClientLink::OnConnected);
    connect(&m_socket, &CClientSock::receiveReady, this, [this] {
        m_bUnread = true;
        emit received();
    });
    connect(&m_socket, &CClientSock::closed, this, &CTcpClientLink::OnPeerClosed);
}

CTcpClientLink::~CTcpClientLink()
{
    ForgetTargets();
    m_socket.Close();
}

bool CTcpClientLink::Open()
{
    if (GetState() != State::Closed)
        return true;
    if (!CheckPort(Params().nPort))
        return false;
    m_bUnread = false;
    m_bPeerGone = false;
    SetLossReason({});
    m_socket.Create();
    if (!m_socket.Connect(Params().strHost, quint16(Params().nPort)))
        return Fail(LinkFailure::Connect, errno);
    SetState(State::Opening);
    return true;
}

void CTcpClientLink::Close()
{
    m_socket.Close();
    m_bUnread = false;
    MarkClosed();
}

void CTcpClientLink::OnConnected()
{
    QString address;
    quint16 port = 0;
    if (m_socket.GetPeerName(address, port)) {
        SetState(State::Open);
        return;
    }
    // Told before the state, so that an owner hears why before it sees the link closed.
    const LinkError error = {LinkFailure::Connect, 0, int(m_socket.GetError()),
                             m_socket.GetErrorString()};
    Fail(error.failure, 0, error.strDetail);
    emit failed(error);
    SetState(State::Closed);
}

void CTcpClientLink::OnPeerClosed()
{
    m_bPeerGone = true;
    EndIfGone();
}

void CTcpClientLink::EndIfGone()
{
    // What the peer sent before it closed is taken first; the link ends after.
    if (!m_bPeerGone || m_bUnread || GetState() != State::Open)
        return;
    QString address;
    quint16 port = 0;
    m_socket.GetPeerName(address, port);
    SetLossReason(m_socket.GetErrorString());
    const qint64 unsent = m_socket.QueuedBytes();
    m_socket.Close();
    emit peerLeft(address, port, unsent);
    SetState(State::Closed);
}

LinkDrops CTcpClientLink::Stranded() const
{
    LinkDrops drops;
    AddDrop(&drops, Target(), m_socket.QueuedBytes(), WriteStatus::Failed);
    return drops;
}

QString CTcpClientLink::Target() const
{
    return PeerText(m_socket);
}

QString CTcpClientLink::OpenedNotice() const
{
    return QStringLiteral("\r\nConnected to %1:%2 ...\r\n")
        .arg(Params().strHost)
        .arg(Params().nPort);
}

WriteResult CTcpClientLink::WriteLink(const char* data, int n, std::chrono::milliseconds wait,
                                      LinkDrops* drops)
{
    // A socket's own wait is none: what the system does not take waits in the send queue.
    const WriteResult result =
        m_socket.WriteWhole(data, n, std::max(wait, std::chrono::milliseconds(0)));
    if (!result.IsWritten())
        AddDrop(drops, Target(), n - result.nWritten, result.status);
    return result;
}

int CTcpClientLink::TakeLink(QByteArray& out, int max, int)
{
    // Read in pieces what is there, up to the bound; the socket announces again what is left.
    int taken = 0;
    int got = 0;
    while (taken < max) {
        const qsizetype held = out.size();
        const int piece = std::min(max - taken, kReceiveBatchBytes);
        out.resize(held + piece);
        got = m_socket.Receive(out.data() + held, piece);
        out.resize(held + std::max(got, 0));
        if (got <= 0)
            break;
        taken += got;
    }
    m_bUnread = got > 0;
    if (m_bPeerGone && !m_bUnread)
        QMetaObject::invokeMethod(this, &CTcpClientLink::EndIfGone, Qt::QueuedConnection);
    return taken;
}

std::vector<CClientSock*> CTcpClientLink::TransferSockets()
{
    if (m_socket.GetState() != QAbstractSocket::ConnectedState)
        return {};
    return {&m_socket};
}
