#include "CUdpCtrl.h"

#include <QSocketNotifier>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

bool SameAddress(const sockaddr_in& a, const sockaddr_in& b)
{
    return a.sin_addr.s_addr == b.sin_addr.s_addr && a.sin_port == b.sin_port;
}

QString AddressText(const sockaddr_in& address)
{
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
    return QString::fromLatin1(text);
}

// The IPv4 address of a dotted address or a name; false when there is none.
bool Resolve(const QString& host, in_addr& out)
{
    const QByteArray text = host.toLocal8Bit();
    if (inet_pton(AF_INET, text.constData(), &out) == 1)
        return true;
    addrinfo hints = {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(text.constData(), nullptr, &hints, &found) != 0 || found == nullptr)
        return false;
    out = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
    freeaddrinfo(found);
    return true;
}

} // namespace

CUdpCtrl::CUdpCtrl(QObject* parent)
    : QObject(parent), m_pBuffer(std::make_unique<char[]>(kMaxDatagramBytes + 1))
{}

CUdpCtrl::~CUdpCtrl()
{
    Close();
}

int CUdpCtrl::Create(quint16 localPort, const QString& address)
{
    Close();
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_port = htons(localPort);
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (!address.isEmpty() && !Resolve(address, local.sin_addr)) {
        errno = EINVAL;
        return 0;
    }
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return 0;
    const int size = kUdpReceiveBufferBytes;
    ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return 0;
    }
    {
        std::lock_guard lock(m_mutex);
        m_hSocket = fd;
        m_bHasSender = false;
    }
    m_nIgnored = 0;
    m_pNotifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(m_pNotifier.get(), &QSocketNotifier::activated, this, &CUdpCtrl::receiveReady);
    return 1;
}

int CUdpCtrl::SetRemote(const QString& host, quint16 port)
{
    sockaddr_in remote = {};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(port);
    const bool replyToSender = host.isEmpty();
    if (!replyToSender && !IsPortNumber(port)) {
        errno = EINVAL;
        return 0;
    }
    if (!replyToSender && !Resolve(host, remote.sin_addr)) {
        errno = EHOSTUNREACH;
        return 0;
    }
    std::lock_guard lock(m_mutex);
    m_bHasRemote = !replyToSender;
    m_remote = remote;
    return 1;
}

int CUdpCtrl::Send(const void* buf, int len)
{
    const WriteResult result = WriteWhole(buf, len, std::chrono::milliseconds(kUdpSendWaitMs));
    if (result.IsWritten())
        return result.nWritten;
    errno = result.nError;
    return -1;
}

WriteResult CUdpCtrl::WriteWhole(const void* data, int n, std::chrono::milliseconds wait)
{
    if (n < 0 || (data == nullptr && n > 0))
        return {WriteStatus::Failed, 0, EINVAL};
    if (n > kMaxDatagramBytes)
        return {WriteStatus::TooLarge, 0, EMSGSIZE};
    const auto deadline = std::chrono::steady_clock::now() + wait;
    std::lock_guard lock(m_mutex);
    if (m_hSocket < 0)
        return {WriteStatus::Failed, 0, EBADF};
    if (!m_bHasRemote && !m_bHasSender)
        return {WriteStatus::NoPeer, 0, EDESTADDRREQ};
    const sockaddr_in& to = m_bHasRemote ? m_remote : m_sender;
    for (;;) {
        const ssize_t sent = ::sendto(m_hSocket, data, static_cast<size_t>(n), MSG_NOSIGNAL,
                                      reinterpret_cast<const sockaddr*>(&to), sizeof to);
        if (sent >= 0)
            return {WriteStatus::Written, static_cast<int>(sent), 0};
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != ENOBUFS)
            return {WriteStatus::Failed, 0, errno};
        // The system's buffer is full: wait a bounded time for room, then give the datagram up.
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd room = {m_hSocket, POLLOUT, 0};
        if (left.count() <= 0 || ::poll(&room, 1, static_cast<int>(left.count())) <= 0)
            return {WriteStatus::Full, 0, EAGAIN};
    }
}

int CUdpCtrl::Receive(QByteArray& datagram)
{
    // Errors the system queued for the socket are taken one per call; more in a row than this
    // mean something else is wrong. Datagrams of strangers are passed over up to a bound too, so
    // that a flood of them cannot hold the owner's thread.
    constexpr int kMaxQueuedErrors = 16;
    constexpr int kMaxIgnoredPerCall = 256;
    int ignoredNow = 0;
    const auto reportIgnored = [&] {
        if (ignoredNow > 0)
            emit ignored(ignoredNow);
    };
    for (int errors = 0;;) {
        int fd = -1;
        {
            std::lock_guard lock(m_mutex);
            fd = m_hSocket;
        }
        if (fd < 0) {
            reportIgnored();
            errno = EBADF;
            return -1;
        }
        if (ignoredNow >= kMaxIgnoredPerCall) {
            reportIgnored();
            errno = EAGAIN;
            return -1;
        }
        sockaddr_in from = {};
        socklen_t fromLength = sizeof from;
        // One byte more than a datagram can hold tells an oversized one apart from a full one.
        const ssize_t got = ::recvfrom(fd, m_pBuffer.get(), kMaxDatagramBytes + 1, MSG_DONTWAIT,
                                       reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || ++errors > kMaxQueuedErrors) {
                const int error = errno;
                reportIgnored();
                errno = error;
                return -1;
            }
            continue; // an unreachable peer's report: the next datagram may be behind it
        }
        if (got > kMaxDatagramBytes)
            continue; // cannot come over IPv4; never handed on cut short
        bool changed = false;
        {
            std::lock_guard lock(m_mutex);
            if (m_bHasRemote && !SameAddress(from, m_remote)) {
                ++m_nIgnored;
                ++ignoredNow;
                continue;
            }
            changed = !m_bHasSender || !SameAddress(from, m_sender);
            m_sender = from;
            m_bHasSender = true;
        }
        reportIgnored();
        if (changed)
            emit senderChanged(AddressText(from), ntohs(from.sin_port));
        datagram = QByteArray(m_pBuffer.get(), static_cast<qsizetype>(got));
        return static_cast<int>(got);
    }
}

void CUdpCtrl::PauseReceive(bool paused)
{
    if (m_pNotifier)
        m_pNotifier->setEnabled(!paused);
}

void CUdpCtrl::Close()
{
    m_pNotifier.reset();
    std::lock_guard lock(m_mutex);
    if (m_hSocket >= 0)
        ::close(m_hSocket);
    m_hSocket = -1;
    m_bHasSender = false;
}

bool CUdpCtrl::IsOpen() const
{
    std::lock_guard lock(m_mutex);
    return m_hSocket >= 0;
}

qintptr CUdpCtrl::GetHandle() const
{
    std::lock_guard lock(m_mutex);
    return m_hSocket;
}

quint16 CUdpCtrl::GetLocalPort() const
{
    std::lock_guard lock(m_mutex);
    sockaddr_in local = {};
    socklen_t length = sizeof local;
    if (m_hSocket < 0 ||
        ::getsockname(m_hSocket, reinterpret_cast<sockaddr*>(&local), &length) != 0)
        return 0;
    return ntohs(local.sin_port);
}

int CUdpCtrl::GetPeerName(QString& address, quint16& port) const
{
    std::lock_guard lock(m_mutex);
    if (!m_bHasSender) {
        address.clear();
        port = 0;
        return 0;
    }
    address = AddressText(m_sender);
    port = ntohs(m_sender.sin_port);
    return 1;
}
