#include "TslRunOptions.h"

#include "ArgumentText.h"
#include "Link.h"
#include "MessageLanguage.h"

#include <QCommandLineParser>

#include <algorithm>
#include <arpa/inet.h>
#include <charconv>
#include <cmath>
#include <net/if.h>
#include <string_view>

namespace {

// One option: its names, the word for its value (none for a switch), and what it does. The
// parser and the usage text are both made from this table.
struct OptionRow
{
    QStringList names;
    const char* valueName;
    const char* description;
};

const OptionRow kOptions[] = {
    {{"check"}, nullptr, "verify only: exit 0 when valid, 1 with the messages when not"},
    {{"port"}, "DEVICE", "serial device (a path or COMn) instead of the script's PORT"},
    {{"connect"},
     "HOST:PORT",
     "peer instead of the script's IP and PORT, also [IPv6]:PORT (UDP: where it sends, IPv4)"},
    {{"echo"}, nullptr, "run against a built-in echo device on 127.0.0.1 (UDP for a UDP script)"},
    {{"seconds"},
     "S",
     "end S seconds after the start (decimals allowed, at most 31536000), exit 0"},
    {{"passes"}, "N", "stop after N passes, exit 0"},
    {{"sync-exit"}, nullptr, "the first SYNC n stops the run; exit with status n"},
    {{"timeout"},
     "S",
     "fail a script without SYNC after S seconds (exit 124); implies --sync-exit"},
    {{"junit"}, "FILE", "write a JUnit XML report, one case per script; implies --sync-exit"},
    {{"capture"},
     "FILE",
     "record the session, sent and received bytes with their times, as a capture file that "
     "tslsim serves and tarven shows"},
    {{"keep-running"}, nullptr, "a lost link is told on standard error; the run goes on"},
    {{"strict"}, nullptr, "exit 4 when received bytes were lost (the serial driver dropped them)"},
    {{"lang"}, "ko|en", "language of the script messages (verifier and run): ko (default) or en"},
    {{"trace"},
     nullptr,
     "write each line the script runs, as \"+ LINE: TEXT\", to standard error (at most "
     "100000 lines a script)"},
    {{"trace-limit"}, "N", "trace at most N lines of each script; implies --trace"},
    {{"h", "help"}, nullptr, "print this text"},
    {{"version"}, nullptr, "print the version"},
};

const char* const kUsageHead =
    "Usage: tslrun [options] SCRIPT...\n"
    "Verifies a TSL script and runs it on its link until stopped, writing every PRINT and\n"
    "PRINTEX line to standard output. Several scripts run one after the other, each with\n"
    "the options given.\n\n"
    "Options:\n";

const char* const kUsageTail =
    "\nExit status:\n"
    "  0    the run ended (time limit, passes, end of the script)\n"
    "  1    script errors (listed on standard output)\n"
    "  2    the script cannot be read, the link is missing or does not open, or the\n"
    "       --junit report or the --capture file cannot be written\n"
    "  3    the link was lost during the run (without --keep-running)\n"
    "  4    received bytes were lost (with --strict)\n"
    "  64   usage error\n"
    "  124  no SYNC within --timeout\n"
    "  130  SIGINT, 143 SIGTERM (in any phase, within 200 ms)\n"
    "  141  standard output was closed by its reader\n"
    "  n    SYNC n under --sync-exit (0 to 255: it may equal one of the above)\n"
    "Several scripts: the status of the first script that did not end with 0, or 0; a\n"
    "signal or a closed standard output ends the call at once with its own status.\n";

bool ParseCount(const std::string& text, uint64_t& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value > 0;
}

bool ParseSeconds(const std::string& text, double& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && std::isfinite(value) &&
           value > 0 && value <= kMaxRunSeconds;
}

bool IsHostNameCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_';
}

// A host name or an IPv4 address as the resolver takes it: dot-separated labels of 1 to 63
// characters, at most 253 in all (and a final dot).
bool IsHostName(std::string_view name)
{
    if (name.ends_with('.'))
        name.remove_suffix(1);
    if (name.empty() || name.size() > kMaxHostNameChars)
        return false;
    constexpr std::size_t kMaxLabelChars = 63;
    std::size_t label = 0;
    for (const char c : name) {
        if (c == '.') {
            if (label == 0)
                return false;
            label = 0;
        } else if (!IsHostNameCharacter(c) || ++label > kMaxLabelChars) {
            return false;
        }
    }
    return label != 0;
}

