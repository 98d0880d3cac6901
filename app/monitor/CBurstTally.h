#pragma once

#include "MonitorConstants.h"

#include <QElapsedTimer>
#include <QString>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

// Counts what keeps happening on a link (bytes not sent, datagrams passed over) by whom it
// happened to, and tells each count once a burst: when nothing more came for a quiet while, or
// when the burst has gone on for its longest. So a flood is told now and then, never per event.
class CBurstTally
{
public:
    using Report = std::function<void(const QString& who, qint64 total)>;

    explicit CBurstTally(Report report) : m_report(std::move(report))
    {
        m_quiet.setSingleShot(true);
        m_quiet.setInterval(kBurstQuietMs);
        QObject::connect(&m_quiet, &QTimer::timeout, &m_quiet, [this] { Flush(); });
    }

    void Add(const QString& who, qint64 amount)
    {
        if (m_counts.empty())
            m_since.start();
        auto it = std::find_if(m_counts.begin(), m_counts.end(),
                               [&](const auto& count) { return count.first == who; });
        if (it == m_counts.end())
            m_counts.emplace_back(who, amount);
        else
            it->second += amount;
        if (m_since.elapsed() >= kBurstLongestMs)
            Flush();
        else
            m_quiet.start();
    }

    // Tells what is counted now, and starts afresh.
    void Flush()
    {
        m_quiet.stop();
        for (const auto& [who, total] : std::exchange(m_counts, {}))
            m_report(who, total);
    }

private:
    Report m_report;
    QTimer m_quiet;
    QElapsedTimer m_since;
    std::vector<std::pair<QString, qint64>> m_counts;
};
