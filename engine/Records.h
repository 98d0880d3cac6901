#pragma once

#include "Operand.h"

#include <cstdint>

// Kinds of declared names (byKind).
enum : uint8_t
{
    KIND_DIM = 1,    // array
    KIND_VAR = 2,    // scalar
    KIND_EQU = 3,    // text constant
    KIND_ASSIGN = 4, // tag name text
};

// Element types (byElemType): byte `$`, long `%`, double `#`.
enum : uint8_t
{
    ELEM_BYTE = 1,
    ELEM_LONG = 4,
    ELEM_DOUBLE = 6,
};

inline constexpr int kNameSize = 32;    // 31 characters and a NUL
inline constexpr int kOperandSize = 80; // 79 characters and a NUL
inline constexpr int kMaxOperands = 4;

// Bytes of one element of a type.
inline constexpr int ElementBytes(uint8_t elemType)
{
    return elemType == ELEM_LONG ? 4 : elemType == ELEM_DOUBLE ? 8 : 1;
}

// One declared name of a script: a scalar holds its value, an array or text owns its buffer.
class CVariableTable
{
public:
    CVariableTable() = default;
    CVariableTable(const CVariableTable&) = delete;
    CVariableTable& operator=(const CVariableTable&) = delete;
    virtual ~CVariableTable();

    // Bytes that the buffer really holds: a text keeps its NUL after nSize characters.
    int32_t BufferBytes() const
    {
        return byKind == KIND_EQU || byKind == KIND_ASSIGN ? nSize + 1 : nSize;
    }

    uint8_t byKind = 0;
    char szName[kNameSize] = {};
    int32_t nSize = 0;
    uint8_t byElemType = ELEM_BYTE;
    union
    {
        unsigned char* pBuffer; // first, so that zeroing the union zeroes all eight bytes
        int8_t byValue;
        int32_t lValue;
        double dValue;
    } value = {};
};

// One EXPORT declaration: a copy of the exported variable's description.
class CExportTable
{
public:
    virtual ~CExportTable() = default;

    uint8_t byKind = 0;
    uint8_t byElemType = 0;
    int32_t nSize = 0;
    uint32_t nValue = 0; // first four bytes of the variable's value field
};

// One compiled command of the main section. The commands of a script lie side by side in its
// command list; their operands, compiled once, live in the script's arena.
class CCommandTable
{
public:
    // The text of operand k as written.
    const char* szOperand(int k) const { return m_operand[k].text; }

    // At least as many operands as the keyword's executor reads, even for a command written
    // with fewer (the missing ones are empty), so a command never reads past its own.
    const tsl::Operand* m_operand = nullptr;
    int32_t nLine = 0;          // 1-based source line
    int32_t nCode = 0;          // keyword code, 0 for an unknown keyword
    int32_t m_nJumpTarget = -1; // position of the label a jump names, -1 when there is none
    uint8_t byOperandCount = 0;
};

// One label of the main section.
class CLabelTable
{
public:
    virtual ~CLabelTable() = default;

    char szName[kNameSize] = {};
    int32_t nCommandIndex = 0; // position of the first command after the label
};
