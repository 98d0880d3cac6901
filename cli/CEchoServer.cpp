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
        connect(peer, &QTcpSocket::readyRead, peer, [peer] { peer->write(peer->readAll()); });
        connect(peer, &QTcpSocket::disconnected, peer, &QObject::deleteLater);
    }
}
