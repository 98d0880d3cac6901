#pragma once

#include "CSharedMemoryTag.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Tag types and values as the tsltable command line spells them.
namespace TagValueText {

// The type code of "byte", "int", "float" or "text"; 0 for any other word.
uint8_t ParseType(std::string_view name);
// The word for a type code, or "type N" for a code this system does not know.
std::string TypeName(uint8_t type);
// Reads the data length given for a new tag of `type`; empty when it suits the type, else the
// reason it does not.
std::string ParseLength(uint8_t type, std::string_view text, uint16_t& length);
// Turns `text` into exactly tag.nDataLength bytes of data; empty on success, else the reason.
std::string Encode(const CSharedMemoryTag& tag, std::string_view text,
                   std::vector<unsigned char>& data);
// Byte and integer values in decimal, floats with %g, text up to its first NUL. With
// `oneLine`, a text is escaped for the terminal as a listing's field (tab and newline too), so
// the value stays on one line.
std::string Format(const CSharedMemoryTag& tag, const unsigned char* data, bool oneLine);

} // namespace TagValueText
