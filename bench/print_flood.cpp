// tslrun under a PRINT flood: a script that prints in a tight loop runs with --seconds 2 (or
// the seconds given) while standard output goes to /dev/null, to a reader that keeps up, to a
// slow reader and to a reader that never reads. Reports for each how long tslrun took from
// start to end, its peak resident memory and its exit status. Target: at most the limit plus
// 0.2 s, with memory bounded.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

const char* const kScript = "OPEN MEDIA TCP\nOPEN IP 127.0.0.1\nOPEN PORT 9\nBEGIN:\nLOOP:\n"
                            "PRINT \"a printed line of a flood, 48 bytes long....\"\nJP LOOP\n"
                            "END:\n";

enum class Reader
{
    DevNull,
    KeepsUp,
    Slow, // 64 KiB every 10 ms, about 6.5 MB/s
    Never
};

struct Result
{
    double seconds = 0;
    long peakKiB = 0;
    int status = -1;
    uint64_t bytesRead = 0;
};

Result Run(const std::string& tslrun, const std::string& script, const std::string& seconds,
           Reader reader)
{
    int fds[2] = {-1, -1};
    if (reader == Reader::DevNull)
        fds[1] = open("/dev/null", O_WRONLY | O_CLOEXEC);
    else if (pipe2(fds, O_CLOEXEC) != 0)
        std::exit(1);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    const char* argv[] = {tslrun.c_str(),  "--echo",       "--seconds",
                          seconds.c_str(), script.c_str(), nullptr};
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, tslrun.c_str(), &actions, nullptr, const_cast<char**>(argv), environ))
        std::exit(1);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);

    std::atomic<uint64_t> read{0};
    std::thread drain;
    if (reader == Reader::KeepsUp || reader == Reader::Slow) {
        drain = std::thread([&, fd = fds[0]] {
            static char buffer[1 << 16];
            ssize_t got;
            while ((got = ::read(fd, buffer, sizeof buffer)) > 0) {
                read += static_cast<uint64_t>(got);
                if (reader == Reader::Slow)
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        });
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    Result result;
    result.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.peakKiB = usage.ru_maxrss;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    if (drain.joinable())
        drain.join();
    if (fds[0] >= 0)
        close(fds[0]);
    result.bytesRead = read;
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string tslrun = argc > 1 ? argv[1] : TSLRUN_PATH;
    const std::string seconds = argc > 2 ? argv[2] : "2";
    char script[] = "/tmp/print_flood_XXXXXX.tsl";
    const int fd = mkstemps(script, 4);
    if (fd < 0 || write(fd, kScript, std::strlen(kScript)) < 0)
        return 1;
    close(fd);

    const std::pair<Reader, const char*> readers[] = {
        {Reader::DevNull, "/dev/null"},
        {Reader::KeepsUp, "reader that keeps up"},
        {Reader::Slow, "slow reader (6.5 MB/s)"},
        {Reader::Never, "reader that never reads"},
    };
    std::printf("tslrun --seconds %s on a PRINT flood\n\n", seconds.c_str());
    std::printf("%-26s %8s %12s %8s %14s\n", "standard output", "took", "peak memory", "status",
                "bytes read");
    for (const auto& [reader, name] : readers) {
        const Result r = Run(tslrun, script, seconds, reader);
        std::printf("%-26s %7.2fs %9.1f MiB %8d %14llu\n", name, r.seconds, r.peakKiB / 1024.0,
                    r.status, static_cast<unsigned long long>(r.bytesRead));
    }
    unlink(script);
    return 0;
}
