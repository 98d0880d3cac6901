#include "CCaptureReplay.h"

#include "CTextViewCtrl.h"
#include "TermViewConstants.h"

#include <QDateTime>
#include <algorithm>
#include <limits>

namespace {

// A batch of chunks written at once ends after this long; the rest follows after other events
// had their turn, so a fast replay or a long seek never holds the user interface.
constexpr qint64 kBatchMs = 10;
// A replay waiting for a far chunk still reports its position this often (the slider moves).
constexpr qint64 kLongestWaitMs = 100;

} // namespace

CCaptureReplay::CCaptureReplay(CTextViewCtrl* target, QObject* parent)
    : QObject(parent), m_pTarget(target),
      // Posted: the feed calls from its own thread.
      m_feed([this] {
          QMetaObject::invokeMethod(this, &CCaptureReplay::Advance, Qt::QueuedConnection);
      })
{
    m_elapsed.start();
    m_clock = [this] { return m_elapsed.elapsed(); };
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &CCaptureReplay::Advance);
    m_scanTimer.setInterval(kCaptureLoadPollMs);
    connect(&m_scanTimer, &QTimer::timeout, this, &CCaptureReplay::OnScanTimer);
}

void CCaptureReplay::SetClock(Clock clock)
{
    m_clock = std::move(clock);
    if (m_bPlaying)
        Anchor();
}

CaptureStatus CCaptureReplay::Open(const QString& path)
{
    m_bPlaying = false;
    m_timer.stop();
    m_strPath = path;
    m_nDuration = 0;
    m_bDurationKnown = false;
    m_nPosition = 0;
    const CaptureStatus status = m_scan.Start(path);
    if (status != CaptureStatus::Ok) {
        m_scanTimer.stop();
        m_feed.Stop();
        m_bHasNext = false;
        m_bEnded = true;
        return status;
    }
    m_scanTimer.start();
    Rewind();
    return CaptureStatus::Ok;
}

void CCaptureReplay::OnScanTimer()
{
    if (m_scan.IsDone())
        SetDuration(m_scan.Duration());
    else
        emit lengthProgress(m_scan.Permille());
}

void CCaptureReplay::SetDuration(qint64 ms)
{
    m_scanTimer.stop();
    if (m_bDurationKnown)
        return;
    m_scan.Cancel();
    m_nDuration = ms;
    m_bDurationKnown = true;
    emit lengthProgress(1000);
    emit durationKnown();
}

void CCaptureReplay::Rewind()
{
    m_pTarget->Clear();
    emit cleared();
    m_nWritten = -1;
    m_nNextOffset = 0;
    m_bHasNext = false;
    m_bFirst = true;
    m_bEnded = m_feed.Start(m_strPath) != CaptureStatus::Ok;
}

bool CCaptureReplay::FetchNext()
{
    if (m_bHasNext)
        return true;
    if (m_bEnded)
        return false;
    switch (m_feed.Take(m_next)) {
    case CReplayFeed::Taken::Record:
        break;
    case CReplayFeed::Taken::Waiting:
        return false;
    case CReplayFeed::Taken::End:
        m_bEnded = true;
        // Read through before the scan: the same length.
        SetDuration(std::max<qint64>(m_nNextOffset, 0));
        return false;
    }
    if (m_bFirst)
        m_nFirstMs = m_next.timeMs;
    m_bFirst = false;
    m_bHasNext = true;
    m_nNextOffset = std::max(m_nNextOffset, static_cast<qint64>(m_next.timeMs - m_nFirstMs));
    return true;
}

