#pragma once

#include <cstdint>

// Reading numbers written as text, the way the language reads them, independent of the
// process locale (a desktop program may run under a locale whose decimal point is a comma).
namespace tsl {

// A decimal floating value: leading blanks, sign, digits, fraction, exponent; reading stops at
// the first character that cannot continue the number; no digits gives 0.
double ReadDecimal(const char* text);

// A decimal integer: leading blanks, sign, digits; clamped to the 32-bit range.
int32_t ReadInteger(const char* text);

// A number written with the H (hexadecimal) or B (binary) suffix: the digits from the last but
// one character back to the first, each counting its code less '0' (A to F count 10 to 15 in
// hexadecimal); a 32-bit value, 0 for a text of fewer than two characters.
int32_t ReadHexadecimal(const char* text);
int32_t ReadBinary(const char* text);

// The value stored into a 32-bit integer: truncated toward zero, wrapped modulo 2^32
// (0 for a value that is not a number or infinite).
int32_t WrapToInt32(double value);

// A count: truncated toward zero and clamped to the 32-bit range (0 for not a number).
int32_t ClampToInt32(double value);

// The element index that a value names: truncated toward zero; -1 when out of range.
int32_t ToIndex(double value);

} // namespace tsl
