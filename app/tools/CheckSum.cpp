#include "CheckSum.h"

#include "ControlCodes.h"
#include "ToolsConstants.h"

#include <QByteArray>

namespace {

constexpr uint16_t kCrc16Init = 0xFFFF;
constexpr uint16_t kCrc16Polynomial = 0xA001; // 0x8005 bit-reversed

uint16_t Crc16(const unsigned char* bytes, int n)
{
    uint16_t crc = kCrc16Init;
    for (int i = 0; i < n; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ kCrc16Polynomial)
                            : static_cast<uint16_t>(crc >> 1);
    }
    return crc;
}

QString BinaryText(uint32_t value, int digits)
{
    QString text;
    for (int bit = digits - 1; bit >= 0; --bit) {
        text += (value >> bit) & 1 ? QLatin1Char('1') : QLatin1Char('0');
        if (bit > 0 && bit % kCheckSumBinaryGroupDigits == 0)
            text += QLatin1Char(' ');
    }
    return text;
}

} // namespace

int32_t CalcCheckSum(CheckSumMethod method, const unsigned char* bytes, int n)
{
    switch (method) {
    case CheckSumMethod::Xor: {
        int32_t r = 0;
        for (int i = 0; i < n; ++i)
            r ^= bytes[i];
        return r;
    }
    case CheckSumMethod::And: {
        if (n == 0)
            return 0;
        int32_t r = bytes[0];
        for (int i = 1; i < n; ++i)
            r &= bytes[i];
        return r;
    }
    case CheckSumMethod::Or: {
        int32_t r = 0;
        for (int i = 0; i < n; ++i)
            r |= bytes[i];
        return r;
    }
    case CheckSumMethod::Sum: {
        // Wraps as a 32-bit register would; only inputs far beyond the box's limit reach it.
        uint32_t r = 0;
        for (int i = 0; i < n; ++i)
            r += static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(bytes[i])));
        return static_cast<int32_t>(r);
    }
    case CheckSumMethod::Crc16:
        return Crc16(bytes, n);
    }
    return 0;
}

std::optional<QByteArray> CheckSumInputBytes(QStringView input)
{
    QByteArray source = input.toUtf8();
    source.removeIf([](char c) { return c == '\r' || c == '\n'; });
    // The translation never writes more bytes than its source has.
    QByteArray bytes(source.size(), '\0');
    const int n =
        tsl::TranslateString(source.constData(), reinterpret_cast<unsigned char*>(bytes.data()),
                             static_cast<int>(source.size()));
    if (n < 0)
        return std::nullopt;
    bytes.truncate(n);
    return bytes;
}

CheckSumTexts FormatCheckSum(CheckSumMethod method, int32_t r)
{
    CheckSumTexts texts;
    texts.hex = QString::asprintf("%08x", static_cast<uint32_t>(r));
    texts.dec = QString::asprintf("%08d", r);
    texts.ascii = QString(7, QLatin1Char('0'));
    const unsigned char low = static_cast<unsigned char>(r & 0xFF);
    if (low != 0)
        texts.ascii += QChar::fromLatin1(static_cast<char>(low));
    texts.bin = BinaryText(static_cast<uint32_t>(r), method == CheckSumMethod::Crc16 ? 16 : 32);
    return texts;
}
