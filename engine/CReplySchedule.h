#pragma once

#include "CReplyMatcher.h"

#include <chrono>
#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The answers of reply rules waiting for their time. Each goes out its rule's delay after its
// request came, but never before the answer to an earlier request, so answers keep the order of
// the requests. At most maxBytes wait; an answer beyond that is dropped whole and counted, never
// cut. tslsim and a monitor's auto-reply both answer through one.
class CReplySchedule
{
public:
    using Clock = std::chrono::steady_clock;
    // What to answer a run of bytes no rule answers; nullopt answers nothing.
    using Unmatched = std::function<std::optional<std::string>(const std::string& bytes)>;

    // Received bytes go to the matcher this many at a time: a flood of one-byte requests with
    // 64 KiB answers builds at most this many answers before the bound drops them.
    static constexpr std::size_t kFeedSlice = 16;

    // Every delay is divided by speed; a speed of 0 answers at once.
    explicit CReplySchedule(std::size_t maxBytes, double speed = 1.0);

    // Feeds received bytes to the matcher and schedules what it answers; the number of requests
    // that were answered.
    int Feed(CReplyMatcher& matcher, std::string_view bytes, Clock::time_point now,
             const Unmatched& unmatched = {});
    // The line went quiet: see CReplyMatcher::GiveUp.
    int GiveUp(CReplyMatcher& matcher, Clock::time_point now, const Unmatched& unmatched = {});

    // False when the answer would pass the bound: it is dropped and counted.
    bool Add(std::string bytes, std::chrono::microseconds delay, Clock::time_point now);
    // The answers due at now, oldest first.
    std::vector<std::string> TakeDue(Clock::time_point now);
    std::optional<Clock::time_point> NextDue() const;
    // Drops what waits (the link closed, the rules changed).
    void Clear();

    bool Empty() const { return m_answers.empty(); }
    std::size_t Size() const { return m_answers.size(); }
    std::size_t HeldBytes() const { return m_nHeldBytes; }
    // Answers dropped at the bound since the last call.
    long long TakeDropped() { return std::exchange(m_nDropped, 0); }

private:
    int Schedule(std::vector<CReplyMatcher::Event> events, Clock::time_point now,
                 const Unmatched& unmatched);

    struct Answer
    {
        Clock::time_point due;
        std::string bytes;
    };
    std::size_t m_nMaxBytes;
    double m_speed;
    std::deque<Answer> m_answers;
    std::size_t m_nHeldBytes = 0;
    long long m_nDropped = 0;
};
