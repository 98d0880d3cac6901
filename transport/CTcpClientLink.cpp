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
    m_redial.setSingleShot(true);
    connect(&m_redial, &QTimer::timeout, this, &CTcpClientLink::Redial);
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
    m_redial.stop();
    m_bDialing = false;
    m_socket.Close();
    m_bUnread = false;
    MarkClosed();
}

void CTcpClientLink::OnConnected()
{
    QString address;
    quint16 port = 0;
    const bool connected = m_socket.GetPeerName(address, port);
    if (GetState() == State::Waiting) {
        if (!m_bDialing)
            return;
        m_bDialing = false;
        m_redial.stop();
        if (!connected) {
            RedialLater();
            return;
        }
        SetLossReason({});
        emit restored(m_away.elapsed());
        SetState(State::Open);
        return;
    }
    if (connected) {
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
    const int error =
        m_socket.GetError() == QAbstractSocket::RemoteHostClosedError ? EPIPE : ECONNRESET;
    m_socket.Close();
    emit peerLeft(address, port, unsent);
    if (!Params().bAutoReconnect) {
        SetState(State::Closed);
        return;
    }
    // Told before the state changes, so that an owner shows the wait.
    emit lost(error);
    SetState(State::Waiting);
    m_away.start();
    m_nRedialMs = 0;
    RedialLater();
}

void CTcpClientLink::RedialLater()
{
    m_socket.Close();
    m_nRedialMs = m_nRedialMs == 0 ? kRedialFirstMs : std::min(m_nRedialMs * 2, kRedialMaxMs);
    m_redial.start(m_nRedialMs);
}

void CTcpClientLink::Redial()
{
    if (GetState() != State::Waiting)
        return;
    // A connect that hangs (a host that does not answer) is given up for the next one.
    if (m_bDialing) {
        m_bDialing = false;
        RedialLater();
        return;
    }
    m_bUnread = false;
    m_bPeerGone = false;
    m_socket.Create();
    if (!m_socket.Connect(Params().strHost, quint16(Params().nPort))) {
        RedialLater();
        return;
    }
    m_bDialing = true;
    m_redial.start(kRedialConnectMs);
}

LinkDrops CTcpClientLink::Stranded() const
{
    LinkDrops drops;
    AddDrop(&drops, Target(), m_socket.QueuedBytes(), WriteStatus::Failed);
    return drops;
}

QString CTcpClientLink::Target() const
{
    // While not connected, the server it is dialled to.
    QString address;
    quint16 port = 0;
    if (!m_socket.GetPeerName(address, port))
        return QStringLiteral("%1:%2").arg(Params().strHost).arg(Params().nPort);
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
