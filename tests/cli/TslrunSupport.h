#pragma once

#include "RunProgram.h"
#include "TempDir.h"

#include <QProcess>
#include <QStringList>
#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <poll.h>
#include <set>
#include <signal.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

// tslrun as a bench or CI job runs it: the real program on real files, links and signals.
namespace TslrunTest {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

inline ProgramRun RunTslrun(const QStringList& arguments)
{
    return RunProgram(TSLRUN_PATH, arguments, 30000);
}

inline QString Example(const char* name)
{
    return QString(EXAMPLES_DIR "/") + name;
}

inline QString Path(const ScriptFile& script)
{
    return QString::fromStdString(script.Path());
}

// A TCP script pointed nowhere in particular: the tests give the link on the command line.
inline std::string TcpScript(const std::string& body, const std::string& declarations = "")
{
    return "OPEN MEDIA TCP\nOPEN IP 127.0.0.1\nOPEN PORT 9\nDIM BUF$ 64\nVAR N% 0\nVAR C% 0\n" +
           declarations + "BEGIN:\n" + body + "END:\n";
}

// `tcpScript` (of TcpScript) on the link that the OPEN lines `open` name instead.
inline std::string OnLink(const std::string& open, const std::string& tcpScript)
{
    return open + tcpScript.substr(tcpScript.find("DIM "));
}

// Checks `done` every few milliseconds until it holds; false when `timeout` passed first.
template <typename Done> bool PollUntil(Done done, std::chrono::milliseconds timeout = 20s)
{
    const auto deadline = Clock::now() + timeout;
    while (!done()) {
        if (Clock::now() >= deadline)
            return false;
        poll(nullptr, 0, 5);
    }
    return true;
}

// How often `text` occurs in `in`.
inline int Count(const std::string& in, const std::string& text)
{
    int count = 0;
    for (size_t at = in.find(text); at != std::string::npos; at = in.find(text, at + 1))
        ++count;
    return count;
}

// A socket a process holds, as /proc/net shows it: the address in hex as the kernel keeps it
// ("0100007F" is 127.0.0.1), the port, and the TCP state ("0A" is listening).
struct HeldSocket
{
    std::string address;
    quint16 port = 0;
    std::string state;
};

// What the descriptors of process `pid` lead to: paths, and "socket:[INODE]" for sockets.
inline std::set<std::string> OpenFiles(pid_t pid)
{
    std::set<std::string> targets;
    std::error_code error;
    for (const auto& entry :
         std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
        std::error_code unreadable;
        targets.insert(std::filesystem::read_symlink(entry.path(), unreadable));
    }
    return targets;
}

// The sockets of `table` ("tcp", "udp") that process `pid` holds open.
inline std::vector<HeldSocket> SocketsOf(pid_t pid, const std::string& table)
{
    const std::set<std::string> open = OpenFiles(pid);
    std::vector<HeldSocket> sockets;
    std::ifstream file("/proc/" + std::to_string(pid) + "/net/" + table);
    std::string line;
    std::getline(file, line); // the heading
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout, inode;
        fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >>
            timeout >> inode;
        const std::size_t colon = local.find(':');
        if (colon == std::string::npos || !open.contains("socket:[" + inode + "]"))
            continue;
        sockets.push_back({local.substr(0, colon),
                           static_cast<quint16>(std::stoul(local.substr(colon + 1), nullptr, 16)),
                           state});
    }
    return sockets;
}

// What follows "FIELD:" in /proc/PID/status, such as "VmRSS" or "SigBlk"; "" when there is none.
inline std::string StatusField(pid_t pid, const std::string& field)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with(field + ":"))
            return line.substr(field.size() + 1);
    }
    return "";
}

// A value of /proc/PID/status in KiB, such as "VmRSS" or "VmHWM"; -1 when there is none.
inline long StatusKiB(pid_t pid, const std::string& field)
{
    const std::string value = StatusField(pid, field);
    return value.empty() ? -1 : std::stol(value);
}

// A pipe whose reading end the test holds; WaitUntilFull tells when a writer would block.
class Pipe
{
public:
    Pipe() { EXPECT_EQ(pipe2(m_fds, O_CLOEXEC), 0); }
    ~Pipe()
    {
        CloseWriter();
        CloseReader();
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;

    int Writer() const { return m_fds[1]; }
    void CloseWriter() { Close(m_fds[1]); }
    void CloseReader() { Close(m_fds[0]); }

    // Waits until the pipe has no room left, so that the next write blocks.
    bool WaitUntilFull(std::chrono::milliseconds timeout = 20s) const
    {
        return PollUntil(
            [&] {
                pollfd room{m_fds[1], POLLOUT, 0};
                return poll(&room, 1, 0) == 0;
            },
            timeout);
    }

    // Reads until `text` has arrived; false when it does not in time. An echo may reach a
    // script in several pieces, printed a line each, so `echo` looks past the line ends.
    bool WaitFor(const std::string& text, bool echo = false)
    {
        const auto deadline = Clock::now() + 20s;
        const auto arrived = [&] {
            if (!echo)
                return m_read.find(text) != std::string::npos;
            std::string joined = m_read;
            std::erase(joined, '\n');
            return joined.find(text) != std::string::npos;
        };
        while (!arrived()) {
            pollfd fd{m_fds[0], POLLIN, 0};
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0 || poll(&fd, 1, static_cast<int>(left.count())) <= 0)
                return false;
            char buffer[4096];
            const ssize_t got = read(m_fds[0], buffer, sizeof buffer);
            if (got <= 0)
                return false;
            m_read.append(buffer, static_cast<size_t>(got));
        }
        return true;
    }
    bool WaitForEcho(const std::string& text) { return WaitFor(text, true); }
    const std::string& Read() const { return m_read; }

private:
    static void Close(int& fd)
    {
        if (fd >= 0)
            close(fd);
        fd = -1;
    }

