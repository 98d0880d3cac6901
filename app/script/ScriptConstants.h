#pragma once

#include <QtGlobal>

// Numbers and texts of the script editor that its classes and tests share.

// Scintilla lexers by Scintilla's own numbering: none, and C++ (which TSL is shown with).
inline constexpr int kLexerNone = 1;
inline constexpr int kLexerCpp = 3;

// Keyword set 0 of the C++ lexer: the words of TSL.
inline constexpr char kTslKeywords[] =
    "OPEN MEDIA IP PORT BAUD_RATE PARITY_BIT DATA_BIT STOP_BIT DIM VAR EQU EXPORT ASSIGN "
    "TABLE_NAME BEGIN END ADD AND CAT CMP CONV COPY CLEAR DEC DELAY FIND GET IN INC JP JPE JPNE "
    "JPL JPLE JPG JPGE MOVE NOT OR OUT PRINT PRINTEX PUT SLEEP SUB SYNC XOR";

// Look of the editor.
// A font name, kept in Korean: the program's substitution maps it.
inline constexpr char kEditorFont[] = "굴림체";
inline constexpr int kEditorFontPt = 10;
inline constexpr int kLastStyle = 126;
inline constexpr int kTabWidth = 4;
inline constexpr int kCaretBlinkMs = 400;

// Margins: line numbers, selection (where breakpoints are set), fold markers; their widths in
// pixels.
inline constexpr int kMarginLineNumbers = 0;
inline constexpr int kMarginSelection = 1;
inline constexpr int kMarginFold = 2;
inline constexpr int kMarginSelectionPx = 16;
inline constexpr int kMarginFoldPx = 16;
inline constexpr int kLineNumberPaddingPx = 10;

// Markers of the debugger: a breakpoint (a circle, Scintilla's marker 0), and the line a
// stopped script runs next (an arrow in the margin over a coloured line).
inline constexpr int kMarkerBreakpoint = 0;
inline constexpr int kMarkerStopArrow = 1;
inline constexpr int kMarkerStopLine = 2;

// The largest script file the editor opens, in bytes.
inline constexpr long long kMaxScriptFileBytes = 64LL * 1024 * 1024;

// Default extension and filter of the script save dialog.
inline constexpr char kScriptSuffix[] = "TSL";
inline constexpr char kScriptFilter[] =
    QT_TRANSLATE_NOOP("CScriptEditDoc", "TARVEN Script Files (*.TSL *.tsl *.Tsl)");

// Controls of the find dialogs, named by these numbers.
enum FindControlId : int
{
    IDC_FIND_NEXT = 1008,
    IDC_FIND_REPLACE = 1010,
    IDC_FIND_REPLACE_TEXT = 1011,
    IDC_FIND_TEXT = 1013,
    IDC_FIND_MATCH_CASE = 1014,
    IDC_FIND_WHOLE_WORD = 1015,
    IDC_FIND_REGEXP = 1016,
    IDC_FIND_PREVIOUS = 1017,
    IDC_FIND_REPLACE_ALL = 1018,
    IDC_FIND_IN_SELECTION = 1019,
};

// The script output bar: its pages' font and icon.
// A font name, kept in Korean.
inline constexpr char kOutputFont[] = "굴림";
inline constexpr int kOutputFontPx = 12;
inline constexpr char kOutputPageIcon[] = ":/icons/32803.svg";
// A page keeps its last lines only: a script that makes a SYNC on every pass adds one a second
// for as long as it runs.
inline constexpr int kOutputPageMaxLines = 100000;

// Running a script.
// The host control's identifier, and the folder-relative name pattern of a run's script copy.
inline constexpr unsigned kDecodeCtrlId = 5000;
inline constexpr char kRunScriptPattern[] = "tarven_script_XXXXXX.tsl";
// How often a running view looks whether its run ended by itself.
inline constexpr int kRunCheckMs = 100;
// After the link is lost, the run goes on this long at most, so the script can take what
// arrived before the loss.
inline constexpr int kLinkLossGraceMs = 1000;
// Progress pane values along a run.
inline constexpr int kProgressSaving = 30;
inline constexpr int kProgressSaved = 50;
inline constexpr int kProgressVerified = 70;
inline constexpr int kProgressRunning = 100;

// The status panes of a script window, the blink of the running pane and its widths.
inline constexpr int ID_PANE_PROGRESS = 32862;
inline constexpr int ID_PANE_RUNNING = 32863;
inline constexpr int ID_PANE_CARET = 32857;
inline constexpr int kRunningPaneWidthPx = 50;
inline constexpr int kCaretPaneWidthPx = 100;
// The caret pane fits this position, with some slack.
inline constexpr int kWidestCaretColumn = 999;
inline constexpr int kWidestCaretLine = 99999;
inline constexpr int kCaretPaneSlackPx = 6;
inline constexpr int kSyncPaneMaxPx = 160;
inline constexpr int kRunFrames = 20;
inline constexpr int kStatusUpdateMs = 100;
