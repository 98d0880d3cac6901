#pragma once

#include "EventLoopWait.h"

#include <QByteArray>
#include <gtest/gtest.h>

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>
#include <vector>

inline sockaddr_in Loopback(quint16 port)
{
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

inline quint16 LocalPortOf(int fd)
{
    sockaddr_in address = {};
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

// The far end of a TCP link on 127.0.0.1, on plain sockets so that it reads only when told to.
class TcpPeer
{
public:
    static constexpr int kStampPollMs = 100; // a stamped receive looks at the clock this often

    explicit TcpPeer(int fd = -1) : m_fd(fd) {}
    ~TcpPeer() { Close(); }
    TcpPeer(TcpPeer&& other) noexcept { *this = std::move(other); }
    TcpPeer& operator=(TcpPeer&& other) noexcept
    {
        if (this != &other) {
            Close();
            m_fd = std::exchange(other.m_fd, -1);
            m_received = std::move(other.m_received);
        }
        return *this;
    }
    TcpPeer(const TcpPeer&) = delete;
    TcpPeer& operator=(const TcpPeer&) = delete;

    // Connects to a server on this machine. The event loop runs meanwhile, so that a server of
    // this thread accepts; one whose slots are full leaves the connection in its backlog.
    static TcpPeer Connect(quint16 port)
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        const sockaddr_in address = Loopback(port);
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        pollfd connected = {fd, POLLOUT, 0};
        EXPECT_TRUE(WaitFor([&] { return ::poll(&connected, 1, 0) > 0; }));
        int error = 0;
        socklen_t length = sizeof error;
        ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length);
        EXPECT_EQ(error, 0) << "connect to port " << port;
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        return TcpPeer(fd);
    }

    bool IsOpen() const { return m_fd >= 0; }
    quint16 LocalPort() const { return LocalPortOf(m_fd); }

    void Send(const QByteArray& bytes) const
    {
        EXPECT_EQ(::send(m_fd, bytes.data(), size_t(bytes.size()), MSG_NOSIGNAL), bytes.size());
    }

    // Takes what has arrived without waiting; true when the sender closed.
    bool Drain()
    {
        char buf[65536];
        for (;;) {
            const ssize_t got = ::recv(m_fd, buf, sizeof buf, MSG_DONTWAIT);
            if (got > 0) {
                m_received.append(buf, got);
                continue;
            }
            return got == 0;
        }
    }
    const QByteArray& Received() const { return m_received; }

    // Takes at most max bytes of what has arrived, without waiting: a reader that keeps its
    // own pace. The bytes taken.
    qsizetype ReadSome(qsizetype max)
    {
        QByteArray buf(max, '\0');
        const ssize_t got = ::recv(m_fd, buf.data(), size_t(max), MSG_DONTWAIT);
        if (got <= 0)
            return 0;
        m_received.append(buf.constData(), got);
        return got;
    }
    // Bytes that arrived in the system's receive queue and were not taken yet.
    int Unread() const
    {
        int queued = 0;
        ::ioctl(m_fd, FIONREAD, &queued);
        return queued;
    }

    // Receives until size bytes have come or the time is up, waiting in the system's receive
    // on this thread alone (no event loop), so each byte is stamped as it arrives: the arrival
    // times, one per byte, of what was taken into Received().
    std::vector<std::chrono::steady_clock::time_point>
    ReceiveStamped(qsizetype size, std::chrono::milliseconds timeout)
    {
        std::vector<std::chrono::steady_clock::time_point> arrivals;
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (qsizetype(arrivals.size()) < size && std::chrono::steady_clock::now() < deadline) {
            pollfd readable = {m_fd, POLLIN, 0};
            if (::poll(&readable, 1, kStampPollMs) <= 0)
                continue;
            char buf[256];
            const ssize_t got = ::recv(m_fd, buf, sizeof buf, MSG_DONTWAIT);
            if (got <= 0)
                break;
            m_received.append(buf, got);
            arrivals.insert(arrivals.end(), size_t(got), std::chrono::steady_clock::now());
        }
        return arrivals;
    }

    // Runs the event loop until at least size bytes have arrived; what arrived, taken.
    QByteArray Take(qsizetype size)
    {
        WaitFor([&] {
            Drain();
            return m_received.size() >= size;
        });
        return std::exchange(m_received, {});
    }

    // Closes with a reset, as a peer that crashed or was pulled away.
    void Abort()
    {
        const linger hard = {1, 0};
        ::setsockopt(m_fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
        Close();
    }

    void Close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

private:
    int m_fd = -1;
    QByteArray m_received;
};

// A listening socket on 127.0.0.1 for a client link to connect to. With a full backlog it
// never answers: a connect to it hangs until the client gives up.
class TcpListener
{
public:
    // receiveBufferBytes > 0 gives accepted connections a receive buffer that small, so that a
    // sender's data waits in the sender's queue while the peer does not read.
    // A port given is taken again, as a server that restarts does.
    explicit TcpListener(bool backlogFull = false, int receiveBufferBytes = 0, quint16 port = 0)
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (receiveBufferBytes > 0)
            ::setsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &receiveBufferBytes,
                         sizeof receiveBufferBytes);
        const int reuse = 1;
        ::setsockopt(m_fd, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
        sockaddr_in address = Loopback(port);
        EXPECT_EQ(::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        EXPECT_EQ(::listen(m_fd, backlogFull ? 0 : 8), 0);
        m_port = LocalPortOf(m_fd);
        if (backlogFull)
            m_filler = TcpPeer::Connect(m_port);
    }
    ~TcpListener() { ::close(m_fd); }
    TcpListener(const TcpListener&) = delete;
    TcpListener& operator=(const TcpListener&) = delete;

    quint16 Port() const { return m_port; }

    // The next connection, waiting for it with the event loop running.
    TcpPeer Accept()
    {
        pollfd fd = {m_fd, POLLIN, 0};
        if (!WaitFor([&] { return ::poll(&fd, 1, 0) > 0; }))
            return TcpPeer();
        return TcpPeer(::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC));
    }

private:
    int m_fd = -1;
    quint16 m_port = 0;
    TcpPeer m_filler;
};

// Raises this process's descriptor limit towards wanted, as far as the hard limit allows, for a
// test with hundreds of connections (each takes about four descriptors); the limit now.
inline rlim_t AllowDescriptors(rlim_t wanted)
{
    rlimit limit{};
    getrlimit(RLIMIT_NOFILE, &limit);
    if (limit.rlim_cur < wanted && limit.rlim_max > limit.rlim_cur) {
        limit.rlim_cur = std::min(limit.rlim_max, wanted);
        setrlimit(RLIMIT_NOFILE, &limit);
    }
    return limit.rlim_cur;
}

// A port on 127.0.0.1 that nobody listens on, for a server to take or a client to be refused.
inline quint16 FreePort()
{
    TcpListener probe;
    return probe.Port();
}

// A free port on 127.0.0.1 within what the port settings dialog accepts (up to 10000), for a
// server set up through the dialog.
inline quint16 FreeDialogPort()
{
    constexpr int kFirst = 5000;
    constexpr int kCount = 5000;
    const int start = int(::getpid()) % kCount;
    for (int i = 0; i < kCount; ++i) {
        const quint16 port = quint16(kFirst + (start + i) % kCount);
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const sockaddr_in address = Loopback(port);
        const bool free =
            ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        ::close(fd);
        if (free)
            return port;
    }
    ADD_FAILURE() << "no free port below 10000";
    return 0;
}
