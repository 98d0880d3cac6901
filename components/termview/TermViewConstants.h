#pragma once

#include "CaptureCell.h"

#include <cstddef>
#include <cstdint>

// Line limit until the owner sets its own ("MaxLine").
inline constexpr int kDefaultLineMax = 50000;
// A line that grows past this many bytes without a line break continues on a new line, so a
// stream without line feeds cannot grow one line without bound.
inline constexpr std::size_t kMaxLineBytes = 1024;
// Past kMaxLineBytes a line looks this far for a place to continue without cutting a character.
inline constexpr std::size_t kLineBreakSearchBytes = 64;

// Repaints are batched. A trickle is shown at once, at most one frame each kFrameMs, so that a
// device's chunk is on screen within a notice and a frame; more than kPromptBytes since the last
// frame (faster than about 64 KB/s, more rows a frame than anyone reads) waits
// kRepaintIntervalMs: each frame moves the rows on screen, and a flood leaves the thread time to
// take.
inline constexpr int kFrameMs = 12;
inline constexpr int kRepaintIntervalMs = 30;
inline constexpr uint64_t kPromptBytes = 1024;
inline constexpr int kCaretBlinkMs = 500;
inline constexpr int kCaretWidthPx = 2;
// The caret stops blinking, lit, this long after the last key or focus change, so that an idle
// window wakes nothing.
inline constexpr int kCaretBlinkTimeoutMs = 10000;
// Capture data is handed to the file at least this often (a crash loses at most this much).
inline constexpr int kCaptureFlushMs = 200;
// A capture record is written once it holds this many bytes, even before the flush timer.
inline constexpr std::size_t kCaptureChunkMaxBytes = 64 * 1024;

// A capture file up to this size is shown at once; a bigger one is read on a thread of its own
// while the view shows how far it got.
inline constexpr long long kCaptureShowAtOnceBytes = 1 << 20;
// How often the view looks at a capture being read.
inline constexpr int kCaptureLoadPollMs = 50;

inline constexpr int kHexBytesPerRow = 16;

// Arrival stamps: a received chunk that follows a pause longer than this gets its time shown.
inline constexpr int kDefaultArrivalGapMs = 20;
// Cells a stamp "[HH:MM:SS.mmm] " takes; in hex mode every row keeps this room before its offset.
inline constexpr int kStampCells = 15;
// "[255] ": the widest client mark, the room it takes at the start of a hex row.
inline constexpr int kMarkCells = 6;
// Tab stops for a tab shown as spacing while control codes are hidden.
inline constexpr int kTabCells = 8;

// Positions of the nine colours in SetColor's array.
enum ColourIndex
{
    kClrBk = 0,
    kClrTextIn,
    kClrBkTextIn,
    kClrTextOut,
    kClrBkTextOut,
    kClrControlIn,
    kClrBkControlIn,
    kClrControlOut,
    kClrBkControlOut,
    kColourCount
};

// COLORREF values (0x00BBGGRR) used until the owner sets its own: the settings' defaults.
inline constexpr uint32_t kDefaultColours[kColourCount] = {
    0x000000, 0x000000, 0xFFFFFF, 0xFFFFFF, 0x000000, 0x000000, 0x0000FF, 0x0000FF, 0x000000};
