#pragma once

// Template and control ids of the file transfer dialog (CFileSendDlg). Its send, close and
// cancel buttons are the dialog's IDOK, IDCANCEL and IDABORT.
namespace FileSendDlgIds {
inline constexpr int IDD = 134;
inline constexpr int IDC_DRIVE = 1000;
inline constexpr int IDC_FILE_TYPE = 1003;
inline constexpr int IDC_SIZE_TEXT = 1008; // progress text
inline constexpr int IDC_FILE_NAME = 1009;
inline constexpr int IDC_FOLDER = 1010;
inline constexpr int IDC_PATH = 1011;       // a folder or file path the user may type
inline constexpr int IDC_PROTOCOL = 1012;   // 없음(일반), XMODEM, XMODEM-1K, YMODEM, ZMODEM
inline constexpr int IDC_DIRECTION = 1013;  // 보내기, 받기 (a protocol only)
inline constexpr int IDC_LINE_DELAY = 1014; // ms after each line feed of a plain send
inline constexpr int IDC_BYTE_DELAY = 1015; // ms after each byte of a plain send
inline constexpr int IDC_FILE_LIST = 1043;
inline constexpr int IDC_PROGRESS = 1044;
} // namespace FileSendDlgIds
