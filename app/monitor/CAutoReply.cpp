#include "CAutoReply.h"

#include "CMonitorLink.h"
#include "Link.h"
#include "ReplyRules.h"
#include "TextCodec.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>
#include <chrono>
#include <cstring>

namespace {

using Clock = CReplySchedule::Clock;

// The character column of a byte column in one line of the text, as the codec encodes it.
int CharacterColumn(const QString& line, int byteColumn, tsl::TextCodec codec)
{
    const bool ascii =
        std::all_of(line.cbegin(), line.cend(), [](QChar c) { return c.unicode() < 0x80; });
    if (ascii)
        return byteColumn;
    std::size_t bytes = 0;
    int column = 1;
    for (qsizetype i = 0; i < line.size(); ++column) {
        const qsizetype width = line.at(i).isHighSurrogate() && i + 1 < line.size() ? 2 : 1;
        const std::size_t encoded =
            tsl::EncodeText(line.mid(i, width).toUtf8().toStdString(), codec).bytes.size();
        if (bytes + std::max<std::size_t>(encoded, 1) >= std::size_t(byteColumn))
            return column;
        bytes += encoded;
        i += width;
    }
    return column;
}

} // namespace

QString AutoReplyError::Text() const
{
    return QCoreApplication::translate("CAutoReply", "error : line %1, column %2, %3")
        .arg(nLine)
        .arg(nColumn)
        .arg(strMessage);
}

CAutoReply::CAutoReply(CMonitorLink* link, QObject* parent) : QObject(parent), m_pLink(link)
{
    m_dueTimer.setSingleShot(true);
    m_dueTimer.setTimerType(Qt::PreciseTimer);
    m_quietTimer.setSingleShot(true);
    m_quietTimer.setInterval(kQuietMs);
    connect(&m_dueTimer, &QTimer::timeout, this, &CAutoReply::SendDue);
    connect(&m_quietTimer, &QTimer::timeout, this, &CAutoReply::OnQuiet);
    if (link != nullptr) {
        connect(link, &CMonitorLink::received, this, &CAutoReply::OnReceived);
        connect(link, &CMonitorLink::onlineChanged, this, &CAutoReply::OnOnlineChanged);
    }
}

QList<AutoReplyError> CAutoReply::Apply(const QString& text)
{
    const tsl::TextCodec codec = m_pLink ? m_pLink->Codec() : tsl::TextCodec::Utf8;
    const QStringList lines = text.split(QLatin1Char('\n'));
    QList<AutoReplyError> errors;
    const tsl::EncodedText encoded = tsl::EncodeText(text.toUtf8().toStdString(), codec);
    if (encoded.nUnencodable >= 0) {
        // The offset is one into the UTF-8 text: its line and character.
        const QString before = QString::fromUtf8(text.toUtf8().left(encoded.nUnencodable));
        const qsizetype lineStart = before.lastIndexOf(QLatin1Char('\n')) + 1;
        errors.append({int(before.count(QLatin1Char('\n'))) + 1, int(before.size() - lineStart) + 1,
                       tr("창의 인코딩(%1)으로 보낼 수 없는 문자입니다")
                           .arg(QString::fromLatin1(tsl::CodecName(codec)))});
        return errors;
    }
    tsl::ReplyRuleSet set = tsl::ParseReplyRules(encoded.bytes);
    for (const tsl::RuleError& fault : set.errors) {
        const QString line = fault.nLine - 1 < lines.size() ? lines.at(fault.nLine - 1) : QString();
        errors.append({fault.nLine, CharacterColumn(line, fault.nColumn, codec),
                       QString::fromStdString(fault.strMessage)});
    }
    if (!errors.isEmpty())
        return errors;
    m_rules = std::move(set.rules);
    m_counts.assign(m_rules.size(), 0);
    m_pMatcher.reset();
    Restart();
    emit fired();
    return errors;
}

void CAutoReply::SetEnabled(bool on)
{
    if (m_bEnabled == on)
        return;
    m_bEnabled = on;
    Restart();
}

long long CAutoReply::Count(std::size_t rule) const
{
    if (rule >= m_counts.size())
        return 0;
    return m_counts[rule] + (m_pMatcher ? m_pMatcher->FireCounts()[rule] : 0);
}

void CAutoReply::Restart()
{
    if (m_pMatcher) {
        for (std::size_t i = 0; i < m_counts.size(); ++i)
            m_counts[i] += m_pMatcher->FireCounts()[i];
    }
    m_pMatcher = std::make_unique<CReplyMatcher>(m_rules);
    m_schedule.Clear();
    m_dueTimer.stop();
    m_quietTimer.stop();
}

void CAutoReply::OnOnlineChanged(bool online)
{
    // What a closed link held is of no use to the next one; an answer due later goes nowhere.
    if (!online) {
        Restart();
        m_reflected.clear();
    }
}

bool CAutoReply::Reflects() const
{
    const CLinkKind* kind = m_pLink ? m_pLink->Settings().Kind() : nullptr;
    return kind != nullptr && std::strcmp(kind->pszName, "loopback") == 0;
}

std::string CAutoReply::NotReflected(const QByteArray& received)
{
    if (m_reflected.empty() || !Reflects())
        return received.toStdString();
    std::string kept;
    std::size_t matched = 0;
    for (const char byte : received) {
        if (matched < m_reflected.size() && byte == m_reflected[matched])
            ++matched;
        else
            kept += byte;
    }
    m_reflected.erase(0, matched);
    return kept;
}

void CAutoReply::OnReceived(const QByteArray& bytes)
{
    if (!m_bEnabled || m_rules.empty() || bytes.isEmpty())
        return;
    const std::string input = NotReflected(bytes);
    NoteFired(m_schedule.Feed(*m_pMatcher, input, Clock::now()));
    // Bytes held for a longer request are given up when the line goes quiet.
    if (m_pMatcher->Held() > 0)
        m_quietTimer.start();
    else
        m_quietTimer.stop();
    SendDue();
}

void CAutoReply::OnQuiet()
{
    NoteFired(m_schedule.GiveUp(*m_pMatcher, Clock::now()));
    SendDue();
}

void CAutoReply::NoteFired(int answered)
{
    const long long dropped = m_schedule.TakeDropped();
    m_nDropped += dropped;
    if (answered > 0 || dropped > 0)
        emit fired();
}

void CAutoReply::SendDue()
{
    const Clock::time_point now = Clock::now();
    for (const std::string& answer : m_schedule.TakeDue(now)) {
        if (!m_pLink)
            break;
        const QByteArray bytes = QByteArray::fromStdString(answer);
        // Sent as a typed key is: shown when echo is on, counted, captured; what the link
        // cannot take is told by the link.
        if (m_pLink->Send(bytes) == bytes.size() && Reflects() &&
            m_reflected.size() < kMaxWaitingBytes)
            m_reflected += answer;
    }
    const std::optional<Clock::time_point> next = m_schedule.NextDue();
    if (!next) {
        m_dueTimer.stop();
        return;
    }
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*next - Clock::now());
    m_dueTimer.start(int(std::max<long long>(wait.count(), 0)));
}
