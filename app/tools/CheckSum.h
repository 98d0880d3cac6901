#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

// The reductions the checksum calculator offers, numbered as its radio buttons.
enum class CheckSumMethod : int
{
    Xor = 0,
    And = 1,
    Or = 2,
    Sum = 3,
    Crc16 = 4,
};

// A checksum result as the calculator shows it.
struct CheckSumTexts
{
    QString hex;
    QString dec;
    QString bin;
    QString ascii;
};

// Reduces n bytes to one value: XOR, AND and OR of the unsigned bytes, SUM of the bytes taken as
// signed 8-bit numbers, or CRC-16/MODBUS.
int32_t CalcCheckSum(CheckSumMethod method, const unsigned char* bytes, int n);

// The bytes a calculator input stands for: line breaks removed, then the control-code notation
// translated; nothing when the notation is malformed.
std::optional<QByteArray> CheckSumInputBytes(QStringView input);

// Hex "%08x", decimal "%08d", character "%08c" (a low byte of 0 ends the text) and binary,
// 32 digits (16 for CRC16) grouped by 8.
CheckSumTexts FormatCheckSum(CheckSumMethod method, int32_t r);
