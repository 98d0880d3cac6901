#include "ReplyRules.h"

#include "ControlCodes.h"

#include <cctype>
#include <charconv>
#include <optional>

namespace tsl {

namespace {

// One word of a rule line: spaces end it except inside quotes.
struct Word
{
    std::string_view text;
    int nColumn;
};

bool SameWord(std::string_view word, std::string_view keyword)
{
    if (word.size() != keyword.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(word[i])) != keyword[i])
            return false;
    return true;
}

const ChecksumToken* ChecksumWord(std::string_view word)
{
    for (const ChecksumToken& token : ChecksumTokens()) {
        const std::string_view name(token.name);
        if (word.size() != name.size())
            continue;
        bool same = true;
        for (std::size_t i = 0; i < word.size() && same; ++i)
            same = std::toupper(static_cast<unsigned char>(word[i])) == name[i];
        if (same)
            return &token;
    }
    return nullptr;
}

// Splits a line into words; an unclosed quote is reported at its column.
bool SplitWords(std::string_view line, std::vector<Word>& words, int& nBadColumn)
{
    std::size_t i = 0;
    while (i < line.size()) {
        if (std::isspace(static_cast<unsigned char>(line[i]))) {
            ++i;
            continue;
        }
        const std::size_t start = i;
        bool quoted = false;
        while (i < line.size() && (quoted || !std::isspace(static_cast<unsigned char>(line[i])))) {
            if (line[i] == '"')
                quoted = !quoted;
            ++i;
        }
        if (quoted) {
            nBadColumn = static_cast<int>(line.find('"', start)) + 1;
            return false;
        }
        words.push_back({line.substr(start, i - start), static_cast<int>(start) + 1});
    }
    return true;
}

enum class Side
{
    Request,
    Reply
};

// The bytes, wildcards and captures of one word. Text between quotes and outside them is the
// control-code notation; "??" is a wildcard (requests), "$N" a capture (replies).
class CWordReader
{
public:
    CWordReader(Side side, ReplyRule& rule) : m_side(side), m_rule(rule) {}

    std::optional<std::string> Read(std::string_view word)
    {
        std::string plain; // notation waiting to be translated
        for (std::size_t i = 0; i < word.size(); ++i) {
            const char c = word[i];
            if (c == '"')
                continue;
            if (m_side == Side::Request && c == '?' && i + 1 < word.size() && word[i + 1] == '?') {
                if (!Flush(plain))
                    return "malformed control code";
                m_rule.request.push_back({RequestItem::Kind::Any, 0, nullptr});
                ++i;
                continue;
            }
            if (m_side == Side::Reply && c == '$' && i + 1 < word.size() &&
                std::isdigit(static_cast<unsigned char>(word[i + 1]))) {
                if (!Flush(plain))
                    return "malformed control code";
                std::size_t end = i + 1;
                while (end < word.size() && std::isdigit(static_cast<unsigned char>(word[end])))
                    ++end;
                int n = 0;
                const auto [p, error] = std::from_chars(word.data() + i + 1, word.data() + end, n);
                if (error != std::errc() || n < 1 || n > m_nCaptures)
                    return "$" + std::string(word.substr(i + 1, end - i - 1)) +
                           " names no \"??\" of the request";
                m_rule.reply.push_back({ReplyItem::Kind::Capture, {}, n, nullptr});
                i = end - 1;
                continue;
            }
            plain += c;
        }
        if (!Flush(plain))
            return "malformed control code";
        return std::nullopt;
    }

    void SetCaptures(int n) { m_nCaptures = n; }

private:
    bool Flush(std::string& plain)
    {
        if (plain.empty())
            return true;
        std::string bytes(plain.size(), '\0');
        const int n = TranslateString(plain.data(), reinterpret_cast<unsigned char*>(bytes.data()),
                                      static_cast<int>(plain.size()));
        plain.clear();
        if (n < 0)
            return false;
        bytes.resize(static_cast<std::size_t>(n));
        if (m_side == Side::Request) {
            for (const char b : bytes)
                m_rule.request.push_back(
                    {RequestItem::Kind::Byte, static_cast<unsigned char>(b), nullptr});
        } else if (!m_rule.reply.empty() && m_rule.reply.back().kind == ReplyItem::Kind::Bytes) {
            m_rule.reply.back().bytes += bytes;
        } else {
            m_rule.reply.push_back({ReplyItem::Kind::Bytes, std::move(bytes), 0, nullptr});
        }
        return true;
    }

