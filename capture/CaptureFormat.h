#pragma once

#include <QByteArray>
#include <cstddef>
#include <cstdint>

// Byte layout of capture files (*.tvn); docs/capture-format.md describes it for other readers.
namespace CaptureFormat {

inline constexpr char kMagic[8] = {'\x89', 'T', 'V', 'N', '\r', '\n', '\x1A', '\n'};
inline constexpr uint16_t kVersion = 1;
// Magic, version, header size, flags, creation time.
inline constexpr int kHeaderBytes = 24;
// Record: time (int64), byte count (uint32), the bytes, their attributes, CRC-32.
inline constexpr int kRecordHeadBytes = 12;
inline constexpr int kRecordTailBytes = 4;
// A record that claims more is damaged; writers stay far below it.
inline constexpr uint32_t kMaxRecordBytes = 1u << 20;

uint32_t Crc32(const uint8_t* data, std::size_t n, uint32_t crc = 0);

void PutLE(QByteArray& out, uint64_t value, int bytes);
uint64_t GetLE(const char* in, int bytes);

QByteArray EncodeHeader(int64_t createdMs);
QByteArray EncodeRecord(int64_t timeMs, const uint8_t* bytes, const uint8_t* attrs, uint32_t n);

} // namespace CaptureFormat
