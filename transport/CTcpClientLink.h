#pragma once

#include "CClientSock.h"
#include "CSocketLink.h"

#include <QElapsedTimer>
#include <QTimer>

// A TCP connection to a server as a link: Open starts the connect, whose outcome comes as
// stateChanged(Open) or failed. When the peer closes, it leaves once everything it sent was
// taken, and the link is closed; with LinkParams::bAutoReconnect it is lost instead and dialled
// again, kRedialFirstMs after and then twice as long each time up to kRedialMaxMs, until it is
// back (restored) or closed.
class CTcpClientLink : public CSocketLink
{
    Q_OBJECT

public:
    explicit CTcpClientLink(const LinkParams& params = {});
    ~CTcpClientLink() override;

    CClientSock& Socket() { return m_socket; }

    bool Open() override;
    void Close() override;
    bool HasReceived() const override { return m_bUnread; }
    LinkDrops Stranded() const override;
    QString Target() const override;
    QString OpenedNotice() const override;

protected:
    WriteResult WriteLink(const char* data, int n, std::chrono::milliseconds wait,
                          LinkDrops* drops) override;
    int TakeLink(QByteArray& out, int max, int wholeUpTo) override;
    std::vector<CClientSock*> TransferSockets() override;

private:
    void OnConnected();
    void OnPeerClosed();
    // The peer left: told once what it sent was taken.
    void EndIfGone();
    // While waited for: a connect, or the wait before the next one.
    void Redial();
    void RedialLater();

    CClientSock m_socket;
    bool m_bUnread = false;   // received bytes may wait that no take got to
    bool m_bPeerGone = false; // the peer closed; the link ends once its bytes were taken
    QTimer m_redial;          // the next connect while waited for, or the end of one that hangs
    bool m_bDialing = false;
    int m_nRedialMs = 0;
    QElapsedTimer m_away; // since the connection was lost
};

// TCP as the settings choose it: a client, or a server (LinkParams::bServer).
LinkPtr MakeTcpLink(const LinkParams& params);
// A server; defined with CTcpServerLink.
LinkPtr MakeTcpServerLink(const LinkParams& params);
// "address:port" of a connected socket, as messages name a peer.
QString PeerText(const CClientSock& socket);