// An IPv6 address, with a zone after '%' for a link-local one.
bool IsIpv6Address(std::string_view text)
{
    const std::size_t percent = text.find('%');
    const std::string address(text.substr(0, percent));
    in6_addr parsed{};
    if (inet_pton(AF_INET6, address.c_str(), &parsed) != 1)
        return false;
    if (percent == std::string_view::npos)
        return true;
    const std::string_view zone = text.substr(percent + 1);
    return !zone.empty() && zone.size() < IF_NAMESIZE &&
           std::all_of(zone.begin(), zone.end(),
                       [](char c) { return IsHostNameCharacter(c) || c == '.'; });
}

// HOST:PORT with a host name or IPv4 address, or [IPv6]:PORT.
bool ParseHostPort(const std::string& text, std::string& host, uint16_t& port)
{
    std::size_t portAt = 0;
    if (text.starts_with('[')) {
        const std::size_t close = text.find(']');
        if (close == std::string::npos || text.compare(close + 1, 1, ":") != 0 ||
            !IsIpv6Address(std::string_view(text).substr(1, close - 1)))
            return false;
        host = text.substr(1, close - 1);
        portAt = close + 2;
    } else {
        const std::size_t colon = text.find(':');
        if (colon == std::string::npos || !IsHostName(std::string_view(text).substr(0, colon)))
            return false;
        host = text.substr(0, colon);
        portAt = colon + 1;
    }
    uint64_t value = 0;
    if (!ParseCount(text.substr(portAt), value) || value > 65535)
        return false;
    port = static_cast<uint16_t>(value);
    return true;
}

// The kinds of link that need no settings: each is chosen by an option of its name.
std::vector<const CLinkKind*> LinksByName()
{
    std::vector<const CLinkKind*> kinds = LinkKinds();
    std::erase_if(kinds, [](const CLinkKind* kind) { return kind->fields != 0; });
    return kinds;
}

std::string LinkDescription(const CLinkKind& kind)
{
    return std::string("run on the ") + kind.pszName + " link whatever the script's OPEN MEDIA (" +
           kind.pszAbout + ")";
}

// The rows of every option: the table's, with the links chosen by name after --echo.
std::vector<OptionRow> AllOptions(std::vector<std::string>& descriptions)
{
    const std::vector<const CLinkKind*> kinds = LinksByName();
    descriptions.clear();
    for (const CLinkKind* kind : kinds)
        descriptions.push_back(LinkDescription(*kind));
    std::vector<OptionRow> rows;
    for (const OptionRow& option : kOptions) {
        rows.push_back(option);
        if (option.names.first() != QLatin1String("echo"))
            continue;
        for (std::size_t i = 0; i < kinds.size(); ++i)
            rows.push_back(
                {{QString::fromLatin1(kinds[i]->pszName)}, nullptr, descriptions[i].c_str()});
    }
    return rows;
}

QCommandLineOption MakeOption(const OptionRow& option)
{
    return option.valueName ? QCommandLineOption(option.names, option.description, option.valueName)
                            : QCommandLineOption(option.names, option.description);
}

// The last value given for an option, as the bytes typed.
std::string Value(const QCommandLineParser& parser, const char* name)
{
    return ArgumentBytes(parser.value(QString::fromLatin1(name)));
}

bool ParseLimit(const QCommandLineParser& parser, const char* name, std::optional<double>& limit,
                std::string& strError)
{
    if (!parser.isSet(QString::fromLatin1(name)))
        return true;
    double seconds = 0;
    if (!ParseSeconds(Value(parser, name), seconds)) {
        strError = std::string("--") + name +
                   " takes a number of seconds above 0 and at most 31536000 (a year), such as 2.5";
        return false;
    }
    limit = seconds;
    return true;
}

} // namespace

