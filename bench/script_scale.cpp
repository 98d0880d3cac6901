// How checking and compiling grow with a script's size: generated scripts of 10,000, 100,000
// and 1,000,000 lines of simple commands, and the two shapes that used to take quadratic time
// (50,000 VARs with 50,000 INCs; 50,000 labels with as many jumps). Each phase runs in a child
// process of its own, so that its peak resident size is its own.
//   script_scale [lines ...]
#include "CTSL.h"
#include "CTSLSyntax.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kScalars = 1000;
constexpr int kArrays = 100;
constexpr int kLabelEvery = 16;

// Appends one line made of `parts` (built by appending: GCC's -O3 restrict check misreads
// chains of string +).
void Line(std::string& text, std::initializer_list<std::string_view> parts)
{
    for (std::string_view part : parts)
        text += part;
    text += '\n';
}

std::string Number(long n)
{
    return std::to_string(n);
}

// A script of about `lines` lines: declarations, then labels and one-operand or two-operand
// commands such as a test script is made of. Every line verifies.
std::string SimpleScript(int lines)
{
    std::string text;
    for (int i = 0; i < kScalars; ++i)
        Line(text, {"VAR V", Number(i), "% 0"});
    for (int i = 0; i < kArrays; ++i)
        Line(text, {"DIM B", Number(i), "$ 64"});
    Line(text, {"BEGIN:"});
    const int mainLines = lines - kScalars - kArrays - 2;
    const int labels = mainLines / kLabelEvery + 1;
    for (int i = 0; i < mainLines; ++i) {
        const std::string v = std::string("V").append(Number(i % kScalars));
        const std::string b = std::string("B").append(Number(i % kArrays));
        switch (i % kLabelEvery) {
        case 0:
            Line(text, {"L", Number(i / kLabelEvery), ":"});
            break;
        case 1:
        case 5:
        case 9:
            Line(text, {"INC ", v});
            break;
        case 2:
        case 10:
            Line(text, {"CMP ", v, ", 10"});
            break;
        case 3:
            Line(text, {"JPL L", Number((i * 7) % labels)});
            break;
        case 4:
        case 12:
            Line(text, {"ADD ", v, ", 1"});
            break;
        case 6:
            Line(text, {"MOVE ", v, ", ", b, "[", v, "+1]"});
            break;
        case 7:
            Line(text, {"DEC ", v});
            break;
        case 8:
            Line(text, {"CLEAR ", b});
            break;
        case 11:
            Line(text, {"JPE L", Number((i * 3) % labels)});
            break;
        case 13:
            Line(text, {"OUT ", b});
            break;
        case 14:
            Line(text, {"SUB ", v, ", 0FH"});
            break;
        default:
            Line(text, {"MOVE ", v, ", ", Number(i % 100)});
            break;
        }
    }
    Line(text, {"END:"});
    return text;
}

// 50,000 VARs, each increased once.
std::string NamesScript(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        Line(text, {"VAR N", Number(i), "% 0"});
    Line(text, {"BEGIN:"});
    for (int i = 0; i < count; ++i)
        Line(text, {"INC N", Number(i)});
    Line(text, {"END:"});
    return text;
}

// 50,000 labels, each with a jump to another.
std::string LabelsScript(int count)
{
    std::string text = "VAR X% 0\nBEGIN:\n";
    for (int i = 0; i < count; ++i) {
        Line(text, {"L", Number(i), ":"});
        Line(text, {"JPE L", Number((i * 7919) % count)});
    }
    Line(text, {"END:"});
    return text;
}

// A field of /proc/self/status, in KiB.
long StatusKiB(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0)
            return std::atol(line.c_str() + key.size());
    }
    return -1;
}

struct Phase
{
    double seconds = 0;
    long grownKiB = 0; // peak resident size above the size at the start
    long commands = 0;
    long messages = 0;
};

// Runs `work` in a child process: its time and how far its resident size grew.
Phase InChild(const std::function<Phase()>& work)
{
    int fds[2];
    if (pipe(fds) != 0)
        return {};
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        std::ofstream("/proc/self/clear_refs") << "5"; // the peak starts from here
        const long start = StatusKiB("VmRSS");
        const auto begin = Clock::now();
        Phase phase = work();
        phase.seconds = std::chrono::duration<double>(Clock::now() - begin).count();
        phase.grownKiB = StatusKiB("VmHWM") - start;
        const ssize_t written = write(fds[1], &phase, sizeof phase);
        _exit(written == sizeof phase ? 0 : 1);
    }
    close(fds[1]);
    Phase phase;
    if (read(fds[0], &phase, sizeof phase) != sizeof phase)
        phase = {};
    close(fds[0]);
    waitpid(pid, nullptr, 0);
    return phase;
}

Phase Check(const std::string& path)
{
    CTSLSyntax syntax(nullptr);
    syntax._CompileMainScript1(syntax.LoadScript(path.c_str()));
    syntax._VerifyMainScript();
    return {0, 0, static_cast<long>(syntax.m_listCommand.size()),
            static_cast<long>(syntax.m_arrErrors.size())};
}

Phase Compile(const std::string& path)
{
    CTSL tsl(nullptr, "");
    tsl._CompileMainScript1(tsl.LoadScript(path.c_str()));
    return {0, 0, static_cast<long>(tsl.m_listCommand.size()), 0};
}

void Measure(const char* name, const std::string& text)
{
    const auto path = std::filesystem::temp_directory_path() /
                      std::string("script_scale_").append(Number(getpid())).append(".tsl");
    std::ofstream(path, std::ios::binary) << text;
    const long lines = static_cast<long>(std::count(text.begin(), text.end(), '\n'));
    for (const auto& [phaseName, phase] :
         {std::pair{"check", &Check}, std::pair{"compile", &Compile}}) {
        const Phase p = InChild([&path, phase] { return phase(path.string()); });
        std::printf("  %-14s %-8s %9ld lines %9ld commands %8.3f s %7.1f ns/line %8.1f MiB "
                    "%6.0f B/command%s\n",
                    name, phaseName, lines, p.commands, p.seconds,
                    p.seconds * 1e9 / static_cast<double>(lines), p.grownKiB / 1024.0,
                    p.commands > 0 ? p.grownKiB * 1024.0 / static_cast<double>(p.commands) : 0.0,
                    p.messages > 0 ? "  (messages!)" : "");
    }
    std::filesystem::remove(path);
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty())
        sizes = {10000, 100000, 1000000};

    std::printf("Check (load, compile, verify) and compile (load, compile) of generated scripts;\n"
                "memory is the growth of the peak resident size during the phase.\n");
    for (int lines : sizes)
        Measure(std::string("simple ").append(Number(lines / 1000)).append("k").c_str(),
                SimpleScript(lines));
    Measure("50k VAR+INC", NamesScript(50000));
    Measure("50k labels", LabelsScript(50000));
    return 0;
}