void CCaptureReplay::Write(const CaptureRecord& record, qint64& received, qint64& sent)
{
    // The view takes one attribute per call: each run of equal attributes goes at once.
    const QDateTime arrival = QDateTime::fromMSecsSinceEpoch(record.timeMs);
    std::vector<unsigned char> bytes;
    bytes.reserve(record.cells.size());
    std::size_t start = 0;
    while (start < record.cells.size()) {
        const uint8_t attr = record.cells[start].attr;
        bytes.clear();
        std::size_t end = start;
        for (; end < record.cells.size() && record.cells[end].attr == attr; ++end)
            bytes.push_back(record.cells[end].byte);
        const auto n = static_cast<int>(bytes.size());
        const auto attribute = static_cast<char>(attr);
        // A bridge's directions count as a monitor's: B to A came in, A to B went out.
        if (IsInbound(attr)) {
            m_pTarget->TextWrite(bytes.data(), n, attribute, arrival);
            received += n;
        } else {
            m_pTarget->TextWrite(bytes.data(), n, attribute);
            // Other values are kept as written, and counted in neither direction.
            if (attribute == kAttrSent || attribute == kAttrAToB)
                sent += n;
        }
        start = end;
    }
}

void CCaptureReplay::Anchor()
{
    m_nAnchorPosition = m_nPosition;
    m_nAnchorClock = m_clock();
}

qint64 CCaptureReplay::Due() const
{
    if (!m_bPlaying)
        return m_nPosition;
    if (m_speed == Speed::Max)
        return std::numeric_limits<qint64>::max();
    return m_nAnchorPosition + (m_clock() - m_nAnchorClock) * Factor();
}

qint64 CCaptureReplay::Position() const
{
    if (!m_bPlaying)
        return m_nPosition;
    if (m_speed == Speed::Max)
        return std::max<qint64>(m_nWritten, 0);
    return m_bDurationKnown ? std::min(Due(), m_nDuration) : Due();
}

void CCaptureReplay::Play()
{
    if (m_bPlaying)
        return;
    if (IsAtEnd()) {
        Rewind();
        m_nPosition = 0;
    }
    m_bPlaying = true;
    Anchor();
    emit stateChanged();
    Advance();
}

void CCaptureReplay::Pause()
{
    if (!m_bPlaying)
        return;
    m_nPosition = Position();
    m_bPlaying = false;
    m_timer.stop();
    emit stateChanged();
    emit positionChanged(m_nPosition);
}

void CCaptureReplay::SetSpeed(Speed speed)
{
    if (m_bPlaying)
        m_nPosition = Position();
    m_speed = speed;
    if (m_bPlaying) {
        Anchor();
        Advance();
    }
}

void CCaptureReplay::Seek(qint64 ms)
{
    ms = std::max<qint64>(ms, 0);
    if (m_bDurationKnown)
        ms = std::min(ms, m_nDuration);
    if (ms < m_nWritten)
        Rewind();
    m_nPosition = ms;
    if (m_bPlaying)
        Anchor();
    Advance();
}

void CCaptureReplay::Advance()
{
    m_timer.stop();
    QElapsedTimer batch;
    batch.start();
    const qint64 due = Due();
    qint64 received = 0;
    qint64 sent = 0;
    bool more = false;
    while (FetchNext() && m_nNextOffset <= due) {
        Write(m_next, received, sent);
        m_nWritten = m_nNextOffset;
        m_bHasNext = false;
        if (batch.elapsed() >= kBatchMs) {
            more = true;
            break;
        }
    }
    if (received > 0 || sent > 0)
        emit written(received, sent);
    if (more) {
        m_timer.start(0);
        emit positionChanged(Position());
        return;
    }
    if (IsAtEnd()) {
        if (!m_bPlaying) {
            emit positionChanged(Position());
            return;
        }
        m_bPlaying = false;
        m_nPosition = m_nDuration;
        emit positionChanged(m_nPosition);
        emit stateChanged();
        emit finished();
        return;
    }
    if (m_bPlaying) {
        // Waiting for the feed: it wakes the replay, and the position still moves meanwhile.
        qint64 wait = kLongestWaitMs;
        // Ceiling: waking a little late writes the chunk; early would only wake again.
        if (m_bHasNext)
            wait = std::min(wait, (m_nNextOffset - due + Factor() - 1) / Factor());
        m_timer.start(static_cast<int>(wait));
    }
    emit positionChanged(Position());
}
