#include "CReplyMatcher.h"

#include <algorithm>
#include <utility>

CReplyMatcher::CReplyMatcher(std::vector<tsl::ReplyRule> rules, std::size_t nFixed, Order order)
    : m_rules(std::move(rules)), m_nFixed(std::min(nFixed, m_rules.size())), m_order(order),
      m_next(m_nFixed), m_fired(m_rules.size(), 0)
{}

std::vector<CReplyMatcher::Event> CReplyMatcher::Feed(std::string_view bytes)
{
    m_held.append(bytes);
    return Scan(false);
}

std::vector<CReplyMatcher::Event> CReplyMatcher::GiveUp()
{
    return Scan(true);
}

bool CReplyMatcher::Tried(std::size_t index, std::string_view rest, bool final,
                          std::string& captures, bool& wait) const
{
    const tsl::ReplyRule& rule = m_rules[index];
    const tsl::RequestItem& first = rule.request.front();
    if (first.kind == tsl::RequestItem::Kind::Byte &&
        static_cast<unsigned char>(rest.front()) != first.value)
        return false;
    switch (tsl::MatchRequest(rule, rest, &captures)) {
    case tsl::RuleMatch::Yes:
        return true;
    case tsl::RuleMatch::Partial:
        wait = !final;
        return false;
    case tsl::RuleMatch::No:
        return false;
    }
    return false;
}

int CReplyMatcher::RuleAt(std::string_view rest, bool final, std::string& captures) const
{
    bool wait = false;
    const std::size_t lookupEnd = m_order == Order::Lookup ? m_rules.size() : m_nFixed;
    for (std::size_t i = 0; i < lookupEnd; ++i) {
        if (Tried(i, rest, final, captures, wait))
            return static_cast<int>(i);
        if (wait)
            return -2;
    }
    if (m_order == Order::InOrder && m_next < m_rules.size()) {
        if (Tried(m_next, rest, final, captures, wait))
            return static_cast<int>(m_next);
        if (wait)
            return -2;
        if (m_next != m_nFixed && Tried(m_nFixed, rest, final, captures, wait))
            return static_cast<int>(m_nFixed); // the script begins again
        if (wait)
            return -2;
    }
    return -1;
}

std::vector<CReplyMatcher::Event> CReplyMatcher::Scan(bool final)
{
    std::vector<Event> events;
    const auto flushUnmatched = [&] {
        if (!m_unmatched.empty())
            events.push_back({true, -1, std::exchange(m_unmatched, {}), {}});
    };
    std::size_t at = 0;
    while (at < m_held.size()) {
        std::string captures;
        const int rule = RuleAt(std::string_view(m_held).substr(at), final, captures);
        if (rule == -2)
            break;
        if (rule == -1) {
            m_unmatched += m_held[at++];
            if (m_unmatched.size() == kUnmatchedRun)
                flushUnmatched();
            continue;
        }
        const tsl::ReplyRule& answering = m_rules[static_cast<std::size_t>(rule)];
        flushUnmatched();
        events.push_back({false, rule, tsl::BuildReply(answering, captures), answering.delay});
        ++m_fired[static_cast<std::size_t>(rule)];
        at += answering.RequestLength();
        if (m_order == Order::InOrder && static_cast<std::size_t>(rule) >= m_nFixed)
            m_next = static_cast<std::size_t>(rule) + 1 < m_rules.size()
                         ? static_cast<std::size_t>(rule) + 1
                         : m_nFixed;
    }
    m_held.erase(0, at);
    if (final)
        flushUnmatched();
    return events;
}
