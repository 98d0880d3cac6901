#pragma once

#include <cstddef>
#include <cstdint>

// Numbers that fix how a monitor window behaves; units are in the names.

// Timers.
inline constexpr int ID_CONNECT_TIMER = 10005;
inline constexpr int kConnectTickMs = 1000;
// A connect still pending on this tick has failed (about three seconds after the start).
inline constexpr int kConnectGiveUpTicks = 3;
// Counters and the time pane follow received data at most this often (ten times a second is as
// fast as a person reads a count), so that a stream of notices does not spend the
// user-interface thread on measuring and drawing the status bar.
inline constexpr int kStatusRefreshMs = 100;
// How long the status bar says that a typed character was not sent.
inline constexpr int kRefusedTextMessageMs = 5000;

// Arrival stamps: the longest pause the "TimeStampGap" setting may ask for (one minute).
inline constexpr int kMaxArrivalGapMs = 60 * 1000;

// Receive path: a notice takes at most this much from the link, and another follows for the
// rest, so that input and painting get their turn during a flood.
inline constexpr int kBytesPerNotice = 256 * 1024;
// Received bytes are announced to a window at most this often: a frame's worth of a device's
// many small chunks at one wake-up, shown at once (the terminal's frame is shorter).
inline constexpr int kNoticeGapMs = 16;
// Sends the link could not take and datagrams of other senders are told once a burst: after a
// quiet while without more, or once the burst has lasted its longest.
inline constexpr int kBurstQuietMs = 1000;
inline constexpr int kBurstLongestMs = 5000;

// Child control id of the terminal view.
inline constexpr int kTerminalViewId = 5000;

// Control-code panel: 11 rows of 3 cells on the left of the view.
inline constexpr int kPanelWidthPx = 100;
inline constexpr int kPanelRows = 11;
inline constexpr int kPanelColumns = 3;
inline constexpr int kPanelCells = 33; // the 32 control codes and the space
inline constexpr double kPanelColumnWidthPx = 33.333332;
inline constexpr int kPanelMaxFontPx = 12;
// Rows taller than this show the code's name above its number.
inline constexpr double kPanelTwoLineRowPx = 25.0;
inline constexpr uint32_t kPanelColour = 0xFF8080;      // COLORREF
inline constexpr uint32_t kPanelHoverColour = 0xFFC0C0; // COLORREF
inline constexpr uint32_t kPanelShadowColour = 0x808080;

// Lamps of the status bar.
inline constexpr int kLampOn = 100;
inline constexpr int kLampLitThreshold = 10;
inline constexpr uint32_t kLampColour = 0x00FF00; // COLORREF
inline constexpr int kIndicatorFontPx = 12;
inline constexpr int kIndicatorMarginPx = 8; // on each side of a pane's text
inline constexpr int kLineIndicatorMarginPx = 4;

// Status bar panes, by the ids of their texts.
inline constexpr int ID_PANE_ONLINE = 32858;
inline constexpr int ID_PANE_INTERFACE = 32859;
inline constexpr int ID_PANE_PORT = 32860;
inline constexpr int ID_PANE_COUNTERS = 32861;
inline constexpr int ID_PANE_SEND = 32864;
inline constexpr int ID_PANE_RECEIVE = 32865;
inline constexpr int ID_PANE_TIME = 32866;
// The input lines of a serial link.
inline constexpr int ID_PANE_CTS = 32867;
inline constexpr int ID_PANE_DSR = 32868;
inline constexpr int ID_PANE_DCD = 32869;
inline constexpr int ID_PANE_RI = 32870;
inline constexpr int kModemLinePanes = 4;
inline constexpr bool IsModemLinePane(int id)
{
    return id >= ID_PANE_CTS && id <= ID_PANE_RI;
}

// Command that shows the document's own file; nothing in the menus issues it.
inline constexpr int ID_SHOW_DOCUMENT_FILE = 20008;

// Capture files.
inline constexpr int kCaptureNameMaxChars = 256;
inline constexpr int kCaptureFolderMaxChars = 255;
// Room of the name field, in average characters: a usual name shows whole, and the dialog is
// wide enough for its title in either language.
inline constexpr int kCaptureNameFieldChars = 40;
// A replay window's first size on its own (in the workspace it fills the room as a monitor
// does): wide enough for the stretchable status panes, which share the room by weight, to show
// their texts whole.
inline constexpr int kReplayWindowWidthPx = 920;
inline constexpr int kReplayWindowHeightPx = 480;
// A replay reads this many recorded bytes ahead of what it has written (a record more when one
// is bigger): enough to write at full speed, small beside the view's own log.
inline constexpr std::size_t kReplayReadAheadBytes = std::size_t(4) << 20;

// Port settings.
inline constexpr int kComPortCount = 255;
inline constexpr int kWelcomeMaxChars = 256;
