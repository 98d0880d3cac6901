#pragma once

#include <QtGlobal>

// Messages of a running script that programs hosting it show the user; marked for translation
// (tsl::MessageText).
namespace tsl::msg {

inline constexpr const char* kPortOpenFailed =
    QT_TRANSLATE_NOOP("TSL", "통신포트 생성실패 하였습니다.[%s]");
// Host, port and the system's reason.
inline constexpr const char* kConnectFailed =
    QT_TRANSLATE_NOOP("TSL", "%s:%d에 연결하지 못했습니다: %s");
// The ones below are followed by what went wrong, or the table's or the tag's name.
inline constexpr const char* kLinkLost = QT_TRANSLATE_NOOP("TSL", "링크가 끊어졌습니다: ");
inline constexpr const char* kTableDamaged = QT_TRANSLATE_NOOP("TSL", "태그 테이블 손상: ");
inline constexpr const char* kTableRemoved = QT_TRANSLATE_NOOP("TSL", "태그 테이블 삭제됨: ");
inline constexpr const char* kTableUnusable = QT_TRANSLATE_NOOP("TSL", "태그 테이블 사용 불가: ");
inline constexpr const char* kTagLockTimeout = QT_TRANSLATE_NOOP("TSL", "태그 잠금 시간초과: ");
// A serial OUT that the line did not take within the write time-out; the bytes not sent.
inline constexpr const char* kSerialWriteCut =
    QT_TRANSLATE_NOOP("TSL", "시리얼 쓰기 시간초과: %d바이트를 보내지 못했습니다");

} // namespace tsl::msg
