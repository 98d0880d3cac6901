#include "CSingleInstance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

#include <optional>
#include <unistd.h>

namespace {
// The request is one line: the word, then a tab and a percent-encoded absolute path per file.
const QByteArray kRaiseRequest = "raise";
// More than a person selects in a file manager at once; a longer line is not from a copy of ours.
constexpr qint64 kMaxRequestBytes = 256 * 1024;
constexpr int kConnectTimeoutMs = 1000;
constexpr int kWriteTimeoutMs = 1000;
constexpr int kRequestTimeoutMs = 2000;

QByteArray EncodeRequest(const QStringList& files)
{
    QByteArray request = kRaiseRequest;
    for (const QString& file : files) {
        QByteArray encoded = QUrl::toPercentEncoding(QFileInfo(file).absoluteFilePath());
        if (request.size() + encoded.size() + 2 > kMaxRequestBytes)
            break;
        request += '\t' + encoded;
    }
    return request + '\n';
}

// The files of a request; nothing when the line is no request (or longer than one).
std::optional<QStringList> DecodeRequest(const QByteArray& line)
{
    if (!line.endsWith('\n'))
        return std::nullopt;
    QList<QByteArray> parts = line.chopped(1).split('\t');
    if (parts.takeFirst() != kRaiseRequest)
        return std::nullopt;
    QStringList files;
    for (const QByteArray& part : parts) {
        const QString path = QUrl::fromPercentEncoding(part);
        if (QFileInfo(path).isAbsolute())
            files.append(path);
    }
    return files;
}
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

bool CSingleInstance::AskRunningCopy(const QString& name, const QStringList& files)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(kConnectTimeoutMs))
        return false;
    socket.write(EncodeRequest(files));
    return socket.waitForBytesWritten(kWriteTimeoutMs);
}

bool CSingleInstance::Claim(const QStringList& files)
{
    const QString name = ServerName();
    if (AskRunningCopy(name, files))
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
                if (socket->bytesAvailable() > kMaxRequestBytes)
                    socket->abort();
                return;
            }
            if (const std::optional<QStringList> files =
                    DecodeRequest(socket->readLine(kMaxRequestBytes + 1)))
                emit activationRequested(*files);
            socket->disconnectFromServer();
        };
        connect(socket, &QLocalSocket::readyRead, this, readRequest);
        readRequest();
        // A peer that never finishes its line is dropped rather than kept forever.
        QTimer::singleShot(kRequestTimeoutMs, socket, &QLocalSocket::abort);
    }
}
