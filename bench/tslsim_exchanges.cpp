// tslsim as a device on a pty: how many request/answer exchanges a second it serves with
// --speed max, and how closely --speed 1 keeps a rule's delay. A client sends a Modbus-like
// request (8 bytes, CRC checked by the rule), waits for the whole answer and sends the next.
// The same run measures the machine's own floor: a child that answers on a pty after sleeping
// the same delay (clock_nanosleep), with nothing of tslsim in it.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// Read two holding registers of any slave; the answer carries the slave's address and a CRC.
const char kRules[] = "when ?? <03> ?? ?? <00><02> crc16 reply $1 <03><04><00><2A><00><07> crc16"
                      " after %dms\n";
const unsigned char kRequest[] = {0x01, 0x03, 0x00, 0x00, 0x00, 0x02, 0xC4, 0x0B};
constexpr std::size_t kAnswerBytes = 9;

struct Served
{
    pid_t pid = -1;
    std::string device;
};

Served Start(const std::string& rules, const char* speed)
{
    int out[2];
    if (pipe(out) != 0)
        std::exit(1);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<std::string> words = {TSLSIM_PATH, "rules", rules, "--pty", "--speed", speed};
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    Served served;
    if (posix_spawn(&served.pid, TSLSIM_PATH, &actions, nullptr, argv.data(), environ) != 0)
        std::exit(1);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    char c = 0;
    while (read(out[0], &c, 1) == 1 && c != '\n')
        served.device += c;
    close(out[0]);
    return served;
}

void Stop(const Served& served)
{
    kill(served.pid, SIGTERM);
    waitpid(served.pid, nullptr, 0);
}

// One exchange; false when the answer did not come within a second.
bool Exchange(int fd)
{
    if (write(fd, kRequest, sizeof kRequest) != ssize_t(sizeof kRequest))
        return false;
    std::size_t got = 0;
    unsigned char buffer[64];
    while (got < kAnswerBytes) {
        pollfd p = {fd, POLLIN, 0};
        if (poll(&p, 1, 1000) <= 0)
            return false;
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n > 0)
            got += std::size_t(n);
    }
    return true;
}

int OpenDevice(const std::string& device)
{
    const int fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        std::perror(device.c_str());
        std::exit(1);
    }
    return fd;
}

// A child on the slave of a fresh pty that answers each request with kAnswerBytes after
// sleeping delayMs; the master's descriptor, and the child in pid.
int StartSleepEcho(int delayMs, pid_t& pid)
{
    int master = -1;
    int slave = -1;
    if (openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
        std::exit(1);
    termios raw{};
    tcgetattr(slave, &raw);
    cfmakeraw(&raw);
    tcsetattr(slave, TCSANOW, &raw);
    tcsetattr(master, TCSANOW, &raw);
    pid = fork();
    if (pid == 0) {
        close(master);
        unsigned char buffer[64];
        std::size_t got = 0;
        const unsigned char answer[kAnswerBytes] = {};
        for (;;) {
            const ssize_t n = read(slave, buffer, sizeof buffer);
            if (n <= 0)
                _exit(0);
            got += std::size_t(n);
            if (got < sizeof kRequest)
                continue;
            got = 0;
            const timespec wait = {0, long(delayMs) * 1'000'000L};
            clock_nanosleep(CLOCK_MONOTONIC, 0, &wait, nullptr);
            if (write(slave, answer, sizeof answer) != ssize_t(sizeof answer))
                _exit(1);
        }
    }
    close(slave);
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    return master;
}

// How much later than delayMs each of count exchanges on fd was answered, sorted.
std::vector<double> Lateness(int fd, int delayMs, int count)
{
    std::vector<double> late;
    for (int i = 0; i < count; ++i) {
        const Clock::time_point sent = Clock::now();
        if (!Exchange(fd))
            break;
        late.push_back(std::chrono::duration<double, std::milli>(Clock::now() - sent).count() -
                       delayMs);
    }
    std::sort(late.begin(), late.end());
    return late;
}

void PrintLateness(const char* who, int delayMs, const std::vector<double>& late)
{
    std::printf("%s, delay %d ms, %zu exchanges: answer later than the delay by min %.2f, "
                "median %.2f, 99th %.2f, max %.2f ms\n",
                who, delayMs, late.size(), late.front(), late[late.size() / 2],
                late[late.size() * 99 / 100], late.back());
}

std::string WriteRules(int delayMs)
{
    char path[] = "/tmp/tslsim-bench-XXXXXX";
    const int fd = mkstemp(path);
    char text[256];
    const int n = std::snprintf(text, sizeof text, kRules, delayMs);
    if (fd < 0 || write(fd, text, std::size_t(n)) != n)
        std::exit(1);
    close(fd);
    return path;
}

} // namespace

int main(int argc, char** argv)
{
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 5;
    const int delayMs = argc > 2 ? std::atoi(argv[2]) : 5;
    double load[3] = {};
    getloadavg(load, 3);
    std::printf("load average %.2f %.2f %.2f\n", load[0], load[1], load[2]);

    const std::string fast = WriteRules(delayMs);
    Served served = Start(fast, "max");
    int fd = OpenDevice(served.device);
    long long exchanges = 0;
    const Clock::time_point start = Clock::now();
    while (Clock::now() - start < std::chrono::seconds(seconds) && Exchange(fd))
        ++exchanges;
    const double took = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("--speed max: %lld exchanges in %.2f s, %.0f a second\n", exchanges, took,
                double(exchanges) / took);
    close(fd);
    Stop(served);

    served = Start(fast, "1");
    fd = OpenDevice(served.device);
    const std::vector<double> late = Lateness(fd, delayMs, 200);
    close(fd);
    Stop(served);
    unlink(fast.c_str());

    pid_t echo = -1;
    fd = StartSleepEcho(delayMs, echo);
    const std::vector<double> floor = Lateness(fd, delayMs, 200);
    close(fd);
    kill(echo, SIGTERM);
    waitpid(echo, nullptr, 0);
    if (late.empty() || floor.empty())
        return 1;
    PrintLateness("--speed 1", delayMs, late);
    PrintLateness("sleeping echo (the machine's floor)", delayMs, floor);
    return 0;
}
