#pragma once

#include "TextCodec.h"

#include <cstddef>
#include <string>
#include <string_view>

// Transmit texts, as a command row or a send line holds them: the control-code notation of
// scripts ("AT<0D><0A>", "<<" and ">>" for the brackets) plus checksum tokens that append the
// checksum of every byte before them from the start of the text: "<01><03><00><00><00><0A><CRC16>"
// is a whole Modbus RTU request. The tokens are upper case only: "<CRC16>", "<CRC16CCITT>",
// "<CRC32>", "<SUM8>", "<XOR8>", "<LRC>" (byte orders in Checksums.h). Scripts do not take them:
// their strings keep the plain notation of TranslateString.
namespace tsl {

// Translates `length` characters of `source` into bytes at `dest`, which needs room for `length`
// bytes (no token writes more bytes than its own text has). Returns the number of bytes, or -1
// for malformed notation.
int TranslateTransmitText(const char* source, unsigned char* dest, int length);

struct TransmitBytes
{
    std::string bytes;
    bool bMalformed = false;
    // Byte offset into the text of the first character the link's encoding cannot hold, -1
    // when it holds them all. The bytes are empty when either fault is found.
    std::ptrdiff_t nUnencodable = -1;
};

// A transmit text as it goes out on a link: its characters encoded in the link's encoding by
// EncodeText, then translated. The notation is ASCII, and no byte of an encoded character is a
// '<' or a '>', so the encoding cannot make or break a code.
TransmitBytes EncodeTransmitText(std::string_view utf8, TextCodec codec);

} // namespace tsl
