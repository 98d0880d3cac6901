#include "MainLineSplit.h"

namespace tsl {

std::vector<std::string> SplitMainLine(const std::string& text)
{
    std::vector<std::string> words;
    const std::string::size_type space = text.find(' ');
    if (space == std::string::npos) {
        words.push_back(text);
        return words;
    }
    words.push_back(text.substr(0, space));

    // The rest, with a line feed appended so that the last operand is ended like the others.
    const std::string rest = text.substr(space + 1) + '\n';
    std::string operand;
    bool inQuotes = false;
    for (char c : rest) {
        if (c == '"')
            inQuotes = !inQuotes;
        if (c == ' ' && !inQuotes)
            continue;
        if ((c == ',' && !inQuotes) || c == '\r' || c == '\n') {
            if (!operand.empty())
                words.push_back(operand);
            operand.clear();
            continue;
        }
        operand += c;
    }
    return words;
}

} // namespace tsl
