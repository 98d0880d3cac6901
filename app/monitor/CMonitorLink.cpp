#include "CMonitorLink.h"

#include "CClientSock.h"
#include "CRS232Ctrl.h"
#include "CServerSock.h"
#include "CUdpCtrl.h"
#include "LinkText.h"
#include "LinkWriter.h"
#include "MonitorConstants.h"
#include "SerialDeviceClaim.h"
#include "SerialDeviceList.h"
#include "SerialPortName.h"
#include "SystemErrorText.h"
#include "TermViewConstants.h"
#include "TransportConstants.h"

#include <QCoreApplication>
#include <QPointer>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <utility>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

CMonitorLink::Failure SerialFailure(int error, const QString& portName)
{
    switch (error) {
    case EBUSY:
        // Busy also when another program opened the device for itself alone (TIOCEXCL stops
        // all but root).
        return CSerialDeviceClaim::IsHeld(SerialDevicePath(portName))
                   ? CMonitorLink::Failure::SerialInUse
                   : CMonitorLink::Failure::SerialLocked;
    case EWOULDBLOCK:
        return CMonitorLink::Failure::SerialLocked;
    default:
        return CMonitorLink::Failure::SerialOpen;
    }
}

// How long a device was away: "2.4초", "3분 12초", "1시간 5분 0초".
QString AwayText(qint64 awayMs)
{
    constexpr qint64 kMsPerSecond = 1000;
    constexpr qint64 kSecondsPerMinute = 60;
    constexpr qint64 kSecondsPerHour = 3600;
    if (awayMs < kSecondsPerMinute * kMsPerSecond)
        return QCoreApplication::translate("CMonitorLink", "%1초")
            .arg(double(awayMs) / kMsPerSecond, 0, 'f', 1);
    const qint64 seconds = awayMs / kMsPerSecond;
    const QString minutes = QCoreApplication::translate("CMonitorLink", "%1분 %2초")
                                .arg(seconds % kSecondsPerHour / kSecondsPerMinute)
                                .arg(seconds % kSecondsPerMinute);
    return seconds < kSecondsPerHour ? minutes
                                     : QCoreApplication::translate("CMonitorLink", "%1시간 ")
                                               .arg(seconds / kSecondsPerHour) +
                                           minutes;
}

// The first port of the settings that a socket link cannot use, if any. A UDP link binds its
// local port (0: any free one) and needs the remote port only when it has a remote.
std::optional<int> PortOutOfRange(const LinkSettings& link)
{
    if (link.IsUdp() && link.nLocalPort != 0 && !IsPortNumber(link.nLocalPort))
        return link.nLocalPort;
    if (link.IsUdp() && link.RepliesToSender())
        return std::nullopt;
    if (!IsPortNumber(link.nServerPort))
        return link.nServerPort;
    return std::nullopt;
}

// Writes a file transfer's blocks on a UDP link, one datagram each. CUdpCtrl::Send may be called
// from the transfer's thread; a system buffer that stays full for the stall limit fails it.
class CUdpLinkWriter : public CLinkWriter
{
public:
    explicit CUdpLinkWriter(CUdpCtrl& udp) : m_udp(udp) {}

    void BeginTransfer(std::chrono::milliseconds stall) override
    {
        CLinkWriter::BeginTransfer(stall);
        m_progress.Restart();
    }
    int Write(const char* data, int n, int& error) override
    {
        error = 0;
        int done = 0;
        while (done < n) {
            const int put = m_udp.Send(data + done, std::min(n - done, kMaxUdpDatagramBytes));
            if (put < 0) {
                error = errno;
                if (error == EAGAIN && m_progress.HasStalled(Stall()))
                    error = ETIMEDOUT;
                return done;
            }
            done += put;
            m_progress.Restart();
        }
        return done;
    }

private:
    CUdpCtrl& m_udp;
    CStallClock m_progress;
};