    Side m_side;
    ReplyRule& m_rule;
    int m_nCaptures = 0;
};

std::optional<std::chrono::microseconds> ParseDelay(std::string_view number, std::string_view unit)
{
    long long value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc() || end != number.data() + number.size() || value < 0 ||
        value > 60'000'000)
        return std::nullopt;
    std::chrono::microseconds delay{0};
    if (SameWord(unit, "us"))
        delay = std::chrono::microseconds(value);
    else if (SameWord(unit, "ms"))
        delay = std::chrono::milliseconds(value);
    else if (SameWord(unit, "s"))
        delay = std::chrono::seconds(value);
    else
        return std::nullopt;
    if (delay > kMaxRuleDelay)
        return std::nullopt;
    return delay;
}

std::size_t ReplyLength(const ReplyRule& rule)
{
    std::size_t n = 0;
    for (const ReplyItem& item : rule.reply)
        n += item.kind == ReplyItem::Kind::Bytes     ? item.bytes.size()
             : item.kind == ReplyItem::Kind::Capture ? 1
                                                     : static_cast<std::size_t>(item.token->nBytes);
    return n;
}

// Reads one rule line; an error names the column of the word at fault.
std::optional<RuleError> ParseRule(std::string_view line, ReplyRule& rule)
{
    std::vector<Word> words;
    int nBadColumn = 0;
    if (!SplitWords(line, words, nBadColumn))
        return RuleError{rule.nLine, nBadColumn, "quote not closed"};
    if (words.empty() || !SameWord(words[0].text, "when"))
        return RuleError{rule.nLine, words.empty() ? 1 : words[0].nColumn,
                         "a rule begins with \"when\""};
    CWordReader request(Side::Request, rule);
    CWordReader reply(Side::Reply, rule);
    Side side = Side::Request;
    bool haveReply = false;
    for (std::size_t w = 1; w < words.size(); ++w) {
        const Word& word = words[w];
        if (SameWord(word.text, "reply")) {
            if (side == Side::Reply)
                return RuleError{rule.nLine, word.nColumn, "\"reply\" given twice"};
            if (rule.request.empty())
                return RuleError{rule.nLine, word.nColumn, "the request has no bytes"};
            side = Side::Reply;
            haveReply = true;
            int captures = 0;
            for (const RequestItem& item : rule.request)
                captures += item.kind == RequestItem::Kind::Any ? 1 : 0;
            reply.SetCaptures(captures);
            continue;
        }
        if (SameWord(word.text, "after")) {
            if (!haveReply)
                return RuleError{rule.nLine, word.nColumn, "\"after\" comes after the reply"};
            // "after 5ms" or "after 5 ms", and nothing behind it.
            std::string_view number = w + 1 < words.size() ? words[w + 1].text : "";
            std::string_view unit;
            std::size_t used = 1;
            const std::size_t digits = number.find_first_not_of("0123456789");
            if (digits != std::string_view::npos && digits > 0) {
                unit = number.substr(digits);
                number = number.substr(0, digits);
            } else if (w + 2 < words.size()) {
                unit = words[w + 2].text;
                used = 2;
            }
            const auto delay = ParseDelay(number, unit);
            const int column = w + 1 < words.size() ? words[w + 1].nColumn : word.nColumn;
            if (!delay)
                return RuleError{rule.nLine, column,
                                 "\"after\" takes a delay of at most 60 s, such as 5ms"};
            if (w + 1 + used < words.size())
                return RuleError{rule.nLine, words[w + 1 + used].nColumn,
                                 "nothing may follow the delay"};
            rule.delay = *delay;
            break;
        }
        if (const ChecksumToken* token = ChecksumWord(word.text)) {
            if (side == Side::Request)
                rule.request.push_back({RequestItem::Kind::Checksum, 0, token});
            else
                rule.reply.push_back({ReplyItem::Kind::Checksum, {}, 0, token});
            continue;
        }
        const auto fault = (side == Side::Request ? request : reply).Read(word.text);
        if (fault)
            return RuleError{rule.nLine, word.nColumn, *fault};
        if (rule.RequestLength() > kMaxRuleRequestBytes)
            return RuleError{rule.nLine, word.nColumn, "a request may hold at most 4096 bytes"};
        if (ReplyLength(rule) > kMaxRuleReplyBytes)
            return RuleError{rule.nLine, word.nColumn, "a reply may hold at most 65536 bytes"};
    }
    if (!haveReply)
        return RuleError{rule.nLine, static_cast<int>(line.size()) + 1,
                         "a rule needs \"reply\" and the bytes to answer"};
    return std::nullopt;
}

