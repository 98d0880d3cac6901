#include "CMonitorLink.h"

#include "LinkText.h"
#include "LinkWriter.h"
#include "MonitorConstants.h"
#include "SystemErrorText.h"
#include "TermViewConstants.h"
#include "TransportConstants.h"

#include <QAbstractSocket>
#include <QCoreApplication>
#include <QPointer>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

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

// Why a connect failed, in the words the program uses for the common reasons.
QString ConnectFailureText(int socketError, const QString& systemText)
{
    switch (QAbstractSocket::SocketError(socketError)) {
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

CMonitorLink::Failure FailureOf(LinkFailure failure)
{
    switch (failure) {
    case LinkFailure::DeviceOpen:
        return CMonitorLink::Failure::SerialOpen;
    case LinkFailure::DeviceInUse:
        return CMonitorLink::Failure::SerialInUse;
    case LinkFailure::DeviceLocked:
        return CMonitorLink::Failure::SerialLocked;
    case LinkFailure::PortInUse:
        return CMonitorLink::Failure::ServerPortInUse;
    case LinkFailure::Listen:
        return CMonitorLink::Failure::ServerStart;
    case LinkFailure::Bind:
        return CMonitorLink::Failure::UdpOpen;
    case LinkFailure::Connect:
        return CMonitorLink::Failure::ConnectRefused;
    case LinkFailure::PortOutOfRange:
        return CMonitorLink::Failure::PortOutOfRange;
    }
    return CMonitorLink::Failure::SerialOpen;
}

// The reason a window shows with a failure: the refused number, why a connect failed, or the
// system's words.
QString ReasonOf(const LinkError& error)
{
    switch (error.failure) {
    case LinkFailure::PortOutOfRange:
        return error.strDetail;
    case LinkFailure::Connect:
        return ConnectFailureText(error.nSocketError, error.strDetail);
    default:
        return SystemErrorText(error.nError);
    }
}

} // namespace

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
}

CMonitorLink::~CMonitorLink()
{
    blockSignals(true);
    m_connectTimer.stop();
    if (m_pLink) {
        m_pLink->disconnect(this);
        m_pLink->Close();
    }
    m_pLink.reset();
}

int CMonitorLink::ConnectionCount() const
{
    return m_pLink ? m_pLink->PeerCount() : 0;
}

void CMonitorLink::Open()
{
    // A connect under way, a link that is up or one waited for is not opened again.
    if (m_pLink)
        return;
    LinkPtr made = MakeLink(m_settings.Params());
    if (!made)
        return;
    CLink* link = made.get();
    // A window shows what arrived once a frame, however small the device's chunks.
    link->SetNoticeGap(std::chrono::milliseconds(kNoticeGapMs));
    if (!link->Open()) {
        const LinkError error = link->LastError();
        emit failed(FailureOf(error.failure), ReasonOf(error));
        return;
    }
    m_pLink = SharedLink(made.release(), CLinkDeleter());
    Connect(link);
    if (link->GetState() == CLink::State::Opening) {
        m_nConnectTicks = 0;
        m_connectTimer.start();
        emit connectingChanged(true);
        return;
    }
    OnOpened();
}

void CMonitorLink::Connect(CLink* link)
{
    connect(link, &CLink::received, this, &CMonitorLink::OnLinkReceived);
    connect(link, &CLink::stateChanged, this, &CMonitorLink::OnLinkState);
    connect(link, &CLink::failed, this, &CMonitorLink::OnLinkFailed);
    connect(link, &CLink::lost, this, &CMonitorLink::OnLinkLost);
    connect(link, &CLink::restored, this, &CMonitorLink::OnLinkRestored);
    connect(link, &CLink::peerJoined, this, &CMonitorLink::OnPeerJoined);
    connect(link, &CLink::peerLeft, this, &CMonitorLink::OnPeerLeft);
    connect(link, &CLink::peerRefused, this, &CMonitorLink::OnPeerRefused);
    connect(link, &CLink::senderChanged, this, &CMonitorLink::OnSenderChanged);
    connect(link, &CLink::ignored, this, &CMonitorLink::OnIgnored);
    connect(link, &CLink::modemLinesChanged, this, &CMonitorLink::modemLinesChanged);
}