// Closes a socket link. While a transfer writes to it, it is parked until the transfer ends;
// otherwise it is freed later, as we may be inside one of its own notices.
template <typename Socket>
void DisposeSocket(QObject* owner, std::unique_ptr<Socket>& socket, std::unique_ptr<Socket>& parked,
                   bool transferring)
{
    socket->disconnect(owner);
    socket->Close();
    if (transferring)
        parked = std::move(socket);
    else
        socket.release()->deleteLater();
}

// Why a connect failed, in the words the program uses for the common reasons.
QString ConnectFailureText(QAbstractSocket::SocketError error, const QString& systemText)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return CMonitorLink::tr("연결이 거부되었습니다 (그 포트에서 기다리는 서버가 없습니다).");
    case QAbstractSocket::HostNotFoundError:
        return CMonitorLink::tr("호스트를 찾을 수 없습니다.");
    case QAbstractSocket::SocketTimeoutError:
        return CMonitorLink::tr("응답이 없습니다.");
    case QAbstractSocket::NetworkError:
        return CMonitorLink::tr("네트워크에 연결할 수 없습니다.");
    default:
        return systemText;
    }
}

} // namespace

// Hands a transfer's writes to the link's writer, and tells the link when the transfer is over
// so that a link closed meanwhile can be freed.
class CTransferGuard : public CLinkWriter
{
public:
    CTransferGuard(CMonitorLink& link, std::unique_ptr<CLinkWriter> writer)
        : m_pLink(&link), m_pWriter(std::move(writer))
    {
        ++link.m_nTransfers;
    }
    ~CTransferGuard() override
    {
        m_pWriter.reset();
        if (!m_pLink.isNull())
            m_pLink->EndTransfer();
    }

    int Write(const char* data, int n, int& error) override
    {
        return m_pWriter->Write(data, n, error);
    }
    qint64 Pending(int& error) override { return m_pWriter->Pending(error); }
    void BeginTransfer(std::chrono::milliseconds stall) override
    {
        m_pWriter->BeginTransfer(stall);
    }

private:
    QPointer<CMonitorLink> m_pLink;
    std::unique_ptr<CLinkWriter> m_pWriter;
};

tsl::TextCodec CMonitorLink::Codec() const
{
    return SendCodec(m_encoding);
}

CMonitorLink::CMonitorLink(QObject* parent)
    : CSendTarget(parent), m_unsent([this](const QString& who, qint64 total) {
          emit notice(kCrLf + tr("%1에 보내지 못한 바이트: %2 ...").arg(who).arg(total) + kCrLf,
                      kAttrSent);
      }),
      m_serialCut([this](const QString& who, qint64 total) {
          emit notice(
              kCrLf + tr("%1에 보내지 못한 바이트: %2 (쓰기 시간초과) ...").arg(who).arg(total) +
                  kCrLf,
              kAttrSent);
      }),
      m_ignored([this](const QString&, qint64 total) {
          emit notice(kCrLf + tr("다른 송신자의 데이터그램 %1개를 무시했습니다 ...").arg(total) +
                          kCrLf,
                      kAttrSent);
      })
{
    m_connectTimer.setObjectName(QString::number(ID_CONNECT_TIMER));
    m_connectTimer.setInterval(kConnectTickMs);
    connect(&m_connectTimer, &QTimer::timeout, this, &CMonitorLink::OnConnectTimer);
    connect(&m_reconnect, &CSerialReconnect::reopened, this, &CMonitorLink::OnSerialReopened);
}

CMonitorLink::~CMonitorLink()
{
    blockSignals(true);
    m_connectTimer.stop();
    m_reconnect.Stop();
    m_pUdp.reset();
    // The serial port's destructor joins its reader; sockets close before the link goes.
    m_pSerial.reset();
    if (m_pServer)
        m_pServer->Close();
    m_pServer.reset();
    if (m_pClient)
        m_pClient->Close();
    m_pClient.reset();
}

int CMonitorLink::ConnectionCount() const
{
    if (!m_pServer)
        return 0;
    m_pServer->CalcConnection();
    return m_pServer->GetConnectionCount();
}

