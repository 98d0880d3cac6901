#pragma once

#include <string>
#include <string_view>

// The control-code notation of texts: two hexadecimal digits in angle brackets stand for one
// byte ("<0D><0A>"), "<<" for a '<' and ">>" for a '>'. Scripts, the command list and the
// checksum calculator write bytes this way.
namespace tsl {

// Translates `length` characters of `source` into bytes at `dest` (never more bytes than
// characters, no NUL added). Returns the number of bytes, or -1 for malformed notation, with
// what was translated before the fault left in `dest`.
int TranslateString(const char* source, unsigned char* dest, int length);

// The byte that two hexadecimal digits name (either case); when the first is neither a digit
// nor a letter only the second counts.
unsigned char GetCode16(const char* two);

// Bytes written in the notation, as a person reads them back: printable ASCII as it stands (the
// brackets doubled), every other byte as a code. TranslateString gives the bytes back.
std::string WriteControlCodes(std::string_view bytes);

} // namespace tsl
