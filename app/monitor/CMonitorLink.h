#pragma once

#include "CBurstTally.h"
#include "CSendTarget.h"
#include "Link.h"
#include "LinkSettings.h"
#include "TextEncoding.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

class CLinkWriter;

// The one link of a monitor window, of whatever kind its settings choose (a serial port, a TCP
// client, a TCP server with its clients, a UDP socket, a loopback), opened and closed as they
// say. It takes what arrives and sends what the window, the command list or a file transfer
// gives it, and words what the link tells for the terminal. It knows nothing of how traffic is
// shown: what happens reaches the window through its signals, on the user-interface thread.
class CMonitorLink : public CSendTarget
{
    Q_OBJECT

public:
    // Why an open failed; the window words it for the user.
    enum class Failure
    {
        SerialOpen,      // the device did not open; the reason is the system's
        SerialInUse,     // another window of this program has the device open
        SerialLocked,    // another program holds the device's lock
        ServerPortInUse, // another server has the port
        ServerStart,     // listening failed otherwise; the reason is the system's
        ConnectTimeout,  // a connect was not confirmed within its ticks
        ConnectRefused,  // the connect failed (refused, host not found...); the reason says which
        PortOutOfRange,  // the settings name a TCP or UDP port outside 1..65535
        UdpOpen,         // the UDP socket did not open; the reason is the system's
    };

    // Whether a send is announced by sent(): typed bytes and command strings are (the window
    // echoes and counts them), a control-code click is not (the panel echoes it itself).
    enum class Announce
    {
        Yes,
        No
    };

    // A peer of a link of several (a server's client): its number, as marks and the selector
    // show it, and where it is.
    struct Peer
    {
        int nPeer = -1;
        QString strAddress;
        quint16 nPort = 0;
    };

    explicit CMonitorLink(QObject* parent = nullptr);
    // Closes the link without a signal.
    ~CMonitorLink() override;

    // The settings the next Open uses.
    void SetSettings(const LinkSettings& settings) { m_settings = settings; }
    const LinkSettings& Settings() const { return m_settings; }
    // Received NUL bytes of a serial line are dropped unless kept; other links keep them.
    void SetKeepNul(bool keep) { m_bKeepNul = keep; }
    // The welcome text goes out in the encoding the window reads and types text in.
    void SetTextEncoding(TextEncoding encoding) { m_encoding = encoding; }

    // Opens the link of the settings. A link that is open, or a connect under way, stays.
    void Open();
    void Close();
    bool IsOnline() const override { return m_bOnline; }
    tsl::TextCodec Codec() const override;
    bool IsConnecting() const { return m_connectTimer.isActive(); }
    // A link that went away is waited for (a serial device); the window is offline meanwhile,
    // and Close ends the wait.
    bool IsReconnecting() const { return m_bReconnecting; }
    // Peers of the link (a server's clients); 0 for a link of one.
    int ConnectionCount() const;
    // The peers connected, by number.
    const std::vector<Peer>& Peers() const { return m_peers; }
    // "[3] 127.0.0.1:40112": a peer as the terminal and the selector name it.
    static QString PeerText(const Peer& peer);
    // Sends, typed keys and transfers go to this peer alone from now on; -1: to every peer.
    // A peer that is not connected is no choice (-1). Told by peerChoiceChanged.
    void ChoosePeer(int peer);
    int ChosenPeer() const { return m_nChosenPeer; }
    // The link while one is open or opening; null otherwise.
    CLink* Link() const { return m_pLink.get(); }

    // The one way out: writes bytes on the link that is up and, when announced, reports by
    // sent() the bytes that went out. The number of bytes that went out: 0 while the link is
    // down or connecting. A send goes out whole or not at all: one a destination cannot take
    // (a socket's send queue is full: the peer reads too slowly) is dropped whole, counted, and
    // told once a burst as a notice; so is what a stalled serial line did not take.
    int Send(const QByteArray& bytes, Announce announce = Announce::Yes);
    int SendTranslated(const QByteArray& bytes) override { return Send(bytes); }

    // A writer for a file transfer on the link that is up, or null while offline. The link it
    // writes to stays valid until the writer is gone, also when the link closes meanwhile.
    std::unique_ptr<CLinkWriter> OpenTransfer();
    // While a protocol transfer runs, what the link receives is its own: it goes to the sink
    // whole (NUL bytes too) instead of received(). An empty sink gives it back to the window.
    void DivertReceived(std::function<void(const QByteArray&)> sink) { m_divert = std::move(sink); }

