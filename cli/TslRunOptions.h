#pragma once

#include "MessageLanguage.h"

#include <QStringList>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What the command line of tslrun asks for.
struct TslRunOptions
{
    std::vector<std::string> scripts; // run one after the other, in this order
    std::string strJunit;             // where the report goes; empty: no report
    std::string strCapture;           // where the session is recorded; empty: nowhere
    bool bCheckOnly = false;
    std::string strPort; // serial device instead of the script's PORT
    std::string strHost; // TCP or UDP peer instead of the script's IP and PORT (IPv6: no [])
    uint16_t nHostPort = 0;
    std::optional<double> seconds;
    std::optional<double> timeout; // a script that has not reached SYNC by then fails
    uint64_t nPasses = 0;          // 0: no limit
    bool bSyncExit = false;        // also set by --junit and --timeout: SYNC ends a script
    bool bEcho = false;
    std::string strLink; // a link that needs no settings (loopback), whatever the script names
    bool bKeepRunning = false; // a lost link is told, and the run goes on
    bool bStrict = false;      // received bytes that were lost make the exit status 4
    tsl::Language language = tsl::Language::Korean; // of the verifier's and the run's messages
    bool bTrace = false;                            // each executed line on standard error
    uint64_t nTraceLimit = 100000;                  // lines traced at most, for each script
    bool bHelp = false;
    bool bVersion = false;
};

// Exit statuses of tslrun itself; a SYNC under --sync-exit may use any value from 0 to 255.
namespace TslRunExit {
constexpr int kScriptErrors = 1;
constexpr int kLinkFailure = 2;
constexpr int kUnreadable = 2;
constexpr int kLinkLost = 3;
constexpr int kStrictDrops = 4;
constexpr int kUsage = 64;
constexpr int kTimeout = 124; // as timeout(1) reports a command it ended
constexpr int kSigint = 130;
constexpr int kOutputClosed = 141; // as a shell reports a death by SIGPIPE
constexpr int kSigterm = 143;
} // namespace TslRunExit

// The longest host name --connect takes, as DNS allows.
constexpr std::size_t kMaxHostNameChars = 253;

// The longest time limit --seconds and --timeout take: a year.
constexpr double kMaxRunSeconds = 31'536'000;

// Reads the arguments that ArgumentList made (the program's name first); false with a message
// for the user when they make no sense.
bool ParseTslRunOptions(const QStringList& arguments, TslRunOptions& options,
                        std::string& strError);

// The text --help prints: every option and the exit statuses.
std::string TslRunUsage();

// The options that choose the link, as a user is told them: "--echo, --loopback" when
// withSettings is false; "--port, --connect, --echo, --loopback" when it is true.
std::string LinkOptions(bool withSettings);
