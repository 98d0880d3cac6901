#pragma once

// The menu bars a document type selects: the main frame shows the one of the active window.
namespace MenuBars {
inline constexpr int kMain = 128;   // no window active
inline constexpr int kTvn = 129;    // a monitor, or a replay
inline constexpr int kScript = 131; // a script
} // namespace MenuBars