void CMonitorLink::Open()
{
    if (m_settings.nInterface == LinkSettings::Rs232c) {
        OpenSerial();
        return;
    }
    if (const std::optional<int> port = PortOutOfRange(m_settings)) {
        emit failed(Failure::PortOutOfRange, QString::number(*port));
        return;
    }
    if (m_settings.IsUdp())
        OpenUdp();
    else if (m_settings.nActive == LinkSettings::Client)
        OpenClient();
    else
        OpenServer();
}

void CMonitorLink::OpenClient()
{
    // A connect under way, or a link that is up, is not started again.
    if (m_pClient)
        return;
    m_nConnectTicks = 0;
    m_connectTimer.start();
    emit connectingChanged(true);
    m_pClient = std::make_unique<CClientSock>();
    CClientSock* socket = m_pClient.get();
    connect(socket, &CClientSock::connectFinished, this, &CMonitorLink::OnConnectSocket);
    connect(socket, &CClientSock::receiveReady, this, [this, socket] { OnReceiveSocket(socket); });
    connect(socket, &CClientSock::closed, this, [this, socket] { OnCloseSocket(socket); });
    socket->Create();
    socket->Connect(m_settings.ServerAddressText(), quint16(m_settings.nServerPort));
}

void CMonitorLink::OpenServer()
{
    if (m_pServer)
        return;
    auto server = std::make_unique<CServerSock>();
    if (!server->Create(quint16(m_settings.nServerPort))) {
        const int error = errno;
        emit failed(error == EADDRINUSE ? Failure::ServerPortInUse : Failure::ServerStart,
                    SystemErrorText(error));
        return;
    }
    server->Listen(kServerListenBacklog);
    CServerSock* raw = server.get();
    connect(raw, &CServerSock::accepted, this, &CMonitorLink::OnAcceptSocket);
    connect(raw, &CServerSock::receiveReady, this,
            [this, raw](int slot) { OnReceiveSocket(raw->GetSlot(slot)); });
    connect(raw, &CServerSock::closed, this,
            [this, raw](int slot) { OnCloseSocket(raw->GetSlot(slot)); });
    connect(raw, &CServerSock::refused, this, &CMonitorLink::OnRefusedSocket);
    m_pServer = std::move(server);
    emit notice(kCrLf + QStringLiteral("Server started (port:%1)...").arg(m_settings.nServerPort) +
                    kCrLf,
                kAttrReceived);
    SetOnline(true);
}

void CMonitorLink::OpenSerial()
{
    if (m_pSerial)
        return;
    m_bSerialStalled = false;
    // Through the device's stable name when it has one, so that a device pulled out and put
    // back is found again even when the system numbers it anew.
    const QString device = StableSerialPath(SerialDevicePath(m_settings.strPortName));
    auto port = std::make_unique<CRS232Ctrl>();
    port->bsSetReceiveRing(kSerialReceiveRingBytes);
    if (!port->Open(device.toLocal8Bit().constData(), m_settings.BaudRate(), m_settings.DataBits(),
                    m_settings.Parity(), m_settings.StopBits(), m_settings.FlowControl())) {
        // The reason tells a missing device from one the user may not open.
        const int error = int(port->GetLastError());
        emit failed(SerialFailure(error, m_settings.strPortName), SystemErrorText(error));
        return;
    }
    connect(port->Notifier(), &CSerialNotifier::received, this, &CMonitorLink::OnCommReceived);
    m_pSerial = std::move(port);
    SetOnline(true);
}

