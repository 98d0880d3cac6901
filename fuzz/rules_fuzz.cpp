// Fuzzes reply rules: the first part of the input is a rule file, the rest a received stream
// fed to its matcher in pieces of varying size. Parsing, matching and building replies must
// stay inside their buffers, and the matcher must never hold more than its longest request.
#include "CReplyMatcher.h"
#include "ReplyRules.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\0');
    tsl::ReplyRuleSet set = tsl::ParseReplyRules(input.substr(0, split));
    if (set.rules.empty() || split == std::string_view::npos)
        return 0;
    std::size_t longest = 0;
    for (const tsl::ReplyRule& rule : set.rules)
        longest = std::max(longest, rule.RequestLength());
    CReplyMatcher matcher(std::move(set.rules), 1, CReplyMatcher::Order::InOrder);
    std::string_view stream = input.substr(split + 1);
    for (std::size_t piece = 1; !stream.empty(); piece = piece % 7 + 1) {
        const std::size_t n = std::min(piece, stream.size());
        matcher.Feed(stream.substr(0, n));
        stream.remove_prefix(n);
        if (matcher.Held() >= longest)
            std::abort();
    }
    matcher.GiveUp();
    if (matcher.Held() != 0)
        std::abort();
    return 0;
}
