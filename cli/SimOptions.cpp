#include "SimOptions.h"

#include "TransmitText.h"

#include <charconv>
#include <cmath>

namespace {

bool ParseNumber(const std::string& text, long long low, long long high, long long& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value >= low &&
           value <= high;
}

bool ParseEndpointPort(const std::string& text, SimOptions& options)
{
    const std::size_t colon = text.rfind(':');
    options.strAddress = colon == std::string::npos ? "127.0.0.1" : text.substr(0, colon);
    long long port = 0;
    if (!ParseNumber(colon == std::string::npos ? text : text.substr(colon + 1), 1, 65535, port))
        return false;
    options.nPort = static_cast<int>(port);
    return !options.strAddress.empty();
}

} // namespace

std::string SimUsage()
{
    return "Usage: tslsim RULES (--pty [--link PATH] | --listen [ADDR:]PORT | --udp [ADDR:]PORT |\n"
           "              --serial DEVICE [--baud N]) [options]\n"
           "A device with no hardware: answers the requests it receives by the reply rules in\n"
           "the file RULES, one a line:\n"
           "  when <01><03>?? ?? ?? ?? crc16 reply $1 <03><04><00><2A><00><07> crc16 after 5ms\n"
           "Bytes are written in the control-code notation; ?? is any byte, $1 copies the first\n"
           "of them into the reply; crc16, crc16ccitt, crc32, sum8, xor8 and lrc check a "
           "request's\n"
           "checksum or append the reply's. Input no rule answers is told on standard error.\n"
           "\n"
           "  --pty               serve on a new pseudo-terminal; its path goes to standard "
           "output\n"
           "  --link PATH         also name the pseudo-terminal PATH (a symbolic link)\n"
           "  --listen [ADDR:]PORT  serve TCP clients (127.0.0.1 unless ADDR is given)\n"
           "  --udp [ADDR:]PORT   answer UDP datagrams to their sender\n"
           "  --serial DEVICE     be the device at the far end of a serial line\n"
           "  --baud N            the serial line's speed (default 9600)\n"
           "  --unmatched TEXT    answer input no rule answers with TEXT (control-code notation)\n"
           "  --speed 1|10|max    answer after the rules' delays, a tenth of them, or at once\n"
           "  --quiet MS          a request not whole after MS of silence is unmatched (200)\n"
           "  --help, --version\n"
           "\n"
           "Exit status: 0 stopped by SIGINT or SIGTERM; 1 errors in the rule file (each named\n"
           "by line and column); 2 the file, port or device cannot be used; 64 usage error.\n";
}

bool ParseSimOptions(const std::vector<std::string>& arguments, SimOptions& options,
                     std::string& strError)
{
    int endpoints = 0;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        const auto value = [&](std::string& out) {
            if (i + 1 >= arguments.size()) {
                strError = a + " takes a value";
                return false;
            }
            out = arguments[++i];
            return true;
        };
        std::string v;
        if (a == "--help") {
            options.bHelp = true;
            return true;
        } else if (a == "--version") {
            options.bVersion = true;
            return true;
        } else if (a == "--pty") {
            options.endpoint = SimOptions::Endpoint::Pty;
            ++endpoints;
        } else if (a == "--link") {
            if (!value(options.strLink))
                return false;
        } else if (a == "--listen" || a == "--udp") {
            if (!value(v))
                return false;
            if (!ParseEndpointPort(v, options)) {
                strError = a + " takes [ADDR:]PORT, PORT from 1 to 65535";
                return false;
            }
            options.endpoint = a == "--udp" ? SimOptions::Endpoint::Udp : SimOptions::Endpoint::Tcp;
            ++endpoints;
        } else if (a == "--serial") {
            if (!value(options.strDevice))
                return false;
            options.endpoint = SimOptions::Endpoint::Serial;
            ++endpoints;
        } else if (a == "--baud") {
            long long baud = 0;
            if (!value(v) || !ParseNumber(v, 50, 4000000, baud)) {
                strError = "--baud takes a speed from 50 to 4000000";
                return false;
            }
            options.nBaud = static_cast<int>(baud);
        } else if (a == "--unmatched") {
            if (!value(v))
                return false;
            const tsl::TransmitBytes bytes = tsl::EncodeTransmitText(v, tsl::TextCodec::Utf8);
            if (bytes.bMalformed || bytes.nUnencodable >= 0 || bytes.bytes.empty()) {
                strError = "--unmatched takes bytes in the control-code notation, such as <15>";
                return false;
            }
            options.unmatchedReply = bytes.bytes;
            options.bUnmatchedReply = true;
        } else if (a == "--speed") {
            if (!value(v))
                return false;
            if (v == "max")
                options.speed = 0;
            else if (v == "1" || v == "10")
                options.speed = v == "1" ? 1 : 10;
            else {
                strError = "--speed takes 1, 10 or max";
                return false;
            }
        } else if (a == "--quiet") {
            long long ms = 0;
            if (!value(v) || !ParseNumber(v, 1, 60000, ms)) {
                strError = "--quiet takes milliseconds from 1 to 60000";
                return false;
            }
            options.nQuietMs = static_cast<int>(ms);
        } else if (!a.empty() && a[0] == '-') {
            strError = "unknown option " + a;
            return false;
        } else if (options.strRules.empty()) {
            options.strRules = a;
        } else {
            strError = "one rule file only";
            return false;
        }
    }
    if (options.strRules.empty()) {
        strError = "no rule file given";
        return false;
    }
    if (endpoints != 1) {
        strError = "--pty, --listen, --udp and --serial each choose the link: give one of them";
        return false;
    }
    if (!options.strLink.empty() && options.endpoint != SimOptions::Endpoint::Pty) {
        strError = "--link names a pseudo-terminal: give it with --pty";
        return false;
    }
    return true;
}