void CMonitorLink::OpenUdp()
{
    if (m_pUdp)
        return;
    auto udp = std::make_unique<CUdpCtrl>();
    const bool remote = !m_settings.RepliesToSender();
    if (!udp->Create(quint16(m_settings.nLocalPort)) ||
        (remote &&
         !udp->SetRemote(m_settings.ServerAddressText(), quint16(m_settings.nServerPort)))) {
        emit failed(Failure::UdpOpen, SystemErrorText(errno));
        return;
    }
    CUdpCtrl* raw = udp.get();
    connect(raw, &CUdpCtrl::receiveReady, this, &CMonitorLink::OnReceiveUdp);
    connect(raw, &CUdpCtrl::senderChanged, this, &CMonitorLink::OnUdpSenderChanged);
    connect(raw, &CUdpCtrl::ignored, this, &CMonitorLink::OnUdpIgnored);
    m_pUdp = std::move(udp);
    m_bToldNoSender = false;
    const QString to = remote ? QStringLiteral("%1:%2")
                                    .arg(m_settings.ServerAddressText())
                                    .arg(m_settings.nServerPort)
                              : QStringLiteral("sender");
    emit notice(
        kCrLf + QStringLiteral("UDP started (port:%1, to %2)...").arg(raw->GetLocalPort()).arg(to) +
            kCrLf,
        kAttrReceived);
    SetOnline(true);
}

void CMonitorLink::Close()
{
    // What still waits for a peer goes with the connection: it is told first.
    if (m_pClient)
        NoteLeftInQueue(*m_pClient);
    for (int slot = 0; m_pServer && slot < CServerSock::kSlots; ++slot)
        NoteLeftInQueue(*m_pServer->GetSlot(slot));
    FlushBursts();
    StopConnectWait();
    StopReconnect();
    if (m_pSerial) {
        DisposeSerial();
        SetOnline(false);
    }
    if (m_pUdp) {
        DisposeSocket(this, m_pUdp, m_pParkedUdp, m_nTransfers > 0);
        emit notice(kCrLf + QStringLiteral("UDP stopped ...") + kCrLf, kAttrReceived);
        SetOnline(false);
    }
    if (m_pServer) {
        m_pServer->Close();
        m_pServer.reset();
        emit notice(kCrLf + QStringLiteral("Server stopped ...") + kCrLf + u'\n', kAttrReceived);
        SetOnline(false);
    }
    if (m_pClient) {
        DisposeClient();
        SetOnline(false);
    }
}

void CMonitorLink::StopReconnect()
{
    if (!m_bReconnecting)
        return;
    m_reconnect.Stop();
    m_bReconnecting = false;
    emit reconnectingChanged(false);
}

void CMonitorLink::SetOnline(bool online)
{
    if (m_bOnline == online)
        return;
    m_bOnline = online;
    emit onlineChanged(online);
}

void CMonitorLink::StopConnectWait()
{
    const bool waited = m_connectTimer.isActive();
    m_connectTimer.stop();
    m_nConnectTicks = 0;
    if (waited)
        emit connectingChanged(false);
}

void CMonitorLink::DisposeClient()
{
    DisposeSocket(this, m_pClient, m_pParkedClient, m_nTransfers > 0);
}

void CMonitorLink::DisposeSerial()
{
    m_pSerial->Close();
    if (m_nTransfers > 0)
        m_pParkedSerial = std::move(m_pSerial);
    else
        m_pSerial.reset();
}

int CMonitorLink::Send(const QByteArray& bytes, Announce announce)
{
    // A link that is down, or still connecting, sends nothing: nothing is shown or counted.
    if (bytes.isEmpty() || !m_bOnline)
        return 0;
    const char* data = bytes.constData();
    const int n = int(bytes.size());
    int taken = 0;
    if (m_pSerial) {
        taken = SendOnSerial(data, n);
    } else if (m_pClient || m_pServer) {
        taken = SendOnSockets(data, n);
    } else if (m_pUdp) {
        taken = SendOnUdp(data, n);
    }
    if (announce == Announce::Yes && taken > 0)
        emit sent(bytes.left(taken));
    return taken;
}

int CMonitorLink::SendOnSerial(const char* data, int n)
{
    // A line that stalled is not waited for again while it still takes nothing (a device
    // holding flow control off): a repeated send would hold the window a time-out each.
    WriteResult result = {WriteStatus::Written, 0, 0};
    if (m_bSerialStalled)
        result = m_pSerial->WriteWhole(data, n, std::chrono::milliseconds(0));
    if (!m_bSerialStalled || (result.status == WriteStatus::TimedOut && result.nWritten > 0)) {
        const int before = result.nWritten;
        result = m_pSerial->WriteWhole(data + before, n - before);
        result.nWritten += before;
    }
    // What the line took stays sent; the rest is told, never cut without a word. (A port that
    // went away tells that instead.)
    m_bSerialStalled = result.status == WriteStatus::TimedOut;
    if (m_bSerialStalled)
        NoteUnsent(m_serialCut, m_settings.PortLabel(), n - result.nWritten);
    return result.nWritten;
}

