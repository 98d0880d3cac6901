#include "CSingleInstance.h"

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>
#include <unistd.h>

namespace {
const QByteArray kRaiseRequest = "raise\n";
constexpr int kConnectTimeoutMs = 1000;
constexpr int kWriteTimeoutMs = 1000;
constexpr int kRequestTimeoutMs = 2000;
} // namespace

CSingleInstance::CSingleInstance(QObject* parent) : QObject(parent)
{
    connect(&m_server, &QLocalServer::newConnection, this, &CSingleInstance::OnNewConnection);
}

QString CSingleInstance::ServerName()
{
    // The runtime folder is private to the user and per session, unlike the shared /tmp.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return QDir(folder).filePath(QStringLiteral("tarven-%1").arg(getuid()));
}

bool CSingleInstance::AskRunningCopy(const QString& name)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(kConnectTimeoutMs))
        return false;
    socket.write(kRaiseRequest);
    return socket.waitForBytesWritten(kWriteTimeoutMs);
}

bool CSingleInstance::Claim()
{
    const QString name = ServerName();
    if (AskRunningCopy(name))
        return false;
    // Nobody answered: a socket file left by a copy that crashed would block listening.
    QLocalServer::removeServer(name);
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server.listen(name)) {
        // Better two copies than none: the user still gets a working program.
        qWarning("tarven: cannot listen on %s: %s", qPrintable(name),
                 qPrintable(m_server.errorString()));
    }
    return true;
}

void CSingleInstance::OnNewConnection()
{
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto readRequest = [this, socket] {
            if (!socket->canReadLine()) {
                // Anything longer than the one request is not from a copy of ours.
                if (socket->bytesAvailable() > kRaiseRequest.size())
                    socket->abort();
                return;
            }
            if (socket->readLine() == kRaiseRequest)
                emit activationRequested();
            socket->disconnectFromServer();
        };
        connect(socket, &QLocalSocket::readyRead, this, readRequest);
        readRequest();
        // A peer that never finishes its line is dropped rather than kept forever.
        QTimer::singleShot(kRequestTimeoutMs, socket, &QLocalSocket::abort);
    }
}
