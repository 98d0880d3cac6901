#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>
#include <optional>

// The reductions the checksum calculator offers, numbered as its radio buttons: its first five,
// then the checksums a command row appends with a token (Checksums.h).
enum class CheckSumMethod : int
{
    Xor = 0,
    And = 1,
    Or = 2,
    Sum = 3,
    Crc16 = 4,
    Crc16Ccitt = 5,
    Crc32 = 6,
    Sum8 = 7,
    Xor8 = 8,
    Lrc = 9,
};
inline constexpr int kCheckSumMethodCount = 10;

// A checksum result as the calculator shows it.
struct CheckSumTexts
{
    QString hex;
    QString dec;
    QString bin;
    QString ascii;
};

// Reduces n bytes to one value: XOR, AND and OR of the unsigned bytes, SUM of the bytes taken as
// signed 8-bit numbers, CRC-16/MODBUS, or one of the token checksums (CRC-32 as its 32 bits).
int32_t CalcCheckSum(CheckSumMethod method, const unsigned char* bytes, int n);

// The bytes a calculator input stands for: line breaks removed, then the control-code notation
// translated; nothing when the notation is malformed.
std::optional<QByteArray> CheckSumInputBytes(QStringView input);

// Hex "%08x", decimal "%08d" ("%08u" for CRC-32, which is no signed number), character "%08c" (a
// low byte of 0 ends the text) and binary grouped by 8: as many digits as the method's value has
// bits (32 for XOR, AND, OR and SUM).
// The radio buttons' labels, in the order of CheckSumMethod.
QStringList CheckSumMethodNames();

CheckSumTexts FormatCheckSum(CheckSumMethod method, int32_t r);
