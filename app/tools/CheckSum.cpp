#include "CheckSum.h"

#include "Checksums.h"
#include "ControlCodes.h"
#include "ToolsConstants.h"

#include <QByteArray>

#include <utility>

namespace {

constexpr const char* kSeedMethodNames[] = {"XOR", "AND", "OR", "SUM", "CRC16"};

// The methods after the seed ones are the checksums of the command rows' tokens, and CRC16 is
// the token "<CRC16>" too.
constexpr std::pair<CheckSumMethod, tsl::ChecksumKind> kTokenMethods[] = {
    {CheckSumMethod::Crc16, tsl::ChecksumKind::Crc16},
    {CheckSumMethod::Crc16Ccitt, tsl::ChecksumKind::Crc16Ccitt},
    {CheckSumMethod::Crc32, tsl::ChecksumKind::Crc32},
    {CheckSumMethod::Sum8, tsl::ChecksumKind::Sum8},
    {CheckSumMethod::Xor8, tsl::ChecksumKind::Xor8},
    {CheckSumMethod::Lrc, tsl::ChecksumKind::Lrc},
};

const tsl::ChecksumToken* Token(CheckSumMethod method)
{
    for (const auto& [tokenMethod, kind] : kTokenMethods) {
        if (tokenMethod != method)
            continue;
        for (const tsl::ChecksumToken& token : tsl::ChecksumTokens())
            if (token.kind == kind)
                return &token;
    }
    return nullptr;
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
    default:
        break;
    }
    const tsl::ChecksumToken* token = Token(method);
    return token != nullptr ? static_cast<int32_t>(tsl::ComputeChecksum(
                                  token->kind, bytes, n > 0 ? static_cast<size_t>(n) : 0))
                            : 0;
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
    texts.dec = method == CheckSumMethod::Crc32
                    ? QString::asprintf("%08u", static_cast<uint32_t>(r))
                    : QString::asprintf("%08d", r);
    texts.ascii = QString(7, QLatin1Char('0'));
    const unsigned char low = static_cast<unsigned char>(r & 0xFF);
    if (low != 0)
        texts.ascii += QChar::fromLatin1(static_cast<char>(low));
    const tsl::ChecksumToken* token = Token(method);
    texts.bin = BinaryText(static_cast<uint32_t>(r), token != nullptr ? 8 * token->nBytes : 32);
    return texts;
}

QStringList CheckSumMethodNames()
{
    QStringList names;
    for (const char* name : kSeedMethodNames)
        names << QString::fromLatin1(name);
    for (int method = static_cast<int>(std::size(kSeedMethodNames)); method < kCheckSumMethodCount;
         ++method)
        names << QString::fromLatin1(Token(static_cast<CheckSumMethod>(method))->name);
    return names;
}
