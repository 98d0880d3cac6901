#pragma once

#include <cstdint>

// Name of a control code as the control-code panel labels it (NUL ... US, and DEL for 0x7F);
// null for any other byte.
const char* ControlCodeName(uint8_t b);

inline bool IsControlCode(uint8_t b)
{
    return b < 0x20 || b == 0x7F;
}
