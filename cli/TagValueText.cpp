#include "TagValueText.h"

#include "CSharedMemoryBytes.h"
#include "TerminalText.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <limits>

using namespace SharedTable;

namespace {

constexpr const char* kTypeNames[] = {"byte", "int", "float", "text"};

// from_chars takes no leading '+'; people do write one.
std::string_view WithoutPlus(std::string_view text)
{
    return text.size() > 1 && text[0] == '+' && text[1] != '-' ? text.substr(1) : text;
}

bool ParseInteger(std::string_view text, int64_t& value)
{
    text = WithoutPlus(text);
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

std::string Hex(const unsigned char* data, uint16_t length)
{
    std::string text;
    char cell[4];
    for (uint16_t i = 0; i < length; ++i) {
        std::snprintf(cell, sizeof cell, i ? " %02x" : "%02x", data[i]);
        text += cell;
    }
    return text;
}

std::string Text(const unsigned char* data, uint16_t length, bool oneLine)
{
    const auto* bytes = reinterpret_cast<const char*>(data);
    const std::string text(bytes, strnlen(bytes, length));
    return oneLine ? EscapeForTerminal(text, TerminalText::Field) : text;
}

} // namespace

namespace TagValueText {

uint8_t ParseType(std::string_view name)
{
    for (uint8_t i = 0; i < std::size(kTypeNames); ++i) {
        if (name == kTypeNames[i])
            return static_cast<uint8_t>(i + 1);
    }
    return 0;
}

std::string TypeName(uint8_t type)
{
    if (type >= CSharedMemoryTag::kByte && type <= CSharedMemoryTag::kText)
        return kTypeNames[type - 1];
    return "type " + std::to_string(type);
}

std::string ParseLength(uint8_t type, std::string_view text, uint16_t& length)
{
    int64_t value = 0;
    if (!ParseInteger(text, value))
        return "length \"" + std::string(text) + "\" is not a whole number";
    switch (type) {
    case CSharedMemoryTag::kByte:
        if (value != 1)
            return "a byte tag is 1 byte long";
        break;
    case CSharedMemoryTag::kInteger:
        if (value != 2 && value != 4)
            return "an int tag is 2 or 4 bytes long";
        break;
    case CSharedMemoryTag::kFloat:
        if (value != 4)
            return "a float tag is 4 bytes long";
        break;
    default:
        if (value < 1 || value > std::numeric_limits<uint16_t>::max())
            return "a text tag is 1 to 65535 bytes long";
        break;
    }
    length = static_cast<uint16_t>(value);
    return {};
}

std::string Encode(const CSharedMemoryTag& tag, std::string_view text,
                   std::vector<unsigned char>& data)
{
    data.assign(tag.nDataLength, 0);
    std::string quoted(1, '"');
    quoted.append(text).push_back('"');
    const std::string what = TypeName(tag.nType) + " tag of " + std::to_string(tag.nDataLength) +
                             (tag.nDataLength == 1 ? " byte" : " bytes");
    int64_t value = 0;
    switch (tag.nType) {
    case CSharedMemoryTag::kByte:
        if (!ParseInteger(text, value) || value < 0 || value > 255 || tag.nDataLength != 1)
            return quoted + " does not fit a " + what + " (0 to 255)";
        data[0] = static_cast<unsigned char>(value);
        return {};
    case CSharedMemoryTag::kInteger: {
        const int64_t limit = tag.nDataLength == 2 ? 32768 : int64_t(1) << 31;
        if ((tag.nDataLength != 2 && tag.nDataLength != 4) || !ParseInteger(text, value) ||
            value < -limit || value >= limit)
            return quoted + " does not fit an " + what + " (" + std::to_string(-limit) + " to " +
                   std::to_string(limit - 1) + ")";
        if (tag.nDataLength == 2)
            StoreLe16(data.data(), static_cast<uint16_t>(value));
        else
            StoreLe32(data.data(), static_cast<uint32_t>(value));
        return {};
    }
    case CSharedMemoryTag::kFloat: {
        float number = 0;
        const std::string_view digits = WithoutPlus(text);
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), number);
        if (tag.nDataLength != 4 || error != std::errc() || end != digits.data() + digits.size())
            return quoted + " does not fit a " + what;
        uint32_t bits = 0;
        std::memcpy(&bits, &number, sizeof bits);
        StoreLe32(data.data(), bits);
        return {};
    }
    case CSharedMemoryTag::kText:
        if (text.size() > tag.nDataLength)
            return quoted + " (" + std::to_string(text.size()) + " bytes) does not fit a " + what;
        std::memcpy(data.data(), text.data(), text.size());
        return {};
    default:
        return "cannot write a " + what;
    }
}

std::string Format(const CSharedMemoryTag& tag, const unsigned char* data, bool oneLine)
{
    const uint16_t length = tag.nDataLength;
    if (tag.nType == CSharedMemoryTag::kByte && length >= 1)
        return std::to_string(data[0]);
    if (tag.nType == CSharedMemoryTag::kInteger && length == 2)
        return std::to_string(static_cast<int16_t>(LoadLe16(data)));
    if (tag.nType == CSharedMemoryTag::kInteger && length >= 4)
        return std::to_string(static_cast<int32_t>(LoadLe32(data)));
    if (tag.nType == CSharedMemoryTag::kFloat && length >= 4) {
        const uint32_t bits = LoadLe32(data);
        float number = 0;
        std::memcpy(&number, &bits, sizeof number);
        char text[32];
        std::snprintf(text, sizeof text, "%g", static_cast<double>(number));
        return text;
    }
    if (tag.nType == CSharedMemoryTag::kText)
        return Text(data, length, oneLine);
    // A type or length this system does not read: show the raw bytes.
    return Hex(data, length);
}

} // namespace TagValueText
