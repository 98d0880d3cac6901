#pragma once

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <poll.h>
#include <pty.h>
#include <string>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

// A pseudo-terminal pair standing in for a serial device: the port opens the slave path, the
// test plays the far end on the master. The line starts raw, so bytes pass unchanged.
class PtyPair
{
public:
    PtyPair()
    {
        int slave = -1;
        char name[128] = {};
        if (openpty(&m_master, &slave, name, nullptr, nullptr) != 0)
            ADD_FAILURE() << "openpty failed: errno " << errno;
        termios raw{};
        tcgetattr(m_master, &raw);
        cfmakeraw(&raw);
        tcsetattr(m_master, TCSANOW, &raw);
        m_slavePath = name;
        if (slave >= 0)
            ::close(slave);
    }
    ~PtyPair() { CloseMaster(); }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& SlavePath() const { return m_slavePath; }

    void CloseMaster()
    {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

    void Send(const std::string& bytes) const
    {
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t put = ::write(m_master, bytes.data() + done, bytes.size() - done);
            if (put < 0 && errno == EINTR)
                continue;
            ASSERT_GT(put, 0) << "errno " << errno;
            done += static_cast<size_t>(put);
        }
    }

    // Up to count bytes that the port sent, waiting at most timeout for them.
    std::string Receive(size_t count, std::chrono::milliseconds timeout) const
    {
        std::string got;
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (got.size() < count && std::chrono::steady_clock::now() < deadline) {
            pollfd fd = {m_master, POLLIN, 0};
            if (::poll(&fd, 1, 50) <= 0)
                continue;
            char buf[4096];
            const ssize_t n = ::read(m_master, buf, std::min(sizeof buf, count - got.size()));
            if (n > 0)
                got.append(buf, static_cast<size_t>(n));
        }
        return got;
    }

private:
    int m_master = -1;
    std::string m_slavePath;
};

// Bytes a port's descriptor has waiting that nobody has read yet.
inline int BytesWaiting(int fd)
{
    int waiting = 0;
    return ioctl(fd, FIONREAD, &waiting) == 0 ? waiting : -1;
}
