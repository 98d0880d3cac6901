// The interpreter on two loops, against CPython 3 and Lua 5.4 running the same loops in the
// same run: ns per loop iteration and per executed TSL command.
//   interpreter_loop [iterations]     (default 10000000)
#include "CTSL.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

// Best of three passes of a script whose single pass runs the whole loop.
double TimeScript(const std::string& text)
{
    const auto path =
        std::filesystem::temp_directory_path() / ("tsl-bench-" + std::to_string(getpid()) + ".tsl");
    std::ofstream(path) << text;
    double best = 1e30;
    for (int round = 0; round < 3; ++round) {
        CTSL tsl(nullptr, "");
        tsl._CompileMainScript1(tsl.LoadScript(path.c_str()));
        const auto start = Clock::now();
        tsl.Begin(nullptr, 0);
        best = std::min(best, Seconds(Clock::now() - start));
    }
    std::filesystem::remove(path);
    return best;
}

// Best of three runs of a command, less the same command's run with an empty loop.
double TimeCommand(const std::string& loop, const std::string& empty)
{
    auto run = [](const std::string& command) {
        double best = 1e30;
        for (int round = 0; round < 3; ++round) {
            const auto start = Clock::now();
            if (std::system((command + " >/dev/null 2>&1").c_str()) != 0)
                return -1.0;
            best = std::min(best, Seconds(Clock::now() - start));
        }
        return best;
    };
    const double full = run(loop);
    const double base = run(empty);
    return full < 0 || base < 0 ? -1.0 : full - base;
}

void Report(const char* name, double seconds, long iterations, int commandsPerIteration)
{
    if (seconds < 0) {
        std::printf("  %-10s not available\n", name);
        return;
    }
    const double perIteration = seconds * 1e9 / static_cast<double>(iterations);
    std::printf("  %-10s %8.2f ns/iteration", name, perIteration);
    if (commandsPerIteration > 0)
        std::printf("  %6.2f ns/command", perIteration / commandsPerIteration);
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv)
{
    const long n = argc > 1 ? std::atol(argv[1]) : 10000000;
    const std::string N = std::to_string(n);

    std::printf("Counting loop, %ld iterations (TSL: INC I / CMP I, N / JPL LOOP)\n", n);
    const double tslCount =
        TimeScript("VAR I% 0\nBEGIN:\nLOOP:\n INC I\n CMP I, " + N + "\n JPL LOOP\nEND:\n");
    const double pyCount =
        TimeCommand("python3 -c 'i = 0\nwhile i < " + N + ":\n    i += 1'", "python3 -c 'i = 0'");
    const double luaCount = TimeCommand(
        "lua5.4 -e 'local i = 0 while i < " + N + " do i = i + 1 end'", "lua5.4 -e 'local i = 0'");
    Report("TSL", tslCount, n, 3);
    Report("CPython", pyCount, n, 0);
    Report("Lua 5.4", luaCount, n, 0);
    if (pyCount > 0)
        std::printf("  TSL is %.2fx faster than CPython\n", pyCount / tslCount);
    if (luaCount > 0)
        std::printf("  TSL takes %.2fx Lua's time\n", tslCount / luaCount);

    std::printf("\nIndex loop, %ld iterations (TSL: MOVE X, BUF[I+1] / INC I / CMP I, N / JPL "
                "LOOP)\n",
                n);
    const std::string size = std::to_string(n + 2);
    const double tslIndex = TimeScript("DIM BUF$ " + size +
                                       "\nVAR X% 0\nVAR I% 0\nBEGIN:\nLOOP:\n"
                                       " MOVE X, BUF[I+1]\n INC I\n CMP I, " +
                                       N + "\n JPL LOOP\nEND:\n");
    const double pyIndex =
        TimeCommand("python3 -c 'b = bytearray(" + size + ")\nx = 0\ni = 0\nwhile i < " + N +
                        ":\n    x = b[i+1]\n    i += 1'",
                    "python3 -c 'b = bytearray(" + size + ")'");
    const double luaIndex = TimeCommand(
        "lua5.4 -e 'local b = {} for k = 1, " + size +
            " do b[k] = 0 end local x, i = 0, 0 while i < " + N + " do x = b[i+1] i = i + 1 end'",
        "lua5.4 -e 'local b = {} for k = 1, " + size + " do b[k] = 0 end'");
    Report("TSL", tslIndex, n, 4);
    Report("CPython", pyIndex, n, 0);
    Report("Lua 5.4", luaIndex, n, 0);
    if (pyIndex > 0)
        std::printf("  TSL is %.2fx faster than CPython\n", pyIndex / tslIndex);
    if (luaIndex > 0)
        std::printf("  TSL takes %.2fx Lua's time\n", tslIndex / luaIndex);
    return 0;
}
