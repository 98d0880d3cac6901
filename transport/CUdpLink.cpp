#include "CUdpLink.h"

#include "Comm.h"
#include "TransportConstants.h"

#include <QCoreApplication>

#include <algorithm>
#include <cerrno>

namespace {

LinkPtr MakeUdpLink(const LinkParams& params)
{
    return LinkPtr(new CUdpLink(params));
}

const CLinkKind kUdpKind = {
    2, "udp", "UDP/IP", MEDIA_UDP, kLinkRemote | kLinkLocalPort, "UDP datagrams", &MakeUdpLink};
const CLinkKindRegistration kRegistration(kUdpKind);

} // namespace

CUdpLink::CUdpLink(const LinkParams& params) : CLink(params)
{
    connect(&m_udp, &CUdpCtrl::receiveReady, this, &CLink::received);
    connect(&m_udp, &CUdpCtrl::ignored, this, &CLink::ignored);
    connect(&m_udp, &CUdpCtrl::senderChanged, this, [this](const QString& address, quint16 port) {
        // Told when its datagram is taken, after the ones of the sender before.
        m_bNewSender = true;
        m_strSender = address;
        m_nSenderPort = port;
    });
}

CUdpLink::~CUdpLink() = default;

bool CUdpLink::Open()
{
    if (GetState() != State::Closed)
        return true;
    // The local port 0 takes any free one; the remote port counts only with a remote.
    const LinkParams& params = Params();
    if ((params.nLocalPort != 0 && !CheckPort(params.nLocalPort)) ||
        (HasRemote() && !CheckPort(params.nPort)))
        return false;
    // Without a remote address the link answers whoever sent the last datagram.
    if (!m_udp.Create(quint16(params.nLocalPort), params.strLocalAddress) ||
        !m_udp.SetRemote(params.strHost, quint16(params.nPort)))
        return Fail(LinkFailure::Bind, errno);
    m_held.clear();
    m_nHeldAt = 0;
    m_bHolding = false;
    m_bNewSender = false;
    SetState(State::Open);
    return true;
}

void CUdpLink::Close()
{
    m_udp.Close();
    m_bHolding = false;
    m_held.clear();
    MarkClosed();
}

QString CUdpLink::Target() const
{
    if (HasRemote())
        return QStringLiteral("%1:%2").arg(Params().strHost).arg(Params().nPort);
    QString address;
    quint16 port = 0;
    m_udp.GetPeerName(address, port);
    return QStringLiteral("%1:%2").arg(address).arg(port);
}

QString CUdpLink::OpenedNotice() const
{
    const QString to = HasRemote() ? Target() : QStringLiteral("sender");
    return QStringLiteral("\r\nUDP started (port:%1, to %2)...\r\n").arg(LocalPort()).arg(to);
}

QString CUdpLink::ClosedNotice() const
{
    return QStringLiteral("\r\nUDP stopped ...\r\n");
}

QString CUdpLink::NoPeerNotice() const
{
    return QStringLiteral("\r\n") +
           QCoreApplication::translate("CMonitorLink", "보낼 곳이 없습니다: 원격 IP가 비어 있으면 "
                                                       "데이터그램을 받은 뒤에 답합니다 ...") +
           QStringLiteral("\r\n");
}

WriteResult CUdpLink::WriteLink(const char* data, int n, std::chrono::milliseconds wait,
                                LinkDrops* drops)
{
    if (wait < std::chrono::milliseconds(0))
        wait = std::chrono::milliseconds(kUdpSendWaitMs);
    // One datagram per write; more than one datagram holds goes out in several.
    int taken = 0;
    while (taken < n) {
        const WriteResult result =
            m_udp.WriteWhole(data + taken, std::min(n - taken, CUdpCtrl::kMaxDatagramBytes), wait);
        if (!result.IsWritten()) {
            if (result.status != WriteStatus::NoPeer)
                AddDrop(drops, Target(), n - taken, result.status);
            return {result.status, taken, result.nError};
        }
        taken += result.nWritten;
    }
    return {WriteStatus::Written, n, 0};
}

void CUdpLink::TellSender()
{
    m_bNewSender = false;
    emit senderChanged(m_strSender, m_nSenderPort);
}

int CUdpLink::TakeLink(QByteArray& out, int max, int wholeUpTo)
{
    // The datagram held since the last take is a new sender's: it is told before its bytes.
    if (m_bHolding && m_bNewSender)
        TellSender();
    int taken = 0;
    // Empty datagrams take no room: a flood of them must not hold the caller.
    for (int count = 0; count < kDatagramsPerTake;) {
        if (!m_bHolding) {
            if (m_udp.Receive(m_held) < 0)
                break;
            m_bHolding = true;
            m_nHeldAt = 0;
            if (m_bNewSender) {
                if (taken > 0)
                    break; // what the sender before sent goes first
                TellSender();
            }
        }
        const qsizetype left = m_held.size() - m_nHeldAt;
        const int room = max - taken;
        if (left > 0) {
            // A datagram that fits a take at all reaches it whole; a larger one flows through.
            if (left <= wholeUpTo && left > room)
                break;
            const int piece = int(std::min<qsizetype>(left, room));
            if (piece == 0)
                break;
            out.append(m_held.constData() + m_nHeldAt, piece);
            m_nHeldAt += piece;
            taken += piece;
            if (m_nHeldAt < m_held.size())
                break;
        }
        m_bHolding = false;
        m_held.clear();
        ++count;
    }
    // While a datagram waits for room, the others wait in the system, which drops what its
    // buffer cannot hold, as UDP may.
    m_udp.PauseReceive(m_bHolding);
    if (m_bHolding && taken > 0)
        AnnounceLater();
    return taken;
}
