#pragma once

#include <cstdint>

// Link settings of a script: filled by the verifier from the OPEN lines, opened by the serial
// port. Byte-packed and copied whole, so its layout is part of the library's interface.
#pragma pack(push, 1)
struct COMM
{
    int32_t nMedia = 0;      // 0 unset, 1 RS232C, 2 TCP, 3 UDP
    char szIP[20] = {};      // peer address text
    char szPort[6] = {};     // serial port name, or the TCP/UDP port as decimal text
    int32_t nBaudRate = -1;  // index into kBaudRates
    int32_t nDataBit = -1;   // 0 = 7 bits, 1 = 8 bits
    int32_t nParityBit = -1; // 0 none, 1 odd, 2 even
    int32_t nStopBit = -1;   // 0 one, 1 one and a half, 2 two
    // Added after the first 46 bytes, whose layout stays as it was.
    int32_t nFlowControl = -1; // FLOW_*, or -1 when unset (none)
    int32_t nLocalPort = 0;    // UDP: the port to receive on; 0 = the same number as szPort
};
#pragma pack(pop)
static_assert(sizeof(COMM) == 54, "COMM is byte-packed");

enum : int32_t
{
    MEDIA_RS232C = 1,
    MEDIA_TCP = 2,
    MEDIA_UDP = 3,
};

// Flow control of a serial link, as OPEN FLOW_CONTROL names it.
enum : int32_t
{
    FLOW_NONE = 0,
    FLOW_RTSCTS = 1,
    FLOW_XONXOFF = 2,
};
inline constexpr int kFlowControlCount = 3;
inline constexpr const char* kFlowControlTexts[kFlowControlCount] = {"NONE", "RTSCTS", "XONXOFF"};

// The fifteen rates that a COMM baud index names, as the OPEN lines write them.
inline constexpr int kBaudRateCount = 15;
inline constexpr const char* kBaudRateTexts[kBaudRateCount] = {
    "110",   "300",   "600",   "1200",  "2400",   "4800",   "9600",  "14400",
    "19200", "38400", "56000", "57600", "115200", "128000", "256000"};
inline constexpr int kBaudRates[kBaudRateCount] = {110,   300,   600,    1200,   2400,
                                                   4800,  9600,  14400,  19200,  38400,
                                                   56000, 57600, 115200, 128000, 256000};
