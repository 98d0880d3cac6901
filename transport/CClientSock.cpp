#include "CClientSock.h"

#include "TransportConstants.h"

#include <QHostAddress>
#include <QPointer>
#include <QSocketNotifier>
#include <QTcpSocket>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int NewUnconnectedSocket()
{
    return ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
}

// Dotted text for IPv4 peers also when a dual-stack listener saw them as IPv4-mapped IPv6.
QString AddressText(const QHostAddress& address)
{
    bool isIpv4 = false;
    const quint32 ipv4 = address.toIPv4Address(&isIpv4);
    return isIpv4 ? QHostAddress(ipv4).toString() : address.toString();
}

} // namespace

CClientSock::CClientSock(QObject* parent) : QObject(parent) {}

CClientSock::~CClientSock()
{
    ReleaseSocket();
    DisarmFlush();
    CloseHandle();
}

int CClientSock::Create()
{
    std::lock_guard lock(m_sendMutex);
    if (m_hSocket >= 0)
        return 1;
    m_hSocket = NewUnconnectedSocket();
    return m_hSocket >= 0 ? 1 : 0;
}

int CClientSock::Connect(const QString& host, quint16 port)
{
    if (!IsPortNumber(port)) {
        errno = EINVAL; // there is nothing to connect to on port 0
        return 0;
    }
    if (!Create())
        return 0;
    if (m_pSocket != nullptr) {
        ReleaseSocket();
        ResetHandle();
    }
    DisarmFlush();
    m_bPeerClosed = false;
    m_strPeerAddress.clear();
    m_nPeerPort = 0;
    m_bConnecting = true;
    Adopt(new QTcpSocket(this));
    m_pSocket->connectToHost(host, port);
    return 1;
}

int CClientSock::Attach(qintptr descriptor)
{
    ReleaseSocket();
    DisarmFlush(); // nothing of an earlier connection of this slot goes to the new peer
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        ::close(static_cast<int>(descriptor));
        return 0;
    }
    if (!SetHandle(static_cast<int>(descriptor))) {
        delete socket; // closes the descriptor it took over
        return 0;
    }
    m_bConnecting = false;
    m_bPeerClosed = false;
    Adopt(socket);
    RememberPeer();
    return 1;
}

void CClientSock::Adopt(QTcpSocket* socket)
{
    m_pSocket = socket;
    // Beyond this much unread data the system's buffers fill and TCP holds the peer back.
    socket->setReadBufferSize(kSocketReadBufferBytes);
    connect(socket, &QTcpSocket::readyRead, this, [this] { OnReceive(0); });
    connect(socket, &QTcpSocket::connected, this, [this] {
        m_bConnecting = false;
        if (SetHandle(static_cast<int>(m_pSocket->socketDescriptor())))
            RememberPeer();
        OnConnect(0);
    });
    connect(socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        // A failed connect is still reported as a connect; errors of a connection that was
        // made end in disconnected.
        if (m_bConnecting) {
            m_bConnecting = false;
            OnConnect(static_cast<int>(error));
        }
    });
    connect(socket, &QTcpSocket::disconnected, this, [this] {
        m_bPeerClosed = true;
        if (DeliverRemainingData())
            OnClose(0);
    });
}

bool CClientSock::DeliverRemainingData()
{
    // A peer's last bytes and its close often arrive together; the owner reads a bounded amount
    // per receive notice and closes the socket when it hears of the close. So the close is
    // reported only after what is buffered was read, as long as the receiver takes some.
    const QPointer<CClientSock> self(this);
    qint64 left = m_pSocket->bytesAvailable();
    while (left > 0) {
        OnReceive(0);
        if (self.isNull() || m_pSocket == nullptr)
            return false; // the owner closed or deleted the socket itself
        const qint64 now = m_pSocket->bytesAvailable();
        if (now >= left)
            break;
        left = now;
    }
    return true;
}

void CClientSock::ReleaseSocket()
{
    if (m_pSocket == nullptr)
        return;
    QTcpSocket* socket = m_pSocket;
    m_pSocket = nullptr;
    socket->disconnect(this);
    socket->setParent(nullptr);
    socket->abort();
    // We may be inside one of its signals: let the event loop delete it.
    socket->deleteLater();
}

bool CClientSock::SetHandle(int fd)
{
    std::lock_guard lock(m_sendMutex);
    if (m_hSocket >= 0)
        return ::dup3(fd, m_hSocket, O_CLOEXEC) >= 0;
    m_hSocket = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    return m_hSocket >= 0;
}

void CClientSock::ResetHandle()
{
    std::lock_guard lock(m_sendMutex);
    const int fresh = NewUnconnectedSocket();
    if (fresh < 0 || m_hSocket < 0)
        return;
    ::dup3(fresh, m_hSocket, O_CLOEXEC);
    ::close(fresh);
}

