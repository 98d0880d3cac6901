#include "CRowRepeater.h"

#include "CCmdListGrid.h"
#include "CSendTarget.h"
#include "CmdListConstants.h"
#include "CommandSend.h"

#include <algorithm>

namespace {

bool IsUsable(const CSendTarget* target)
{
    return target != nullptr && target->IsOnline();
}

} // namespace

CRowRepeater::CRowRepeater(CCmdListGrid& grid, QObject* parent) : QObject(parent), m_grid(grid)
{
    m_sequence.timer.setSingleShot(true);
    m_sequence.timer.setTimerType(Qt::PreciseTimer);
    connect(&m_sequence.timer, &QTimer::timeout, this, &CRowRepeater::OnSequenceStep);
    // A deleted row takes its repeat along.
    connect(m_grid.model(), &QAbstractItemModel::rowsRemoved, this, [this] {
        for (auto it = m_repeats.begin(); it != m_repeats.end();)
            it = it->row.isValid() ? it + 1 : Remove(it);
    });
}

void CRowRepeater::Start(int row, CSendTarget* target)
{
    const int period = m_grid.Period(row);
    if (!IsUsable(target) || period <= 0 || Find(row) != m_repeats.end())
        return;
    const QPersistentModelIndex index(m_grid.model()->index(row, kPeriodColumn));
    // The first send goes at once; the link may go down during it.
    if (!SendRow(index, target) || !IsUsable(target))
        return;
    auto* timer = new QTimer(this);
    timer->setTimerType(Qt::PreciseTimer);
    timer->setInterval(period);
    connect(timer, &QTimer::timeout, this, [this, timer] { OnTick(timer); });
    m_repeats.push_back({index, target, timer});
    Watch(target);
    m_grid.SetRepeating(row, true);
    timer->start();
}

void CRowRepeater::Stop(int row)
{
    const auto it = Find(row);
    if (it != m_repeats.end())
        Remove(it);
}

void CRowRepeater::OnPeriodChanged(int row)
{
    const auto it = Find(row);
    if (it == m_repeats.end())
        return;
    const int period = m_grid.Period(row);
    if (period <= 0)
        Remove(it);
    else if (period != it->timer->interval())
        it->timer->setInterval(period);
}

void CRowRepeater::StartSequence(const QList<int>& rows, CSendTarget* target)
{
    StopSequence();
    if (!IsUsable(target))
        return;
    for (int row : rows)
        m_sequence.rows.append(QPersistentModelIndex(m_grid.model()->index(row, kPeriodColumn)));
    m_sequence.target = target;
    Watch(target);
    OnSequenceStep();
}

void CRowRepeater::StopAll()
{
    StopSequence();
    while (!m_repeats.empty())
        Remove(m_repeats.begin());
}

bool CRowRepeater::SendRow(const QPersistentModelIndex& row, CSendTarget* target)
{
    if (!row.isValid() || !IsUsable(target))
        return false;
    const SendResult result = SendCommandText(*target, m_grid.Text(row.row(), kTextColumn));
    switch (result.outcome) {
    case SendOutcome::Sent:
        return true;
    case SendOutcome::Offline:
        return false;
    case SendOutcome::BadNotation:
    case SendOutcome::Unencodable:
        emit refused(row.row(), result);
        return false;
    }
    return false;
}

void CRowRepeater::OnTick(const QTimer* timer)
{
    const auto find = [this, timer] { return std::ranges::find(m_repeats, timer, &Repeat::timer); };
    auto it = find();
    if (it == m_repeats.end())
        return;
    const QPersistentModelIndex row = it->row;
    if (SendRow(row, it->target))
        return;
    // The send may have stopped the repeat already, by the link going down.
    it = find();
    if (it != m_repeats.end())
        Remove(it);
}

void CRowRepeater::OnSequenceStep()
{
    while (m_sequence.next < m_sequence.rows.size()) {
        const QPersistentModelIndex row = m_sequence.rows[m_sequence.next++];
        // A row deleted meanwhile, or one with nothing to send, is passed over without a pause.
        if (!row.isValid() || m_grid.Text(row.row(), kTextColumn).isEmpty())
            continue;
        if (!SendRow(row, m_sequence.target)) {
            StopSequence();
            return;
        }
        if (m_sequence.rows.isEmpty())
            return; // the send stopped the sequence, by the link going down
        if (m_sequence.next < m_sequence.rows.size()) {
            const int period = m_grid.Period(row.row());
            m_sequence.timer.start(period > 0 ? period : kSequenceDelayMs);
            return;
        }
    }
    StopSequence();
}

void CRowRepeater::StopSequence()
{
    m_sequence.timer.stop();
    m_sequence.rows.clear();
    m_sequence.next = 0;
    m_sequence.target = nullptr;
}

void CRowRepeater::Watch(CSendTarget* target)
{
    connect(target, &CSendTarget::onlineChanged, this, &CRowRepeater::OnTargetDown,
            Qt::UniqueConnection);
    connect(target, &QObject::destroyed, this, &CRowRepeater::OnTargetDown, Qt::UniqueConnection);
}

void CRowRepeater::OnTargetDown()
{
    // A destroyed target has already left the pointers that held it.
    for (auto it = m_repeats.begin(); it != m_repeats.end();)
        it = IsUsable(it->target) ? it + 1 : Remove(it);
    if (!m_sequence.rows.isEmpty() && !IsUsable(m_sequence.target))
        StopSequence();
}

std::vector<CRowRepeater::Repeat>::iterator
CRowRepeater::Remove(std::vector<Repeat>::iterator repeat)
{
    const Repeat removed = *repeat;
    const auto next = m_repeats.erase(repeat);
    removed.timer->stop();
    removed.timer->deleteLater();
    if (removed.row.isValid())
        m_grid.SetRepeating(removed.row.row(), false);
    return next;
}

std::vector<CRowRepeater::Repeat>::iterator CRowRepeater::Find(int row)
{
    return std::ranges::find_if(m_repeats, [row](const Repeat& repeat) {
        return repeat.row.isValid() && repeat.row.row() == row;
    });
}
