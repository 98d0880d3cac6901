#include "ControlCodes.h"

namespace tsl {
namespace {

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

} // namespace

unsigned char GetCode16(const char* two)
{
    auto digit = [](char c) -> int {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'Z')
            return c - 'A' + 10;
        return 0;
    };
    return static_cast<unsigned char>(digit(two[0]) * 16 + digit(two[1]));
}

int TranslateString(const char* source, unsigned char* dest, int length)
{
    int written = 0;
    bool inCode = false;
    char digits[2] = {};
    int digitCount = 0;
    for (int i = 0; i < length; ++i) {
        const char c = source[i];
        const char next = i + 1 < length ? source[i + 1] : '\0';
        if (c == '<' && next == '<') {
            dest[written++] = '<';
            ++i;
        } else if (!inCode) {
            if (c == '<') {
                inCode = true;
                digitCount = 0;
            } else if (c == '>') {
                if (next != '>')
                    return -1; // a lone '>' outside a code
                dest[written++] = '>';
                ++i;
            } else {
                dest[written++] = static_cast<unsigned char>(c);
            }
        } else if (IsHexDigit(c)) {
            if (digitCount == 2)
                return -1; // a third digit
            digits[digitCount++] = c;
        } else if (c == '>' && digitCount == 2) {
            dest[written++] = GetCode16(digits);
            inCode = false;
        } else {
            return -1;
        }
    }
    return inCode ? -1 : written;
}

std::string WriteControlCodes(std::string_view bytes)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '<' || c == '>') {
            out += c;
            out += c;
        } else if (byte >= 0x20 && byte < 0x7F) {
            out += c;
        } else {
            out += '<';
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
            out += '>';
        }
    }
    return out;
}

} // namespace tsl