int CMonitorLink::SendOnSockets(const char* data, int n)
{
    // Each connection takes the send whole or not at all, without waiting: a peer that reads
    // too slowly misses whole sends, never parts of one. For a server, a send went out when
    // one client took it; a server without clients sends nothing.
    int taken = 0;
    const auto sendTo = [&](CClientSock& socket) {
        if (socket.WriteWhole(data, n).IsWritten())
            taken = n;
        else
            NoteUnsent(m_unsent, PeerLabel(socket), n);
    };
    if (m_pClient) {
        sendTo(*m_pClient);
        return taken;
    }
    for (int slot = 0; slot < CServerSock::kSlots; ++slot) {
        CClientSock* client = m_pServer->GetSlot(slot);
        if (client->bsGetSlotState() == CClientSock::kSlotInUse)
            sendTo(*client);
    }
    return taken;
}

int CMonitorLink::SendOnUdp(const char* data, int n)
{
    // One datagram per send; more than one datagram holds goes out in several.
    int taken = 0;
    while (taken < n) {
        const WriteResult result =
            m_pUdp->WriteWhole(data + taken, std::min(n - taken, CUdpCtrl::kMaxDatagramBytes),
                               std::chrono::milliseconds(kUdpSendWaitMs));
        if (result.IsWritten()) {
            taken += result.nWritten;
            continue;
        }
        if (result.status == WriteStatus::NoPeer) {
            if (!m_bToldNoSender) {
                m_bToldNoSender = true;
                emit notice(kCrLf +
                                tr("보낼 곳이 없습니다: 원격 IP가 비어 있으면 "
                                   "데이터그램을 받은 뒤에 답합니다 ...") +
                                kCrLf,
                            kAttrSent);
            }
        } else {
            NoteUnsent(m_unsent, UdpRemoteLabel(), n - taken);
        }
        break;
    }
    return taken;
}

void CMonitorLink::NoteUnsent(CBurstTally& tally, const QString& who, qint64 bytes)
{
    ++m_nUnsentSends;
    m_nUnsentBytes += bytes;
    tally.Add(who, bytes);
}

void CMonitorLink::NoteLeftInQueue(const CClientSock& socket)
{
    if (const qint64 queued = socket.QueuedBytes(); queued > 0)
        NoteUnsent(m_unsent, PeerLabel(socket), queued);
}

QString CMonitorLink::PeerLabel(const CClientSock& socket) const
{
    QString address;
    quint16 port = 0;
    socket.GetPeerName(address, port);
    return QStringLiteral("%1:%2").arg(address).arg(port);
}

QString CMonitorLink::UdpRemoteLabel() const
{
    if (!m_settings.RepliesToSender())
        return QStringLiteral("%1:%2")
            .arg(m_settings.ServerAddressText())
            .arg(m_settings.nServerPort);
    QString address;
    quint16 port = 0;
    m_pUdp->GetPeerName(address, port);
    return QStringLiteral("%1:%2").arg(address).arg(port);
}

void CMonitorLink::FlushBursts()
{
    m_unsent.Flush();
    m_serialCut.Flush();
    m_ignored.Flush();
}

std::unique_ptr<CLinkWriter> CMonitorLink::OpenTransfer()
{
    if (!m_bOnline)
        return nullptr;
    std::unique_ptr<CLinkWriter> writer;
    if (m_pSerial)
        writer = MakeSerialLinkWriter(*m_pSerial);
    else if (m_pClient)
        writer = MakeClientLinkWriter(*m_pClient);
    else if (m_pServer)
        writer = MakeServerLinkWriter(*m_pServer);
    else if (m_pUdp)
        writer = std::make_unique<CUdpLinkWriter>(*m_pUdp);
    if (!writer)
        return nullptr;
    return std::make_unique<CTransferGuard>(*this, std::move(writer));
}

