#pragma once

#include <string>

// A line as it may be written to a terminal: control bytes (below 0x20 but the tab, and 0x7F)
// in the <XX> notation, so that what a device sends can never drive the user's terminal.
std::string EscapeForTerminal(const std::string& line);
