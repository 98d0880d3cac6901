#pragma once

#include <QtGlobal>

// The TSL keywords, written once. Each row: code, keyword text, the name shared by the
// interpreter's executor (a member of CTSL) and the verifier's checker (a member of CTSLSyntax),
// the fewest and the most operands the command takes, the operand it reads as a value (1-based,
// 0 for none: there a number may also be written in the H or B form), and the verifier's
// message for a wrong operand count. The code is the keyword's 1-based position; 0 means an
// unknown keyword.
//
// TSL_COMMANDS lists the commands that run and return nothing; TSL_JUMPS the ones that choose
// the next position and are dispatched by the interpreter loop itself.
#define TSL_COMMANDS(X)                                                                            \
    /* IN array, count: take this pass's received bytes */                                         \
    X(1, "IN", _In, 2, 2, 0,                                                                       \
      QT_TRANSLATE_NOOP("TSL", "error : line %d, 'IN' 명령어 사용이 잘못되었습니다..."))           \
    /* OUT text|name: send on the link */                                                          \
    X(2, "OUT", _Out, 1, 1, 0,                                                                     \
      QT_TRANSLATE_NOOP("TSL", "error : line %d, 'OUT' 명령어 사용이 잘못되었습니다..."))          \
    /* FIND array, "pattern", position */                                                          \
    X(3, "FIND", _FindX, 3, 3, 0,                                                                  \
      QT_TRANSLATE_NOOP("TSL", "error : line %d, 'FIND' 명령어 사용이 잘못되었습니다..."))         \
    /* CMP name, value: set the condition flags */                                                 \
    X(4, "CMP", _Cmp, 2, 2, 0,                                                                     \
      QT_TRANSLATE_NOOP("TSL", "error : line %d, 'CMP' 명령어 사용이 잘못되었습니다..."))          \
    /* MOVE target, value */                                                                       \
    X(5, "MOVE", _MoveX, 2, 2, 2,                                                                  \
      QT_TRANSLATE_NOOP("TSL", "error : line %d, 'MOVE' 명령어 사용이 잘못되었습니다..."))         \
    /* DELAY ms: pause after each sent byte */                                                     \
    X(6, "DELAY", _Delay, 1, 1, 0,                                                                 \
      QT_TRANSLATE_NOOP("TSL", "error : line %d, 'DELAY' 명령어 사용이 잘못되었습니다..."))        \
    /* SLEEP ms */                                                                                 \
    X(7, "SLEEP", _Sleep, 1, 1, 0,                                                                 \
      QT_TRANSLATE_NOOP("TSL", "error : line %d, 'SLEEP' 명령어 사용이 잘못되었습니다..."))        \
    /* PRINT operand [, T|H] */                                                                    \
    X(15, "PRINT", _Print, 1, 2, 0,                                                                \
      QT_TRANSLATE_NOOP("TSL", "error : line %d, 'PRINT' 명령어 사용이 잘못되었습니다..."))        \
    /* PRINTEX operand [, T|H]: control codes translated */                                        \
    X(16, "PRINTEX", _PrintEx, 1, 2, 0,                                                            \
      QT_TRANSLATE_NOOP("TSL", "error : line %d, 'PRINTEX' 명령어 사용이 잘못되었습니다..."))      \
    /* CAT array, source, length */                                                                \
    X(17, "CAT", _Cat, 3, 3, 0,                                                                    \
      QT_TRANSLATE_NOOP("TSL", "error : line %d, 'CAT' 명령어 사용이 잘못되었습니다..."))          \
    /* CLEAR name */                                                                               \
    X(18, "CLEAR", _ClearX, 1, 1, 0,                                                               \
      QT_TRANSLATE_NOOP("TSL", "error : line %d, 'CLEAR' 명령어 사용이 잘못되었습니다..."))        \
    /* COPY destination, source, count */                                                          \
    X(19, "COPY", _CopyX, 3, 3, 0,                                                                 \
      QT_TRANSLATE_NOOP("TSL", "error : line %d, 'COPY' 명령어 인수개수가 잘못되었습니다..."))     \
    /* INC target */                                                                               \
    X(20, "INC", _Inc, 1, 1, 0,                                                                    \
      QT_TRANSLATE_NOOP("TSL", "error : line %d, 'INC' 명령어 사용이 잘못되었습니다..."))          \
    /* DEC target */                                                                               \
    X(21, "DEC", _Dec, 1, 1, 0,                                                                    \
      QT_TRANSLATE_NOOP("TSL", "error : line %d, 'DEC' 명령어 사용이 잘못되었습니다..."))          \
    /* ADD target, value */                                                                        \
    X(22, "ADD", _Add, 2, 2, 2,                                                                    \
      QT_TRANSLATE_NOOP("TSL", "error : line %d, 'ADD' 명령어 사용이 잘못되었습니다..."))          \
    /* SUB target, value */                                                                        \
    X(23, "SUB", _Sub, 2, 2, 2,                                                                    \
      QT_TRANSLATE_NOOP("TSL", "error : line %d, 'SUB' 명령어 사용이 잘못되었습니다..."))          \
    /* SYNC n: notify the host and wait for its answer */                                          \
    X(24, "SYNC", _Sync, 1, 1, 0,                                                                  \
      QT_TRANSLATE_NOOP("TSL", "error : line %d, 'SYNC' 명령어 사용이 잘못되었습니다..."))         \
    /* PUT tag, value [, count] */                                                                 \
    X(25, "PUT", _Put, 2, 3, 0,                                                                    \
      QT_TRANSLATE_NOOP("TSL", "error : line %d, 'PUT' 명령어 사용이 잘못되었습니다..."))          \
    /* GET name, tag [, count] */                                                                  \
    X(26, "GET", _Get, 2, 3, 0,                                                                    \
      QT_TRANSLATE_NOOP("TSL", "error : line %d, 'GET' 명령어 사용이 잘못되었습니다..."))          \
    /* AND target, value */                                                                        \
    X(27, "AND", _And, 2, 2, 2,                                                                    \
      QT_TRANSLATE_NOOP("TSL", "error : line %d, 'AND' 명령어 사용이 잘못되었습니다..."))          \
    /* OR target, value */                                                                         \
    X(28, "OR", _Or, 2, 2, 2,                                                                      \
      QT_TRANSLATE_NOOP("TSL", "error : line %d, 'OR' 명령어 사용이 잘못되었습니다..."))           \
    /* XOR target, value */                                                                        \
    X(29, "XOR", _Xor, 2, 2, 2,                                                                    \
      QT_TRANSLATE_NOOP("TSL", "error : line %d, 'XOR' 명령어 사용이 잘못되었습니다..."))          \
    /* NOT target: logical not */                                                                  \
    X(30, "NOT", _Not, 1, 1, 0,                                                                    \
      QT_TRANSLATE_NOOP("TSL", "error : line %d, 'NOT' 명령어 사용이 잘못되었습니다..."))          \
    /* CONV target, source, count: decimal text to number */                                       \
    X(31, "CONV", _Conv, 3, 3, 0,                                                                  \
      QT_TRANSLATE_NOOP("TSL", "error : line %d, 'CONV' 명령어 사용이 잘못되었습니다..."))

