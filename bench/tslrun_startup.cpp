// How long `tslrun --check` of a four-line script takes from spawn to exit, against
// `lua5.4 -e ''` and programs that only load Qt Core and Network, and Qt Core (the floors of any
// program linked to them), alternating the four, each run timed on its own. Prints the median
// and the range of each, tslrun's ratio to Lua and the floors' ratios to Lua.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds from spawn to exit; -1 when it did not start or failed.
double TimeRun(std::vector<std::string> command)
{
    std::vector<char*> argv;
    for (std::string& part : command)
        argv.push_back(part.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const Clock::time_point start = Clock::now();
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return -1;
    int status = 0;
    waitpid(child, &status, 0);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? ms : -1;
}

struct Series
{
    const char* name;
    std::vector<std::string> command;
    std::vector<double> ms;
};

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(5, std::atoi(argv[1])) : 200;
    char script[] = "/tmp/tslrun-startup-XXXXXX";
    const int fd = mkstemp(script);
    const char text[] = "VAR N% 0\nBEGIN:\n    PRINT \"ok\"\nEND:\n";
    if (fd < 0 || write(fd, text, sizeof text - 1) != ssize_t(sizeof text - 1))
        return 2;
    close(fd);

    double load[3] = {};
    getloadavg(load, 3);
    std::printf("load average %.2f %.2f %.2f; %d runs each\n", load[0], load[1], load[2], runs);
    std::vector<Series> series = {{"tslrun --check", {TSLRUN_PATH, "--check", script}, {}},
                                  {"lua5.4 -e ''", {"lua5.4", "-e", ""}, {}},
                                  {"Qt Core+Network", {QT_FLOOR_PATH}, {}},
                                  {"Qt Core", {QT_CORE_FLOOR_PATH}, {}}};
    for (int i = 0; i < runs; ++i) {
        for (Series& s : series) {
            const double ms = TimeRun(s.command);
            if (ms >= 0)
                s.ms.push_back(ms);
        }
    }
    unlink(script);
    double medians[4] = {};
    for (std::size_t k = 0; k < series.size(); ++k) {
        std::vector<double>& ms = series[k].ms;
        if (ms.empty()) {
            std::printf("%-16s did not run\n", series[k].name);
            continue;
        }
        std::sort(ms.begin(), ms.end());
        medians[k] = ms[ms.size() / 2];
        std::printf("%-16s median %.2f ms, fastest %.2f, 90th %.2f\n", series[k].name, medians[k],
                    ms.front(), ms[ms.size() * 9 / 10]);
    }
    if (medians[0] > 0 && medians[1] > 0)
        std::printf("tslrun --check at %.2fx Lua's start-up", medians[0] / medians[1]);
    if (medians[0] > 0 && medians[2] > 0)
        std::printf(", %.2fx the Qt floor", medians[0] / medians[2]);
    std::printf("\n");
    if (medians[1] > 0 && medians[2] > 0 && medians[3] > 0)
        std::printf("the floors at %.2fx (Qt Core+Network) and %.2fx (Qt Core) Lua's start-up\n",
                    medians[2] / medians[1], medians[3] / medians[1]);
    return series[0].ms.empty() ? 1 : 0;
}
