// tslsim: a device with no hardware, answering by reply rules on a pty, a serial line, TCP or
// UDP, so that scripts and programs can be tried when the device is on another bench.
#include "CSimDevice.h"
#include "RegularFile.h"
#include "ReplyRules.h"
#include "SimOptions.h"
#include "TerminalText.h"

#include <csignal>
#include <cstdio>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {

constexpr int64_t kMaxRuleFileBytes = 16 << 20;

int UsageError(const std::string& message)
{
    WriteDiagnostic("tslsim: " + message);
    WriteDiagnostic("Try 'tslsim --help'");
    return SimExit::kUsage;
}

} // namespace

int main(int argc, char** argv)
{
    // Taken by the serving loop, not by a handler: the link is put away on the way out.
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGTERM);
    sigprocmask(SIG_BLOCK, &stops, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    SimOptions options;
    std::string error;
    if (!ParseSimOptions(std::vector<std::string>(argv + 1, argv + argc), options, error))
        return UsageError(error);
    if (options.bHelp) {
        std::fputs(SimUsage().c_str(), stdout);
        return 0;
    }
    if (options.bVersion) {
        std::printf("tslsim %s\n", TARVEN_VERSION);
        return 0;
    }

    std::string text;
    if (!ReadRegularFile(options.strRules, kMaxRuleFileBytes, text, error)) {
        WriteDiagnostic("tslsim: cannot read the rules \"" + options.strRules + "\": " + error);
        return SimExit::kUnusable;
    }
    tsl::ReplyRuleSet set = tsl::ParseReplyRules(text);
    for (const tsl::RuleError& fault : set.errors)
        WriteDiagnostic(options.strRules + ":" + std::to_string(fault.nLine) + ":" +
                        std::to_string(fault.nColumn) + ": " + fault.strMessage);
    if (!set.errors.empty())
        return SimExit::kRuleErrors;
    if (set.rules.empty()) {
        WriteDiagnostic("tslsim: \"" + options.strRules + "\" holds no rule");
        return SimExit::kRuleErrors;
    }

    const int signals = signalfd(-1, &stops, SFD_CLOEXEC);
    CSimDevice device(options, std::move(set.rules));
    if (signals < 0 || !device.Open(error)) {
        WriteDiagnostic("tslsim: " + error);
        return SimExit::kUnusable;
    }
    const bool stopped = device.Serve(signals);
    ::close(signals);
    return stopped ? 0 : SimExit::kUnusable;
}
