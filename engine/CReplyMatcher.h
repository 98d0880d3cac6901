#pragma once

#include "ReplyRules.h"

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

// Finds the requests of reply rules in a stream of received bytes, however the link cuts it, and
// says what to answer. Rules are tried in their order at each byte: the first whose request
// stands there answers; when an earlier rule could still match with more bytes, the matcher
// waits for them (until GiveUp, when the line has gone quiet). Bytes that begin no request are
// handed back as unmatched, a run at a time: before the next answer, at GiveUp, or every 256
// bytes. The bytes held never pass the longest request.
class CReplyMatcher
{
public:
    // How the rules after the first `nFixed` are tried: all of them (a rule file, or a recorded
    // session looked up by request), or only the next one in turn (a recorded session played as
    // its script, which starts over when its first request comes again).
    enum class Order
    {
        Lookup,
        InOrder
    };

    struct Event
    {
        bool bUnmatched = false;
        int nRule = -1; // index of the rule that answered
        std::string bytes;
        std::chrono::microseconds delay{0};
    };

    explicit CReplyMatcher(std::vector<tsl::ReplyRule> rules, std::size_t nFixed = 0,
                           Order order = Order::Lookup);

    std::vector<Event> Feed(std::string_view bytes);
    // The line went quiet: bytes held for a request that never came whole are unmatched (a
    // shorter request after them may still answer).
    std::vector<Event> GiveUp();

    const std::vector<tsl::ReplyRule>& Rules() const { return m_rules; }
    const std::vector<long long>& FireCounts() const { return m_fired; }
    std::size_t Held() const { return m_held.size(); }

private:
    std::vector<Event> Scan(bool final);
    // The rule that answers at `at`: its index, -1 for none, -2 to wait for more bytes.
    int RuleAt(std::string_view rest, bool final, std::string& captures) const;
    bool Tried(std::size_t index, std::string_view rest, bool final, std::string& captures,
               bool& wait) const;

    std::vector<tsl::ReplyRule> m_rules;
    std::size_t m_nFixed;
    Order m_order;
    std::size_t m_next; // the rule an in-order session waits for
    std::vector<long long> m_fired;
    std::string m_held;
    std::string m_unmatched;
    static constexpr std::size_t kUnmatchedRun = 256;
};
