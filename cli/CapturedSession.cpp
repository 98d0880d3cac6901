#include "CapturedSession.h"

#include "CCaptureReader.h"

#include <algorithm>
#include <map>

namespace {

tsl::ReplyRule Exchange(const std::string& request, std::string reply, int64_t delayMs,
                        int nExchange)
{
    tsl::ReplyRule rule;
    rule.nLine = nExchange;
    for (const char byte : request)
        rule.request.push_back(
            {tsl::RequestItem::Kind::Byte, static_cast<unsigned char>(byte), nullptr});
    if (!reply.empty())
        rule.reply.push_back({tsl::ReplyItem::Kind::Bytes, std::move(reply), 0, nullptr});
    // A clock set back while recording gives no negative wait; a long pause is kept to a minute.
    rule.delay = std::chrono::milliseconds(std::clamp<int64_t>(delayMs, 0, 60000));
    return rule;
}

} // namespace

bool ReadCapturedSession(const std::string& path, CapturedSession& session, std::string& strError)
{
    CCaptureReader reader;
    switch (reader.Open(QString::fromLocal8Bit(path))) {
    case CaptureStatus::Ok:
        break;
    case CaptureStatus::NotCapture:
        strError = "not a capture file";
        return false;
    case CaptureStatus::Unreadable:
        strError = "cannot be read";
        return false;
    case CaptureStatus::UnsupportedVersion:
        strError = "written by a newer version";
        return false;
    }
    std::string request;
    std::string reply;
    int64_t lastSentMs = 0;
    int64_t firstReplyMs = -1;
    std::size_t held = 0;
    const auto finish = [&] {
        if (request.empty())
            return;
        if (request.size() > tsl::kMaxRuleRequestBytes || reply.size() > kMaxSessionReplyBytes)
            ++session.nLongRequests;
        else
            session.exchanges.push_back(Exchange(request, std::move(reply),
                                                 firstReplyMs < 0 ? 0 : firstReplyMs - lastSentMs,
                                                 static_cast<int>(session.exchanges.size()) + 1));
        request.clear();
        reply.clear();
        firstReplyMs = -1;
    };
    CaptureRecord record;
    while (reader.Next(record)) {
        for (const Cell& cell : record.cells) {
            if (cell.attr == kAttrSent) {
                if (!reply.empty())
                    finish();
                request += static_cast<char>(cell.byte);
                lastSentMs = record.timeMs;
            } else if (cell.attr == kAttrReceived && !request.empty()) {
                if (firstReplyMs < 0)
                    firstReplyMs = record.timeMs;
                reply += static_cast<char>(cell.byte);
            }
            if (++held > kMaxSessionBytes) {
                strError = "holds more than 64 MiB of traffic to serve";
                return false;
            }
        }
    }
    finish();
    session.nSkippedRecords = reader.SkippedCount();
    return true;
}

std::vector<tsl::ReplyRule> LatestAnswers(std::vector<tsl::ReplyRule> exchanges)
{
    std::map<std::vector<unsigned char>, std::size_t> latest;
    for (std::size_t i = 0; i < exchanges.size(); ++i) {
        std::vector<unsigned char> key;
        for (const tsl::RequestItem& item : exchanges[i].request)
            key.push_back(item.value);
        latest[key] = i;
    }
    std::vector<tsl::ReplyRule> rules;
    for (const auto& [key, index] : latest)
        rules.push_back(std::move(exchanges[index]));
    std::stable_sort(rules.begin(), rules.end(), [](const auto& a, const auto& b) {
        return a.request.size() > b.request.size();
    });
    return rules;
}
