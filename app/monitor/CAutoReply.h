#pragma once

#include "CReplyMatcher.h"
#include "CReplySchedule.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <memory>
#include <string>
#include <vector>

class CMonitorLink;

// A fault of a rule text, where a person finds it in the text box: columns count characters.
struct AutoReplyError
{
    int nLine = 0;
    int nColumn = 0;
    QString strMessage;

    // "error : line 3, column 17, malformed control code", as the script verifier words its
    // errors.
    QString Text() const;
};

// A monitor window's automatic replies: the received bytes of its link go to the engine's
// reply rules, as tslsim answers by them, and the answers go out through the link's one way
// out after their delays (a timer, never a wait), in the order their requests came. Only what
// the link received is read, never what the window sent: a reply cannot answer itself. When the
// link closes or the rules change, answers still waiting are dropped.
class CAutoReply : public QObject
{
    Q_OBJECT

public:
    // A request still not whole after this much silence is given up, so a shorter rule after
    // it may answer (tslsim's default).
    static constexpr int kQuietMs = 200;
    // Answers waiting for their delays hold at most this; what passes it is dropped, counted.
    static constexpr std::size_t kMaxWaitingBytes = 1 << 20;

    explicit CAutoReply(CMonitorLink* link, QObject* parent = nullptr);

    // Reads rules from text, encoded as the link sends text. Without faults they replace the
    // rules in use, their counts start at 0 and answers still waiting are dropped; with faults
    // nothing changes and the faults are returned.
    QList<AutoReplyError> Apply(const QString& text);
    // Off: nothing is read or answered, and what waits is dropped.
    void SetEnabled(bool on);
    bool IsEnabled() const { return m_bEnabled; }

    const std::vector<tsl::ReplyRule>& Rules() const { return m_rules; }
    // How often the rule answered a request since its rules were applied.
    long long Count(std::size_t rule) const;
    // Answers waiting for their delays.
    int Waiting() const { return int(m_schedule.Size()); }
    // Answers dropped because kMaxWaitingBytes were waiting already.
    qint64 Dropped() const { return m_nDropped; }

signals:
    // A rule answered (the counts changed), or answers were dropped.
    void fired();

private:
    void OnReceived(const QByteArray& bytes);
    void OnOnlineChanged(bool online);
    void OnQuiet();
    // Sends what is due and waits for the next.
    void SendDue();
    // Forgets the bytes read so far and the answers waiting; the counts stay.
    void Restart();
    // A loopback link returns everything sent on it, our answers too.
    bool Reflects() const;
    // The bytes of received that are not an answer of ours coming back.
    std::string NotReflected(const QByteArray& received);
    void NoteFired(int answered);

    QPointer<CMonitorLink> m_pLink;
    bool m_bEnabled = false;
    std::vector<tsl::ReplyRule> m_rules;
    std::unique_ptr<CReplyMatcher> m_pMatcher;
    std::vector<long long> m_counts; // of matchers before the one in use
    CReplySchedule m_schedule{kMaxWaitingBytes};
    std::string m_reflected; // our answers a loopback has still to return
    qint64 m_nDropped = 0;
    QTimer m_dueTimer;
    QTimer m_quietTimer;
};
