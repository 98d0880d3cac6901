#include "ReplyRules.h"
#include "CReplyMatcher.h"
#include "CReplySchedule.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::chrono_literals;

namespace {

std::string Bytes(std::initializer_list<int> values)
{
    std::string out;
    for (const int v : values)
        out += static_cast<char>(v);
    return out;
}

tsl::ReplyRule OneRule(const std::string& line)
{
    const tsl::ReplyRuleSet set = tsl::ParseReplyRules(line);
    EXPECT_TRUE(set.errors.empty()) << line << ": " << set.errors.front().strMessage;
    EXPECT_EQ(set.rules.size(), 1u);
    return set.rules.front();
}

// A Modbus read of two holding registers from slave 1, with its CRC.
const std::string kRead = Bytes({0x01, 0x03, 0x00, 0x00, 0x00, 0x02, 0xC4, 0x0B});

TEST(ReplyRules, ARuleFileWithFaultsNamesEachLineAndColumnAndKeepsTheGoodRules)
{
    const struct
    {
        const char* line;
        int nColumn;
        const char* says;
    } cases[] = {
        {"reply <06>", 1, "begins with \"when\""},
        {"when <01> reply <0G>", 17, "malformed"},
        {"when <01 reply <06>", 6, "malformed"},
        {"when reply <06>", 6, "no bytes"},
        {"when <01>", 10, "needs \"reply\""},
        {"when ?? reply $2", 15, "$2 names no"},
        {"when <01> reply $1", 17, "$1 names no"},
        {"when <01> reply <06> after 61s", 28, "at most 60 s"},
        {"when <01> reply <06> after 5 furlongs", 28, "at most 60 s"},
        {"when <01> reply <06> after 5ms <07>", 32, "nothing may follow"},
        {"when <01> after 5ms", 11, "after the reply"},
        {"when <01> reply <06> reply <07>", 22, "given twice"},
        {"when \"AT reply <06>", 6, "quote not closed"},
    };
    std::string file = "# a device\n\nwhen AT<0D> reply OK<0D><0A>\n";
    for (const auto& c : cases)
        file += std::string(c.line) + "\r\n";
    const tsl::ReplyRuleSet set = tsl::ParseReplyRules(file);
    ASSERT_EQ(set.rules.size(), 1u);
    EXPECT_EQ(set.rules[0].nLine, 3);
    ASSERT_EQ(set.errors.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].line);
        EXPECT_EQ(set.errors[i].nLine, static_cast<int>(i) + 4);
        EXPECT_EQ(set.errors[i].nColumn, cases[i].nColumn);
        EXPECT_NE(set.errors[i].strMessage.find(cases[i].says), std::string::npos)
            << set.errors[i].strMessage;
    }
}

TEST(ReplyRules, BytesWildcardsChecksumsCapturesAndDelaysAreReadAsWritten)
{
    const tsl::ReplyRule rule = OneRule(
        "WHEN ?? <03> ?? ?? ?? ?? CRC16 reply $1 <03><04><12><34><AB><CE> crc16 after 5 ms");
    EXPECT_EQ(rule.RequestLength(), 8u);
    EXPECT_EQ(rule.delay, 5ms);
    std::string captures;
    ASSERT_EQ(tsl::MatchRequest(rule, kRead, &captures), tsl::RuleMatch::Yes);
    EXPECT_EQ(captures, Bytes({0x01, 0x00, 0x00, 0x00, 0x02}));
    // The answer of slave 1 with its own CRC, as a Modbus master checks it.
    EXPECT_EQ(tsl::BuildReply(rule, captures),
              Bytes({0x01, 0x03, 0x04, 0x12, 0x34, 0xAB, 0xCE, 0x40, 0x21}));

    std::string wrongCrc = kRead;
    wrongCrc.back() ^= 1;
    EXPECT_EQ(tsl::MatchRequest(rule, wrongCrc, nullptr), tsl::RuleMatch::No);
    EXPECT_EQ(tsl::MatchRequest(rule, kRead.substr(0, 7), nullptr), tsl::RuleMatch::Partial);
    EXPECT_EQ(tsl::MatchRequest(rule, Bytes({0x01, 0x04}), nullptr), tsl::RuleMatch::No);

    // Quotes keep spaces and key words as bytes; "<<" is a bracket, a lone '?' and '$' are text.
    const tsl::ReplyRule text = OneRule("when \"GET reply\"<0D> reply \"a b\"<<? $ after 2s");
    EXPECT_EQ(tsl::MatchRequest(text, "GET reply\r", nullptr), tsl::RuleMatch::Yes);
    EXPECT_EQ(tsl::BuildReply(text, {}), "a b<?$"); // spaces between words are not bytes
    EXPECT_EQ(text.delay, 2s);
}