// Whether the bytes at `at` are the checksum of those before them, in the token's byte order.
bool ChecksumHolds(const ChecksumToken& token, std::string_view bytes, std::size_t at)
{
    std::string head(bytes.substr(0, at));
    head.resize(at + 4);
    const int n = WriteChecksum(token, reinterpret_cast<unsigned char*>(head.data()), at);
    return bytes.substr(at, static_cast<std::size_t>(n)) ==
           std::string_view(head).substr(at, static_cast<std::size_t>(n));
}

} // namespace

std::size_t ReplyRule::RequestLength() const
{
    std::size_t n = 0;
    for (const RequestItem& item : request)
        n += item.kind == RequestItem::Kind::Checksum ? static_cast<std::size_t>(item.token->nBytes)
                                                      : 1;
    return n;
}

ReplyRuleSet ParseReplyRules(std::string_view text)
{
    ReplyRuleSet set;
    int nLine = 0;
    while (!text.empty()) {
        ++nLine;
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string_view::npos || line[first] == '#')
            continue;
        if (set.rules.size() == kMaxRules) {
            set.errors.push_back({nLine, 1, "a rule file may hold at most 10000 rules"});
            break;
        }
        ReplyRule rule;
        rule.nLine = nLine;
        rule.strText = std::string(line.substr(first));
        if (auto error = ParseRule(line, rule))
            set.errors.push_back(std::move(*error));
        else
            set.rules.push_back(std::move(rule));
    }
    return set;
}

RuleMatch MatchRequest(const ReplyRule& rule, std::string_view bytes, std::string* captures)
{
    std::size_t at = 0;
    std::string taken;
    for (const RequestItem& item : rule.request) {
        const std::size_t width = item.kind == RequestItem::Kind::Checksum
                                      ? static_cast<std::size_t>(item.token->nBytes)
                                      : 1;
        if (at + width > bytes.size())
            return RuleMatch::Partial;
        switch (item.kind) {
        case RequestItem::Kind::Byte:
            if (static_cast<unsigned char>(bytes[at]) != item.value)
                return RuleMatch::No;
            break;
        case RequestItem::Kind::Any:
            taken += bytes[at];
            break;
        case RequestItem::Kind::Checksum:
            if (!ChecksumHolds(*item.token, bytes, at))
                return RuleMatch::No;
            break;
        }
        at += width;
    }
    if (captures != nullptr)
        *captures = std::move(taken);
    return RuleMatch::Yes;
}

std::string BuildReply(const ReplyRule& rule, std::string_view captures)
{
    std::string out;
    for (const ReplyItem& item : rule.reply) {
        switch (item.kind) {
        case ReplyItem::Kind::Bytes:
            out += item.bytes;
            break;
        case ReplyItem::Kind::Capture:
            out += captures[static_cast<std::size_t>(item.nCapture - 1)];
            break;
        case ReplyItem::Kind::Checksum: {
            const std::size_t n = out.size();
            out.resize(n + 4);
            out.resize(n + static_cast<std::size_t>(WriteChecksum(
                               *item.token, reinterpret_cast<unsigned char*>(out.data()), n)));
            break;
        }
        }
    }
    return out;
}

} // namespace tsl
