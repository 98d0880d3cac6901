#include "SendLineBytes.h"

#include "Checksums.h"
#include "TransmitText.h"

#include <cstring>

namespace {

tsl::TransmitBytes Translate(const QString& text, tsl::TextCodec codec)
{
    const QByteArray utf8 = text.toUtf8();
    return tsl::EncodeTransmitText(std::string_view(utf8.constData(), size_t(utf8.size())), codec);
}

bool IsHexDigit(char32_t c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

QString CharacterOf(const std::u32string& chars, qsizetype index)
{
    return index < qsizetype(chars.size())
               ? QString::fromStdU32String(chars.substr(size_t(index), 1))
               : QString();
}

// Where a text's notation goes wrong: the longest start of it that translates ends right before
// the faulty bracket. Only a bracket can start a fault (plain characters after a sound start keep
// it sound), so only starts that end before one are tried.
qsizetype NotationFault(const std::u32string& chars, tsl::TextCodec codec)
{
    for (size_t n = chars.size() - 1; n > 0 && n < chars.size(); --n) {
        if (chars[n] != U'<' && chars[n] != U'>')
            continue;
        if (!Translate(QString::fromStdU32String(chars.substr(0, n)), codec).bMalformed)
            return qsizetype(n);
    }
    return 0;
}

// Hexadecimal pairs as the notation writes them, so that the one translation computes the
// checksum tokens; -1, or the index of the first character that is neither.
qsizetype HexToNotation(const std::u32string& chars, std::string& notation)
{
    for (size_t i = 0; i < chars.size(); ++i) {
        const char32_t c = chars[i];
        if (c == ' ' || c == '\t')
            continue;
        if (IsHexDigit(c)) {
            if (i + 1 >= chars.size() || !IsHexDigit(chars[i + 1]))
                return qsizetype(i);
            notation += '<';
            notation += char(c);
            notation += char(chars[i + 1]);
            notation += '>';
            ++i;
            continue;
        }
        if (c != U'<')
            return qsizetype(i);
        std::string rest;
        for (size_t j = i + 1; j < chars.size() && chars[j] < 0x80 && rest.size() < 16; ++j)
            rest += char(chars[j]);
        const tsl::ChecksumToken* token = tsl::ChecksumTokenAt(rest);
        if (token == nullptr)
            return qsizetype(i);
        notation += '<';
        notation += token->name;
        notation += '>';
        i += std::strlen(token->name) + 1; // on its '>'
    }
    return -1;
}

} // namespace

QByteArray LineEndingBytes(LineEnding ending)
{
    switch (ending) {
    case LineEnding::None:
        break;
    case LineEnding::Cr:
        return QByteArrayLiteral("\r");
    case LineEnding::Lf:
        return QByteArrayLiteral("\n");
    case LineEnding::CrLf:
        return QByteArrayLiteral("\r\n");
    }
    return {};
}

SendLineBytes MakeSendLineBytes(const QString& line, SendLineMode mode, LineEnding ending,
                                tsl::TextCodec codec)
{
    SendLineBytes result;
    const std::u32string chars = line.toStdU32String();
    const auto refuse = [&](SendLineBytes::Fault fault, qsizetype index) {
        result.fault = fault;
        result.nColumn = int(index) + 1;
        result.character = CharacterOf(chars, index);
        return result;
    };
    tsl::TransmitBytes translated;
    if (mode == SendLineMode::Hex) {
        std::string notation;
        if (const qsizetype bad = HexToNotation(chars, notation); bad >= 0)
            return refuse(SendLineBytes::Fault::Hex, bad);
        translated = tsl::EncodeTransmitText(notation, tsl::TextCodec::Latin1);
    } else {
        translated = Translate(line, codec);
        if (translated.nUnencodable >= 0) {
            const QByteArray utf8 = line.toUtf8();
            return refuse(
                SendLineBytes::Fault::Unencodable,
                qsizetype(
                    QString::fromUtf8(utf8.left(translated.nUnencodable)).toStdU32String().size()));
        }
    }
    if (translated.bMalformed)
        return refuse(SendLineBytes::Fault::Notation, NotationFault(chars, codec));
    result.bytes = QByteArray::fromStdString(translated.bytes) + LineEndingBytes(ending);
    return result;
}
