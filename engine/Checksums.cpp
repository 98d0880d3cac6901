#include "Checksums.h"

#include <array>

namespace tsl {
namespace {

constexpr std::array<ChecksumToken, 6> kTokens = {{
    {ChecksumKind::Crc16, "CRC16", 2, true},
    {ChecksumKind::Crc16Ccitt, "CRC16CCITT", 2, false},
    {ChecksumKind::Crc32, "CRC32", 4, true},
    {ChecksumKind::Sum8, "SUM8", 1, true},
    {ChecksumKind::Xor8, "XOR8", 1, true},
    {ChecksumKind::Lrc, "LRC", 1, true},
}};

constexpr std::uint16_t kCrc16ModbusPolynomial = 0xA001; // 0x8005 bit-reversed
constexpr std::uint16_t kCrc16CcittPolynomial = 0x1021;
constexpr std::uint32_t kCrc32Polynomial = 0xEDB88320; // 0x04C11DB7 bit-reversed

std::uint16_t Crc16Modbus(const unsigned char* bytes, std::size_t n)
{
    std::uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i < n; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ kCrc16ModbusPolynomial)
                            : static_cast<std::uint16_t>(crc >> 1);
    }
    return crc;
}

std::uint16_t Crc16CcittFalse(const unsigned char* bytes, std::size_t n)
{
    std::uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i < n; ++i) {
        crc ^= static_cast<std::uint16_t>(bytes[i] << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? static_cast<std::uint16_t>((crc << 1) ^ kCrc16CcittPolynomial)
                                 : static_cast<std::uint16_t>(crc << 1);
    }
    return crc;
}

std::uint32_t Crc32(const unsigned char* bytes, std::size_t n)
{
    std::uint32_t crc = 0xFFFFFFFF;
    for (std::size_t i = 0; i < n; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? (crc >> 1) ^ kCrc32Polynomial : crc >> 1;
    }
    return ~crc;
}

std::uint8_t Sum8(const unsigned char* bytes, std::size_t n)
{
    unsigned sum = 0;
    for (std::size_t i = 0; i < n; ++i)
        sum += bytes[i];
    return static_cast<std::uint8_t>(sum);
}

} // namespace

std::span<const ChecksumToken> ChecksumTokens()
{
    return kTokens;
}

const ChecksumToken* ChecksumTokenAt(std::string_view rest)
{
    for (const ChecksumToken& token : kTokens) {
        const std::string_view name = token.name;
        if (rest.size() > name.size() && rest.substr(0, name.size()) == name &&
            rest[name.size()] == '>')
            return &token;
    }
    return nullptr;
}

std::uint32_t ComputeChecksum(ChecksumKind kind, const unsigned char* bytes, std::size_t n)
{
    switch (kind) {
    case ChecksumKind::Crc16:
        return Crc16Modbus(bytes, n);
    case ChecksumKind::Crc16Ccitt:
        return Crc16CcittFalse(bytes, n);
    case ChecksumKind::Crc32:
        return Crc32(bytes, n);
    case ChecksumKind::Sum8:
        return Sum8(bytes, n);
    case ChecksumKind::Xor8: {
        std::uint8_t x = 0;
        for (std::size_t i = 0; i < n; ++i)
            x ^= bytes[i];
        return x;
    }
    case ChecksumKind::Lrc:
        return static_cast<std::uint8_t>(-Sum8(bytes, n));
    }
    return 0;
}

int WriteChecksum(const ChecksumToken& token, unsigned char* dest, std::size_t n)
{
    const std::uint32_t value = ComputeChecksum(token.kind, dest, n);
    for (int i = 0; i < token.nBytes; ++i) {
        const int shift = 8 * (token.bLowByteFirst ? i : token.nBytes - 1 - i);
        dest[n + static_cast<std::size_t>(i)] = static_cast<unsigned char>(value >> shift);
    }
    return token.nBytes;
}

} // namespace tsl
