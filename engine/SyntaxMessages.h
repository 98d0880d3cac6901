#pragma once

#include <QtGlobal>

// The verifier's messages, as the user reads them. "%d" is the 1-based line number (-1 for the
// section messages), "%s" the operand, word or path the message names.
namespace tsl::msg {

// Files and declarations.
inline constexpr const char* kFileUnreadable =
    QT_TRANSLATE_NOOP("TSL", "error : '%s' 파일을 읽을 수가 없습니다...");
inline constexpr const char* kTooManyWords =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, 구문에 오류가 있습니다...");
inline constexpr const char* kWrongArguments =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, 인수사용이 잘못되었습니다...");
inline constexpr const char* kBufferTooSmall =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, 버퍼 크기가 너무 작습니다...");
inline constexpr const char* kBufferTooLarge =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, 버퍼 크기가 너무 큽니다...");
inline constexpr const char* kBadSuffix =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, 변수 형태가 잘못 지정되었습니다...");
inline constexpr const char* kDuplicateVariable =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, 중복된 변수가 사용 되었습니다...");
inline constexpr const char* kDuplicateText =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, 중복된 변수가 사용되었습니다...");
inline constexpr const char* kExportNotFound =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, EXPORT 변수를 찾을 수 없습니다...");
inline constexpr const char* kOpenArguments =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, 'OPEN' 인수사용이 잘못되었습니다...");
inline constexpr const char* kDuplicateKeyword =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, 키워드 '%s'가 중복 선언되었습니다...");
inline constexpr const char* kTableNameArguments =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, 'TABLE_NAME' 인수사용이 잘못되었습니다...");
inline constexpr const char* kUnknownDeclaration =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, 잘못된 변수형이 사용되었습니다...");

// Main-section structure.
inline constexpr const char* kNoBegin =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, 시작부분'BEGIN'을 찾을수 없습니다...");
inline constexpr const char* kNoEnd =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, 종료부분'END'를 찾을수 없습니다...");
inline constexpr const char* kDuplicateLabel =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, 라벨명이 중복 되었습니다...");
inline constexpr const char* kWrongStatement =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, 잘못된 구문입니다...");
inline constexpr const char* kUndefinedCommand =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, 정의 되지 않은 명령어 입니다...");

// Commands: the messages for a wrong operand count are in the keyword table (KeywordTable.h).

// Commands: first operands that must be variables.
inline constexpr const char* kAddFirst =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, 'ADD' 명령에서 첫번째 인자는 변수이어야 합니다...");
inline constexpr const char* kSubFirst =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, 'SUB' 명령에서 첫번째 인자는 변수이어야 합니다...");
inline constexpr const char* kAndFirst =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, 'AND' 명령에서 첫번째 인자는 변수이어야 합니다...");
inline constexpr const char* kOrFirst =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, 'OR' 명령에서 첫번째 인자는 변수이어야 합니다...");
inline constexpr const char* kXorFirst =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, 'XOR' 명령에서 첫번째 인자는 변수이어야 합니다...");
inline constexpr const char* kNotFirst =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, 'NOT' 명령에서 첫번째 인자는 변수이어야 합니다...");

// Commands: operand faults.
inline constexpr const char* kNotFound =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, '%s' 변수를 찾을수 없습니다...");
inline constexpr const char* kBadNumber =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, '%s' 변수(상수)형태가 잘못되었습니다...");
inline constexpr const char* kNotScalar =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, '%s' 변수형태가 잘못되었습니다...");
inline constexpr const char* kMoveTarget =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, '%s' 인수부분이 잘못되었습니다...");
inline constexpr const char* kBadValue =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, '%s' 잘못된 인자입니다...");
inline constexpr const char* kCopyNegative =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, '%s' 복사갯수가 0보다 커야합니다...");
inline constexpr const char* kCopyNotArray =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, '%s' 배열변수가 아닙니다...");
inline constexpr const char* kCopyBadText =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, '%s' 문자열 사용에 문제가 있습니다...");
inline constexpr const char* kNotArray =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, '%s' 변수가 배열변수가 아닙니다...");
inline constexpr const char* kCatBadText =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, '%s' 문자열이 잘못 되었습니다...");
inline constexpr const char* kCatBadLength =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, '%s' 변수지정이 잘못 되었습니다...");
inline constexpr const char* kCatNotVar =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, '%s' 변수가 일반변수(VAR)가 아닙니다...");
inline constexpr const char* kConvBadCount =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, '%s' 인수부분이 잘못 되었습니다...");
inline constexpr const char* kConvNotScalar =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, '%s' 변수형태가 잘못 되었습니다...");
inline constexpr const char* kConvNotArray =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, '%s' 인수부분이 배열변수이어야 합니다...");
inline constexpr const char* kFindBadPattern =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, 'FIND' 명령의 2번 인수부분이 잘못되었습니다...");
inline constexpr const char* kWrongTarget =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, '%s' 변수가 잘못 지정되었습니다...");
inline constexpr const char* kDelayArgument =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, 'DELAY' 인수 사용이 잘못되었습니다...");
inline constexpr const char* kSleepArgument =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, 'SLEEP' 인수 사용이 잘못되었습니다...");
inline constexpr const char* kLabelNotFound =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, '%s' 라벨변수를 찾을수 없습니다...");
inline constexpr const char* kOutArgument =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, 'OUT' 명령의 인수부분이 잘못되었습니다...");
inline constexpr const char* kPrintArgument =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, 'PRINT' 명령의 인수부분이 잘못되었습니다...");
inline constexpr const char* kPrintExArgument =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, 'PRINTEX' 명령의 인수부분이 잘못되었습니다...");
inline constexpr const char* kBadMode =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, '%s' 인자지정이 잘못되었습니다...");
inline constexpr const char* kBadTagName =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, '%s' 태그명 설정이 잘못되었습니다...");
inline constexpr const char* kTagNotFound =
    QT_TRANSLATE_NOOP("TSL", "error : line %d, '%s' 태그명을 찾을수 없습니다...");

// A check that was stopped before its end (the run flag cleared): the script is not run.
inline constexpr const char* kCheckStopped =
    QT_TRANSLATE_NOOP("TSL", "error : 검사가 중단되었습니다...");

// The count line after the messages.
inline constexpr const char* kErrorCount = QT_TRANSLATE_NOOP("TSL", "%d 개의 오류가 있습니다...");

} // namespace tsl::msg
