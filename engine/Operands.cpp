// Operands compiled once: the name an operand's text names, its index expression as terms,
// and what the text reads as under each number rule. The verifier judges these records and
// the runtime evaluates them.
#include "CompiledScript.h"

#include "NumberText.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace tsl {
namespace {

bool IsUpper(char c)
{
    return c >= 'A' && c <= 'Z';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsSign(char c)
{
    return c == '+' || c == '-';
}

} // namespace

const Operand* CompiledScript::CompileOperand(std::string_view text, Arena& arena) const
{
    Operand* operand = arena.New<Operand>(1);
    Compile(text, arena, false, *operand);
    return operand;
}

void CompiledScript::Compile(std::string_view written, Arena& arena, bool bValue,
                             Operand& operand) const
{
    const char* text = arena.CopyText(written);
    const std::size_t length = std::strlen(text);
    operand.text = text;
    operand.exact = FindVariable(text);
    operand.upperFirst = IsUpper(text[0]);
    operand.number = ReadDecimal(text);
    operand.integer = ReadInteger(text);

    // Name part and index: the name before the first '[', the index between it and the last
    // character, which closes it.
    if (const char* bracket = std::strchr(text, '[')) {
        const std::size_t first = static_cast<std::size_t>(bracket - text) + 1;
        operand.indexed = true;
        operand.closed = text[length - 1] == ']';
        operand.var = FindVariable(std::string_view(text, first - 1));
        if (length > first)
            operand.terms = CompileIndex(std::string_view(text + first, length - 1 - first), arena,
                                         operand.termCount);
    } else {
        operand.var = operand.exact;
    }

    // As a value source: a sign starts a decimal number, a non-digit a name, and a number
    // with the H or B suffix is hexadecimal or binary.
    const char lead = text[0];
    operand.valueIsName = !IsSign(lead) && !IsDigit(lead);
    if (bValue && IsDigit(lead) && text[length - 1] == 'H')
        operand.number = ReadHexadecimal(text);
    else if (bValue && IsDigit(lead) && text[length - 1] == 'B')
        operand.number = ReadBinary(text);
}

Operand CompiledScript::CompileBracket(const char* pszOperand, const char* pBracket,
                                       Arena& arena) const
{
    Operand operand;
    const std::size_t length = std::strlen(pszOperand);
    const std::size_t first = static_cast<std::size_t>(pBracket - pszOperand) + 1;
    if (length > first)
        operand.terms = CompileIndex(std::string_view(pszOperand + first, length - 1 - first),
                                     arena, operand.termCount);
    return operand;
}

const IndexTerm* CompiledScript::CompileIndex(std::string_view expression, Arena& arena,
                                              uint16_t& termCount) const
{
    // Pieces split at every '+' and '-', the operators among them; strictly left to right. A
    // piece that begins with a digit is a number, with A to Z a name or element; any other
    // piece (an operator, an empty piece, another character) sets the sign for what follows.
    auto forEachPiece = [expression](auto&& visit) {
        std::size_t start = 0;
        for (std::size_t i = 0; i < expression.size(); ++i) {
            if (IsSign(expression[i])) {
                visit(expression.substr(start, i - start));
                visit(expression.substr(i, 1));
                start = i + 1;
            }
        }
        visit(expression.substr(start));
    };
    auto isTerm = [](std::string_view piece) {
        return !piece.empty() && (IsDigit(piece[0]) || IsUpper(piece[0]));
    };

    std::size_t count = 0;
    forEachPiece([&](std::string_view piece) { count += isTerm(piece) ? 1 : 0; });
    count = std::min<std::size_t>(count, std::numeric_limits<uint16_t>::max());
    termCount = static_cast<uint16_t>(count);
    if (count == 0)
        return nullptr;

    IndexTerm* terms = arena.New<IndexTerm>(count);
    std::size_t at = 0;
    bool minus = false;
    forEachPiece([&](std::string_view piece) {
        if (!isTerm(piece)) {
            minus = piece.empty() || piece[0] != '+';
            return;
        }
        if (at == count)
            return;
        IndexTerm& term = terms[at++];
        term.minus = minus;
        if (IsDigit(piece[0]))
            term.number = ReadDecimal(std::string(piece).c_str());
        else
            term.name = CompileOperand(piece, arena);
    });
    return terms;
}

} // namespace tsl
