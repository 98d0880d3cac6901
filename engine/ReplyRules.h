#pragma once

#include "Checksums.h"

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Reply rules: a device's answers written down, one rule a line, so that a script or a monitor
// can be tried with no device at hand.
//
//   when <01><03>?? ?? ?? ?? crc16 reply <01><03><04><12><34><AB><CE> crc16 after 5ms
//
// A rule's request and reply are bytes in the control-code notation ("AT<0D>", "<<" for '<'),
// words run together; spaces between words are not bytes (write <20>, or quote: "a b").
// In a request "??" stands for any byte, and each such byte is captured in order: a reply copies
// the first with $1. A checksum name (crc16, crc16ccitt, crc32, sum8, xor8, lrc) stands for the
// checksum of every byte before it from the start, in the byte order of the command rows'
// tokens: in a request it must be right, in a reply it is appended. "after" delays the reply
// (us, ms or s). Blank lines and lines that begin with '#' say nothing.
namespace tsl {

struct RequestItem
{
    enum class Kind : unsigned char
    {
        Byte,    // this value
        Any,     // any byte, captured
        Checksum // the checksum of the bytes before it
    };
    Kind kind = Kind::Byte;
    unsigned char value = 0;
    const ChecksumToken* token = nullptr;
};

struct ReplyItem
{
    enum class Kind : unsigned char
    {
        Bytes,   // these bytes
        Capture, // the request's nCapture-th wildcard byte (from 1)
        Checksum // the checksum of the reply so far
    };
    Kind kind = Kind::Bytes;
    std::string bytes;
    int nCapture = 0;
    const ChecksumToken* token = nullptr;
};

struct ReplyRule
{
    int nLine = 0;
    std::vector<RequestItem> request;
    std::vector<ReplyItem> reply;
    std::chrono::microseconds delay{0};
    std::string strText; // the line as written

    // Bytes a request takes: every item stands for a fixed number of them.
    std::size_t RequestLength() const;
};

struct RuleError
{
    int nLine = 0;
    int nColumn = 0; // of the word at fault, from 1
    std::string strMessage;
};

struct ReplyRuleSet
{
    std::vector<ReplyRule> rules;
    std::vector<RuleError> errors; // a rule with an error is left out
};

// Limits a rule file may not pass: a hostile file must not take unbounded memory.
constexpr std::size_t kMaxRuleRequestBytes = 4096;
constexpr std::size_t kMaxRuleReplyBytes = 65536;
constexpr std::size_t kMaxRules = 10000;
constexpr std::chrono::microseconds kMaxRuleDelay = std::chrono::seconds(60);

ReplyRuleSet ParseReplyRules(std::string_view text);

enum class RuleMatch
{
    No,
    Partial, // the bytes so far agree; more are needed to tell
    Yes
};

// Whether the rule's request stands at the head of bytes; on Yes, captures holds the wildcard
// bytes in order.
RuleMatch MatchRequest(const ReplyRule& rule, std::string_view bytes, std::string* captures);

// The rule's reply with the captured bytes and checksums filled in.
std::string BuildReply(const ReplyRule& rule, std::string_view captures);

} // namespace tsl
