// A pty joined to a pty, by tslbridge and by socat in the same run: throughput of one direction
// (bytes written into the first pty's master until all came out of the second's, checked) and
// the time a single byte takes through, median and 99th percentile over many bytes.
// Usage: bridge_throughput [MEGABYTES] [SAMPLES]   (default 64 and 2000)
#include "raw_pty.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kPatternPeriod = 251; // prime: a lost or repeated block breaks the sequence

// A pty with the benchmark at the master; the joiner opens the slave's path.
using Pty = RawPty;

pid_t Spawn(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    for (const std::string& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// Bytes that arrive on fd within ms, appended to out.
void ReadFor(int fd, int ms, std::string& out)
{
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    char buf[65536];
    while (Clock::now() < end) {
        pollfd p = {fd, POLLIN, 0};
        if (::poll(&p, 1, 10) > 0 && (p.revents & POLLIN) != 0) {
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n > 0)
                out.append(buf, size_t(n));
        }
    }
}

// Waits until the joiner passes a byte from a to b, then until the line is quiet.
bool WaitJoined(const Pty& a, const Pty& b)
{
    for (int i = 0; i < 100; ++i) {
        const char probe = 'p';
        [[maybe_unused]] const ssize_t n = ::write(a.Master(), &probe, 1);
        std::string got;
        ReadFor(b.Master(), 100, got);
        if (!got.empty()) {
            std::string rest;
            do {
                rest.clear();
                ReadFor(b.Master(), 200, rest);
            } while (!rest.empty());
            return true;
        }
    }
    return false;
}

// MB/s of bytes bytes from a's master to b's master; negative when they did not all arrive
// intact.
double Throughput(const Pty& a, const Pty& b, size_t bytes)
{
    std::string data(bytes, '\0');
    for (size_t i = 0; i < bytes; ++i)
        data[i] = char(i % kPatternPeriod);
    std::atomic<bool> done = false;
    const auto start = Clock::now();
    std::thread writer([&] {
        size_t at = 0;
        while (at < bytes && !done) {
            pollfd p = {a.Master(), POLLOUT, 0};
            if (::poll(&p, 1, 100) <= 0)
                continue;
            const ssize_t n =
                ::write(a.Master(), data.data() + at, std::min<size_t>(65536, bytes - at));
            if (n > 0)
                at += size_t(n);
        }
    });
    std::string got;
    got.reserve(bytes);
    char buf[65536];
    auto last = Clock::now();
    while (got.size() < bytes && Clock::now() - last < std::chrono::seconds(5)) {
        pollfd p = {b.Master(), POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0)
            continue;
        const ssize_t n = ::read(b.Master(), buf, sizeof buf);
        if (n > 0) {
            got.append(buf, size_t(n));
            last = Clock::now();
        }
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    done = true;
    writer.join();
    if (got != data)
        return -1;
    return double(bytes) / 1e6 / seconds;
}

// Microseconds a single byte takes from a's master to b's master, one sample each.
std::vector<double> Latencies(const Pty& a, const Pty& b, int samples)
{
    std::vector<double> us;
    char buf[256];
    for (int i = 0; i < samples; ++i) {
        const char byte = char(i % kPatternPeriod);
        const auto start = Clock::now();
        if (::write(a.Master(), &byte, 1) != 1)
            continue;
        for (;;) {
            pollfd p = {b.Master(), POLLIN, 0};
            if (::poll(&p, 1, 1000) <= 0)
                break;
            if (::read(b.Master(), buf, sizeof buf) > 0) {
                us.push_back(
                    std::chrono::duration<double, std::micro>(Clock::now() - start).count());
                break;
            }
        }
        // A pause, so that each sample is a chunk of its own.
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    std::sort(us.begin(), us.end());
    return us;
}

void Measure(const char* name, const std::vector<std::string>& command, const Pty& a, const Pty& b,
             size_t bytes, int samples)
{
    const pid_t pid = Spawn(command);
    if (pid < 0 || !WaitJoined(a, b)) {
        std::printf("%-10s did not join the ptys\n", name);
        if (pid > 0) {
            ::kill(pid, SIGTERM);
            ::waitpid(pid, nullptr, 0);
        }
        return;
    }
    const double mbps = Throughput(a, b, bytes);
    const std::vector<double> us = Latencies(a, b, samples);
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
    if (us.empty()) {
        std::printf("%-10s %8.1f MB/s, no latency sample\n", name, mbps);
        return;
    }
    std::printf("%-10s %8.1f MB/s  latency median %7.1f us  p99 %7.1f us  (%zu samples)\n", name,
                mbps, us[us.size() / 2], us[us.size() * 99 / 100], us.size());
}

} // namespace

int main(int argc, char** argv)
{
    const size_t megabytes = argc > 1 ? size_t(std::atol(argv[1])) : 64;
    const int samples = argc > 2 ? std::atoi(argv[2]) : 2000;
    std::signal(SIGPIPE, SIG_IGN);
    {
        const Pty a;
        const Pty b;
        Measure("tslbridge",
                {TSLBRIDGE_PATH, "--no-reconnect",
                 "serial:" + a.SlavePath().toStdString() + ":115200",
                 "serial:" + b.SlavePath().toStdString() + ":115200"},
                a, b, megabytes << 20, samples);
    }
    {
        const Pty a;
        const Pty b;
        Measure("socat",
                {"socat", "-b65536", "FILE:" + a.SlavePath().toStdString() + ",raw,echo=0",
                 "FILE:" + b.SlavePath().toStdString() + ",raw,echo=0"},
                a, b, megabytes << 20, samples);
    }
    return 0;
}
