#include "TerminalText.h"

#include <cstdio>

std::string EscapeForTerminal(const std::string& line)
{
    std::string out;
    out.reserve(line.size());
    for (unsigned char c : line) {
        if ((c < 0x20 && c != '\t') || c == 0x7F) {
            char code[5];
            std::snprintf(code, sizeof code, "<%02X>", c);
            out += code;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}