#define TSL_JUMPS(X)                                                                               \
    /* JP label */                                                                                 \
    X(8, "JP", _Jp, 1, 1, 0,                                                                       \
      QT_TRANSLATE_NOOP("TSL", "error : line %d, 'JP' 명령어 사용이 잘못되었습니다..."))           \
    /* jump when CMP_EQ, CMP_NE, CMP_LT, CMP_LE, CMP_GT, CMP_GE */                                 \
    X(9, "JPE", _Jp_condition, 1, 1, 0,                                                            \
      QT_TRANSLATE_NOOP("TSL", "error : line %d, 'JPXX' 명령어 사용이 잘못되었습니다..."))         \
    X(10, "JPNE", _Jp_condition, 1, 1, 0,                                                          \
      QT_TRANSLATE_NOOP("TSL", "error : line %d, 'JPXX' 명령어 사용이 잘못되었습니다..."))         \
    X(11, "JPL", _Jp_condition, 1, 1, 0,                                                           \
      QT_TRANSLATE_NOOP("TSL", "error : line %d, 'JPXX' 명령어 사용이 잘못되었습니다..."))         \
    X(12, "JPLE", _Jp_condition, 1, 1, 0,                                                          \
      QT_TRANSLATE_NOOP("TSL", "error : line %d, 'JPXX' 명령어 사용이 잘못되었습니다..."))         \
    X(13, "JPG", _Jp_condition, 1, 1, 0,                                                           \
      QT_TRANSLATE_NOOP("TSL", "error : line %d, 'JPXX' 명령어 사용이 잘못되었습니다..."))         \
    X(14, "JPGE", _Jp_condition, 1, 1, 0,                                                          \
      QT_TRANSLATE_NOOP("TSL", "error : line %d, 'JPXX' 명령어 사용이 잘못되었습니다..."))

namespace tsl {

inline constexpr int kKeywordCount = 31;
inline constexpr int kCodeJp = 8;
inline constexpr int kCodeFirstConditionalJump = 9;
inline constexpr int kCodeLastConditionalJump = 14;

// One row of the table.
struct Keyword
{
    const char* text = nullptr;
    int fewestOperands = 0;
    int mostOperands = 0;
    int valueOperand = 0;        // 1-based; 0 for none
    const char* usage = nullptr; // the message for a wrong operand count
};

// Code of a keyword (exact, case-sensitive), 0 when the word is not a keyword.
int KeywordCode(const char* word);
// The row of a code; null outside 1..31.
const Keyword* KeywordOf(int code);

inline bool IsJump(int code)
{
    return code >= kCodeJp && code <= kCodeLastConditionalJump;
}

} // namespace tsl
