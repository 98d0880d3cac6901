#pragma once

#include <QDateTime>

#include <limits>

// Local time for stamping received bytes. Every local-time conversion makes Qt look at the
// time zone file again: at a device's pace of a chunk a millisecond that is most of what a
// chunk costs. The zone's offset is taken once a second and the clock read in UTC.
class CArrivalClock
{
public:
    QDateTime Now()
    {
        const QDateTime utc = QDateTime::currentDateTimeUtc();
        const qint64 nowMs = utc.toMSecsSinceEpoch();
        if (nowMs - m_nOffsetTakenMs >= kOffsetRefreshMs || nowMs < m_nOffsetTakenMs) {
            m_nOffsetS = utc.toLocalTime().offsetFromUtc();
            m_nOffsetTakenMs = nowMs;
        }
        return utc.toOffsetFromUtc(m_nOffsetS);
    }

private:
    static constexpr qint64 kOffsetRefreshMs = 1000;
    int m_nOffsetS = 0;
    qint64 m_nOffsetTakenMs = std::numeric_limits<qint64>::min() / 2;
};