TEST(ReplyRules, RequestsAreFoundHoweverTheLinkCutsThemAndEverythingElseIsUnmatched)
{
    tsl::ReplyRuleSet set =
        tsl::ParseReplyRules("when ?? <03> ?? ?? ?? ?? crc16 reply $1 <83><02> crc16\n"
                             "when AT<0D> reply OK<0D><0A> after 3ms\n");
    ASSERT_TRUE(set.errors.empty());
    CReplyMatcher matcher(std::move(set.rules));
    const std::string stream = "xx" + kRead + "AT\r" + "AT" + kRead;
    std::vector<CReplyMatcher::Event> events;
    for (const char byte : stream) // one byte a read, as a slow serial line hands them over
        for (auto& e : matcher.Feed(std::string_view(&byte, 1)))
            events.push_back(std::move(e));
    for (auto& e : matcher.GiveUp())
        events.push_back(std::move(e));

    ASSERT_EQ(events.size(), 5u);
    EXPECT_TRUE(events[0].bUnmatched);
    EXPECT_EQ(events[0].bytes, "xx");
    EXPECT_EQ(events[1].nRule, 0);
    EXPECT_EQ(events[1].bytes, Bytes({0x01, 0x83, 0x02, 0xC0, 0xF1}));
    EXPECT_EQ(events[2].nRule, 1);
    EXPECT_EQ(events[2].bytes, "OK\r\n");
    EXPECT_EQ(events[2].delay, 3ms);
    // "AT" waited for its CR; the request after it no rule could have begun with 'A'.
    EXPECT_TRUE(events[3].bUnmatched);
    EXPECT_EQ(events[3].bytes, "AT");
    EXPECT_EQ(events[4].nRule, 0);
    EXPECT_EQ(matcher.FireCounts(), (std::vector<long long>{2, 1}));
    EXPECT_EQ(matcher.Held(), 0u);

    // A request that never comes whole is held until the line goes quiet, then unmatched.
    EXPECT_TRUE(matcher.Feed(kRead.substr(0, 5)).empty());
    const auto quiet = matcher.GiveUp();
    ASSERT_EQ(quiet.size(), 1u);
    EXPECT_EQ(quiet[0].bytes, kRead.substr(0, 5));
}

TEST(ReplyRules, ARecordedSessionIsPlayedInTurnAndStartsOverWhenItsFirstRequestComesAgain)
{
    tsl::ReplyRuleSet set = tsl::ParseReplyRules("when PING reply PONG\n" // the rule file
                                                 "when A reply 1\n"       // the session
                                                 "when B reply 2\n"
                                                 "when A reply 3\n");
    ASSERT_TRUE(set.errors.empty());
    CReplyMatcher matcher(std::move(set.rules), 1, CReplyMatcher::Order::InOrder);
    std::string answers;
    for (const char* input : {"A", "PING", "B", "B", "A", "A", "B"})
        for (const auto& e : matcher.Feed(input))
            answers += e.bUnmatched ? "(" + e.bytes + ")" : e.bytes;
    for (const auto& e : matcher.GiveUp())
        answers += "(" + e.bytes + ")";
    // B out of turn is unmatched; after the last exchange the script begins again.
    EXPECT_EQ(answers, "1PONG2(B)312");
}

TEST(ReplyRules, AnswersWaitForTheirDelayInTheOrderOfTheRequestsAndTheBoundDropsThemWhole)
{
    using Clock = CReplySchedule::Clock;
    tsl::ReplyRuleSet set = tsl::ParseReplyRules("when S reply slow after 50ms\n"
                                                 "when F reply fast after 1ms\n"
                                                 "when N reply now\n"
                                                 "when ?? reply " +
                                                 std::string(1000, 'x') + "\n");
    ASSERT_TRUE(set.errors.empty());
    const Clock::time_point t0{};
    {
        CReplyMatcher matcher(set.rules);
        CReplySchedule schedule(1 << 20);
        EXPECT_EQ(schedule.Feed(matcher, "SFN", t0), 3);
        // The fast answer does not overtake the slow one it follows.
        EXPECT_TRUE(schedule.TakeDue(t0 + 49ms).empty());
        EXPECT_EQ(schedule.NextDue(), t0 + 50ms);
        EXPECT_EQ(schedule.TakeDue(t0 + 50ms), (std::vector<std::string>{"slow", "fast", "now"}));
        EXPECT_TRUE(schedule.Empty());
        EXPECT_EQ(schedule.HeldBytes(), 0u);
        // Twice as fast: half the delay; speed 0 answers at once.
        CReplySchedule faster(1 << 20, 2.0);
        faster.Feed(matcher, "S", t0);
        EXPECT_EQ(faster.NextDue(), t0 + 25ms);
        CReplySchedule atOnce(1 << 20, 0);
        atOnce.Feed(matcher, "S", t0);
        EXPECT_EQ(atOnce.TakeDue(t0), (std::vector<std::string>{"slow"}));
    }
    {
        // A flood of one-byte requests with long answers: what passes the bound is dropped and
        // counted, the rest waits whole; unmatched bytes get what the caller answers them.
        CReplyMatcher matcher(set.rules);
        CReplySchedule schedule(10'500);
        EXPECT_EQ(schedule.Feed(matcher, std::string(100'000, 'q'), t0), 100'000);
        EXPECT_EQ(schedule.Size(), 10u);
        EXPECT_EQ(schedule.HeldBytes(), 10'000u);
        EXPECT_EQ(schedule.TakeDropped(), 99'990);
        EXPECT_EQ(schedule.TakeDropped(), 0);
        schedule.Clear();
        EXPECT_TRUE(schedule.Empty());
        CReplyMatcher none(std::vector<tsl::ReplyRule>(1, set.rules[0]));
        std::string told;
        const auto unmatched = [&](const std::string& bytes) -> std::optional<std::string> {
            told += bytes;
            return std::string("?");
        };
        EXPECT_EQ(schedule.Feed(none, "xyS", t0, unmatched), 1);
        EXPECT_EQ(told, "xy");
        EXPECT_EQ(schedule.TakeDue(t0 + 50ms), (std::vector<std::string>{"?", "slow"}));
    }
}

} // namespace
