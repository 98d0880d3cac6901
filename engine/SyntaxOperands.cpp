// The verifier's operand evaluation: the runtime's syntax for names, elements and index
// expressions, reporting whether an operand is valid instead of its value (the verifier's
// records hold no values, so every name reads 0).
#include "CTSLSyntax.h"

#include "NumberText.h"
#include "SyntaxMessages.h"
#include "SyntaxOperandText.h"

#include <cmath>
#include <cstring>
#include <string>

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

int CTSLSyntax::KindOf(const char* pszName) const
{
    const CVariableTable* var = FindVariableTable(pszName);
    return var ? var->byKind : -1;
}

int CTSLSyntax::GetVariableType(const char* pszOperand) const
{
    // Only the name part decides; the index has no bearing on the kind.
    const char* bracket = std::strchr(pszOperand, '[');
    if (!bracket)
        return KindOf(pszOperand);
    return KindOf(std::string(pszOperand, bracket).c_str());
}

double CTSLSyntax::GetBufferValue(const char* pszOperand, int& nError) const
{
    nError = 0;
    const char* bracket = std::strchr(pszOperand, '[');
    if (!bracket) {
        if (!FindVariableTable(pszOperand))
            nError = -1;
        return 0;
    }
    if (!FindVariableTable(std::string(pszOperand, bracket).c_str())) {
        nError = -1;
        return 0;
    }
    // The runtime takes the last character for the closing bracket whatever it is; an index
    // that is not closed there would be read from the wrong characters.
    const size_t length = std::strlen(pszOperand);
    if (pszOperand[length - 1] != ']') {
        nError = -1;
        return 0;
    }
    int indexError = 0;
    const double index = std::trunc(CalcOperation(pszOperand, bracket, indexError));
    if (indexError != 0 || index < 0)
        nError = -1;
    return 0;
}

double CTSLSyntax::CalcOperation(const char* pszOperand, const char* pBracket, int& nError) const
{
    nError = 0;
    const size_t length = std::strlen(pszOperand);
    const size_t first = static_cast<size_t>(pBracket - pszOperand) + 1;
    const std::string expression =
        length > first ? std::string(pszOperand + first, length - 1 - first) : std::string();

    // Terms and operator signs split at every '+' and '-', strictly left to right; a term
    // that names a variable or element counts 0 but must itself be valid.
    double sum = 0;
    bool minus = false;
    auto term = [&](const std::string& piece) {
        if (tsl::syntax::BeginsWithDigit(piece.c_str())) {
            const double value = tsl::ReadDecimal(piece.c_str());
            sum = minus ? sum - value : sum + value;
        } else if (tsl::syntax::BeginsWithUpper(piece.c_str())) {
            int error = 0;
            GetBufferValue(piece.c_str(), error);
            if (error != 0)
                nError = -1;
        } else {
            minus = piece != "+";
        }
    };
    std::string piece;
    for (char c : expression) {
        if (c == '+' || c == '-') {
            term(piece);
            term(std::string(1, c));
            piece.clear();
        } else {
            piece += c;
        }
    }
    term(piece);
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

bool CTSLSyntax::ReportUnknownValue(const CCommandTable* pCmd, const char* pszOperand)
{
    int error = 0;
    GetBufferValue(pszOperand, error);
    if (error == 0)
        return false;
    Report(pCmd, tsl::msg::kNotFound, pszOperand);
    return true;
}

bool CTSLSyntax::ReportKind(const CCommandTable* pCmd, const char* pszOperand, int nKind,
                            std::initializer_list<int> accepted, const char* pszWrongKind)
{
    if (nKind == -1) {
        Report(pCmd, tsl::msg::kNotFound, pszOperand);
        return true;
    }
    for (int kind : accepted) {
        if (kind == nKind)
            return false;
    }
    Report(pCmd, pszWrongKind, pszOperand);
    return true;
}

void CTSLSyntax::Report(const CCommandTable* pCmd, const char* pszFormat, const char* pszText)
{
    AddError(pszFormat, pCmd->nLine, pszText);
}
