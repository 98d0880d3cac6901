#include "ControlCodeNames.h"

namespace {
const char* const kNames[32] = {"NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL",
                                "BS",  "HT",  "LF",  "VT",  "FF",  "CR",  "SO",  "SI",
                                "DLE", "DC1", "DC2", "DC3", "DC4", "NAK", "SYN", "ETB",
                                "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};
} // namespace

const char* ControlCodeName(uint8_t b)
{
    if (b < 0x20)
        return kNames[b];
    return b == 0x7F ? "DEL" : nullptr;
}