void CMonitorLink::EndTransfer()
{
    if (--m_nTransfers > 0)
        return;
    m_pParkedSerial.reset();
    if (m_pParkedUdp)
        m_pParkedUdp.release()->deleteLater();
    if (m_pParkedClient)
        m_pParkedClient.release()->deleteLater();
}

void CMonitorLink::OnConnectTimer()
{
    if (++m_nConnectTicks < kConnectGiveUpTicks)
        return;
    StopConnectWait();
    if (m_pClient)
        DisposeClient();
    emit failed(Failure::ConnectTimeout,
                tr("응답이 없습니다 (%1초).").arg(kConnectGiveUpTicks * kConnectTickMs / 1000));
}

void CMonitorLink::OnConnectSocket()
{
    QString address;
    quint16 port = 0;
    if (!m_pClient)
        return;
    if (!m_pClient->GetPeerName(address, port)) {
        // The connect failed: the user hears why at once, not after the time-out.
        const QString reason =
            ConnectFailureText(m_pClient->GetError(), m_pClient->GetErrorString());
        StopConnectWait();
        DisposeClient();
        emit failed(Failure::ConnectRefused, reason);
        return;
    }
    emit notice(kCrLf +
                    QStringLiteral("Connected to %1:%2 ...")
                        .arg(m_settings.ServerAddressText())
                        .arg(m_settings.nServerPort) +
                    kCrLf,
                kAttrReceived);
    StopConnectWait();
    SetOnline(true);
}

void CMonitorLink::OnAcceptSocket(int slot)
{
    CClientSock* socket = m_pServer ? m_pServer->GetSlot(slot) : nullptr;
    if (socket == nullptr)
        return;
    // The peer's own port tells apart clients that connect from one machine.
    QString address;
    quint16 port = 0;
    socket->GetPeerName(address, port);
    if (m_settings.bWelcomeFlag && !m_settings.strWelcomeMsg.isEmpty()) {
        // A welcome the window's encoding cannot hold goes out as nothing, and is said.
        const tsl::EncodedText welcome = LinkText(m_settings.strWelcomeMsg, m_encoding);
        if (welcome.nUnencodable < 0)
            socket->WriteWhole(welcome.bytes.data(), int(welcome.bytes.size()));
        else
            emit notice(kCrLf +
                            tr("환영 메시지에 %1(으)로 보낼 수 없는 문자가 있어 보내지 않았습니다.")
                                .arg(QString::fromLatin1(tsl::CodecName(Codec()))) +
                            kCrLf,
                        kAttrSent);
    }
    emit notice(kCrLf + QStringLiteral("Connected from %1:%2 ...\n").arg(address).arg(port) + kCrLf,
                kAttrSent);
    emit clientJoined(address, port);
}

void CMonitorLink::OnCloseSocket(CClientSock* socket)
{
    QString address;
    quint16 port = 0;
    socket->GetPeerName(address, port);
    // What still waited for the peer goes with the connection: it is told before the close.
    NoteLeftInQueue(*socket);
    m_unsent.Flush();
    // With the peer's port, as on connecting: several clients of one machine are told apart.
    emit notice(kCrLf + QStringLiteral("Disconnect from %1:%2 ...\n").arg(address).arg(port) +
                    kCrLf,
                kAttrSent);
    if (socket == m_pClient.get()) {
        DisposeClient();
        SetOnline(false);
        return;
    }
    socket->Close();
    emit clientLeft(address, port);
}

void CMonitorLink::OnRefusedSocket(const QString& address, quint16 port)
{
    // Closed at once rather than left connected and ignored.
    ++m_nRefusedClients;
    emit notice(kCrLf + tr("접속 가능한 클라이언트 수(%1)를 넘었습니다").arg(CServerSock::kSlots) +
                    QStringLiteral(": %1:%2 ...").arg(address).arg(port) + kCrLf,
                kAttrSent);
}

