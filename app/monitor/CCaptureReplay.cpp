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
    : QObject(parent), m_pTarget(target)
{
    m_elapsed.start();
    m_clock = [this] { return m_elapsed.elapsed(); };
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &CCaptureReplay::Advance);
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
    const CaptureStatus status = m_reader.Open(path);
    if (status != CaptureStatus::Ok) {
        m_bHasNext = false;
        m_nDuration = 0;
        return status;
    }
    // One pass for the first time and the length; the replay reads the file again as it plays.
    CaptureRecord record;
    bool first = true;
    qint64 offset = 0;
    while (m_reader.Next(record)) {
        if (first)
            m_nFirstMs = record.timeMs;
        first = false;
        offset = std::max(offset, static_cast<qint64>(record.timeMs - m_nFirstMs));
    }
    m_nDuration = offset;
    m_nPosition = 0;
    Rewind();
    return CaptureStatus::Ok;
}

void CCaptureReplay::Rewind()
{
    m_pTarget->Clear();
    emit cleared();
    m_nWritten = -1;
    m_nNextOffset = 0;
    m_bHasNext = m_reader.Open(m_strPath) == CaptureStatus::Ok;
    if (m_bHasNext)
        ReadNext();
}

void CCaptureReplay::ReadNext()
{
    m_bHasNext = m_reader.Next(m_next);
    if (m_bHasNext)
        m_nNextOffset = std::max(m_nNextOffset, static_cast<qint64>(m_next.timeMs - m_nFirstMs));
}

void CCaptureReplay::Write(const CaptureRecord& record)
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
        if (attribute == kAttrReceived)
            m_pTarget->TextWrite(bytes.data(), n, attribute, arrival);
        else
            m_pTarget->TextWrite(bytes.data(), n, attribute);
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
    return std::min(Due(), m_nDuration);
}

void CCaptureReplay::Play()
{
    if (m_bPlaying)
        return;
    if (!m_bHasNext) {
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
    ms = std::clamp<qint64>(ms, 0, m_nDuration);
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
    qint64 bytes = 0;
    while (m_bHasNext && m_nNextOffset <= due) {
        Write(m_next);
        bytes += static_cast<qint64>(m_next.cells.size());
        m_nWritten = m_nNextOffset;
        ReadNext();
        if (m_bHasNext && batch.elapsed() >= kBatchMs) {
            m_timer.start(0);
            emit written(bytes);
            emit positionChanged(Position());
            return;
        }
    }
    if (bytes > 0)
        emit written(bytes);
    if (!m_bHasNext) {
        if (m_bPlaying) {
            m_bPlaying = false;
            m_nPosition = m_nDuration;
            emit positionChanged(m_nPosition);
            emit stateChanged();
            emit finished();
        }
        return;
    }
    if (m_bPlaying) {
        // Ceiling: waking a little late writes the chunk; early would only wake again.
        const qint64 wait = (m_nNextOffset - due + Factor() - 1) / Factor();
        m_timer.start(static_cast<int>(std::min(wait, kLongestWaitMs)));
    }
    emit positionChanged(Position());
}
