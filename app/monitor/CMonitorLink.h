#pragma once

#include "CBurstTally.h"
#include "CSendTarget.h"
#include "CSerialReconnect.h"
#include "LinkSettings.h"
#include "TextEncoding.h"

#include <QObject>
#include <QTimer>

#include <memory>

class CClientSock;
class CLinkWriter;
class CRS232Ctrl;
class CServerSock;
class CUdpCtrl;

// The one link of a monitor window: a serial port, a TCP client, a TCP server with its clients,
// or a UDP socket, opened and closed as its link settings say. It drains what arrives and sends
// what the window, the command list or a file transfer gives it; a serial device that goes away
// is waited for and opened again when the settings ask for it. It knows nothing of how traffic
// is shown: what happens reaches the window through its signals, on the user-interface thread.
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

    explicit CMonitorLink(QObject* parent = nullptr);
    // Closes the link without a signal.
    ~CMonitorLink() override;

    // The settings the next Open uses.
    void SetSettings(const LinkSettings& settings) { m_settings = settings; }
    const LinkSettings& Settings() const { return m_settings; }
    // Received NUL bytes of a serial link are dropped unless kept; a socket link keeps them.
    void SetKeepNul(bool keep) { m_bKeepNul = keep; }
    // The welcome text goes out in the encoding the window reads and types text in.
    void SetTextEncoding(TextEncoding encoding) { m_encoding = encoding; }

    // Opens the link of the settings. A link that is open, or a connect under way, stays.
    void Open();
    void Close();
    bool IsOnline() const override { return m_bOnline; }
    tsl::TextCodec Codec() const override;
    bool IsConnecting() const { return m_connectTimer.isActive(); }
    // A serial device went away and is waited for; the link is offline meanwhile, and Close
    // ends the wait.
    bool IsReconnecting() const { return m_bReconnecting; }
    // Clients of a server link, recounted; 0 for any other link.
    int ConnectionCount() const;

    // The one way out: writes bytes on the link that is up (a serial port, the client socket,
    // every client of a server, or datagrams of at most 65,507 bytes to the UDP remote) and,
    // when announced, reports by sent() the bytes that went out. The number of bytes that went
    // out: 0 while the link is down or connecting. A send goes out whole or not at all: one a
    // socket cannot take (its send queue is full: the peer reads too slowly) is dropped whole,
    // counted, and told once a burst as a notice; so is what a stalled serial line did not take.
    int Send(const QByteArray& bytes, Announce announce = Announce::Yes);
    int SendTranslated(const QByteArray& bytes) override { return Send(bytes); }

    // A writer for a file transfer on the link that is up (on UDP a datagram per block), or null
    // while offline. The link it writes to stays valid until the writer is gone, also when the
    // link closes meanwhile.
    std::unique_ptr<CLinkWriter> OpenTransfer();

    CRS232Ctrl* SerialPort() const { return m_pSerial.get(); }
    CClientSock* ClientSocket() const { return m_pClient.get(); }
    CServerSock* ServerSocket() const { return m_pServer.get(); }
    CUdpCtrl* UdpSocket() const { return m_pUdp.get(); }

    // Since the window was made: sends (to each client, for a server) that were dropped or cut,
    // and their bytes not sent; datagrams of other senders than the UDP remote, passed over;
    // connections a full server closed.
    qint64 UnsentSends() const { return m_nUnsentSends; }
    qint64 UnsentBytes() const { return m_nUnsentBytes; }
    qint64 IgnoredDatagrams() const { return m_nIgnoredDatagrams; }
    qint64 RefusedClients() const { return m_nRefusedClients; }
signals:
    // Bytes one notice brought, in order; empty when it brought none.
    void received(const QByteArray& bytes);
    void sent(const QByteArray& bytes);
    // A client connect started or ended (confirmed, timed out or closed).
    void connectingChanged(bool connecting);
    // The wait for a vanished serial device started or ended (reopened or closed).
    void reconnectingChanged(bool waiting);
    // A line about the link for the terminal, with the attribute it is shown with.
    void notice(const QString& text, char attribute);
    void clientJoined(const QString& address, quint16 port);
    void clientLeft(const QString& address, quint16 port);
    void failed(CMonitorLink::Failure failure, const QString& reason);

private:
    friend class CTransferGuard;

    void OpenClient();
    void OpenServer();
    void OpenSerial();
    void OpenUdp();
    void StopReconnect();
    void SetOnline(bool online);
    void StopConnectWait();
    void DisposeClient();
    void DisposeSerial();
    void EndTransfer();

    // Transport notices.
    void OnCommReceived();
    void OnSerialVanished();
    void OnSerialReopened(qint64 awayMs);
    void OnReceiveUdp();
    void OnUdpSenderChanged(const QString& address, quint16 port);
    void OnConnectSocket();
    void OnConnectTimer();
    void OnAcceptSocket(int slot);
    void OnReceiveSocket(CClientSock* socket);
    void OnCloseSocket(CClientSock* socket);
    void OnRefusedSocket(const QString& address, quint16 port);
    void OnUdpIgnored(int count);

    // Counts bytes a send left behind for one destination, to be told with its burst.
    void NoteUnsent(CBurstTally& tally, const QString& who, qint64 bytes);
    // Counts what a connection about to go still held in its send queue.
    void NoteLeftInQueue(const CClientSock& socket);
    QString PeerLabel(const CClientSock& socket) const;
    QString UdpRemoteLabel() const;
    int SendOnSerial(const char* data, int n);
    int SendOnSockets(const char* data, int n);
    int SendOnUdp(const char* data, int n);
    // Tells now what the bursts have counted, before the link says it stopped.
    void FlushBursts();
    LinkSettings m_settings;
    std::unique_ptr<CServerSock> m_pServer;
    std::unique_ptr<CClientSock> m_pClient;
    std::unique_ptr<CRS232Ctrl> m_pSerial;
    CSerialReconnect m_reconnect;
    bool m_bReconnecting = false;
    std::unique_ptr<CUdpCtrl> m_pUdp;
    // Datagrams taken in this notice and not yet handed on: a sender's notice goes before them.
    QByteArray m_udpTaken;
    // A reply-to-sender link told once that it has nobody to send to yet.
    bool m_bToldNoSender = false;
    bool m_bOnline = false;
    bool m_bKeepNul = true;
    TextEncoding m_encoding = TextEncoding::Auto;
    QTimer m_connectTimer;
    int m_nConnectTicks = 0;
    // While a transfer writes to the link, a link that goes away is closed at once but freed
    // only after the transfer.
    int m_nTransfers = 0;
    std::unique_ptr<CRS232Ctrl> m_pParkedSerial;
    std::unique_ptr<CClientSock> m_pParkedClient;
    std::unique_ptr<CUdpCtrl> m_pParkedUdp;

    CBurstTally m_unsent;
    CBurstTally m_serialCut;
    bool m_bSerialStalled = false; // the last serial write timed out
    CBurstTally m_ignored;
    qint64 m_nUnsentSends = 0;
    qint64 m_nUnsentBytes = 0;
    qint64 m_nIgnoredDatagrams = 0;
    qint64 m_nRefusedClients = 0;
};
