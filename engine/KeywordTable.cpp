#include "KeywordTable.h"

#include <array>
#include <cstring>

namespace tsl {
namespace {

constexpr std::array<const char*, kKeywordCount + 1> MakeKeywordTexts()
{
    std::array<const char*, kKeywordCount + 1> texts{};
#define TSL_KEYWORD_TEXT(code, text, name) texts[code] = text;
    TSL_COMMANDS(TSL_KEYWORD_TEXT)
    TSL_JUMPS(TSL_KEYWORD_TEXT)
#undef TSL_KEYWORD_TEXT
    return texts;
}

constexpr auto kKeywordTexts = MakeKeywordTexts();

constexpr bool EveryCodeHasAKeyword()
{
    for (int code = 1; code <= kKeywordCount; ++code) {
        if (kKeywordTexts[code] == nullptr)
            return false;
    }
    return true;
}
static_assert(EveryCodeHasAKeyword(), "codes 1 to 31 are each given once");

} // namespace

int KeywordCode(const char* word)
{
    for (int code = 1; code <= kKeywordCount; ++code) {
        if (std::strcmp(word, kKeywordTexts[code]) == 0)
            return code;
    }
    return 0;
}

const char* KeywordText(int code)
{
    return code >= 1 && code <= kKeywordCount ? kKeywordTexts[code] : nullptr;
}

} // namespace tsl
