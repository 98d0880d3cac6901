#include "LinkAddress.h"

#include "TransportConstants.h"

#include <QHostAddress>

#include <charconv>
#include <vector>

namespace {

constexpr long long kMaxBaud = 4000000;

bool ParseNumber(const std::string& text, long long low, long long high, long long& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && error == std::errc() && end == text.data() + text.size() &&
           value >= low && value <= high;
}

std::vector<std::string> Split(const std::string& text)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t colon = text.find(':', start);
        parts.push_back(text.substr(start, colon - start));
        if (colon == std::string::npos)
            return parts;
        start = colon + 1;
    }
}

int KindOf(const char* name)
{
    const CLinkKind* kind = FindLinkKindByName(QString::fromLatin1(name));
    return kind != nullptr ? kind->nInterface : -1;
}

// "8N1", "7E2", "8N1.5": data bits, parity and stop bits.
bool ParseFraming(const std::string& text, LinkParams& params)
{
    if (text.size() < 3 || text[0] < '5' || text[0] > '8')
        return false;
    static const std::string kParities = "NOEMS";
    const std::size_t parity =
        kParities.find(char(std::toupper(static_cast<unsigned char>(text[1]))));
    if (parity == std::string::npos)
        return false;
    const std::string stop = text.substr(2);
    if (stop != "1" && stop != "1.5" && stop != "2")
        return false;
    params.nDataBits = text[0] - '0';
    params.nParity = int(parity);
    params.nStopBits = stop == "1" ? 0 : stop == "1.5" ? 1 : 2;
    return true;
}

bool ParseFlow(const std::string& text, LinkParams& params)
{
    static const char* const kFlows[] = {"none", "rtscts", "xonxoff"};
    for (int i = 0; i < 3; ++i) {
        if (text == kFlows[i]) {
            params.nFlowControl = i;
            return true;
        }
    }
    return false;
}

bool ParseSerial(const std::string& rest, LinkParams& params, std::string& strError)
{
    // A device's stable name may hold colons (/dev/serial/by-path/...-0:1.0-port0): the line
    // settings are taken from the end, as far as they read as such.
    std::vector<std::string> parts = Split(rest);
    std::vector<std::string> settings;
    while (parts.size() > 1 && settings.size() < 3) {
        const std::string& last = parts.back();
        long long number = 0;
        LinkParams probe;
        if (!ParseNumber(last, 0, kMaxBaud, number) && !ParseFraming(last, probe) &&
            !ParseFlow(last, probe))
            break;
        settings.insert(settings.begin(), last);
        parts.pop_back();
    }
    std::string device;
    for (std::size_t i = 0; i < parts.size(); ++i)
        device += (i > 0 ? ":" : "") + parts[i];
    if (device.empty()) {
        strError = "serial: names no device";
        return false;
    }
    // BAUD, FRAMING and FLOW, each where it belongs.
    std::size_t next = 0;
    long long baud = 0;
    if (next < settings.size() && ParseNumber(settings[next], 0, kMaxBaud, baud)) {
        if (baud < 50) {
            strError = "serial: the speed " + settings[next] + " is not a speed";
            return false;
        }
        params.nBaud = int(baud);
        ++next;
    }
    if (next < settings.size() && ParseFraming(settings[next], params))
        ++next;
    if (next < settings.size() && ParseFlow(settings[next], params))
        ++next;
    if (next != settings.size()) {
        strError = "serial: \"" + settings[next] +
                   "\" is out of place; the form is serial:DEVICE[:BAUD[:FRAMING[:FLOW]]]";
        return false;
    }
    params.nInterface = KindOf("serial");
    params.strPortName = QString::fromStdString(device);
    return true;
}

bool ParsePort(const std::string& text, const char* what, long long& port, std::string& strError)
{
    if (ParseNumber(text, kMinPortNumber, kMaxPortNumber, port))
        return true;
    strError = std::string(what) + " \"" + text + "\" is not a port number (1..65535)";
    return false;
}

bool IsLoopback(const std::string& address)
{
    return address == "localhost" || QHostAddress(QString::fromStdString(address)).isLoopback();
}

