#include "TslRunOptions.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

const char* const kTslRunUsage =
    "Usage: tslrun [options] SCRIPT\n"
    "Verifies a TSL script and runs it on its link until stopped, writing every PRINT and\n"
    "PRINTEX line to standard output.\n"
    "\n"
    "  --check            verify only: exit 0 when valid, 1 with the messages when not\n"
    "  --port DEVICE      serial device (a path or COMn) instead of the script's PORT\n"
    "  --connect HOST:PORT  TCP peer instead of the script's IP and PORT\n"
    "  --echo             run against a built-in echo device on 127.0.0.1\n"
    "  --seconds S        stop after S seconds (decimals allowed), exit 0\n"
    "  --passes N         stop after N passes, exit 0\n"
    "  --sync-exit        the first SYNC n stops the run; exit with status n\n"
    "  --help, --version\n"
    "\n"
    "Exit status: 0 done, 1 script errors, 2 link failure, n from SYNC with --sync-exit,\n"
    "130 on SIGINT, 143 on SIGTERM.\n";

namespace {

bool ParseCount(const char* text, uint64_t& value)
{
    char* end = nullptr;
    errno = 0;
    const unsigned long long parsed = std::strtoull(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || parsed == 0 || text[0] == '-')
        return false;
    value = parsed;
    return true;
}

bool ParseSeconds(const char* text, double& value)
{
    char* end = nullptr;
    value = std::strtod(text, &end);
    return end != text && *end == '\0' && std::isfinite(value) && value >= 0;
}

bool ParseHostPort(const std::string& text, std::string& host, uint16_t& port)
{
    const size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0)
        return false;
    uint64_t value = 0;
    if (!ParseCount(text.c_str() + colon + 1, value) || value > 65535)
        return false;
    host = text.substr(0, colon);
    port = static_cast<uint16_t>(value);
    return true;
}

} // namespace

bool ParseTslRunOptions(int argc, char** argv, TslRunOptions& options, std::string& strError)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](const char* name) -> const char* {
            if (i + 1 >= argc) {
                strError = std::string(name) + " needs a value";
                return nullptr;
            }
            return argv[++i];
        };
        if (arg == "--help" || arg == "-h") {
            options.bHelp = true;
        } else if (arg == "--version") {
            options.bVersion = true;
        } else if (arg == "--check") {
            options.bCheckOnly = true;
        } else if (arg == "--sync-exit") {
            options.bSyncExit = true;
        } else if (arg == "--echo") {
            options.bEcho = true;
        } else if (arg == "--port") {
            const char* text = value("--port");
            if (!text)
                return false;
            options.strPort = text;
        } else if (arg == "--connect") {
            const char* text = value("--connect");
            if (!text)
                return false;
            if (!ParseHostPort(text, options.strHost, options.nHostPort)) {
                strError = "--connect takes HOST:PORT, with a port from 1 to 65535";
                return false;
            }
        } else if (arg == "--seconds") {
            const char* text = value("--seconds");
            double seconds = 0;
            if (!text)
                return false;
            if (!ParseSeconds(text, seconds)) {
                strError = "--seconds takes a number of seconds, such as 2.5";
                return false;
            }
            options.seconds = seconds;
        } else if (arg == "--passes") {
            const char* text = value("--passes");
            if (!text)
                return false;
            if (!ParseCount(text, options.nPasses)) {
                strError = "--passes takes a whole number above 0";
                return false;
            }
        } else if (!arg.empty() && arg[0] == '-') {
            strError = "unknown option " + arg;
            return false;
        } else if (options.strScript.empty()) {
            options.strScript = arg;
        } else {
            strError = "only one script can run at a time";
            return false;
        }
    }
    if (options.bHelp || options.bVersion)
        return true;
    if (options.strScript.empty()) {
        strError = "no script given";
        return false;
    }
    if (!options.strPort.empty() + !options.strHost.empty() + options.bEcho > 1) {
        strError = "--port, --connect and --echo each choose the link: give one of them";
        return false;
    }
    return true;
}
