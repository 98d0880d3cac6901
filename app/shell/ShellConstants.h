#pragma once

// Numbers and names that the desktop program keeps between runs or shares between its windows.

// Settings: company and application, groups and value names.
inline constexpr char kCompanyName[] = "Halvorn";
inline constexpr char kApplicationName[] = "TARVEN";
inline constexpr char kGroupTarven[] = "TARVEN";
inline constexpr char kGroupEdit[] = "EDIT";
inline constexpr char kGroupMdiClient[] = "MDIClient";
inline constexpr char kGroupRecentFiles[] = "Recent File List";
inline constexpr char kBarStateName[] = "BarState";

inline constexpr char kKeyFindCount[] = "FINDSTRINGCOUNT";
inline constexpr char kKeyFindString[] = "FINDSTRING%1";
inline constexpr char kKeyReplaceCount[] = "REPLACESTRINGCOUNT";
inline constexpr char kKeyReplaceString[] = "REPLACESTRING%1";
inline constexpr char kKeyRecentFile[] = "File%1";
// Where the main window was left ("TARVEN" group): its normal geometry and whether it was
// maximised.
inline constexpr char kKeyMainWindowGeometry[] = "MainWindowGeometry";
inline constexpr char kKeyMainWindowMaximized[] = "MainWindowMaximized";

// Document types, by their document names.
inline constexpr char kDocTypeTvn[] = "Tvn";
inline constexpr char kDocTypeScript[] = "Script";

// Histories and lists.
inline constexpr int kMaxHistoryEntries = 100;
inline constexpr int kRecentFileCount = 4;

// Timers.
inline constexpr int kLampTimerMs = 100;
inline constexpr int kSplashMs = 5000;
// How long a notice stays in the main window's status bar.
inline constexpr int kStatusMessageMs = 5000;

// Main window start size, pixels.
inline constexpr int kFrameWidthPx = 1024;
inline constexpr int kFrameHeightPx = 768;
inline constexpr int kBarWidthPx = 300;
inline constexpr int kBarHeightPx = 100;
inline constexpr int kToolbarIconPx = 20;
inline constexpr int kChildWidthPx = 640;
inline constexpr int kChildHeightPx = 400;

// Line limit of the terminal views: the default, and what the settings dialog accepts.
inline constexpr int kDefaultMaxLine = 50000;
inline constexpr int kMinMaxLine = 1000;
inline constexpr int kMaxMaxLine = 1000000;

// Background of the child-window area.
inline constexpr unsigned kMdiBackgroundColour = 0x323232;

// Window ids that name the bars and the toolbar in the saved layout.
inline constexpr int ID_TOOLBAR = 59392;
inline constexpr int ID_STATUSBAR = 59393;
inline constexpr int ID_SCRIPT_OUTPUT_BAR = 123;
inline constexpr int ID_CMDLIST_BAR = 124;
inline constexpr int ID_LAMP_TIMER = 10003;
