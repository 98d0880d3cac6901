#include "TextEncoding.h"

#include <QList>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <utility>

namespace {

constexpr uint8_t kCp949LeadFirst = 0x81;
constexpr uint8_t kCp949LeadLast = 0xFE;
constexpr uint8_t kCp949TrailFirst = 0x41;
constexpr uint8_t kCp949TrailLast = 0xFE;
constexpr int kCp949Trails = kCp949TrailLast - kCp949TrailFirst + 1;
constexpr int kCp949Leads = kCp949LeadLast - kCp949LeadFirst + 1;
// The converter's name for the code page Windows calls 949.
constexpr char kCp949Name[] = "windows-949";

// The user-defined rows of the code page land here: no font draws them.
bool IsPrivateUse(char16_t ch)
{
    return ch >= 0xE000 && ch <= 0xF8FF;
}

bool IsCp949Trail(uint8_t b)
{
    return (b >= 0x41 && b <= 0x5A) || (b >= 0x61 && b <= 0x7A) || (b >= 0x81 && b <= 0xFE);
}

// Every CP949 pair and its character, read once from the system's converter. A pair is kept
// only when the character converts back to the same pair: converters map a few codes one way
// only, and a character shown must be the one that types back as those bytes.
struct Cp949Table
{
    std::vector<char16_t> chars = std::vector<char16_t>(kCp949Leads * kCp949Trails, 0);
};

Cp949Table BuildCp949Table()
{
    Cp949Table table;
    // The Windows code page: KS X 1001 with the extended Hangul of CP949.
    QStringDecoder decoder(kCp949Name, QStringDecoder::Flag::Stateless);
    QStringEncoder encoder(kCp949Name, QStringEncoder::Flag::Stateless);
    if (!decoder.isValid() || !encoder.isValid())
        return table; // no converter: every pair shows as single bytes
    for (int lead = kCp949LeadFirst; lead <= kCp949LeadLast; ++lead) {
        for (int trail = kCp949TrailFirst; trail <= kCp949TrailLast; ++trail) {
            if (!IsCp949Trail(static_cast<uint8_t>(trail)))
                continue;
            const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            // A pair that is none decodes to a replacement character, or to two characters.
            const QString text = decoder.decode(QByteArrayView(pair, 2));
            if (text.size() != 1 || text[0].unicode() < 0x80 || text[0].isSurrogate() ||
                text[0] == QChar::ReplacementCharacter || IsPrivateUse(text[0].unicode()))
                continue;
            if (QByteArray(encoder.encode(text)) != QByteArrayView(pair, 2))
                continue;
            const char16_t ch = text[0].unicode();
            table.chars[(lead - kCp949LeadFirst) * kCp949Trails + (trail - kCp949TrailFirst)] = ch;
        }
    }
    return table;
}

const Cp949Table& Cp949()
{
    static const Cp949Table table = BuildCp949Table();
    return table;
}

int DecodeCp949(const std::vector<Cell>& cells, std::size_t i, char32_t* ch)
{
    if (i + 1 >= cells.size() || cells[i + 1].attr != cells[i].attr)
        return 0;
    const char32_t c = Cp949Char(cells[i].byte, cells[i + 1].byte);
    if (c == 0)
        return 0;
    *ch = c;
    return 2;
}

} // namespace

int DecodeUtf8(const std::vector<Cell>& cells, std::size_t i, char32_t* ch)
{
    const uint8_t b = cells[i].byte;
    int length = 0;
    uint8_t low = 0x80; // the second byte's range excludes overlong and surrogate forms
    uint8_t high = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        low = b == 0xE0 ? 0xA0 : 0x80;
        high = b == 0xED ? 0x9F : 0xBF;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        low = b == 0xF0 ? 0x90 : 0x80;
        high = b == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (i + length > cells.size())
        return 0;
    char32_t value = b & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
        const uint8_t c = cells[i + k].byte;
        if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF) ||
            cells[i + k].attr != cells[i].attr)
            return 0;
        value = (value << 6) | (c & 0x3F);
    }
    *ch = value;
    return length;
}

char32_t Cp949Char(uint8_t lead, uint8_t trail)
{
    if (lead < kCp949LeadFirst || lead > kCp949LeadLast || !IsCp949Trail(trail))
        return 0;
    return Cp949().chars[(lead - kCp949LeadFirst) * kCp949Trails + (trail - kCp949TrailFirst)];
}

int CTextDecoder::Decode(std::size_t i, char32_t* ch)
{
    switch (m_encoding) {
    case TextEncoding::Utf8:
        return DecodeUtf8(m_cells, i, ch);
    case TextEncoding::Cp949:
        return DecodeCp949(m_cells, i, ch);
    case TextEncoding::Latin1:
        // 0x80 to 0x9F are the C1 control codes, nothing to draw.
        if (m_cells[i].byte < 0xA0)
            return 0;
        *ch = m_cells[i].byte;
        return 1;
    case TextEncoding::Auto:
        break;
    }
    if (i != m_nRunNext)
        m_runMode = ChooseRunMode(i);
    int length = 0;
    switch (m_runMode) {
    case RunMode::Utf8:
        length = DecodeUtf8(m_cells, i, ch);
        break;
    case RunMode::Cp949:
        length = DecodeCp949(m_cells, i, ch);
        break;
    case RunMode::Mixed:
        length = DecodeMixed(i, ch);
        break;
    }
    m_nRunNext = i + static_cast<std::size_t>(std::max(length, 1));
    return length;
}

CTextDecoder::RunMode CTextDecoder::ChooseRunMode(std::size_t i) const
{
    const auto wholeRun = [this,
                           i](int (*decode)(const std::vector<Cell>&, std::size_t, char32_t*)) {
        std::size_t k = i;
        while (k < m_cells.size() && m_cells[k].byte >= 0x80 &&
               m_cells[k].attr == m_cells[i].attr) {
            char32_t ch = 0;
            const int length = decode(m_cells, k, &ch);
            if (length == 0)
                return false;
            k += static_cast<std::size_t>(length);
        }
        return true;
    };
    if (wholeRun(DecodeUtf8))
        return RunMode::Utf8;
    if (wholeRun(DecodeCp949))
        return RunMode::Cp949;
    return RunMode::Mixed;
}

int CTextDecoder::DecodeMixed(std::size_t i, char32_t* ch) const
{
    const int length = DecodeUtf8(m_cells, i, ch);
    return length > 0 ? length : DecodeCp949(m_cells, i, ch);
}
