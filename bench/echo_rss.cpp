// tslrun's echo device under peers that never read, for 30 s (or the seconds given), several
// runs each: a client of the test's own that sends as fast as it can and reads nothing, and a
// script that sends in a loop and never takes what comes back (OUT without IN). Reports
// tslrun's peak resident memory, sampled once a second and at the end, and how much the client
// got rid of. Target: at most 32 MiB whatever the peer does.
#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <netinet/in.h>
#include <poll.h>
#include <set>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// Leaves the echo device to the client.
const char* const kIdleScript =
    "OPEN MEDIA TCP\nOPEN IP 127.0.0.1\nOPEN PORT 9\nBEGIN:\nSLEEP 20\nEND:\n";
// 240 bytes a pass, nothing ever read.
const std::string kOutLine = "OUT \"" + std::string(60, 'o') + "\"\n";
const std::string kOutLoopScript = "OPEN MEDIA TCP\nOPEN IP 127.0.0.1\nOPEN PORT 9\nBEGIN:\n" +
                                   kOutLine + kOutLine + kOutLine + kOutLine + "END:\n";

enum class Peer
{
    Client,
    OutLoop
};

long StatusKiB(pid_t pid, const char* field)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(prefix, 0) == 0)
            return std::stol(line.substr(prefix.size()));
    }
    return -1;
}

// The port tslrun's echo device listens on, 0 while there is none.
unsigned short EchoPort(pid_t pid)
{
    const std::string proc = "/proc/" + std::to_string(pid);
    std::set<std::string> inodes;
    if (DIR* fds = opendir((proc + "/fd").c_str())) {
        while (const dirent* entry = readdir(fds)) {
            char target[64] = {};
            const std::string link = proc + "/fd/" + entry->d_name;
            if (readlink(link.c_str(), target, sizeof target - 1) > 0 &&
                std::strncmp(target, "socket:[", 8) == 0)
                inodes.insert(std::string(target + 8, std::strlen(target + 8) - 1));
        }
        closedir(fds);
    }
    std::ifstream table(proc + "/net/tcp");
    std::string line;
    std::getline(table, line);
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout, inode;
        fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >>
            timeout >> inode;
        if (state == "0A" && inodes.count(inode))
            return static_cast<unsigned short>(std::stoul(local.substr(9), nullptr, 16));
    }
    return 0;
}

struct Result
{
    long peakKiB = 0;
    unsigned long long sent = 0; // by the client
    int status = -1;
};

Result Run(const std::string& tslrun, const std::string& script, const std::string& seconds,
           Peer peer)
{
    const int devNull = open("/dev/null", O_WRONLY | O_CLOEXEC);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, devNull, STDOUT_FILENO);
    const char* argv[] = {tslrun.c_str(),  "--echo",       "--seconds",
                          seconds.c_str(), script.c_str(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, tslrun.c_str(), &actions, nullptr, const_cast<char**>(argv), environ))
        std::exit(1);
    posix_spawn_file_actions_destroy(&actions);
    close(devNull);

    Result result;
    std::atomic<bool> ended{false};
    std::thread client;
    if (peer == Peer::Client) {
        unsigned short port = 0;
        for (int tries = 0; tries < 1000 && (port = EchoPort(pid)) == 0; ++tries)
            usleep(10'000);
        client = std::thread([&, port] {
            const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
            sockaddr_in address{};
            address.sin_family = AF_INET;
            address.sin_port = htons(port);
            address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
                return;
            static char chunk[1 << 16];
            while (!ended) {
                const ssize_t put = send(fd, chunk, sizeof chunk, MSG_DONTWAIT | MSG_NOSIGNAL);
                if (put > 0) {
                    result.sent += static_cast<unsigned long long>(put);
                } else if (errno == EAGAIN) {
                    pollfd room{fd, POLLOUT, 0};
                    poll(&room, 1, 100);
                } else {
                    break;
                }
            }
            close(fd);
        });
    }
    for (;;) {
        const long rss = StatusKiB(pid, "VmHWM");
        result.peakKiB = std::max(result.peakKiB, rss);
        int status = 0;
        rusage usage{};
        if (wait4(pid, &status, WNOHANG, &usage) == pid) {
            result.peakKiB = std::max(result.peakKiB, usage.ru_maxrss);
            result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
            break;
        }
        usleep(200'000);
    }
    ended = true;
    if (client.joinable())
        client.join();
    return result;
}

std::string WriteScript(const std::string& text)
{
    char path[] = "/tmp/echo_rss_XXXXXX.tsl";
    const int fd = mkstemps(path, 4);
    if (fd < 0 || write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
        std::exit(1);
    close(fd);
    return path;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string tslrun = argc > 1 ? argv[1] : TSLRUN_PATH;
    const std::string seconds = argc > 2 ? argv[2] : "30";
    const int runs = argc > 3 ? std::atoi(argv[3]) : 5;
    const std::string idle = WriteScript(kIdleScript);
    const std::string outLoop = WriteScript(kOutLoopScript);

    double load[3] = {};
    getloadavg(load, 3);
    std::printf("tslrun --echo --seconds %s, %d runs each, load average %.2f %.2f %.2f\n\n",
                seconds.c_str(), runs, load[0], load[1], load[2]);
    std::printf("%-34s %4s %12s %8s %14s\n", "peer", "run", "peak memory", "status", "client sent");
    const std::pair<Peer, const char*> peers[] = {
        {Peer::Client, "client that sends, never reads"},
        {Peer::OutLoop, "script: OUT loop without IN"},
    };
    for (const auto& [peer, name] : peers) {
        for (int run = 1; run <= runs; ++run) {
            const Result r = Run(tslrun, peer == Peer::Client ? idle : outLoop, seconds, peer);
            std::printf("%-34s %4d %9.1f MiB %8d %14llu\n", name, run, r.peakKiB / 1024.0, r.status,
                        r.sent);
            std::fflush(stdout);
        }
    }
    getloadavg(load, 3);
    std::printf("\nload average at the end %.2f %.2f %.2f\n", load[0], load[1], load[2]);
    unlink(idle.c_str());
    unlink(outLoop.c_str());
    return 0;
}
