#pragma once

// Template and control ids of the capture name dialog (CCaptureNameDlg).
namespace CaptureNameDlgIds {
inline constexpr int IDD = 143;
inline constexpr int IDC_FILE_NAME = 1006;
inline constexpr int IDC_FOLDER = 1007;
} // namespace CaptureNameDlgIds