bool CheckListen(const std::string& address, const LinkAddressRules& rules, std::string& strError)
{
    if (QHostAddress(QString::fromStdString(address)).isNull() && address != "localhost") {
        strError = "\"" + address + "\" is not an address of this machine to listen on";
        return false;
    }
    if (rules.bListenAny || IsLoopback(address))
        return true;
    strError = "listening on " + address + " lets other machines in; give --listen-any to mean it";
    return false;
}

} // namespace

std::string LinkAddressForms()
{
    return "  serial:DEVICE[:BAUD[:FRAMING[:FLOW]]]\n"
           "                  a serial line: DEVICE a path (/dev/ttyUSB0) or COMn; BAUD in bits\n"
           "                  per second (9600); FRAMING data bits 5-8, parity N O E M S and\n"
           "                  stop bits 1 1.5 2 (8N1); FLOW none, rtscts or xonxoff (none)\n"
           "  tcp-listen:[ADDR:]PORT\n"
           "                  a TCP server on PORT of ADDR (127.0.0.1); every client connected\n"
           "                  gets what the other side receives\n"
           "  tcp:HOST:PORT   a TCP client of HOST:PORT\n"
           "  udp:LOCALPORT[:REMOTEHOST:REMOTEPORT]\n"
           "                  a UDP port on 127.0.0.1; sends to the remote, or without one to\n"
           "                  whoever sent last\n";
}

bool ParseLinkAddress(const std::string& text, const LinkAddressRules& rules, LinkParams& params,
                      std::string& strError)
{
    params = {};
    params.bAutoReconnect = rules.bReconnect;
    const std::size_t colon = text.find(':');
    const std::string scheme = text.substr(0, colon);
    const std::string rest = colon == std::string::npos ? std::string() : text.substr(colon + 1);
    if (scheme == "serial")
        return ParseSerial(rest, params, strError);
    if (scheme == "tcp-listen") {
        const std::size_t last = rest.rfind(':');
        std::string address = last == std::string::npos ? "127.0.0.1" : rest.substr(0, last);
        if (address == "localhost")
            address = "127.0.0.1";
        if (!ParsePort(last == std::string::npos ? rest : rest.substr(last + 1),
                       "tcp-listen:", params.nPort, strError) ||
            !CheckListen(address, rules, strError))
            return false;
        params.nInterface = KindOf("tcp");
        params.bServer = true;
        params.strLocalAddress = QString::fromStdString(address);
        return true;
    }
    if (scheme == "tcp") {
        const std::size_t last = rest.rfind(':');
        if (last == std::string::npos || last == 0) {
            strError = "tcp: takes HOST:PORT";
            return false;
        }
        if (!ParsePort(rest.substr(last + 1), "tcp:", params.nPort, strError))
            return false;
        params.nInterface = KindOf("tcp");
        params.strHost = QString::fromStdString(rest.substr(0, last));
        return true;
    }
    if (scheme == "udp") {
        const std::vector<std::string> parts = Split(rest);
        if (parts.size() != 1 && parts.size() != 3) {
            strError = "udp: takes LOCALPORT or LOCALPORT:REMOTEHOST:REMOTEPORT";
            return false;
        }
        if (!ParsePort(parts[0], "udp: local", params.nLocalPort, strError))
            return false;
        if (parts.size() == 3) {
            if (parts[1].empty()) {
                strError = "udp: names no remote host";
                return false;
            }
            if (!ParsePort(parts[2], "udp: remote", params.nPort, strError))
                return false;
            params.strHost = QString::fromStdString(parts[1]);
            // Bound to 127.0.0.1, the port cannot send to another machine either.
            if (!rules.bListenAny && !IsLoopback(parts[1])) {
                strError = "udp: a remote on another machine opens the port to other machines; "
                           "give --listen-any to mean it";
                return false;
            }
        }
        params.nInterface = KindOf("udp");
        params.strLocalAddress = rules.bListenAny ? QString() : QStringLiteral("127.0.0.1");
        return true;
    }
    strError = "\"" + text + "\" is no link address; give serial:, tcp-listen:, tcp: or udp:";
    return false;
}
