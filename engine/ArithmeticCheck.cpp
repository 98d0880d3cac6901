// Checkers of the arithmetic and logic commands: ADD, SUB, AND, OR, XOR, NOT, INC, DEC, MOVE
// and CLEAR, whose executors are in Arithmetic.cpp. Each reports the first rule its command
// breaks, operand by operand.
#include "CTSLSyntax.h"

#include "SyntaxMessages.h"
#include "SyntaxOperandText.h"

using namespace tsl::syntax;

void CTSLSyntax::CheckCalculation(CCommandTable* pCmd, const char* pszFirst, bool bScalarsOnly)
{
    if (ReportOperandCount(pCmd))
        return;
    const tsl::Operand& target = pCmd->m_operand[0];
    const tsl::Operand& value = pCmd->m_operand[1];
    if (!BeginsWithUpper(target.text))
        return Report(pCmd, pszFirst);
    if (bScalarsOnly) {
        if (ReportKind(pCmd, target, TypeOf(target), {KIND_VAR}, tsl::msg::kNotScalar))
            return;
    } else if (!target.exact) {
        return Report(pCmd, tsl::msg::kNotFound, target.text);
    }
    if (!BeginsWithUpper(value.text)) {
        if (!IsValueNumber(value.text))
            Report(pCmd, tsl::msg::kBadNumber, value.text);
    } else if (bScalarsOnly) {
        ReportKind(pCmd, value, TypeOf(value), {KIND_VAR}, tsl::msg::kNotScalar);
    } else {
        ReportUnknownValue(pCmd, value);
    }
}

void CTSLSyntax::CheckStep(CCommandTable* pCmd)
{
    if (ReportOperandCount(pCmd))
        return;
    if (BeginsWithUpper(pCmd->szOperand(0)))
        ReportUnknownValue(pCmd, pCmd->m_operand[0]);
}

void CTSLSyntax::_Add(CCommandTable* pCmd)
{
    CheckCalculation(pCmd, tsl::msg::kAddFirst, false);
}

void CTSLSyntax::_Sub(CCommandTable* pCmd)
{
    CheckCalculation(pCmd, tsl::msg::kSubFirst, false);
}

void CTSLSyntax::_And(CCommandTable* pCmd)
{
    CheckCalculation(pCmd, tsl::msg::kAndFirst, true);
}

void CTSLSyntax::_Or(CCommandTable* pCmd)
{
    CheckCalculation(pCmd, tsl::msg::kOrFirst, true);
}

void CTSLSyntax::_Xor(CCommandTable* pCmd)
{
    CheckCalculation(pCmd, tsl::msg::kXorFirst, true);
}

void CTSLSyntax::_Not(CCommandTable* pCmd)
{
    if (ReportOperandCount(pCmd))
        return;
    const tsl::Operand& target = pCmd->m_operand[0];
    if (!BeginsWithUpper(target.text))
        return Report(pCmd, tsl::msg::kNotFirst);
    ReportKind(pCmd, target, TypeOf(target), {KIND_VAR}, tsl::msg::kNotScalar);
}

void CTSLSyntax::_Inc(CCommandTable* pCmd)
{
    CheckStep(pCmd);
}

void CTSLSyntax::_Dec(CCommandTable* pCmd)
{
    CheckStep(pCmd);
}

void CTSLSyntax::_MoveX(CCommandTable* pCmd)
{
    if (ReportOperandCount(pCmd))
        return;
    const tsl::Operand& target = pCmd->m_operand[0];
    const tsl::Operand& value = pCmd->m_operand[1];
    if (ReportKind(pCmd, target, KindOf(target), {KIND_VAR}, tsl::msg::kMoveTarget))
        return;
    if (BeginsWithUpper(value.text))
        ReportUnknownValue(pCmd, value);
    else if (!IsValueNumber(value.text))
        Report(pCmd, tsl::msg::kBadValue, value.text);
}

void CTSLSyntax::_ClearX(CCommandTable* pCmd)
{
    if (ReportOperandCount(pCmd))
        return;
    if (!pCmd->m_operand[0].exact)
        Report(pCmd, tsl::msg::kNotFound, pCmd->szOperand(0));
}
