#pragma once

// A pseudo-terminal pair for the benchmarks, in raw mode so bytes pass unchanged: a monitor
// opens the slave's path, the benchmark plays the device on the master.

#include <QString>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

class RawPty
{
public:
    RawPty()
    {
        char name[128] = {};
        if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0)
            return;
        termios raw = {};
        tcgetattr(m_master, &raw);
        cfmakeraw(&raw);
        tcsetattr(m_master, TCSANOW, &raw);
        m_path = QString::fromLatin1(name);
    }
    ~RawPty()
    {
        for (int fd : {m_master, m_slave}) {
            if (fd >= 0)
                ::close(fd);
        }
    }
    RawPty(const RawPty&) = delete;
    RawPty& operator=(const RawPty&) = delete;

    bool IsOpen() const { return m_master >= 0; }
    int Master() const { return m_master; }
    // The pair's own slave descriptor, kept open: a reader of the device's lines may use it.
    int Slave() const { return m_slave; }
    const QString& SlavePath() const { return m_path; }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
};
