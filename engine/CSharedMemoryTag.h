#pragma once

#include <cstdint>
#include <vector>

// The head of a tag value: its type and data length. The data follows the 36-byte head.
struct CSharedMemoryTag
{
    enum Type : uint8_t
    {
        kByte = 1,
        kInteger = 2,
        kFloat = 3,
        kText = 4
    };

    uint8_t nType = 0;
    uint16_t nDataLength = 0;

    // False when the value is shorter than its head plus the data length the head announces.
    static bool Read(const unsigned char* value, uint32_t valueSize, CSharedMemoryTag& tag);
    // A value with this head and zeroed data.
    std::vector<unsigned char> MakeValue() const;
};