void CMonitorLink::OnUdpIgnored(int count)
{
    m_nIgnoredDatagrams += count;
    m_ignored.Add(QString(), count);
}

void CMonitorLink::OnReceiveSocket(CClientSock* socket)
{
    // Read what is there up to a bound; the socket brings another notice for the rest.
    QByteArray bytes;
    while (bytes.size() < kSocketBytesPerNotice) {
        const qsizetype held = bytes.size();
        bytes.resize(held + kReceiveBatchBytes);
        const int got = socket->Receive(bytes.data() + held, kReceiveBatchBytes);
        bytes.resize(held + std::max(got, 0));
        if (got <= 0)
            break;
    }
    emit received(bytes);
}

void CMonitorLink::OnCommReceived()
{
    if (!m_pSerial)
        return;
    // One bounded batch per notice: the port announces again while bytes are left, so input
    // and painting get their turn between batches of a flood.
    QByteArray bytes;
    m_pSerial->TakeReceived(bytes, kSerialBytesPerNotice);
    if (!m_bKeepNul)
        bytes.removeIf([](char byte) { return byte == 0; });
    emit received(bytes);
    // A device that went away is let go once everything it sent before has been shown; a port
    // already let go (a late notice) is not let go twice.
    if (m_pSerial && m_pSerial->GetCommHandle() >= 0 && m_pSerial->bsGetConnectFlag() == 0 &&
        m_pSerial->GetReceivedSize() == 0)
        OnSerialVanished();
}

void CMonitorLink::OnSerialVanished()
{
    // The device went away (an adapter pulled out): its reader has stopped. The port lets go of
    // it so that it can be opened again once the device is back: by the wait below, or by the
    // user.
    const QString reason = SystemErrorText(int(m_pSerial->GetLastError()));
    const QString lost =
        kCrLf + tr("포트 연결이 끊어졌습니다 [%1]: %2 ...").arg(m_settings.PortLabel(), reason) +
        kCrLf;
    if (!m_settings.bAutoReconnect) {
        DisposeSerial();
        emit notice(lost, kAttrSent);
        SetOnline(false);
        return;
    }
    emit notice(lost + tr("재연결 대기중...") + kCrLf, kAttrSent);
    // The port object stays, with its settings, and is opened again in place (the first try is
    // at once). The wait is told before the window goes offline, so that it shows the wait.
    m_bReconnecting = true;
    emit reconnectingChanged(true);
    SetOnline(false);
    m_reconnect.Start(m_pSerial.get());
}

void CMonitorLink::OnSerialReopened(qint64 awayMs)
{
    m_bReconnecting = false;
    emit reconnectingChanged(false);
    emit notice(kCrLf +
                    tr("포트가 다시 연결되었습니다 [%1] (끊긴 시간 %2) ...")
                        .arg(m_settings.PortLabel(), AwayText(awayMs)) +
                    kCrLf,
                kAttrSent);
    // Online again: the window asks anew for what it watched on the port.
    SetOnline(true);
}

void CMonitorLink::OnReceiveUdp()
{
    // A bounded batch per notice: against a sender as fast as this side, taking until none is
    // left may never end. The notice comes again for the rest.
    m_udpTaken.clear();
    QByteArray datagram;
    for (int count = 0; count < kUdpDatagramsPerNotice && m_udpTaken.size() < kSocketBytesPerNotice;
         ++count) {
        if (!m_pUdp || m_pUdp->Receive(datagram) < 0)
            break;
        m_udpTaken += datagram;
    }
    const QByteArray bytes = std::exchange(m_udpTaken, QByteArray());
    emit received(bytes);
}

void CMonitorLink::OnUdpSenderChanged(const QString& address, quint16 port)
{
    // What the sender before sent is shown before the new sender's notice.
    if (!m_udpTaken.isEmpty())
        emit received(std::exchange(m_udpTaken, QByteArray()));
    m_bToldNoSender = false;
    emit notice(kCrLf + QStringLiteral("Datagram from %1:%2 ...").arg(address).arg(port) + kCrLf,
                kAttrSent);
}
