#pragma once

#include <string>
#include <vector>

namespace tsl {

// Words of a cleaned main line, as the runtime and the verifier compile it: the keyword or
// label first, then the operands, with every space outside double quotes removed and split at
// commas outside quotes; empty operands disappear.
std::vector<std::string> SplitMainLine(const std::string& text);

// True when a line of one word is a label (it ends with a colon).
inline bool IsLabelWord(const std::string& word)
{
    return !word.empty() && word.back() == ':';
}

} // namespace tsl
