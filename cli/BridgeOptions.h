#pragma once

#include "Link.h"

#include <string>
#include <vector>

// The command line of tslbridge: two link addresses joined, with a capture and a log.
struct BridgeOptions
{
    std::string strA; // the link addresses as given
    std::string strB;
    LinkParams a;
    LinkParams b;
    std::string strCapture; // a capture file of both directions
    bool bLog = false;      // a line per chunk on standard output
    bool bListenAny = false;
    bool bReconnect = true;
    bool bHelp = false;
    bool bVersion = false;
};

namespace BridgeExit {
inline constexpr int kFailed = 1; // a side or the capture cannot be used
inline constexpr int kUsage = 2;
} // namespace BridgeExit

bool ParseBridgeOptions(const std::vector<std::string>& arguments, BridgeOptions& options,
                        std::string& strError);
std::string BridgeUsage();
