#include "CArrivalStamps.h"

#include "CaptureCell.h"

#include <algorithm>

bool CArrivalStamps::Note(const QDateTime& arrival, uint64_t at, const unsigned char* bytes, int n,
                          char attribute, int client)
{
    if (n <= 0)
        return false;
    // Whose bytes these are is kept to the byte, line breaks too, apart from where it shows.
    NoteClient(at, client);
    int skip = 0;
    while (skip < n && (bytes[skip] == '\r' || bytes[skip] == '\n'))
        ++skip;
    // Line breaks alone lead nothing: the time waits for the bytes after them.
    if (skip >= n)
        return false;
    const qint64 arrivalMs = arrival.toMSecsSinceEpoch();
    // A clock set back counts as a pause, so the jump shows. What the user sent is stamped where
    // the direction turns only: the pauses between typed keys are the typist's, not the line's.
    const bool turned = !m_bArrived || attribute != m_cLastAttribute || client != m_nLastClient;
    const bool paused = arrivalMs - m_nLastArrivalMs > m_nGapMs || arrivalMs < m_nLastArrivalMs;
    const bool due = turned || (paused && attribute != kAttrSent);
    m_bArrived = true;
    m_cLastAttribute = attribute;
    m_nLastClient = client;
    m_nLastArrivalMs = arrivalMs;
    if (!due)
        return false;
    const uint64_t offset = at + static_cast<uint64_t>(skip);
    if (!m_stamps.empty() && m_stamps.back().offset >= offset)
        return false; // the bytes before never reached the log
    m_stamps.push_back({offset, arrival.time().msecsSinceStartOfDay(), client});
    if (client >= 0)
        ++m_nMarks;
    return true;
}

void CArrivalStamps::NoteClient(uint64_t at, int client)
{
    const int lastClient = m_clients.empty() ? -1 : m_clients.back().client;
    if (client == lastClient)
        return;
    if (!m_clients.empty() && m_clients.back().offset >= at)
        m_clients.back() = {at, client};
    else
        m_clients.push_back({at, client});
}

void CArrivalStamps::NoteNotice(uint64_t at)
{
    NoteClient(at, -1);
    m_nLastClient = -1;
}

void CArrivalStamps::DropBefore(uint64_t first)
{
    while (!m_stamps.empty() && m_stamps.front().offset < first) {
        if (m_stamps.front().client >= 0)
            --m_nMarks;
        m_stamps.pop_front();
    }
    DropClientsBefore(first);
}

void CArrivalStamps::DropClientsBefore(uint64_t first)
{
    // The run in effect at first stays, moved up to it.
    while (m_clients.size() > 1 && m_clients[1].offset <= first)
        m_clients.pop_front();
    if (!m_clients.empty() && m_clients.front().offset < first)
        m_clients.front().offset = first;
}

void CArrivalStamps::Rebase(uint64_t from, uint64_t to)
{
    DropBefore(from);
    for (ArrivalStamp& stamp : m_stamps)
        stamp.offset = stamp.offset - from + to;
    for (ClientRun& run : m_clients)
        run.offset = run.offset - from + to;
}

void CArrivalStamps::Clear()
{
    m_stamps.clear();
    m_clients.clear();
    m_nMarks = 0;
    m_nLastClient = -1;
    m_bArrived = false;
}

std::vector<ClientRun> CArrivalStamps::ClientsIn(uint64_t from, uint64_t to) const
{
    const auto byOffset = [](uint64_t offset, const ClientRun& run) { return offset < run.offset; };
    auto begin = std::upper_bound(m_clients.begin(), m_clients.end(), from, byOffset);
    if (begin != m_clients.begin())
        --begin;
    const auto end =
        std::lower_bound(begin, m_clients.end(), to,
                         [](const ClientRun& run, uint64_t offset) { return run.offset < offset; });
    return {begin, end};
}

QString CArrivalStamps::MarkText(int client)
{
    return QStringLiteral("[%1] ").arg(client);
}

QString CArrivalStamps::LeadText(int msOfDay, int client)
{
    QString text = msOfDay >= 0 ? Text(msOfDay) : QString();
    if (client >= 0)
        text += MarkText(client);
    return text;
}

std::vector<ArrivalStamp> CArrivalStamps::In(uint64_t from, uint64_t to) const
{
    const auto byOffset = [](const ArrivalStamp& stamp, uint64_t offset) {
        return stamp.offset < offset;
    };
    const auto begin = std::lower_bound(m_stamps.begin(), m_stamps.end(), from, byOffset);
    const auto end = std::lower_bound(begin, m_stamps.end(), to, byOffset);
    return {begin, end};
}

QString CArrivalStamps::Text(int msOfDay)
{
    constexpr int kMsPerSecond = 1000;
    constexpr int kSecondsPerMinute = 60;
    constexpr int kMinutesPerHour = 60;
    const int seconds = msOfDay / kMsPerSecond;
    const int minutes = seconds / kSecondsPerMinute;
    const auto two = [](int value) {
        return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
    };
    return QStringLiteral("[%1:%2:%3.%4] ")
        .arg(two(minutes / kMinutesPerHour), two(minutes % kMinutesPerHour),
             two(seconds % kSecondsPerMinute))
        .arg(msOfDay % kMsPerSecond, 3, 10, QLatin1Char('0'));
}
