#include "CReplySchedule.h"

#include <algorithm>
#include <utility>

CReplySchedule::CReplySchedule(std::size_t maxBytes, double speed)
    : m_nMaxBytes(maxBytes), m_speed(speed)
{}

int CReplySchedule::Feed(CReplyMatcher& matcher, std::string_view bytes, Clock::time_point now,
                         const Unmatched& unmatched)
{
    int answered = 0;
    while (!bytes.empty()) {
        const std::string_view slice = bytes.substr(0, kFeedSlice);
        bytes.remove_prefix(slice.size());
        answered += Schedule(matcher.Feed(slice), now, unmatched);
    }
    return answered;
}

int CReplySchedule::GiveUp(CReplyMatcher& matcher, Clock::time_point now,
                           const Unmatched& unmatched)
{
    return Schedule(matcher.GiveUp(), now, unmatched);
}

int CReplySchedule::Schedule(std::vector<CReplyMatcher::Event> events, Clock::time_point now,
                             const Unmatched& unmatched)
{
    int answered = 0;
    for (CReplyMatcher::Event& e : events) {
        if (e.bUnmatched) {
            std::optional<std::string> answer = unmatched ? unmatched(e.bytes) : std::nullopt;
            if (answer)
                Add(std::move(*answer), {}, now);
            continue;
        }
        ++answered;
        Add(std::move(e.bytes), e.delay, now);
    }
    return answered;
}

bool CReplySchedule::Add(std::string bytes, std::chrono::microseconds delay, Clock::time_point now)
{
    if (bytes.empty())
        return true; // a request the device never answers
    if (m_nHeldBytes + bytes.size() > m_nMaxBytes) {
        ++m_nDropped;
        return false;
    }
    Clock::time_point due = now;
    if (m_speed > 0)
        due += std::chrono::duration_cast<Clock::duration>(delay / m_speed);
    if (!m_answers.empty())
        due = std::max(due, m_answers.back().due);
    m_nHeldBytes += bytes.size();
    m_answers.push_back({due, std::move(bytes)});
    return true;
}

std::vector<std::string> CReplySchedule::TakeDue(Clock::time_point now)
{
    std::vector<std::string> due;
    while (!m_answers.empty() && m_answers.front().due <= now) {
        m_nHeldBytes -= m_answers.front().bytes.size();
        due.push_back(std::move(m_answers.front().bytes));
        m_answers.pop_front();
    }
    return due;
}

std::optional<CReplySchedule::Clock::time_point> CReplySchedule::NextDue() const
{
    if (m_answers.empty())
        return std::nullopt;
    return m_answers.front().due;
}

void CReplySchedule::Clear()
{
    m_answers.clear();
    m_nHeldBytes = 0;
}
