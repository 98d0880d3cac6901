#include "CEchoServer.h"

#include <QTcpSocket>

CEchoServer::CEchoServer(QObject* parent) : QTcpServer(parent)
{
    connect(this, &QTcpServer::newConnection, this, &CEchoServer::OnNewConnection);
}

bool CEchoServer::Start()
{
    return listen(QHostAddress::LocalHost, 0);
}

void CEchoServer::OnNewConnection()
{
    while (QTcpSocket* peer = nextPendingConnection()) {
        // A full read buffer makes the socket stop reading: TCP then holds the peer back.
        peer->setReadBufferSize(kMaxHeldBytes);
        connect(peer, &QTcpSocket::readyRead, peer, [peer] { Answer(peer); });
        connect(peer, &QTcpSocket::bytesWritten, peer, [peer] { Answer(peer); });
        connect(peer, &QTcpSocket::disconnected, peer, &QObject::deleteLater);
    }
}

void CEchoServer::Answer(QTcpSocket* peer)
{
    const qint64 room = kMaxHeldBytes - peer->bytesToWrite();
    if (room <= 0 || peer->bytesAvailable() == 0)
        return;
    const QByteArray bytes = peer->read(room);
    if (!bytes.isEmpty())
        peer->write(bytes);
}
