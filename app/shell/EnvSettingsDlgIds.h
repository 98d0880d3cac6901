#pragma once

// Template and control ids of the environment settings dialog (CEnvSettingsDlg).
namespace EnvSettingsDlgIds {
inline constexpr int IDD = 139;
inline constexpr int IDC_ECHO = 1000;
// One spin box stands for the line limit edit and its up-down control.
inline constexpr int IDC_MAX_LINE = 1002;
inline constexpr int IDC_GALMURI_FILE_CREATE = 1005;
inline constexpr int IDC_NULL_CHECK = 1017;
inline constexpr int IDC_RECV_ENCODING = 1018;
inline constexpr int IDC_LANGUAGE = 1019;
// Colour buttons of sent data: text, text background, control codes, their background.
inline constexpr int IDC_TEXT_OUT = 1080;
inline constexpr int IDC_BK_TEXT_OUT = 1081;
inline constexpr int IDC_CONTROL_OUT = 1082;
inline constexpr int IDC_BK_CONTROL_OUT = 1083;
// The same for received data.
inline constexpr int IDC_TEXT_IN = 1084;
inline constexpr int IDC_BK_TEXT_IN = 1085;
inline constexpr int IDC_CONTROL_IN = 1086;
inline constexpr int IDC_BK_CONTROL_IN = 1087;
inline constexpr int IDC_BK = 1088;
} // namespace EnvSettingsDlgIds
