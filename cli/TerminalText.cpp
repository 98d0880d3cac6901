#include "TerminalText.h"

#include <QString>

#include <cstdio>
#include <unistd.h>

std::size_t Utf8Length(std::string_view text, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // range of the first continuation byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (i + length > text.size() || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t k = 2; k < length; ++k) {
        if (byte(k) < 0x80 || byte(k) > 0xBF)
            return 0;
    }
    return length;
}

namespace {

void AppendCode(std::string& out, unsigned char byte)
{
    char code[5];
    std::snprintf(code, sizeof code, "<%02X>", byte);
    out += code;
}

} // namespace

std::string EscapeForTerminal(std::string_view text, TerminalText kind)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            const bool control = c < 0x20 || c == 0x7F;
            if (control && !(c == '\t' && kind == TerminalText::Line))
                AppendCode(out, c);
            else
                out += static_cast<char>(c);
            ++i;
            continue;
        }
        const std::size_t length = Utf8Length(text, i);
        const bool c1Character =
            length == 2 && c == 0xC2 && static_cast<unsigned char>(text[i + 1]) <= 0x9F;
        if (length == 0) {
            // A byte outside valid UTF-8: a C1 control when 0x80-0x9F, else left as it is.
            if (c <= 0x9F)
                AppendCode(out, c);
            else
                out += static_cast<char>(c);
            ++i;
        } else if (c1Character) {
            AppendCode(out, c);
            AppendCode(out, static_cast<unsigned char>(text[i + 1]));
            i += 2;
        } else {
            out.append(text.substr(i, length));
            i += length;
        }
    }
    return out;
}

void WriteDiagnostic(std::string_view message)
{
    const std::string line = EscapeForTerminal(message, TerminalText::Field) + "\n";
    // One write, so that lines from the run's threads never interleave.
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, line.data(), line.size());
}

namespace {

const char* g_program = "";

void TellQtMessage(QtMsgType, const QMessageLogContext&, const QString& message)
{
    WriteDiagnostic(std::string(g_program) + ": " + message.toStdString());
}

} // namespace

void TellQtMessagesAs(const char* program)
{
    g_program = program;
    qInstallMessageHandler(TellQtMessage);
}
