// Checkers of the commands that reach outside the variables: IN, OUT, PRINT, PRINTEX and SYNC,
// whose executors are in IoCommands.cpp.
#include "CTSLSyntax.h"

#include "ControlCodes.h"
#include "SyntaxMessages.h"
#include "SyntaxOperandText.h"

#include <cstring>

using namespace tsl::syntax;

namespace {

// The control-code notation between the quotes translates; otherwise OUT would send nothing.
bool TranslatesCleanly(const char* quoted)
{
    const size_t length = std::strlen(quoted);
    unsigned char bytes[kOperandSize];
    return length >= 2 && length - 2 <= sizeof bytes &&
           tsl::TranslateString(quoted + 1, bytes, static_cast<int>(length - 2)) >= 0;
}

} // namespace

void CTSLSyntax::_In(CCommandTable* pCmd)
{
    if (ReportOperandCount(pCmd))
        return;
    const tsl::Operand& array = pCmd->m_operand[0];
    const tsl::Operand& count = pCmd->m_operand[1];
    if (!ReportKind(pCmd, array, KindOf(array), {KIND_DIM}, tsl::msg::kNotArray))
        ReportKind(pCmd, count, KindOf(count), {KIND_VAR}, tsl::msg::kWrongTarget);
}

void CTSLSyntax::_Out(CCommandTable* pCmd)
{
    if (ReportOperandCount(pCmd))
        return;
    const tsl::Operand& operand = pCmd->m_operand[0];
    if (!BeginsWithQuote(operand.text))
        ReportKind(pCmd, operand, KindOf(operand), {KIND_DIM, KIND_EQU}, tsl::msg::kOutArgument);
    else if (!EndsWithQuote(operand.text, 2) || !TranslatesCleanly(operand.text))
        Report(pCmd, tsl::msg::kOutArgument);
}

void CTSLSyntax::CheckPrint(CCommandTable* pCmd, const char* pszArgument)
{
    if (ReportOperandCount(pCmd))
        return;
    const tsl::Operand& operand = pCmd->m_operand[0];
    if (BeginsWithQuote(operand.text)) {
        if (!EndsWithQuote(operand.text, 2))
            return Report(pCmd, pszArgument);
    } else if (!operand.exact) {
        return Report(pCmd, tsl::msg::kNotFound, operand.text);
    }
    if (pCmd->byOperandCount == 2) {
        const char* mode = pCmd->szOperand(1);
        if (std::strcmp(mode, "T") != 0 && std::strcmp(mode, "H") != 0)
            Report(pCmd, tsl::msg::kBadMode, mode);
    }
}

void CTSLSyntax::_Print(CCommandTable* pCmd)
{
    CheckPrint(pCmd, tsl::msg::kPrintArgument);
}

void CTSLSyntax::_PrintEx(CCommandTable* pCmd)
{
    CheckPrint(pCmd, tsl::msg::kPrintExArgument);
}

void CTSLSyntax::_Sync(CCommandTable* pCmd)
{
    if (ReportOperandCount(pCmd))
        return;
    if (!IsNum(pCmd->szOperand(0)))
        Report(pCmd, tsl::msg::kBadValue, pCmd->szOperand(0));
}
