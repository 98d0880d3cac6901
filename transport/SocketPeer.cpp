#include "SocketPeer.h"

#include "CClientSock.h"
#include "TransportConstants.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <linux/sockios.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

namespace {

using Clock = std::chrono::steady_clock;

// Waits a slice for room to write. The descriptor may be closed by the owner meanwhile: the
// wait is short and the next send tells what became of the socket.
void WaitForRoom(const CClientSock& socket, int waitMs)
{
    pollfd fd = {static_cast<int>(socket.GetHandle()), POLLOUT, 0};
    if (fd.fd < 0)
        return;
    ::poll(&fd, 1, std::min(waitMs, kSocketWaitSliceMs));
}

// Sends all n bytes, waiting for room in the system's buffer while the peer takes data; gives
// up after the write time-out passes without progress (ETIMEDOUT). The bytes sent, all n unless
// it stopped, with an errno-style error then.
int SendAll(CClientSock& socket, const char* data, int n, int& error)
{
    error = 0;
    int sent = 0;
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kWriteTimeoutMs);
    while (sent < n) {
        const int put = socket.Send(data + sent, n - sent);
        if (put > 0) {
            sent += put;
            deadline = Clock::now() + std::chrono::milliseconds(kWriteTimeoutMs);
            continue;
        }
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            error = errno;
            break;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            error = ETIMEDOUT; // the peer takes nothing
            break;
        }
        WaitForRoom(socket, static_cast<int>(left.count()));
    }
    return sent;
}

// Bytes in the socket's send queues (its own and the system's) that the peer has not yet
// acknowledged; -1 with an errno-style error when the connection is gone.
qint64 QueuedBytes(const CClientSock& socket, int& error)
{
    error = 0;
    const auto fd = static_cast<int>(socket.GetHandle());
    if (fd < 0) {
        error = EBADF;
        return -1;
    }
    // A connection that was reset drops its queue: an empty queue means nothing then.
    tcp_info info = {};
    socklen_t length = sizeof info;
    if (::getsockopt(fd, IPPROTO_TCP, TCP_INFO, &info, &length) != 0) {
        error = errno;
        return -1;
    }
    if (info.tcpi_state == TCP_CLOSE) {
        error = ECONNRESET;
        return -1;
    }
    int queued = 0;
    if (::ioctl(fd, SIOCOUTQ, &queued) != 0) {
        error = errno;
        return -1;
    }
    return queued + socket.QueuedBytes();
}

} // namespace

CSocketPeer::CSocketPeer(CClientSock& socket) : m_socket(socket)
{
    const auto fd = static_cast<int>(socket.GetHandle());
    socklen_t length = sizeof m_nSavedUnsentLimit;
    if (fd < 0 ||
        ::getsockopt(fd, IPPROTO_TCP, TCP_NOTSENT_LOWAT, &m_nSavedUnsentLimit, &length) != 0)
        return;
    const int limit = kTransferUnsentBytes;
    if (::setsockopt(fd, IPPROTO_TCP, TCP_NOTSENT_LOWAT, &limit, sizeof limit) == 0)
        m_nLimitedHandle = fd;
}

CSocketPeer::~CSocketPeer()
{
    // The monitor's own sends are not held back once the transfer is over.
    if (m_nLimitedHandle >= 0 && m_socket.GetHandle() == m_nLimitedHandle)
        ::setsockopt(m_nLimitedHandle, IPPROTO_TCP, TCP_NOTSENT_LOWAT, &m_nSavedUnsentLimit,
                     sizeof m_nSavedUnsentLimit);
}

int CSocketPeer::Send(const char* data, int n, std::chrono::milliseconds stall, int& error)
{
    const int sent = SendAll(m_socket, data, n, error);
    if (sent > 0)
        m_clock.Restart();
    if (sent < n && error == ETIMEDOUT && !m_clock.HasStalled(stall))
        error = EAGAIN;
    return sent;
}

qint64 CSocketPeer::Queued(std::chrono::milliseconds stall, int& error)
{
    const qint64 queued = QueuedBytes(m_socket, error);
    if (queued < 0)
        return -1;
    if (queued < m_nLastQueued)
        m_clock.Restart();
    m_nLastQueued = queued;
    if (queued > 0 && m_clock.HasStalled(stall))
        error = ETIMEDOUT;
    return queued;
}
