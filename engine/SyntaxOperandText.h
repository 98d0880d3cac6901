#pragma once

#include <cstddef>

// How the verifier reads the text of one operand: the first-character tests by which the
// commands tell names, numbers and quoted texts apart, and the number forms they accept.
namespace tsl::syntax {

// Begins with A to Z, so the commands read it as a name or an element.
bool BeginsWithUpper(const char* text);
bool BeginsWithDigit(const char* text);
bool BeginsWithQuote(const char* text);

// At least `minLength` characters and a double quote last.
bool EndsWithQuote(const char* text, size_t minLength);

// A value operand that is not a name: a leading sign accepts anything after it; a final H
// wants hexadecimal digits 0-9 A-F before it, a final B only 0 and 1; any other text a digit
// first and then only digits and points. A quoted text is not tested here and passes.
bool IsValueNumber(const char* text);

} // namespace tsl::syntax
