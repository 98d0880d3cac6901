#pragma once

#include "ReplyRules.h"

#include <string>
#include <vector>

// A recorded session as a device's answers: each exchange of a capture (a run of sent bytes,
// then the received bytes that followed it until the next sent byte) becomes a rule whose
// request is the sent run and whose reply is the received bytes, after the time the device
// took. Received bytes before the first request (a greeting) answer nothing.
struct CapturedSession
{
    std::vector<tsl::ReplyRule> exchanges; // in recorded order
    int nSkippedRecords = 0;               // damaged stretches of the file
    int nLongRequests = 0;                 // requests too long to match, left out
};

// What a served session may hold: a file of any size must not take unbounded memory.
inline constexpr std::size_t kMaxSessionBytes = 64 << 20;
inline constexpr std::size_t kMaxSessionReplyBytes = 1 << 20;

// Reads the capture at path; false with the reason when it is no capture or too large.
bool ReadCapturedSession(const std::string& path, CapturedSession& session, std::string& strError);

// The exchanges as lookup rules: for each request only its most recent answer, the longest
// requests first, so that a request that begins another waits for the rest.
std::vector<tsl::ReplyRule> LatestAnswers(std::vector<tsl::ReplyRule> exchanges);