void CMonitorLink::OnOpened()
{
    m_bToldNoPeer = false;
    if (const QString opened = m_pLink->OpenedNotice(); !opened.isEmpty())
        emit notice(opened, kAttrReceived);
    StopConnectWait();
    SetOnline(true);
}

void CMonitorLink::Close()
{
    if (!m_pLink) {
        StopConnectWait();
        return;
    }
    // What still waits for a peer goes with the connection: it is told first.
    for (const LinkDrop& drop : m_pLink->Stranded())
        NoteUnsent(m_unsent, drop.strWho, drop.nBytes);
    FlushBursts();
    StopConnectWait();
    StopReconnect();
    const bool open = m_pLink->GetState() == CLink::State::Open;
    const QString closed = m_pLink->ClosedNotice();
    DisposeLink();
    if (open && !closed.isEmpty())
        emit notice(closed, kAttrReceived);
    SetOnline(false);
}

void CMonitorLink::ForgetPeers()
{
    if (m_peers.empty() && m_nChosenPeer < 0)
        return;
    m_peers.clear();
    if (m_nChosenPeer >= 0) {
        m_nChosenPeer = -1;
        emit peerChoiceChanged(-1);
    }
    emit peersChanged();
}

QString CMonitorLink::PeerText(const Peer& peer)
{
    return QStringLiteral("[%1] %2:%3").arg(peer.nPeer).arg(peer.strAddress).arg(peer.nPort);
}

void CMonitorLink::ChoosePeer(int peer)
{
    const auto it = std::find_if(m_peers.begin(), m_peers.end(),
                                 [peer](const Peer& known) { return known.nPeer == peer; });
    const int chosen = it != m_peers.end() ? peer : -1;
    if (m_pLink)
        m_pLink->ChoosePeer(chosen);
    if (chosen == m_nChosenPeer)
        return;
    m_nChosenPeer = chosen;
    emit peerChoiceChanged(chosen);
}

