#pragma once

// The TSL keywords, written once. Each row: code, keyword text, and the name shared by the
// interpreter's executor (a member of CTSL) and the verifier's checker (a member of CTSLSyntax).
// The code is the keyword's 1-based position; 0 means an unknown keyword.
//
// TSL_COMMANDS lists the commands that run and return nothing; TSL_JUMPS the ones that choose
// the next position and are dispatched by the interpreter loop itself.
#define TSL_COMMANDS(X)                                                                            \
    X(1, "IN", _In)            /* IN array, count: take this pass's received bytes */              \
    X(2, "OUT", _Out)          /* OUT text|name: send on the link */                               \
    X(3, "FIND", _FindX)       /* FIND array, "pattern", position */                               \
    X(4, "CMP", _Cmp)          /* CMP name, value: set the condition flags */                      \
    X(5, "MOVE", _MoveX)       /* MOVE target, value */                                            \
    X(6, "DELAY", _Delay)      /* DELAY ms: pause after each sent byte */                          \
    X(7, "SLEEP", _Sleep)      /* SLEEP ms */                                                      \
    X(15, "PRINT", _Print)     /* PRINT operand [, T|H] */                                         \
    X(16, "PRINTEX", _PrintEx) /* PRINTEX operand [, T|H]: control codes translated */             \
    X(17, "CAT", _Cat)         /* CAT array, source, length */                                     \
    X(18, "CLEAR", _ClearX)    /* CLEAR name */                                                    \
    X(19, "COPY", _CopyX)      /* COPY destination, source, count */                               \
    X(20, "INC", _Inc)         /* INC target */                                                    \
    X(21, "DEC", _Dec)         /* DEC target */                                                    \
    X(22, "ADD", _Add)         /* ADD target, value */                                             \
    X(23, "SUB", _Sub)         /* SUB target, value */                                             \
    X(24, "SYNC", _Sync)       /* SYNC n: notify the host and wait for its answer */               \
    X(25, "PUT", _Put)         /* PUT tag, value [, count] */                                      \
    X(26, "GET", _Get)         /* GET name, tag [, count] */                                       \
    X(27, "AND", _And)         /* AND target, value */                                             \
    X(28, "OR", _Or)           /* OR target, value */                                              \
    X(29, "XOR", _Xor)         /* XOR target, value */                                             \
    X(30, "NOT", _Not)         /* NOT target: logical not */                                       \
    X(31, "CONV", _Conv)       /* CONV target, source, count: decimal text to number */

#define TSL_JUMPS(X)                                                                               \
    X(8, "JP", _Jp)              /* JP label */                                                    \
    X(9, "JPE", _Jp_condition)   /* jump when CMP_EQ */                                            \
    X(10, "JPNE", _Jp_condition) /* jump when CMP_NE */                                            \
    X(11, "JPL", _Jp_condition)  /* jump when CMP_LT */                                            \
    X(12, "JPLE", _Jp_condition) /* jump when CMP_LE */                                            \
    X(13, "JPG", _Jp_condition)  /* jump when CMP_GT */                                            \
    X(14, "JPGE", _Jp_condition) /* jump when CMP_GE */

namespace tsl {

inline constexpr int kKeywordCount = 31;
inline constexpr int kCodeJp = 8;
inline constexpr int kCodeFirstConditionalJump = 9;
inline constexpr int kCodeLastConditionalJump = 14;

// Code of a keyword (exact, case-sensitive), 0 when the word is not a keyword.
int KeywordCode(const char* word);
// Keyword text of a code, nullptr outside 1..31.
const char* KeywordText(int code);

} // namespace tsl
