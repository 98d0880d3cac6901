#include "BridgeOptions.h"

#include "LinkAddress.h"

std::string BridgeUsage()
{
    return "Usage: tslbridge [options] A B\n"
           "Joins two links: what A receives is sent on B and what B receives on A, as it\n"
           "arrives, byte for byte. A side that goes away leaves the other open and is opened\n"
           "again (every 0.5 s, doubling up to 10 s), as is one that does not open at the start;\n"
           "what arrives meanwhile is counted as not forwarded. A side that cannot take data\n"
           "holds the other: it is not read until there is room again, so nothing is dropped\n"
           "and nothing piles up.\n"
           "\n"
           "A and B are link addresses:\n" +
           LinkAddressForms() +
           "\n"
           "  --capture FILE  record both directions into the capture file FILE (*.tvn), each\n"
           "                  byte marked A->B or B->A; tarven shows and replays it\n"
           "  --log           write a line per chunk on standard output: time, direction,\n"
           "                  count and the bytes in the control-code notation (<0D><0A>)\n"
           "  --listen-any    allow a server or a UDP port on an address other than 127.0.0.1\n"
           "  --no-reconnect  a side that goes away or does not open stays closed\n"
           "  --help, --version\n"
           "\n"
           "Notices (a side opened, lost, back; a client came or went) go to standard error;\n"
           "SIGINT or SIGTERM ends the bridge, with the counts of each direction.\n"
           "\n"
           "Exit status: 0 stopped by SIGINT or SIGTERM; 1 a side or the capture file cannot be\n"
           "used; 2 usage error.\n";
}

bool ParseBridgeOptions(const std::vector<std::string>& arguments, BridgeOptions& options,
                        std::string& strError)
{
    std::vector<std::string> sides;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (a == "--help" || a == "-h") {
            options.bHelp = true;
            return true;
        }
        if (a == "--version") {
            options.bVersion = true;
            return true;
        }
        if (a == "--capture") {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
                strError = "--capture takes a file";
                return false;
            }
            options.strCapture = arguments[++i];
        } else if (a == "--log") {
            options.bLog = true;
        } else if (a == "--listen-any") {
            options.bListenAny = true;
        } else if (a == "--no-reconnect") {
            options.bReconnect = false;
        } else if (a.size() > 1 && a[0] == '-') {
            strError = "unknown option " + a;
            return false;
        } else {
            sides.push_back(a);
        }
    }
    if (sides.size() != 2) {
        strError = sides.size() < 2
                       ? "give two link addresses, A and B"
                       : "give two link addresses, not " + std::to_string(sides.size());
        return false;
    }
    const LinkAddressRules rules{options.bListenAny, options.bReconnect};
    options.strA = sides[0];
    options.strB = sides[1];
    if (!ParseLinkAddress(options.strA, rules, options.a, strError)) {
        strError = "A: " + strError;
        return false;
    }
    if (!ParseLinkAddress(options.strB, rules, options.b, strError)) {
        strError = "B: " + strError;
        return false;
    }
    return true;
}
