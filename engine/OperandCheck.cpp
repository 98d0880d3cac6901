// The verifier's view of operands: the text forms by which commands tell names, numbers and
// quoted texts apart, and the verdicts drawn from compiled operands (the verifier's records
// hold no values, so every name in an index counts 0).
#include "CTSLSyntax.h"

#include "SyntaxMessages.h"
#include "SyntaxOperandText.h"

#include <cmath>
#include <cstring>

namespace tsl::syntax {

bool BeginsWithUpper(const char* text)
{
    return text[0] >= 'A' && text[0] <= 'Z';
}

bool BeginsWithDigit(const char* text)
{
    return text[0] >= '0' && text[0] <= '9';
}

bool BeginsWithQuote(const char* text)
{
    return text[0] == '"';
}

bool EndsWithQuote(const char* text, size_t minLength)
{
    const size_t length = std::strlen(text);
    return length >= minLength && length > 0 && text[length - 1] == '"';
}

bool IsValueNumber(const char* text)
{
    const size_t length = std::strlen(text);
    if (length == 0)
        return false;
    if (BeginsWithQuote(text) || text[0] == '+' || text[0] == '-')
        return true;
    auto all = [&](size_t count, auto accepted) {
        for (size_t i = 0; i < count; ++i) {
            if (!accepted(text[i]))
                return false;
        }
        return true;
    };
    switch (text[length - 1]) {
    case 'H':
        return all(length - 1,
                   [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); });
    case 'B':
        return all(length - 1, [](char c) { return c == '0' || c == '1'; });
    default:
        // The runtime reads a value that does not begin with a digit as a name, so ".5"
        // would silently read 0.
        return BeginsWithDigit(text) &&
               all(length, [](char c) { return (c >= '0' && c <= '9') || c == '.'; });
    }
}

} // namespace tsl::syntax

// --- Verdicts on compiled operands -----------------------------------------------------------

int CTSLSyntax::KindOf(const tsl::Operand& operand)
{
    return operand.exact ? operand.exact->byKind : -1;
}

int CTSLSyntax::TypeOf(const tsl::Operand& operand)
{
    return operand.var ? operand.var->byKind : -1;
}

double CTSLSyntax::ConstantIndex(const tsl::Operand& operand, bool& valid)
{
    double sum = 0;
    for (const tsl::IndexTerm* term = operand.terms; term != operand.terms + operand.termCount;
         ++term) {
        if (term->name) {
            valid = valid && IsValidValue(*term->name);
            continue;
        }
        sum = term->minus ? sum - term->number : sum + term->number;
    }
    return sum;
}

bool CTSLSyntax::IsValidValue(const tsl::Operand& operand)
{
    if (!operand.var)
        return false;
    if (!operand.indexed)
        return true;
    // The runtime takes the last character for the closing bracket whatever it is; an index
    // that is not closed there would be read from the wrong characters.
    if (!operand.closed)
        return false;
    bool valid = true;
    const double index = std::trunc(ConstantIndex(operand, valid));
    return valid && index >= 0;
}

bool CTSLSyntax::NamesATag(const tsl::Operand& operand)
{
    // A tag's name is the text of the named variable; a scalar has none, and the command
    // would silently do nothing.
    const int kind = KindOf(operand);
    return kind != -1 && kind != KIND_VAR;
}

// --- Operand texts ---------------------------------------------------------------------------

int CTSLSyntax::GetVariableType(const char* pszOperand) const
{
    tsl::Arena scratch(tsl::Arena::kOperandBlockBytes);
    return TypeOf(*CompileOperand(pszOperand, scratch));
}

double CTSLSyntax::GetBufferValue(const char* pszOperand, int& nError) const
{
    tsl::Arena scratch(tsl::Arena::kOperandBlockBytes);
    nError = IsValidValue(*CompileOperand(pszOperand, scratch)) ? 0 : -1;
    return 0;
}

double CTSLSyntax::CalcOperation(const char* pszOperand, const char* pBracket, int& nError) const
{
    tsl::Arena scratch(tsl::Arena::kOperandBlockBytes);
    bool valid = true;
    const double sum = ConstantIndex(CompileBracket(pszOperand, pBracket, scratch), valid);
    nError = valid ? 0 : -1;
    return sum;
}

int CTSLSyntax::IsNum(const char* pszText)
{
    for (const char* p = pszText; *p; ++p) {
        if (*p < '0' || *p > '9')
            return 0;
    }
    return 1;
}

// --- Reports ---------------------------------------------------------------------------------

void CTSLSyntax::Report(const CCommandTable* pCmd, const char* pszFormat, const char* pszText)
{
    AddError(pszFormat, pCmd->nLine, pszText);
}

bool CTSLSyntax::ReportOperandCount(const CCommandTable* pCmd)
{
    const tsl::Keyword* keyword = tsl::KeywordOf(pCmd->nCode);
    if (!keyword || (pCmd->byOperandCount >= keyword->fewestOperands &&
                     pCmd->byOperandCount <= keyword->mostOperands))
        return false;
    Report(pCmd, keyword->usage);
    return true;
}

bool CTSLSyntax::ReportUnknownValue(const CCommandTable* pCmd, const tsl::Operand& operand)
{
    if (IsValidValue(operand))
        return false;
    Report(pCmd, tsl::msg::kNotFound, operand.text);
    return true;
}

bool CTSLSyntax::ReportKind(const CCommandTable* pCmd, const tsl::Operand& operand, int nKind,
                            std::initializer_list<int> accepted, const char* pszWrongKind)
{
    if (nKind == -1) {
        Report(pCmd, tsl::msg::kNotFound, operand.text);
        return true;
    }
    for (int kind : accepted) {
        if (kind == nKind)
            return false;
    }
    Report(pCmd, pszWrongKind, operand.text);
    return true;
}
