#pragma once

#include <QByteArray>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <utility>

// The far end of a TCP link on 127.0.0.1, on plain sockets so that it reads only when told to.
class TcpPeer
{
public:
    explicit TcpPeer(int fd = -1) : m_fd(fd) {}
    ~TcpPeer() { Close(); }
    TcpPeer(TcpPeer&& other) noexcept : m_fd(other.m_fd), m_received(std::move(other.m_received))
    {
        other.m_fd = -1;
    }
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

    // Connects to a server on this machine; the server's side accepts in its own time.
    static TcpPeer Connect(quint16 port)
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const sockaddr_in address = Loopback(port);
        EXPECT_EQ(::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0)
            << "errno " << errno;
        return TcpPeer(fd);
    }

    static sockaddr_in Loopback(quint16 port)
    {
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return address;
    }

    bool IsOpen() const { return m_fd >= 0; }

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

// A listening socket on 127.0.0.1 for a client link to connect to.
class TcpListener
{
public:
    TcpListener()
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address = TcpPeer::Loopback(0);
        EXPECT_EQ(::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        EXPECT_EQ(::listen(m_fd, 4), 0);
        socklen_t length = sizeof address;
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
    }
    ~TcpListener() { ::close(m_fd); }
    TcpListener(const TcpListener&) = delete;
    TcpListener& operator=(const TcpListener&) = delete;

    quint16 Port() const { return m_port; }

    TcpPeer Accept()
    {
        pollfd fd = {m_fd, POLLIN, 0};
        if (::poll(&fd, 1, 10000) <= 0)
            return TcpPeer();
        return TcpPeer(::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC));
    }

private:
    int m_fd = -1;
    quint16 m_port = 0;
};