void CClientSock::CloseHandle()
{
    std::lock_guard lock(m_sendMutex);
    if (m_hSocket < 0)
        return;
    ::close(m_hSocket);
    m_hSocket = -1;
}

void CClientSock::Close()
{
    ReleaseSocket();
    DisarmFlush();
    CloseHandle();
    m_bConnecting = false;
    m_bPeerClosed = false;
    m_strPeerAddress.clear();
    m_nPeerPort = 0;
    // The owner closing a server slot's connection frees the slot as well.
    FreeSlot();
}

void CClientSock::FreeSlot()
{
    if (m_nSlotState != kSlotInUse)
        return;
    m_nSlotState = kSlotFree;
    emit slotFreed();
}

int CClientSock::Send(const void* buf, int len, int flags)
{
    std::lock_guard lock(m_sendMutex);
    if (m_hSocket < 0) {
        errno = ENOTSOCK;
        return -1;
    }
    if (buf == nullptr || len < 0) {
        errno = EINVAL;
        return -1;
    }
    // What waits in the queue goes first; nothing overtakes it.
    if (!FlushQueueLocked())
        return -1;
    if (m_nQueueHead < m_sendQueue.size()) {
        errno = EAGAIN;
        return -1;
    }
    return static_cast<int>(
        ::send(m_hSocket, buf, static_cast<size_t>(len), flags | MSG_NOSIGNAL | MSG_DONTWAIT));
}

WriteResult CClientSock::WriteWhole(const void* data, int n, std::chrono::milliseconds wait)
{
    if (n < 0 || (data == nullptr && n > 0))
        return {WriteStatus::Failed, 0, EINVAL};
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        WriteResult result;
        int fd = -1;
        {
            std::lock_guard lock(m_sendMutex);
            result = TryWriteLocked(static_cast<const char*>(data), n);
            fd = m_hSocket;
        }
        if (result.status == WriteStatus::Written && result.nWritten < n)
            RequestFlush();
        if (result.status == WriteStatus::Written)
            result.nWritten = n;
        if (result.status != WriteStatus::Full)
            return result;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return result;
        // Room comes as the peer reads. The descriptor may be closed meanwhile: the wait is
        // short, and the next try tells what became of the socket.
        pollfd room = {fd, POLLOUT, 0};
        ::poll(&room, 1, static_cast<int>(std::min<long long>(left.count(), kSocketRoomPollMs)));
    }
}

// nWritten here is what the system took at once; the caller reports the whole write.
WriteResult CClientSock::TryWriteLocked(const char* data, int n)
{
    if (m_hSocket < 0)
        return {WriteStatus::Failed, 0, ENOTSOCK};
    if (n > kSocketSendQueueBytes)
        return {WriteStatus::TooLarge, 0, EMSGSIZE};
    if (!FlushQueueLocked())
        return {WriteStatus::Failed, 0, errno};
    const qsizetype queued = m_sendQueue.size() - m_nQueueHead;
    if (queued > 0) {
        if (queued + n > kSocketSendQueueBytes)
            return {WriteStatus::Full, 0, EAGAIN};
        // What went out is cut off once it is half of the storage, which so stays within
        // twice the queue's bound.
        if (m_nQueueHead >= m_sendQueue.size() / 2) {
            m_sendQueue.remove(0, m_nQueueHead);
            m_nQueueHead = 0;
        }
        m_sendQueue.append(data, n);
        return {WriteStatus::Written, 0, 0};
    }
    int put = 0;
    while (put < n) {
        const ssize_t sent = ::send(m_hSocket, data + put, static_cast<size_t>(n - put),
                                    MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent > 0) {
            put += static_cast<int>(sent);
            continue;
        }
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            if (put == 0)
                return {WriteStatus::Failed, 0, errno};
            // It broke part-way: what the system took may still be delivered; the rest is lost.
            return {WriteStatus::Failed, put, errno};
        }
        break;
    }
    if (put < n) {
        m_sendQueue = QByteArray(data + put, n - put);
        m_nQueueHead = 0;
    }
    return {WriteStatus::Written, put, 0};
}

bool CClientSock::FlushQueueLocked()
{
    while (m_nQueueHead < m_sendQueue.size()) {
        const ssize_t sent = ::send(m_hSocket, m_sendQueue.constData() + m_nQueueHead,
                                    static_cast<size_t>(m_sendQueue.size() - m_nQueueHead),
                                    MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent > 0) {
            m_nQueueHead += sent;
            continue;
        }
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return true;
        // The connection broke: what is left stays counted as not sent until the owner closes.
        if (sent == 0)
            errno = EPIPE;
        return false;
    }
    DropQueueLocked();
    return true;
}

