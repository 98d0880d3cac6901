#pragma once

#include <cstdint>

// Little-endian loads and stores for the shared tag table, whatever the host byte order.
namespace SharedTable {

inline uint16_t LoadLe16(const unsigned char* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

inline uint32_t LoadLe32(const unsigned char* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

inline void StoreLe16(unsigned char* p, uint16_t v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

inline void StoreLe32(unsigned char* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

} // namespace SharedTable
