#pragma once

#include "EventLoopWait.h"

#include <QByteArray>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>

// A raw pseudo-terminal whose master the test holds as the device (or host) at the outer end
// of a serial line; the program under test opens the slave path.
class OuterPty
{
public:
    OuterPty()
    {
        int slave = -1;
        char name[128] = {};
        if (openpty(&m_master, &slave, name, nullptr, nullptr) != 0) {
            ADD_FAILURE() << "openpty failed: errno " << errno;
            return;
        }
        termios raw{};
        tcgetattr(m_master, &raw);
        cfmakeraw(&raw);
        tcsetattr(m_master, TCSANOW, &raw);
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
        m_path = name;
        ::close(slave);
    }
    ~OuterPty() { Close(); }
    OuterPty(const OuterPty&) = delete;
    OuterPty& operator=(const OuterPty&) = delete;

    int Master() const { return m_master; }
    const std::string& Path() const { return m_path; }
    // As a device pulled out: the program's side reads an error from now on.
    void Close()
    {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

private:
    int m_master = -1;
    std::string m_path;
};

// What arrives on a pty master until n bytes came, the event loop running meanwhile (so that a
// link of this thread carries them); fewer when the time is up.
inline QByteArray TakeFromMaster(int fd, qsizetype n)
{
    QByteArray got;
    WaitFor([&] {
        char buf[4096];
        const ssize_t put = ::read(fd, buf, sizeof buf);
        if (put > 0)
            got.append(buf, put);
        return got.size() >= n;
    });
    return got;
}

// The outer end of a serial line at work on a thread of its own: writes its bytes as the line
// takes them and reads what comes, at once, until it has written everything and read `expect`
// bytes, or is stopped. Join before looking at what it got.
class PtyTraffic
{
public:
    PtyTraffic(int fd, std::string out, std::size_t expect)
        : m_fd(fd), m_out(std::move(out)), m_nExpect(expect)
    {
        m_thread = std::thread([this] { Run(); });
    }
    ~PtyTraffic() { Join(); }
    PtyTraffic(const PtyTraffic&) = delete;
    PtyTraffic& operator=(const PtyTraffic&) = delete;

    bool Done() const { return m_bDone; }
    std::size_t Written() const { return m_nWritten; }
    // A write found the line full: the system's buffer took nothing.
    bool MetFullLine() const { return m_bFull; }
    void ForgetFullLine() { m_bFull = false; }
    void Join()
    {
        m_bStop = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    // After Join.
    const std::string& Received() const { return m_in; }

private:
    void Run()
    {
        char buf[65536];
        while (!m_bStop && !(m_nWritten == m_out.size() && m_in.size() >= m_nExpect)) {
            pollfd fd = {m_fd, short(POLLIN | (m_nWritten < m_out.size() ? POLLOUT : 0)), 0};
            if (::poll(&fd, 1, 20) <= 0) {
                // 20 ms and the line took nothing: the system's buffer is full.
                if (m_nWritten < m_out.size())
                    m_bFull = true;
                continue;
            }
            if ((fd.revents & POLLIN) != 0) {
                const ssize_t got = ::read(m_fd, buf, sizeof buf);
                if (got > 0)
                    m_in.append(buf, std::size_t(got));
            }
            if (m_nWritten < m_out.size()) {
                const std::size_t n = std::min<std::size_t>(m_out.size() - m_nWritten, 16384);
                const ssize_t put = ::write(m_fd, m_out.data() + m_nWritten, n);
                if (put > 0)
                    m_nWritten += std::size_t(put);
                else if (put < 0 && errno == EAGAIN)
                    m_bFull = true;
            }
        }
        m_bDone = m_nWritten == m_out.size() && m_in.size() >= m_nExpect;
    }

    int m_fd;
    std::string m_out;
    std::size_t m_nExpect;
    std::string m_in;
    std::atomic<std::size_t> m_nWritten = 0;
    std::atomic<bool> m_bFull = false;
    std::atomic<bool> m_bStop = false;
    std::atomic<bool> m_bDone = false;
    std::thread m_thread;
};

// Two serial devices joined like a null-modem cable: what a program writes on one path is read
// on the other. Programs that open a serial line by path (a pymodbus master) meet the program
// under test through it.
class NullModem
{
public:
    NullModem()
    {
        if (::pipe2(m_stop, O_CLOEXEC) != 0)
            ADD_FAILURE() << "pipe2 failed";
        m_thread = std::thread([this] { Run(); });
    }
    ~NullModem()
    {
        m_bStopping = true;
        const char stop = 0;
        [[maybe_unused]] const ssize_t n = ::write(m_stop[1], &stop, 1);
        m_thread.join();
        ::close(m_stop[0]);
        ::close(m_stop[1]);
    }
    NullModem(const NullModem&) = delete;
    NullModem& operator=(const NullModem&) = delete;

    const std::string& First() const { return m_first.Path(); }
    const std::string& Second() const { return m_second.Path(); }

private:
    void Run()
    {
        char buf[4096];
        for (;;) {
            pollfd fds[3] = {{m_first.Master(), POLLIN, 0},
                             {m_second.Master(), POLLIN, 0},
                             {m_stop[0], POLLIN, 0}};
            if (::poll(fds, 3, 200) < 0 && errno != EINTR)
                return;
            if (fds[2].revents != 0)
                return;
            for (int i = 0; i < 2; ++i) {
                // A side nobody holds open reads as an error: wait, never spin.
                if ((fds[i].revents & (POLLHUP | POLLERR)) != 0 && (fds[i].revents & POLLIN) == 0) {
                    ::poll(nullptr, 0, 20);
                    continue;
                }
                if ((fds[i].revents & POLLIN) == 0)
                    continue;
                const ssize_t got = ::read(fds[i].fd, buf, sizeof buf);
                const int target = i == 0 ? m_second.Master() : m_first.Master();
                for (ssize_t done = 0; got > 0 && done < got && !m_bStopping;) {
                    const ssize_t put = ::write(target, buf + done, std::size_t(got - done));
                    if (put > 0)
                        done += put;
                    else
                        ::poll(nullptr, 0, 1);
                }
            }
        }
    }

    OuterPty m_first;
    OuterPty m_second;
    int m_stop[2] = {-1, -1};
    std::atomic<bool> m_bStopping = false;
    std::thread m_thread;
};