void CClientSock::DropQueueLocked()
{
    m_sendQueue = QByteArray();
    m_nQueueHead = 0;
}

qint64 CClientSock::QueuedBytes() const
{
    std::lock_guard lock(m_sendMutex);
    return m_sendQueue.size() - m_nQueueHead;
}

void CClientSock::RequestFlush()
{
    {
        std::lock_guard lock(m_sendMutex);
        if (m_bFlushArmed || m_nQueueHead >= m_sendQueue.size())
            return;
        m_bFlushArmed = true;
    }
    if (QThread::currentThread() == thread())
        ArmFlush();
    else
        QMetaObject::invokeMethod(this, &CClientSock::ArmFlush, Qt::QueuedConnection);
}

void CClientSock::ArmFlush()
{
    int fd = -1;
    {
        std::lock_guard lock(m_sendMutex);
        if (!m_bFlushArmed)
            return; // disarmed meanwhile: the connection is gone
        fd = m_hSocket;
    }
    if (fd < 0)
        return;
    if (!m_pWriteNotifier || m_pWriteNotifier->socket() != fd) {
        m_pWriteNotifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Write);
        connect(m_pWriteNotifier.get(), &QSocketNotifier::activated, this,
                &CClientSock::OnWritable);
    }
    m_pWriteNotifier->setEnabled(true);
}

void CClientSock::OnWritable()
{
    bool more = false;
    {
        std::lock_guard lock(m_sendMutex);
        // A broken connection is watched no more: it would report room for ever.
        more = m_hSocket >= 0 && FlushQueueLocked() && m_nQueueHead < m_sendQueue.size();
        m_bFlushArmed = more;
    }
    // A writer on another thread that queues bytes after this arms the watch again, by a call
    // that runs after this one.
    if (!more && m_pWriteNotifier)
        m_pWriteNotifier->setEnabled(false);
}

void CClientSock::DisarmFlush()
{
    {
        std::lock_guard lock(m_sendMutex);
        DropQueueLocked();
        m_bFlushArmed = false;
    }
    m_pWriteNotifier.reset();
}

int CClientSock::Receive(void* buf, int len)
{
    if (buf == nullptr || len <= 0)
        return 0;
    if (m_pSocket != nullptr && m_pSocket->bytesAvailable() > 0) {
        const int got = static_cast<int>(m_pSocket->read(static_cast<char*>(buf), len));
        if (m_pSocket->bytesAvailable() > 0)
            ScheduleReceiveReport();
        return got;
    }
    if (m_bPeerClosed)
        return 0;
    const bool connected =
        m_pSocket != nullptr && m_pSocket->state() == QAbstractSocket::ConnectedState;
    errno = connected ? EAGAIN : ENOTCONN;
    return -1;
}

void CClientSock::ScheduleReceiveReport()
{
    // A receive that leaves data behind is followed by another notice, so that a receiver
    // taking a bounded amount per notice still gets everything.
    if (m_bReceiveReportPending)
        return;
    m_bReceiveReportPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_bReceiveReportPending = false;
            if (m_pSocket != nullptr && m_pSocket->bytesAvailable() > 0)
                OnReceive(0);
        },
        Qt::QueuedConnection);
}

qintptr CClientSock::GetHandle() const
{
    std::lock_guard lock(m_sendMutex);
    return m_hSocket;
}

int CClientSock::GetPeerName(QString& address, quint16& port) const
{
    address = m_strPeerAddress;
    port = m_nPeerPort;
    return m_strPeerAddress.isEmpty() ? 0 : 1;
}

QAbstractSocket::SocketState CClientSock::GetState() const
{
    return m_pSocket != nullptr ? m_pSocket->state() : QAbstractSocket::UnconnectedState;
}

QString CClientSock::GetErrorString() const
{
    return m_pSocket != nullptr ? m_pSocket->errorString() : QString();
}

QAbstractSocket::SocketError CClientSock::GetError() const
{
    return m_pSocket != nullptr ? m_pSocket->error() : QAbstractSocket::UnknownSocketError;
}

void CClientSock::RememberPeer()
{
    m_strPeerAddress = AddressText(m_pSocket->peerAddress());
    m_nPeerPort = m_pSocket->peerPort();
}

void CClientSock::OnReceive(int)
{
    emit receiveReady();
}

void CClientSock::OnConnect(int)
{
    emit connectFinished();
}

void CClientSock::OnClose(int)
{
    // Free the slot before anybody hears of the close, so a handler sees the table as it is.
    FreeSlot();
    emit closed();
}