bool ParseTslRunOptions(const QStringList& arguments, TslRunOptions& options, std::string& strError)
{
    QCommandLineParser parser;
    std::vector<std::string> descriptions;
    for (const OptionRow& option : AllOptions(descriptions))
        parser.addOption(MakeOption(option));
    if (!parser.parse(arguments)) {
        strError = ArgumentBytes(parser.errorText());
        return false;
    }
    options.bHelp = parser.isSet("help");
    options.bVersion = parser.isSet("version");
    if (options.bHelp || options.bVersion)
        return true;
    options.bCheckOnly = parser.isSet("check");
    options.bSyncExit = parser.isSet("sync-exit");
    options.bEcho = parser.isSet("echo");
    options.bKeepRunning = parser.isSet("keep-running");
    options.bStrict = parser.isSet("strict");
    int links = 0;
    for (const CLinkKind* kind : LinksByName()) {
        if (parser.isSet(QString::fromLatin1(kind->pszName))) {
            options.strLink = kind->pszName;
            ++links;
        }
    }
    if (parser.isSet("port"))
        options.strPort = Value(parser, "port");
    if (parser.isSet("connect") &&
        !ParseHostPort(Value(parser, "connect"), options.strHost, options.nHostPort)) {
        strError = "--connect takes HOST:PORT or [IPv6]:PORT, with a host name of at most 253 "
                   "characters and a port from 1 to 65535";
        return false;
    }
    if (!ParseLimit(parser, "seconds", options.seconds, strError) ||
        !ParseLimit(parser, "timeout", options.timeout, strError))
        return false;
    if (parser.isSet("junit")) {
        options.strJunit = Value(parser, "junit");
        if (options.strJunit.empty()) {
            strError = "--junit takes the name of the report file";
            return false;
        }
    }
    if (parser.isSet("capture")) {
        options.strCapture = Value(parser, "capture");
        if (options.strCapture.empty()) {
            strError = "--capture takes the name of the capture file";
            return false;
        }
    }
    // Both read a script's result from its SYNC.
    options.bSyncExit =
        options.bSyncExit || options.timeout.has_value() || !options.strJunit.empty();
    if (parser.isSet("lang")) {
        const std::optional<tsl::Language> language = tsl::LanguageNamed(parser.value("lang"));
        if (!language) {
            strError = "--lang takes ko or en";
            return false;
        }
        options.language = *language;
    }
    options.bTrace = parser.isSet("trace") || parser.isSet("trace-limit");
    if (parser.isSet("trace-limit") &&
        !ParseCount(Value(parser, "trace-limit"), options.nTraceLimit)) {
        strError = "--trace-limit takes a whole number above 0";
        return false;
    }
    if (parser.isSet("passes") && !ParseCount(Value(parser, "passes"), options.nPasses)) {
        strError = "--passes takes a whole number above 0";
        return false;
    }

    const QStringList scripts = parser.positionalArguments();
    if (scripts.isEmpty()) {
        strError = "no script given";
        return false;
    }
    for (const QString& script : scripts)
        options.scripts.push_back(ArgumentBytes(script));
    if (!options.strPort.empty() + !options.strHost.empty() + options.bEcho + links > 1) {
        strError = LinkOptions(true) + " each choose the link: give one of them";
        return false;
    }
    return true;
}

std::string LinkOptions(bool withSettings)
{
    std::string choices = withSettings ? "--port, --connect, --echo" : "--echo";
    for (const CLinkKind* kind : LinksByName())
        choices += std::string(", --") + kind->pszName;
    return choices;
}

std::string TslRunUsage()
{
    constexpr int kDescriptionColumn = 22;
    std::string text = kUsageHead;
    std::vector<std::string> descriptions;
    for (const OptionRow& option : AllOptions(descriptions)) {
        std::string names;
        for (const QString& name : option.names)
            names += (names.empty() ? "" : ", ") + std::string(name.size() == 1 ? "-" : "--") +
                     name.toStdString();
        if (option.valueName)
            names += std::string(" ") + option.valueName;
        std::string line = "  " + names;
        // Two spaces at least: readers of the text (help2man too) take one as part of the name.
        line.resize(std::max<size_t>(line.size() + 2, kDescriptionColumn), ' ');
        text += line + option.description + "\n";
    }
    return text + kUsageTail;
}
