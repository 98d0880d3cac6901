#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A byte sequence whose every stretch tells where it stands: byte i is i mod a prime, so a lost,
// repeated or misplaced block always breaks it (unless it is a multiple of the prime long).
inline constexpr int kBytePatternPeriod = 251;

// n bytes of the sequence from position from on.
inline std::string BytePattern(uint64_t from, std::size_t n)
{
    std::string bytes(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<char>((from + i) % kBytePatternPeriod);
    return bytes;
}
