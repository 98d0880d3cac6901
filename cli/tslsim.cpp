// tslsim: a device with no hardware, answering by reply rules on a pty, a serial line, TCP or
// UDP, so that scripts and programs can be tried when the device is on another bench.
#include "CSimDevice.h"
#include "CapturedSession.h"
#include "RegularFile.h"
#include "ReplyRules.h"
#include "SimOptions.h"
#include "StopSignals.h"
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

// Reads a rule file into rules: 0, or the exit status when it cannot be read or has errors,
// each told as FILE:LINE:COLUMN.
int ReadRules(const std::string& path, std::vector<tsl::ReplyRule>& rules)
{
    std::string text;
    std::string error;
    if (!ReadRegularFile(path, kMaxRuleFileBytes, text, error)) {
        WriteDiagnostic("tslsim: cannot read the rules \"" + path + "\": " + error);
        return SimExit::kUnusable;
    }
    tsl::ReplyRuleSet set = tsl::ParseReplyRules(text);
    for (const tsl::RuleError& fault : set.errors)
        WriteDiagnostic(path + ":" + std::to_string(fault.nLine) + ":" +
                        std::to_string(fault.nColumn) + ": " + fault.strMessage);
    if (!set.errors.empty())
        return SimExit::kRuleErrors;
    if (set.rules.empty()) {
        WriteDiagnostic("tslsim: \"" + path + "\" holds no rule");
        return SimExit::kRuleErrors;
    }
    rules = std::move(set.rules);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const sigset_t stops = BlockStopSignals();

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

    std::vector<tsl::ReplyRule> rules;
    if (!options.strRules.empty()) {
        if (const int status = ReadRules(options.strRules, rules); status != 0)
            return status;
    }
    const std::size_t nFixed = rules.size();
    if (options.source == SimOptions::Source::Session) {
        CapturedSession session;
        if (!ReadCapturedSession(options.strSession, session, error)) {
            WriteDiagnostic("tslsim: cannot serve \"" + options.strSession + "\": " + error);
            return SimExit::kUnusable;
        }
        if (session.nSkippedRecords > 0)
            WriteDiagnostic("tslsim: " + std::to_string(session.nSkippedRecords) +
                            " damaged stretches of the session skipped");
        if (session.nLongRequests > 0)
            WriteDiagnostic("tslsim: " + std::to_string(session.nLongRequests) +
                            " exchanges too long to serve left out");
        if (session.exchanges.empty()) {
            WriteDiagnostic("tslsim: \"" + options.strSession + "\" holds no request");
            return SimExit::kUnusable;
        }
        auto exchanges = options.bLookup ? LatestAnswers(std::move(session.exchanges))
                                         : std::move(session.exchanges);
        rules.insert(rules.end(), std::make_move_iterator(exchanges.begin()),
                     std::make_move_iterator(exchanges.end()));
    }

    const int signals = signalfd(-1, &stops, SFD_CLOEXEC);
    CSimDevice device(options, std::move(rules), nFixed,
                      options.bLookup ? CReplyMatcher::Order::Lookup
                                      : CReplyMatcher::Order::InOrder);
    if (signals < 0 || !device.Open(error)) {
        WriteDiagnostic("tslsim: " + error);
        return SimExit::kUnusable;
    }
    const bool stopped = device.Serve(signals);
    ::close(signals);
    return stopped ? 0 : SimExit::kUnusable;
}