    // Modem lines and break of the link that is up; 0 or an errno value (ENOTSUP where the
    // link has none).
    bool HasModemLines() const;
    int SetDtr(bool on);
    int SetRts(bool on);
    int SendBreak(int durationMs);
    int WatchModemLines(bool on);

    // Since the window was made: sends (to each client, for a server) that were dropped or cut,
    // and their bytes not sent; datagrams of other senders than the UDP remote, passed over;
    // connections a full server closed.
    qint64 UnsentSends() const { return m_nUnsentSends; }
    qint64 UnsentBytes() const { return m_nUnsentBytes; }
    qint64 IgnoredDatagrams() const { return m_nIgnoredDatagrams; }
    qint64 RefusedClients() const { return m_nRefusedClients; }
signals:
    // Bytes one notice brought, in order; empty when it brought none. A link of several peers
    // tells each peer's stretch apart, with the peer's number; -1 for a link of one.
    void received(const QByteArray& bytes, int peer);
    void sent(const QByteArray& bytes);
    // A client connect started or ended (confirmed, timed out or closed).
    void connectingChanged(bool connecting);
    // The wait for a vanished serial device started or ended (reopened or closed).
    void reconnectingChanged(bool waiting);
    // A line about the link for the terminal, with the attribute it is shown with.
    void notice(const QString& text, char attribute);
    void clientJoined(const QString& address, quint16 port);
    void clientLeft(const QString& address, quint16 port);
    // A peer joined or left: Peers changed.
    void peersChanged();
    void peerChoiceChanged(int peer);
    void failed(CMonitorLink::Failure failure, const QString& reason);
    // The watched modem lines (MS_* bits) changed.
    void modemLinesChanged(unsigned status);

private:
    void Connect(CLink* link);
    // Opened or connected: said, and online.
    void OnOpened();
    void SetOnline(bool online);
    void StopConnectWait();
    void StopReconnect();
    // Lets the link go; a transfer that still writes to it keeps it until it ends.
    void DisposeLink();

    // Link notices.
    void OnLinkReceived();
    // Hands a taken batch to the diversion or to the window, each client's stretch apart.
    void Deliver(QByteArray& bytes, const TakenPieces& pieces);
    void OnLinkState(CLink::State state);
    void OnLinkFailed(const LinkError& error);
    void OnLinkLost(int error);
    void OnLinkRestored(qint64 awayMs);
    void OnConnectTimer();
    void OnPeerJoined(int peer, const QString& address, quint16 port);
    void OnPeerLeft(const QString& address, quint16 port, qint64 unsentBytes);
    void OnPeerRefused(const QString& address, quint16 port);
    void OnSenderChanged(const QString& address, quint16 port);
    void OnIgnored(int count);

    // No peers are left when the link goes.
    void ForgetPeers();
    // Counts bytes a send left behind for one destination, to be told with its burst.
    void NoteUnsent(CBurstTally& tally, const QString& who, qint64 bytes);
    // Tells now what the bursts have counted, before the link says it stopped.
    void FlushBursts();
    LinkSettings m_settings;
    SharedLink m_pLink;
    std::vector<Peer> m_peers; // by number
    int m_nChosenPeer = -1;
    // The room of the last batch, kept for the next: a flood's batches would otherwise grow
    // and free a buffer each, and the heap would give its top back and take it again.
    TakenPieces m_pieces;
    QByteArray m_takeRoom;
    std::function<void(const QByteArray&)> m_divert;
    bool m_bReconnecting = false;
    // A link that had nobody to send to told so once, until a peer appears.
    bool m_bToldNoPeer = false;
    bool m_bOnline = false;
    bool m_bKeepNul = true;
    TextEncoding m_encoding = TextEncoding::Auto;
    QTimer m_connectTimer;
    int m_nConnectTicks = 0;

    CBurstTally m_unsent;
    CBurstTally m_serialCut;
    CBurstTally m_ignored;
    qint64 m_nUnsentSends = 0;
    qint64 m_nUnsentBytes = 0;
    qint64 m_nIgnoredDatagrams = 0;
    qint64 m_nRefusedClients = 0;
};
