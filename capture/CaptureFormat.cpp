#include "CaptureFormat.h"

#include <array>

namespace CaptureFormat {

namespace {
// The reflected CRC-32 of zip and PNG (polynomial 0xEDB88320), so common tools can check it.
// Eight tables, so that eight bytes go at a time: a reader checks every record it reads.
using CrcTables = std::array<std::array<uint32_t, 256>, 8>;

constexpr CrcTables MakeCrcTables()
{
    CrcTables tables{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        tables[0][i] = c;
    }
    for (std::size_t t = 1; t < tables.size(); ++t) {
        for (uint32_t i = 0; i < 256; ++i)
            tables[t][i] = (tables[t - 1][i] >> 8) ^ tables[0][tables[t - 1][i] & 0xFF];
    }
    return tables;
}
constexpr CrcTables kCrcTables = MakeCrcTables();

uint32_t Load32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
} // namespace

uint32_t Crc32(const uint8_t* data, std::size_t n, uint32_t crc)
{
    const auto& t = kCrcTables;
    crc = ~crc;
    for (; n >= 8; n -= 8, data += 8) {
        const uint32_t lo = crc ^ Load32(data);
        const uint32_t hi = Load32(data + 4);
        crc = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^
              t[3][hi & 0xFF] ^ t[2][(hi >> 8) & 0xFF] ^ t[1][(hi >> 16) & 0xFF] ^ t[0][hi >> 24];
    }
    for (; n > 0; --n, ++data)
        crc = t[0][(crc ^ *data) & 0xFF] ^ (crc >> 8);
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