void CMonitorLink::StopReconnect()
{
    if (!m_bReconnecting)
        return;
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

void CMonitorLink::DisposeLink()
{
    if (!m_pLink)
        return;
    m_pLink->disconnect(this);
    m_pLink->Close();
    m_pLink.reset();
    ForgetPeers();
}

int CMonitorLink::Send(const QByteArray& bytes, Announce announce)
{
    // A link that is down, or still connecting, sends nothing: nothing is shown or counted.
    if (bytes.isEmpty() || !m_bOnline || !m_pLink)
        return 0;
    LinkDrops drops;
    const WriteResult result =
        m_pLink->Write(bytes.constData(), int(bytes.size()), CLink::kOwnWait, &drops);
    // What did not go is told, never cut without a word: what a line timed out on apart from
    // what a destination had no room for.
    for (const LinkDrop& drop : drops)
        NoteUnsent(drop.status == WriteStatus::TimedOut ? m_serialCut : m_unsent, drop.strWho,
                   drop.nBytes);
    if (result.status == WriteStatus::NoPeer && !m_bToldNoPeer) {
        if (const QString why = m_pLink->NoPeerNotice(); !why.isEmpty()) {
            m_bToldNoPeer = true;
            emit notice(why, kAttrSent);
        }
    }
    const int taken = result.nWritten;
    if (announce == Announce::Yes && taken > 0)
        emit sent(bytes.left(taken));
    return taken;
}

void CMonitorLink::NoteUnsent(CBurstTally& tally, const QString& who, qint64 bytes)
{
    ++m_nUnsentSends;
    m_nUnsentBytes += bytes;
    tally.Add(who, bytes);
}

void CMonitorLink::FlushBursts()
{
    m_unsent.Flush();
    m_serialCut.Flush();
    m_ignored.Flush();
}

std::unique_ptr<CLinkWriter> CMonitorLink::OpenTransfer()
{
    if (!m_bOnline || !m_pLink)
        return nullptr;
    return MakeLinkWriter(m_pLink);
}

bool CMonitorLink::HasModemLines() const
{
    return m_bOnline && m_pLink && m_pLink->HasModemLines();
}

int CMonitorLink::SetDtr(bool on)
{
    return m_pLink ? m_pLink->SetDtr(on) : ENOTCONN;
}

int CMonitorLink::SetRts(bool on)
{
    return m_pLink ? m_pLink->SetRts(on) : ENOTCONN;
}

int CMonitorLink::SendBreak(int durationMs)
{
    return m_pLink ? m_pLink->SendBreak(durationMs) : ENOTCONN;
}

int CMonitorLink::WatchModemLines(bool on)
{
    return m_pLink ? m_pLink->WatchModemLines(on) : ENOTCONN;
}

void CMonitorLink::OnConnectTimer()
{
    if (++m_nConnectTicks < kConnectGiveUpTicks)
        return;
    StopConnectWait();
    DisposeLink();
    emit failed(Failure::ConnectTimeout,
                tr("응답이 없습니다 (%1초).").arg(kConnectGiveUpTicks * kConnectTickMs / 1000));
}

void CMonitorLink::OnLinkState(CLink::State state)
{
    switch (state) {
    case CLink::State::Open:
        // A link back from a wait said so by restored.
        if (IsConnecting())
            OnOpened();
        return;
    case CLink::State::Waiting:
        m_bReconnecting = true;
        emit reconnectingChanged(true);
        SetOnline(false);
        return;
    case CLink::State::Closed:
        // Ended from the far side, after it said how.
        StopConnectWait();
        DisposeLink();
        SetOnline(false);
        return;
    case CLink::State::Opening:
        return;
    }
}

void CMonitorLink::OnLinkFailed(const LinkError& error)
{
    // The connect failed: the user hears why at once, not after the time-out.
    StopConnectWait();
    DisposeLink();
    emit failed(FailureOf(error.failure), ReasonOf(error));
}

void CMonitorLink::OnLinkReceived()
{
    if (!m_pLink)
        return;
    // One bounded batch per notice: the link announces again while bytes are left, so input
    // and painting get their turn between batches of a flood. Taken out of the member while in
    // use: a receiver that runs an event loop may see the next batch meanwhile.
    QByteArray bytes = std::exchange(m_takeRoom, QByteArray());
    TakenPieces pieces = std::exchange(m_pieces, TakenPieces());
    bytes.resize(0);
    pieces.clear();
    m_pLink->Take(bytes, kBytesPerNotice, pieces);
    const QPointer<CMonitorLink> alive(this);
    Deliver(bytes, pieces);
    if (!alive)
        return; // a receiver closed the window
    // A receiver that kept the bytes shares them: the next batch then takes a room of its own.
    m_takeRoom = std::move(bytes);
    m_pieces = std::move(pieces);
}

void CMonitorLink::Deliver(QByteArray& bytes, const TakenPieces& pieces)
{
    if (m_divert) {
        m_divert(bytes);
        return;
    }
    if (!m_bKeepNul && m_settings.HasLine())
        bytes.removeIf([](char byte) { return byte == 0; });
    if (pieces.size() <= 1) {
        emit received(bytes, pieces.empty() ? -1 : pieces.front().nPeer);
        return;
    }
    // Clients of a server, each with its own stretch, in the order they were taken.
    qsizetype at = 0;
    for (const TakenPiece& piece : pieces) {
        emit received(bytes.mid(at, piece.nBytes), piece.nPeer);
        at += piece.nBytes;
    }
}

void CMonitorLink::OnLinkLost(int error)
{
    // The device went away (an adapter pulled out). The wait, when there is one, is told before
    // the window goes offline, so that it shows the wait.
    QString text =
        kCrLf +
        tr("포트 연결이 끊어졌습니다 [%1]: %2 ...").arg(m_pLink->Target(), SystemErrorText(error)) +
        kCrLf;
    if (m_pLink->Params().bAutoReconnect)
        text += tr("재연결 대기중...") + kCrLf;
    emit notice(text, kAttrSent);
}

void CMonitorLink::OnLinkRestored(qint64 awayMs)
{
    m_bReconnecting = false;
    emit reconnectingChanged(false);
    emit notice(kCrLf +
                    tr("포트가 다시 연결되었습니다 [%1] (끊긴 시간 %2) ...")
                        .arg(m_pLink->Target(), AwayText(awayMs)) +
                    kCrLf,
                kAttrSent);
    // Online again: the window asks anew for what it watched on the link.
    SetOnline(true);
}

void CMonitorLink::OnPeerJoined(int peer, const QString& address, quint16 port)
{
    m_bToldNoPeer = false;
    if (m_settings.bWelcomeFlag && !m_settings.strWelcomeMsg.isEmpty()) {
        // A welcome the window's encoding cannot hold goes out as nothing, and is said.
        const tsl::EncodedText welcome = LinkText(m_settings.strWelcomeMsg, m_encoding);
        if (welcome.nUnencodable < 0)
            m_pLink->WriteToPeer(peer, welcome.bytes.data(), int(welcome.bytes.size()));
        else
            emit notice(kCrLf +
                            tr("환영 메시지에 %1(으)로 보낼 수 없는 문자가 있어 보내지 않았습니다.")
                                .arg(QString::fromLatin1(tsl::CodecName(Codec()))) +
                            kCrLf,
                        kAttrSent);
    }
    const Peer joined{peer, address, port};
    const auto place = std::lower_bound(m_peers.begin(), m_peers.end(), peer,
                                        [](const Peer& known, int n) { return known.nPeer < n; });
    m_peers.insert(place, joined);
    // With the peer's own port: several clients of one machine are told apart; the number is
    // the one its traffic is marked with.
    emit notice(
        kCrLf + QStringLiteral("[%1] Connected from %2:%3 ...\n").arg(peer).arg(address).arg(port) +
            kCrLf,
        kAttrSent);
    emit clientJoined(address, port);
    emit peersChanged();
}

void CMonitorLink::OnPeerLeft(const QString& address, quint16 port, qint64 unsentBytes)
{
    // What still waited for the peer goes with the connection: it is told before the close.
    if (unsentBytes > 0)
        NoteUnsent(m_unsent, QStringLiteral("%1:%2").arg(address).arg(port), unsentBytes);
    m_unsent.Flush();
    // The server's end of each connection is the same: address and port name the peer.
    const auto left = std::find_if(m_peers.begin(), m_peers.end(), [&](const Peer& known) {
        return known.nPort == port && known.strAddress == address;
    });
    const int peer = left != m_peers.end() ? left->nPeer : -1;
    const QString number = peer >= 0 ? QStringLiteral("[%1] ").arg(peer) : QString();
    emit notice(kCrLf + number +
                    QStringLiteral("Disconnect from %1:%2 ...\n").arg(address).arg(port) + kCrLf,
                kAttrSent);
    if (left != m_peers.end())
        m_peers.erase(left);
    if (peer >= 0 && peer == m_nChosenPeer) {
        // What is sent from now on would go nowhere: every client gets it again, and the user
        // hears so.
        ChoosePeer(-1);
        emit notice(
            kCrLf +
                tr("선택한 클라이언트 [%1]이(가) 나가서 모든 클라이언트로 보냅니다 ...").arg(peer) +
                kCrLf,
            kAttrSent);
    }
    emit clientLeft(address, port);
    if (peer >= 0)
        emit peersChanged();
}

void CMonitorLink::OnPeerRefused(const QString& address, quint16 port)
{
    // Closed at once rather than left connected and ignored.
    ++m_nRefusedClients;
    emit notice(kCrLf + tr("접속 가능한 클라이언트 수(%1)를 넘었습니다").arg(kServerSlotCount) +
                    QStringLiteral(": %1:%2 ...").arg(address).arg(port) + kCrLf,
                kAttrSent);
}

void CMonitorLink::OnSenderChanged(const QString& address, quint16 port)
{
    m_bToldNoPeer = false;
    emit notice(kCrLf + QStringLiteral("Datagram from %1:%2 ...").arg(address).arg(port) + kCrLf,
                kAttrSent);
}

void CMonitorLink::OnIgnored(int count)
{
    m_nIgnoredDatagrams += count;
    m_ignored.Add(QString(), count);
}
