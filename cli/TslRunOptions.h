#pragma once

#include <cstdint>
#include <optional>
#include <string>

// What the command line of tslrun asks for.
struct TslRunOptions
{
    std::string strScript;
    bool bCheckOnly = false;
    std::string strPort; // serial device instead of the script's PORT
    std::string strHost; // TCP peer instead of the script's IP and PORT
    uint16_t nHostPort = 0;
    std::optional<double> seconds;
    uint64_t nPasses = 0; // 0: no limit
    bool bSyncExit = false;
    bool bEcho = false;
    bool bHelp = false;
    bool bVersion = false;
};

// Reads the arguments; false with a message for the user when they make no sense.
bool ParseTslRunOptions(int argc, char** argv, TslRunOptions& options, std::string& strError);

extern const char* const kTslRunUsage;
