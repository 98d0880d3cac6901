#pragma once

#include "EventLoopWait.h"
#include "TcpPeer.h"
#include "TransportConstants.h"

#include <gtest/gtest.h>

#include <QByteArray>

#include <sys/socket.h>
#include <unistd.h>

// The far end of a UDP link on 127.0.0.1, on a plain socket.
class UdpPeer
{
public:
    UdpPeer()
    {
        m_fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        const sockaddr_in address = Loopback(0);
        EXPECT_EQ(::bind(m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        const int size = 1 << 20;
        ::setsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    }
    ~UdpPeer() { ::close(m_fd); }
    UdpPeer(const UdpPeer&) = delete;
    UdpPeer& operator=(const UdpPeer&) = delete;

    quint16 Port() const { return LocalPortOf(m_fd); }

    void SendTo(quint16 port, const QByteArray& datagram) const
    {
        const sockaddr_in to = Loopback(port);
        EXPECT_EQ(::sendto(m_fd, datagram.constData(), size_t(datagram.size()), 0,
                           reinterpret_cast<const sockaddr*>(&to), sizeof to),
                  datagram.size());
    }

    // The next datagram, waiting for it with the event loop running; null when none came.
    QByteArray Take()
    {
        QByteArray datagram(kMaxUdpDatagramBytes + 1, '\0');
        ssize_t got = -1;
        WaitFor([&] {
            got = ::recv(m_fd, datagram.data(), size_t(datagram.size()), MSG_DONTWAIT);
            return got >= 0;
        });
        return got < 0 ? QByteArray() : datagram.left(got);
    }

private:
    int m_fd = -1;
};
