#pragma once

#include "CByteLog.h"

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <vector>

// How bytes that are not ASCII are read as characters ("수신문자 인코딩"). The numbers are kept
// in the settings.
enum class TextEncoding : uint8_t
{
    Auto = 0, // UTF-8 where it is valid, else CP949 (Korean equipment), else single bytes
    Utf8 = 1,
    Cp949 = 2,
    Latin1 = 3,
};
inline constexpr int kTextEncodingCount = 4;

// Reads the characters of one line of logged bytes, left to right: the caller hands it every
// byte of 0x80 or more where a character starts and skips the bytes it took. Nothing is ever
// read across what the encoding calls one character, nor across a change of attribute (sent
// and received bytes are apart): a byte that is no character stands alone and the next one
// starts afresh.
class CTextDecoder
{
public:
    CTextDecoder(const std::vector<Cell>& cells, TextEncoding encoding)
        : m_cells(cells), m_encoding(encoding)
    {}

    // The character at cells[i]: its length in bytes with *ch set, or 0 when the byte is no
    // character (it then takes one cell of its own).
    int Decode(std::size_t i, char32_t* ch);

private:
    // How Auto reads a stretch of bytes of 0x80 or more: a stretch that is valid UTF-8 or
    // valid CP949 as a whole is read so, so that CP949 pairs that happen to look like UTF-8
    // are not torn out of a Korean word; any other stretch sequence by sequence.
    enum class RunMode
    {
        Utf8,
        Cp949,
        Mixed,
    };
    RunMode ChooseRunMode(std::size_t i) const;
    int DecodeMixed(std::size_t i, char32_t* ch) const;

    const std::vector<Cell>& m_cells;
    TextEncoding m_encoding;
    RunMode m_runMode = RunMode::Mixed;
    std::size_t m_nRunNext = SIZE_MAX; // where the stretch being read continues
};

// Length of the valid UTF-8 sequence starting at cells[i], all of one attribute, 0 when it is
// not one; *ch gets the character.
int DecodeUtf8(const std::vector<Cell>& cells, std::size_t i, char32_t* ch);
// The CP949 character of a lead and a trail byte; 0 when the pair is none.
char32_t Cp949Char(uint8_t lead, uint8_t trail);