    int m_fds[2] = {-1, -1};
    std::string m_read;
};

// tslrun with its standard output on `out`, a pipe the test may never read, or on a descriptor
// of the test's choosing, as its standard error may be; killed if the test leaves it running.
class SpawnedTslrun
{
public:
    explicit SpawnedTslrun(const std::vector<std::string>& arguments, int stdoutFd = -1,
                           int stderrFd = -1)
        : m_errors(memfd_create("tslrun-errors", MFD_CLOEXEC))
    {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, stdoutFd >= 0 ? stdoutFd : out.Writer(),
                                         STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, stderrFd >= 0 ? stderrFd : m_errors,
                                         STDERR_FILENO);
        // Nothing else of the test's (a pty master, a socket) may live on in the program.
        posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
        std::vector<char*> argv{const_cast<char*>(TSLRUN_PATH)};
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        EXPECT_EQ(posix_spawn(&m_pid, TSLRUN_PATH, &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
    }
    ~SpawnedTslrun()
    {
        if (m_status == kRunning) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        close(m_errors);
    }
    SpawnedTslrun(const SpawnedTslrun&) = delete;
    SpawnedTslrun& operator=(const SpawnedTslrun&) = delete;

    pid_t Pid() const { return m_pid; }

    // Waits until `condition` holds while the run goes on; false when it ended or time ran out.
    bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 20s)
    {
        return PollUntil([&] { return condition() || Wait(0ms) != kRunning; }, timeout) &&
               condition();
    }

    // True once tslrun takes SIGINT and SIGTERM itself: its main has started.
    bool TakesSignals() const
    {
        const std::string blocked = StatusField(m_pid, "SigBlk");
        const unsigned long long wanted = (1ULL << (SIGINT - 1)) | (1ULL << (SIGTERM - 1));
        return !blocked.empty() && (std::stoull(blocked, nullptr, 16) & wanted) == wanted;
    }

    // True once tslrun has the file at `path` open, such as a serial device.
    bool HasOpen(const std::string& path) const { return OpenFiles(m_pid).contains(path); }

    // Waits for the end at most `timeout`: the exit status, -1 for death by signal, or kRunning.
    int Wait(std::chrono::milliseconds timeout)
    {
        PollUntil(
            [&] {
                int status = 0;
                if (m_status == kRunning && waitpid(m_pid, &status, WNOHANG) == m_pid)
                    m_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
                return m_status != kRunning;
            },
            timeout);
        return m_status;
    }

    // Signals the run and waits for it: its status, and how long the end took.
    std::pair<int, Clock::duration> Stop(int signal, std::chrono::milliseconds timeout = 10s)
    {
        const auto sent = Clock::now();
        kill(m_pid, signal);
        const int status = Wait(timeout);
        return {status, Clock::now() - sent};
    }

    std::string Errors() const
    {
        std::string text;
        char buffer[4096];
        ssize_t got;
        for (off_t at = 0; (got = pread(m_errors, buffer, sizeof buffer, at)) > 0; at += got)
            text.append(buffer, static_cast<size_t>(got));
        return text;
    }

    static constexpr int kRunning = -2;
    Pipe out;

private:
    pid_t m_pid = -1;
    int m_errors = -1;
    int m_status = kRunning;
};

// tslsim or tslbridge serving until the test stops it with SIGTERM, which must end it with 0.
class Serving
{
public:
    Serving(const char* program, const QStringList& arguments)
    {
        m_process.start(program, arguments);
        EXPECT_TRUE(m_process.waitForStarted());
    }
    ~Serving()
    {
        if (m_process.state() != QProcess::NotRunning) {
            EXPECT_EQ(Stop(), 0) << Errors();
        }
    }
    Serving(const Serving&) = delete;
    Serving& operator=(const Serving&) = delete;

    // The exit status after SIGTERM; -1 for a death by a signal or no end in time.
    int Stop()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(20000))
            return -1;
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }
    QString FirstLine()
    {
        PollUntil([&] {
            m_process.waitForReadyRead(10);
            return m_process.canReadLine();
        });
        return QString::fromUtf8(m_process.readLine()).trimmed();
    }
    // Waits until standard error holds `text`; false when the program ended or time ran out.
    bool Said(const std::string& text)
    {
        const auto told = [&] { return Errors().find(text) != std::string::npos; };
        return PollUntil([&] { return told() || m_process.state() == QProcess::NotRunning; }) &&
               told();
    }
    std::string Errors()
    {
        m_process.setReadChannel(QProcess::StandardError);
        m_process.waitForReadyRead(10);
        m_process.setReadChannel(QProcess::StandardOutput);
        m_errors += m_process.readAllStandardError().toStdString();
        return m_errors;
    }
    QString Output() { return QString::fromUtf8(m_process.readAllStandardOutput()); }

private:
    QProcess m_process;
    std::string m_errors;
};

} // namespace TslrunTest
