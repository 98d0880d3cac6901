#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

// A device on 127.0.0.1 that sends back every byte it receives and keeps a copy of them, so a
// test reads at the far end what a script sent.
class EchoDevice : public QTcpServer
{
public:
    EchoDevice()
    {
        listen(QHostAddress::LocalHost, 0);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection()) {
                m_pPeer = socket;
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    const QByteArray bytes = socket->readAll();
                    m_received += bytes;
                    socket->write(bytes);
                });
            }
        });
    }

    quint16 Port() const { return serverPort(); }
    const QByteArray& Received() const { return m_received; }
    // Drops the link, as a device that was switched off.
    void Hangup()
    {
        // The link may be up before the event loop has taken it: take it now.
        waitForNewConnection(0);
        if (m_pPeer)
            m_pPeer->abort();
    }

private:
    QTcpSocket* m_pPeer = nullptr;
    QByteArray m_received;
};

// The declarations of a script that talks to port on 127.0.0.1 over TCP.
inline QByteArray TcpHeader(quint16 port)
{
    return "OPEN MEDIA TCP\nOPEN IP 127.0.0.1\nOPEN PORT " + QByteArray::number(port) + "\n";
}
