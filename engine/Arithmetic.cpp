// Arithmetic and logic on scalar variables: ADD, SUB, INC, DEC, AND, OR, XOR, NOT, MOVE, and
// CLEAR. A target that is not a VAR is left as it is. Their checkers are in ArithmeticCheck.cpp.
#include "CTSL.h"

#include "NumberText.h"

#include <cstring>

void CTSL::Arithmetic(CCommandTable* pCmd, CalcOp op)
{
    CVariableTable* target = ScalarTarget(pCmd->m_operand[0]);
    if (!target)
        return;
    if (op == CalcOp::Move) {
        StoreScalar(*target, SourceValue(pCmd->m_operand[1]));
        return;
    }
    const double current = ScalarValue(*target);
    const double value = SourceValue(pCmd->m_operand[1]);
    StoreScalar(*target, op == CalcOp::Add ? current + value : current - value);
}

void CTSL::Bitwise(CCommandTable* pCmd, CalcOp op)
{
    CVariableTable* target = ScalarTarget(pCmd->m_operand[0]);
    if (!target || target->byElemType == ELEM_DOUBLE)
        return;
    const bool isByte = target->byElemType == ELEM_BYTE;
    const uint32_t mask = isByte ? 0xFFu : 0xFFFFFFFFu;
    const uint32_t current = static_cast<uint32_t>(tsl::WrapToInt32(ScalarValue(*target))) & mask;
    uint32_t result = 0;
    switch (op) {
    case CalcOp::Not:
        result = current == 0 ? 1 : 0;
        break;
    default: {
        const uint32_t value =
            static_cast<uint32_t>(tsl::WrapToInt32(SourceValue(pCmd->m_operand[1]))) & mask;
        result = op == CalcOp::And  ? current & value
                 : op == CalcOp::Or ? current | value
                                    : current ^ value;
        break;
    }
    }
    if (isByte)
        target->value.byValue = static_cast<int8_t>(result & 0xFF);
    else
        target->value.lValue = static_cast<int32_t>(result);
}

void CTSL::_Add(CCommandTable* pCmd)
{
    Arithmetic(pCmd, CalcOp::Add);
}

void CTSL::_Sub(CCommandTable* pCmd)
{
    Arithmetic(pCmd, CalcOp::Sub);
}

void CTSL::_MoveX(CCommandTable* pCmd)
{
    Arithmetic(pCmd, CalcOp::Move);
}

void CTSL::Step(CCommandTable* pCmd, int nDelta)
{
    CVariableTable* target = ScalarTarget(pCmd->m_operand[0]);
    if (!target)
        return;
    // Integers step in their own width, which wraps exactly as the stored sum would.
    switch (target->byElemType) {
    case ELEM_BYTE:
        target->value.byValue =
            static_cast<int8_t>(static_cast<uint8_t>(target->value.byValue) + nDelta);
        break;
    case ELEM_LONG:
        target->value.lValue = static_cast<int32_t>(static_cast<uint32_t>(target->value.lValue) +
                                                    static_cast<uint32_t>(nDelta));
        break;
    default:
        target->value.dValue += nDelta;
        break;
    }
}

void CTSL::_Inc(CCommandTable* pCmd)
{
    Step(pCmd, 1);
}

void CTSL::_Dec(CCommandTable* pCmd)
{
    Step(pCmd, -1);
}

void CTSL::_And(CCommandTable* pCmd)
{
    Bitwise(pCmd, CalcOp::And);
}

void CTSL::_Or(CCommandTable* pCmd)
{
    Bitwise(pCmd, CalcOp::Or);
}

void CTSL::_Xor(CCommandTable* pCmd)
{
    Bitwise(pCmd, CalcOp::Xor);
}

void CTSL::_Not(CCommandTable* pCmd)
{
    Bitwise(pCmd, CalcOp::Not);
}

void CTSL::_ClearX(CCommandTable* pCmd)
{
    CVariableTable* var = pCmd->m_operand[0].exact;
    if (!var)
        return;
    if (var->byKind == KIND_DIM && var->value.pBuffer)
        std::memset(var->value.pBuffer, 0, static_cast<size_t>(var->nSize));
    else if (var->byKind == KIND_VAR)
        std::memset(&var->value, 0, sizeof var->value);
}
