#pragma once

// Messages that programs hosting a script show the user.
namespace tsl::msg {

inline constexpr const char* kPortOpenFailed = "통신포트 생성실패 하였습니다.[%s]";

} // namespace tsl::msg
