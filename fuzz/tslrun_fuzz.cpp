// Fuzzes tslrun's front end: the command line and the script file. An input's first line holds
// the arguments, separated by spaces ("SCRIPT" stands for the script's path, which is added
// when no script is named); the rest is the script. The front end parses the arguments, reads
// the script as tslrun does and verifies it; the run itself is left out (--check), so that no
// link is opened.
#include "ArgumentText.h"
#include "CRunSession.h"
#include "ScriptCopy.h"
#include "TerminalText.h"
#include "TslRunOptions.h"

#include <QCoreApplication>

#include <cstdint>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::string_view kScriptWord = "SCRIPT";
constexpr std::size_t kOutputBytes = 1 << 20;

std::vector<std::string> Words(std::string_view line)
{
    std::vector<std::string> words{"tslrun"};
    for (size_t at = 0; at < line.size();) {
        const size_t end = std::min(line.find(' ', at), line.size());
        if (end > at)
            words.emplace_back(line.substr(at, end - at));
        at = end + 1;
    }
    return words;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t newline = std::min(input.find('\n'), input.size());
    const std::string_view script = input.substr(std::min(newline + 1, input.size()));

    const int fd = memfd_create("tslrun_fuzz.tsl", MFD_CLOEXEC);
    if (fd < 0)
        return 0;
    if (write(fd, script.data(), script.size()) != static_cast<ssize_t>(script.size())) {
        close(fd);
        return 0;
    }
    const std::string path = "/proc/self/fd/" + std::to_string(fd);

    std::vector<std::string> words = Words(input.substr(0, newline));
    bool named = false;
    for (std::string& word : words) {
        if (word == kScriptWord) {
            word = path;
            named = true;
        }
    }
    if (!named)
        words.push_back(path);
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());

    TslRunOptions options;
    std::string error;
    const bool parsed =
        ParseTslRunOptions(ArgumentList(int(argv.size()), argv.data()), options, error);
    EscapeForTerminal(error, TerminalText::Field);
    CScriptCopy copy;
    if (parsed && !options.bHelp && !options.bVersion &&
        copy.Load(options.scripts.front(), error)) {
        options.bCheckOnly = true;
        COutputWriter output(STDOUT_FILENO, kOutputBytes);
        TslRunCase record;
        CRunSession session(options, copy.Path(), CRunSession::Clock::now(), output, record);
        session.Exec();
    }
    close(fd);
    return 0;
}
