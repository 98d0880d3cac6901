#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

// The checksums a command row appends with a token such as "<CRC16>" and the checksum
// calculator shows: one implementation for both, with the byte order each goes out in.
namespace tsl {

enum class ChecksumKind : std::uint8_t
{
    Crc16,      // CRC-16/MODBUS: reflected 0x8005, init 0xFFFF, no final XOR
    Crc16Ccitt, // CRC-16/CCITT-FALSE: 0x1021, init 0xFFFF, not reflected, no final XOR
    Crc32,      // CRC-32 (IEEE 802.3, zip): reflected 0x04C11DB7, init and final XOR 0xFFFFFFFF
    Sum8,       // sum of the bytes modulo 256
    Xor8,       // XOR of the bytes
    Lrc,        // two's complement of the 8-bit sum (Modbus ASCII): the bytes and it sum to 0
};

struct ChecksumToken
{
    ChecksumKind kind;
    const char* name; // between the brackets, upper case only: "<CRC16>"
    int nBytes;       // bytes it appends
    // A reflected CRC goes least significant byte first (Modbus RTU, Ethernet, zip); CCITT-FALSE
    // most significant first, as the protocols that use it send it.
    bool bLowByteFirst;
};

// Every token, in the order the calculator lists them.
std::span<const ChecksumToken> ChecksumTokens();

// The token whose NAME and '>' begin `rest`, the text after a '<'; null when none does.
const ChecksumToken* ChecksumTokenAt(std::string_view rest);

std::uint32_t ComputeChecksum(ChecksumKind kind, const unsigned char* bytes, std::size_t n);

// Writes the checksum of the bytes before dest[n] at dest[n], in the token's byte order, and
// returns how many bytes that took (the token's nBytes).
int WriteChecksum(const ChecksumToken& token, unsigned char* dest, std::size_t n);

} // namespace tsl
