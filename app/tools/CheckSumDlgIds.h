#pragma once

// Template and control ids of the checksum calculator (CCheckSumDlg). Its compute and close
// buttons are the dialog's IDOK and IDCANCEL.
namespace CheckSumDlgIds {
inline constexpr int IDD = 136;
inline constexpr int IDC_INPUT = 1046;
inline constexpr int IDC_HEX = 1047;
inline constexpr int IDC_DEC = 1048;
inline constexpr int IDC_BIN = 1049;
inline constexpr int IDC_ASCII = 1050;
// Method radios in the order of CheckSumMethod: XOR, AND, OR, SUM, CRC16, then the checksums of
// the command rows' tokens.
inline constexpr int IDC_XOR = 1051;
inline constexpr int IDC_AND = 1052;
inline constexpr int IDC_OR = 1053;
inline constexpr int IDC_SUM = 1054;
inline constexpr int IDC_CRC16 = 1055;
inline constexpr int IDC_CRC16CCITT = 1056;
inline constexpr int IDC_CRC32 = 1057;
inline constexpr int IDC_SUM8 = 1058;
inline constexpr int IDC_XOR8 = 1059;
inline constexpr int IDC_LRC = 1060;
} // namespace CheckSumDlgIds
