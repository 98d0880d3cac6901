#pragma once

#include <string>
#include <vector>

// The command line of tslsim, the device that answers by reply rules.
struct SimOptions
{
    enum class Endpoint
    {
        None,
        Pty,    // a new pseudo-terminal pair: the program under test opens the printed path
        Tcp,    // a TCP server
        Udp,    // a UDP port
        Serial, // the device end of a real serial line
    };

    std::string strRules; // the rule file
    Endpoint endpoint = Endpoint::None;
    std::string strLink;    // a stable name for the pty, a symbolic link
    std::string strAddress; // TCP and UDP: the address to bind, 127.0.0.1 unless given
    int nPort = 0;
    std::string strDevice; // --serial
    int nBaud = 9600;
    std::string unmatchedReply; // bytes sent for input no rule answers, if any
    bool bUnmatchedReply = false;
    double speed = 1.0; // delays divided by this; 0 answers at once
    int nQuietMs = 200; // a request still not whole after this much silence is unmatched
    bool bHelp = false;
    bool bVersion = false;
};

namespace SimExit {
inline constexpr int kRuleErrors = 1;
inline constexpr int kUnusable = 2; // the rule file, the port or the device cannot be used
inline constexpr int kUsage = 64;
} // namespace SimExit

bool ParseSimOptions(const std::vector<std::string>& arguments, SimOptions& options,
                     std::string& strError);
std::string SimUsage();
