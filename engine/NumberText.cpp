#include "NumberText.h"

#include <cctype>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <string>

namespace tsl {
namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Digits of a suffixed number, read from the last but one character back to the first.
int32_t SuffixedValue(const char* text, uint32_t base)
{
    const size_t length = std::strlen(text);
    if (length < 2)
        return 0;
    uint32_t value = 0;
    uint32_t weight = 1;
    for (size_t i = length - 1; i-- > 0;) {
        const char c = text[i];
        const uint32_t digit =
            base == 16 && c >= 'A' && c <= 'F' ? uint32_t(c - 'A' + 10) : uint32_t(c - '0');
        value += digit * weight;
        weight *= base;
    }
    return static_cast<int32_t>(value);
}

locale_t CLocale()
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

} // namespace

double ReadDecimal(const char* text)
{
    const char* p = text;
    while (IsBlank(*p))
        ++p;
    // Collect exactly the decimal form, so that hexadecimal floats, "inf" and "nan" are not read.
    std::string number;
    if (*p == '+' || *p == '-')
        number += *p++;
    bool digits = false;
    while (IsDigit(*p)) {
        number += *p++;
        digits = true;
    }
    if (*p == '.') {
        number += *p++;
        while (IsDigit(*p)) {
            number += *p++;
            digits = true;
        }
    }
    if (!digits)
        return 0;
    if (*p == 'e' || *p == 'E') {
        const char* q = p + 1;
        if (*q == '+' || *q == '-')
            ++q;
        if (IsDigit(*q)) {
            while (p < q)
                number += *p++;
            while (IsDigit(*p))
                number += *p++;
        }
    }
    return strtod_l(number.c_str(), nullptr, CLocale());
}

int32_t ReadInteger(const char* text)
{
    const char* p = text;
    while (IsBlank(*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    int64_t value = 0;
    while (IsDigit(*p)) {
        value = value * 10 + (*p++ - '0');
        if (value > int64_t(INT32_MAX) + 1)
            value = int64_t(INT32_MAX) + 1;
    }
    if (negative)
        value = -value;
    if (value > INT32_MAX)
        value = INT32_MAX;
    return static_cast<int32_t>(value);
}

int32_t ReadHexadecimal(const char* text)
{
    return SuffixedValue(text, 16);
}

int32_t ReadBinary(const char* text)
{
    return SuffixedValue(text, 2);
}

int32_t WrapToInt32(double value)
{
    // The conversion truncates toward zero; the common case needs nothing more.
    if (value > -2147483649.0 && value < 2147483648.0)
        return static_cast<int32_t>(value);
    if (!std::isfinite(value))
        return 0;
    const double truncated = std::trunc(value);
    const double wrapped = std::fmod(truncated, 4294967296.0); // exact for every double
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(wrapped)));
}

int32_t ClampToInt32(double value)
{
    if (std::isnan(value))
        return 0;
    if (value <= INT32_MIN)
        return INT32_MIN;
    if (value >= INT32_MAX)
        return INT32_MAX;
    return static_cast<int32_t>(value);
}

int32_t ToIndex(double value)
{
    if (!(value > -1.0 && value < 2147483648.0))
        return -1;
    return static_cast<int32_t>(value);
}

} // namespace tsl
