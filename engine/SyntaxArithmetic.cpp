// Checkers of the arithmetic and logic commands: ADD, SUB, AND, OR, XOR, NOT, INC, DEC, MOVE
// and CLEAR. Each reports the first rule its command breaks, operand by operand.
#include "CTSLSyntax.h"

#include "SyntaxMessages.h"
#include "SyntaxOperandText.h"

using namespace tsl::syntax;

void CTSLSyntax::CheckCalculation(CCommandTable* pCmd, const char* pszUsage, const char* pszFirst,
                                  bool bScalarsOnly)
{
    if (pCmd->byOperandCount != 2)
        return Report(pCmd, pszUsage);
    const char* target = pCmd->szOperand[0];
    const char* value = pCmd->szOperand[1];
    if (!BeginsWithUpper(target))
        return Report(pCmd, pszFirst);
    if (bScalarsOnly) {
        if (ReportKind(pCmd, target, GetVariableType(target), {KIND_VAR}, tsl::msg::kNotScalar))
            return;
    } else if (!FindVariableTable(target)) {
        return Report(pCmd, tsl::msg::kNotFound, target);
    }
    if (!BeginsWithUpper(value)) {
        if (!IsValueNumber(value))
            Report(pCmd, tsl::msg::kBadNumber, value);
    } else if (bScalarsOnly) {
        ReportKind(pCmd, value, GetVariableType(value), {KIND_VAR}, tsl::msg::kNotScalar);
    } else {
        ReportUnknownValue(pCmd, value);
    }
}

void CTSLSyntax::CheckStep(CCommandTable* pCmd, const char* pszUsage)
{
    if (pCmd->byOperandCount != 1)
        return Report(pCmd, pszUsage);
    if (BeginsWithUpper(pCmd->szOperand[0]))
        ReportUnknownValue(pCmd, pCmd->szOperand[0]);
}

void CTSLSyntax::_Add(CCommandTable* pCmd)
{
    CheckCalculation(pCmd, tsl::msg::kAddUsage, tsl::msg::kAddFirst, false);
}

void CTSLSyntax::_Sub(CCommandTable* pCmd)
{
    CheckCalculation(pCmd, tsl::msg::kSubUsage, tsl::msg::kSubFirst, false);
}

void CTSLSyntax::_And(CCommandTable* pCmd)
{
    CheckCalculation(pCmd, tsl::msg::kAndUsage, tsl::msg::kAndFirst, true);
}

void CTSLSyntax::_Or(CCommandTable* pCmd)
{
    CheckCalculation(pCmd, tsl::msg::kOrUsage, tsl::msg::kOrFirst, true);
}

void CTSLSyntax::_Xor(CCommandTable* pCmd)
{
    CheckCalculation(pCmd, tsl::msg::kXorUsage, tsl::msg::kXorFirst, true);
}

void CTSLSyntax::_Not(CCommandTable* pCmd)
{
    if (pCmd->byOperandCount != 1)
        return Report(pCmd, tsl::msg::kNotUsage);
    const char* target = pCmd->szOperand[0];
    if (!BeginsWithUpper(target))
        return Report(pCmd, tsl::msg::kNotFirst);
    ReportKind(pCmd, target, GetVariableType(target), {KIND_VAR}, tsl::msg::kNotScalar);
}

void CTSLSyntax::_Inc(CCommandTable* pCmd)
{
    CheckStep(pCmd, tsl::msg::kIncUsage);
}

void CTSLSyntax::_Dec(CCommandTable* pCmd)
{
    CheckStep(pCmd, tsl::msg::kDecUsage);
}

void CTSLSyntax::_MoveX(CCommandTable* pCmd)
{
    if (pCmd->byOperandCount != 2)
        return Report(pCmd, tsl::msg::kMoveUsage);
    const char* target = pCmd->szOperand[0];
    const char* value = pCmd->szOperand[1];
    if (ReportKind(pCmd, target, KindOf(target), {KIND_VAR}, tsl::msg::kMoveTarget))
        return;
    if (BeginsWithUpper(value))
        ReportUnknownValue(pCmd, value);
    else if (!IsValueNumber(value))
        Report(pCmd, tsl::msg::kBadValue, value);
}

void CTSLSyntax::_ClearX(CCommandTable* pCmd)
{
    if (pCmd->byOperandCount != 1)
        return Report(pCmd, tsl::msg::kClearUsage);
    if (!FindVariableTable(pCmd->szOperand[0]))
        Report(pCmd, tsl::msg::kNotFound, pCmd->szOperand[0]);
}
