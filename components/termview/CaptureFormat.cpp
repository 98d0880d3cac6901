#include "CaptureFormat.h"

#include <array>

namespace CaptureFormat {

namespace {
// The reflected CRC-32 of zip and PNG (polynomial 0xEDB88320), so common tools can check it.
constexpr std::array<uint32_t, 256> MakeCrcTable()
{
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}
constexpr std::array<uint32_t, 256> kCrcTable = MakeCrcTable();
} // namespace

uint32_t Crc32(const uint8_t* data, std::size_t n, uint32_t crc)
{
    crc = ~crc;
    for (std::size_t i = 0; i < n; ++i)
        crc = kCrcTable[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void PutLE(QByteArray& out, uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}

uint64_t GetLE(const char* in, int bytes)
{
    uint64_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value |= static_cast<uint64_t>(static_cast<uint8_t>(in[i])) << (8 * i);
    return value;
}

QByteArray EncodeHeader(int64_t createdMs)
{
    QByteArray out(kMagic, sizeof kMagic);
    PutLE(out, kVersion, 2);
    PutLE(out, kHeaderBytes, 2);
    PutLE(out, 0, 4); // flags, none defined yet
    PutLE(out, static_cast<uint64_t>(createdMs), 8);
    return out;
}

QByteArray EncodeRecord(int64_t timeMs, const uint8_t* bytes, const uint8_t* attrs, uint32_t n)
{
    QByteArray out;
    out.reserve(kRecordHeadBytes + 2 * static_cast<int>(n) + kRecordTailBytes);
    PutLE(out, static_cast<uint64_t>(timeMs), 8);
    PutLE(out, n, 4);
    out.append(reinterpret_cast<const char*>(bytes), n);
    out.append(reinterpret_cast<const char*>(attrs), n);
    const auto* raw = reinterpret_cast<const uint8_t*>(out.constData());
    PutLE(out, Crc32(raw, static_cast<std::size_t>(out.size())), 4);
    return out;
}

} // namespace CaptureFormat
