#include "KeywordTable.h"

#include <array>
#include <cstring>

namespace tsl {
namespace {

constexpr std::array<Keyword, kKeywordCount + 1> MakeKeywords()
{
    std::array<Keyword, kKeywordCount + 1> rows{};
#define TSL_KEYWORD_ROW(code, text, name, fewest, most, value, usage)                              \
    rows[code] = {text, fewest, most, value, usage};
    TSL_COMMANDS(TSL_KEYWORD_ROW)
    TSL_JUMPS(TSL_KEYWORD_ROW)
#undef TSL_KEYWORD_ROW
    return rows;
}

constexpr auto kKeywords = MakeKeywords();

constexpr bool EveryCodeHasAKeyword()
{
    for (int code = 1; code <= kKeywordCount; ++code) {
        if (kKeywords[code].text == nullptr || kKeywords[code].fewestOperands < 1 ||
            kKeywords[code].mostOperands < kKeywords[code].fewestOperands)
            return false;
    }
    return true;
}
static_assert(EveryCodeHasAKeyword(), "codes 1 to 31 are each given once, with operand counts");

} // namespace

int KeywordCode(const char* word)
{
    for (int code = 1; code <= kKeywordCount; ++code) {
        const char* text = kKeywords[code].text;
        if (text[0] == word[0] && std::strcmp(word, text) == 0)
            return code;
    }
    return 0;
}

const Keyword* KeywordOf(int code)
{
    return code >= 1 && code <= kKeywordCount ? &kKeywords[code] : nullptr;
}

} // namespace tsl
