// Checkers of the arithmetic and logic commands: ADD, SUB, AND, OR, XOR, NOT, INC, DEC, MOVE
// and CLEAR. Each reports the first rule its command breaks, operand by operand.
#include "CTSLSyntax.h"

#include "SyntaxMessages.h"
#include "SyntaxOperandText.h"

using namespace tsl::syntax;

void CTSLSyntax::CheckArithmetic(CCommandTable* pCmd, const char* pszUsage, const char* pszFirst)
{
    if (pCmd->byOperandCount != 2)
        return Report(pCmd, pszUsage);
    const char* target = pCmd->szOperand[0];
    const char* value = pCmd->szOperand[1];
    if (!BeginsWithUpper(target))
        return Report(pCmd, pszFirst);
    if (!FindVariableTable(target))
        return Report(pCmd, tsl::msg::kNotFound, target);
    if (BeginsWithUpper(value))
        ReportUnknownValue(pCmd, value);
    else if (!IsValueNumber(value))
        Report(pCmd, tsl::msg::kBadNumber, value);
}

void CTSLSyntax::CheckBitwise(CCommandTable* pCmd, const char* pszUsage, const char* pszFirst)
{
    if (pCmd->byOperandCount != 2)
        return Report(pCmd, pszUsage);
    const char* target = pCmd->szOperand[0];
    const char* value = pCmd->szOperand[1];
    if (!BeginsWithUpper(target))
        return Report(pCmd, pszFirst);
    const int targetKind = GetVariableType(target);
    if (targetKind == -1)
        return Report(pCmd, tsl::msg::kNotFound, target);
    if (targetKind != KIND_VAR)
        return Report(pCmd, tsl::msg::kNotScalar, target);
    if (BeginsWithUpper(value)) {
        const int valueKind = GetVariableType(value);
        if (valueKind == -1)
            Report(pCmd, tsl::msg::kNotFound, value);
        else if (valueKind != KIND_VAR)
            Report(pCmd, tsl::msg::kNotScalar, value);
    } else if (!IsValueNumber(value)) {
        Report(pCmd, tsl::msg::kBadNumber, value);
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
    CheckArithmetic(pCmd, tsl::msg::kAddUsage, tsl::msg::kAddFirst);
}

void CTSLSyntax::_Sub(CCommandTable* pCmd)
{
    CheckArithmetic(pCmd, tsl::msg::kSubUsage, tsl::msg::kSubFirst);
}

void CTSLSyntax::_And(CCommandTable* pCmd)
{
    CheckBitwise(pCmd, tsl::msg::kAndUsage, tsl::msg::kAndFirst);
}

void CTSLSyntax::_Or(CCommandTable* pCmd)
{
    CheckBitwise(pCmd, tsl::msg::kOrUsage, tsl::msg::kOrFirst);
}

void CTSLSyntax::_Xor(CCommandTable* pCmd)
{
    CheckBitwise(pCmd, tsl::msg::kXorUsage, tsl::msg::kXorFirst);
}

void CTSLSyntax::_Not(CCommandTable* pCmd)
{
    if (pCmd->byOperandCount != 1)
        return Report(pCmd, tsl::msg::kNotUsage);
    const char* target = pCmd->szOperand[0];
    if (!BeginsWithUpper(target))
        return Report(pCmd, tsl::msg::kNotFirst);
    const int kind = GetVariableType(target);
    if (kind == -1)
        Report(pCmd, tsl::msg::kNotFound, target);
    else if (kind != KIND_VAR)
        Report(pCmd, tsl::msg::kNotScalar, target);
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
    const int kind = KindOf(target);
    if (kind == -1)
        return Report(pCmd, tsl::msg::kNotFound, target);
    if (kind != KIND_VAR)
        return Report(pCmd, tsl::msg::kMoveTarget, target);
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
