#pragma once

#include <QtGlobal>
#include <qnamespace.h>

// Numbers and names of the command list; units are in the names.

// Grid layout.
inline constexpr int kCmdListRows = 200;
inline constexpr int kCmdListColumns = 4;
inline constexpr int kButtonColumn = 0;
inline constexpr int kTextColumn = 1;
inline constexpr int kDescriptionColumn = 2;
inline constexpr int kPeriodColumn = 3;
inline constexpr int kStartColumnWidthsPx[kCmdListColumns] = {30, 80, 60, 40};
// Share of the grid's width each column takes once the panel is sized.
inline constexpr int kColumnWidthPercent[kCmdListColumns] = {8, 36, 42, 12};
inline constexpr char kCellFontFamily[] = "Arial";
inline constexpr int kCellFontPx = 12;
inline constexpr int kRowHeightPx = 22;

// Cell parameters: what a cell is. A send button carries the first plus its row index.
inline constexpr int kParamFirstButton = 100;
inline constexpr int kParamEditable = 1000;
// Item data roles: a cell's parameter, and on the period cell whether the row is repeating.
inline constexpr int kParamRole = Qt::UserRole;
inline constexpr int kRepeatingRole = Qt::UserRole + 1;

// Panel layout: the file-name box on top, the grid in the frame below it.
inline constexpr int kFileNameBoxHeightPx = 20;
inline constexpr int kFileNameBoxId = 1089;
inline constexpr int kGridFrameId = 1030;
inline constexpr int kGridId = 234222;

// The commands of the list's popup menu; their numbers name the menu's actions.
enum class CmdListCommand : int
{
    Clear = 32795,
    Load = 32797,
    Save = 32798,
    AddRow = 32811,
    DeleteRow = 32812,
    InsertRow = 32813,
    SendSequence = 32814,
    StopRepeats = 32815,
};

// Repeated sends. A row's period is 0 (off) or lies between the floor and the ceiling; a
// smaller period is raised to the floor. Below it a timer on the user-interface thread can
// no longer keep time, and a link would be flooded rather than tested.
inline constexpr int kMinRepeatPeriodMs = 10;
inline constexpr int kMaxRepeatPeriodMs = 24 * 60 * 60 * 1000;
// The pause after a row of a sequence whose own period is 0.
inline constexpr int kSequenceDelayMs = 100;

// Settings and files.
inline constexpr char kGroupCmdList[] = "CmdList";
inline constexpr char kKeyLastFileName[] = "LastFileName";
inline constexpr char kKeyRootPath[] = "RootPath";
inline constexpr char kCommandFolder[] = "Command";
inline constexpr char kCommandFileSuffix[] = "TCF";
// Files from Windows benches come with either case of the extension.
inline constexpr char kCommandFileFilter[] =
    QT_TRANSLATE_NOOP("CCmdListDlg", "TARVEN Command Files (*.TCF *.tcf)");
// A command file is a few kilobytes; anything near this is not one.
inline constexpr qint64 kMaxCommandFileBytes = 64 * 1024 * 1024;
// Rows a command file may bring; a longer list is refused rather than cut.
inline constexpr int kMaxCommandRows = 100000;
// The side file that keeps the rows' periods: the command file's name plus this.
inline constexpr char kRepeatFileSuffix[] = ".json";
inline constexpr int kRepeatFileVersion = 1;
// One entry is well under a hundred bytes plus its text.
inline constexpr qint64 kMaxRepeatFileBytes = 1024 * 1024;
