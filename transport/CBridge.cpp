#include "CBridge.h"

#include <QDateTime>

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

QString ErrorText(const LinkError& error)
{
    if (!error.strDetail.isEmpty() && error.failure != LinkFailure::PortOutOfRange)
        return error.strDetail;
    switch (error.failure) {
    case LinkFailure::DeviceInUse:
        return QStringLiteral("another port of this program holds the device");
    case LinkFailure::DeviceLocked:
        return QStringLiteral("another program holds the device");
    case LinkFailure::PortInUse:
        return QStringLiteral("another server listens on the port");
    case LinkFailure::PortOutOfRange:
        return QStringLiteral("port %1 is not in 1..65535").arg(error.strDetail);
    default:
        break;
    }
    return error.nError != 0 ? QString::fromLocal8Bit(std::strerror(error.nError))
                             : QStringLiteral("failed");
}

QString Seconds(int ms)
{
    return QString::number(ms / 1000.0, 'f', 1);
}

} // namespace

QString CBridge::DirectionName(Direction direction)
{
    return direction == AToB ? QStringLiteral("A→B") : QStringLiteral("B→A");
}

QString CBridge::SideName(Side side)
{
    return side == A ? QStringLiteral("A") : QStringLiteral("B");
}

CBridge::CBridge(LinkPtr a, LinkPtr b, QObject* parent) : QObject(parent)
{
    m_sides[A].link = std::move(a);
    m_sides[B].link = std::move(b);
    for (const Side side : {A, B}) {
        m_sides[side].retry.setSingleShot(true);
        connect(&m_sides[side].retry, &QTimer::timeout, this, [this, side] { Retry(side); });
        Wire(side);
    }
    m_flushTimer.setSingleShot(true);
    m_flushTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_flushTimer, &QTimer::timeout, this, &CBridge::OnFlushTimer);
}

CBridge::~CBridge()
{
    Stop();
}

void CBridge::Wire(Side side)
{
    CLink* link = m_sides[side].link.get();
    connect(link, &CLink::received, this, [this, side] { Pump(Out(side)); });
    connect(link, &CLink::stateChanged, this,
            [this, side](CLink::State state) { OnStateChanged(side, state); });
    connect(link, &CLink::failed, this, [this, side](const LinkError& error) {
        ScheduleRetry(side, QStringLiteral("connect failed: ") + ErrorText(error));
    });
    connect(link, &CLink::lost, this, [this, side](int) {
        const QString why = m_sides[side].link->LossReason();
        emit sideNotice(side, SideName(side) + QStringLiteral(" lost") +
                                  (why.isEmpty() ? QString() : QStringLiteral(": ") + why));
    });
    connect(link, &CLink::restored, this, [this, side](qint64 awayMs) {
        emit sideNotice(side, SideName(side) + QStringLiteral(" back after %1 s")
                                                   .arg(Seconds(int(std::min<qint64>(
                                                       awayMs, std::numeric_limits<int>::max())))));
    });
    connect(
        link, &CLink::peerJoined, this, [this, side](int, const QString& address, quint16 port) {
            emit sideNotice(side, SideName(side) +
                                      QStringLiteral(": %1:%2 connected").arg(address).arg(port));
        });
    connect(link, &CLink::peerLeft, this,
            [this, side](const QString& address, quint16 port, qint64 unsent) {
                QString text =
                    SideName(side) + QStringLiteral(": %1:%2 disconnected").arg(address).arg(port);
                if (unsent > 0)
                    text += QStringLiteral(", %1 bytes not delivered").arg(unsent);
                emit sideNotice(side, text);
                // What the peer never got was counted as forwarded: it was not.
                if (unsent > 0) {
                    DirState& into = m_dirs[Out(side == A ? B : A)];
                    into.counts.forwarded -= std::min(unsent, into.counts.forwarded);
                    GiveUp(Out(side == A ? B : A), unsent,
                           QStringLiteral("%1:%2 left before it got them").arg(address).arg(port));
                }
            });
    connect(link, &CLink::peerRefused, this, [this, side](const QString& address, quint16 port) {
        emit sideNotice(
            side,
            SideName(side) +
                QStringLiteral(": %1:%2 refused, every place is taken").arg(address).arg(port));
    });
    connect(link, &CLink::senderChanged, this, [this, side](const QString& address, quint16 port) {
        emit sideNotice(side,
                        SideName(side) + QStringLiteral(": from %1:%2").arg(address).arg(port));
    });
}

bool CBridge::Opens(Side side, QString* error)
{
    CLink& link = *m_sides[side].link;
    if (link.Open())
        return true;
    const QString why = ErrorText(link.LastError());
    if (!link.Params().bAutoReconnect) {
        if (error != nullptr)
            *error = SideName(side) + QStringLiteral(": ") + why;
        return false;
    }
    ScheduleRetry(side, QStringLiteral("did not open: ") + why);
    return true;
}

bool CBridge::Start(QString* error)
{
    if (m_bRunning)
        return true;
    m_bRunning = true;
    for (const Side side : {A, B}) {
        if (!Opens(side, error)) {
            Stop();
            return false;
        }
    }
    return true;
}

void CBridge::Stop()
{
    if (!m_bRunning)
        return;
    m_bRunning = false;
    m_flushTimer.stop();
    for (const Direction direction : {AToB, BToA})
        Flush(direction);
    for (const Side side : {A, B}) {
        SideState& state = m_sides[side];
        state.retry.stop();
        // What the link still held for its peers goes with it.
        qint64 stranded = 0;
        for (const LinkDrop& drop : state.link->Stranded())
            stranded += drop.nBytes;
        const Direction into = Out(side == A ? B : A);
        if (stranded > 0) {
            m_dirs[into].counts.forwarded -= std::min(stranded, m_dirs[into].counts.forwarded);
            GiveUp(into, stranded, QStringLiteral("closed before they went out"));
        }
        state.link->Close();
    }
    for (const Direction direction : {AToB, BToA})
        GiveUpPending(direction, QStringLiteral("the bridge stopped"));
}

CBridge::Counts CBridge::GetCounts(Direction direction) const
{
    Counts counts = m_dirs[direction].counts;
    counts.waiting = Waiting(direction);
    return counts;
}

qint64 CBridge::Waiting(Direction direction) const
{
    const DirState& dir = m_dirs[direction];
    return dir.pending.size() - dir.nHead;
}

void CBridge::Pump(Direction direction)
{
    if (!m_bRunning)
        return;
    CLink& source = *m_sides[From(direction)].link;
    DirState& dir = m_dirs[direction];
    bool changed = false;
    // A bounded number of takes at a time, so that the other direction and the user are served
    // too; what is left is taken on at the next turn of the event loop.
    bool more = true;
    for (int turn = 0; turn < kTakesPerTurn && more; ++turn) {
        Flush(direction);
        // Taken even when it looks empty: a take is what lets a serial line announce again.
        const qint64 room = kMaxHeldBytes - Waiting(direction);
        more = room > 0;
        if (!more)
            break;
        QByteArray bytes;
        const int got = source.Take(bytes, int(std::min<qint64>(room, kChunkBytes)));
        more = got > 0;
        if (!more)
            break;
        changed = true;
        dir.counts.received += got;
        emit chunk(direction, bytes, QDateTime::currentMSecsSinceEpoch());
        if (m_sides[To(direction)].link->GetState() == CLink::State::Open)
            dir.pending.append(bytes);
        else
            GiveUp(direction, got, SideName(To(direction)) + QStringLiteral(" is not open"));
    }
    Flush(direction);
    UpdateHeld(direction);
    if (more && !dir.bHeld && Waiting(direction) < kMaxHeldBytes)
        QMetaObject::invokeMethod(
            this, [this, direction] { Pump(direction); }, Qt::QueuedConnection);
    if (Waiting(direction) > 0)
        ArmFlush(changed);
    if (changed)
        emit countsChanged();
}

bool CBridge::Flush(Direction direction, int waitMs)
{
    DirState& dir = m_dirs[direction];
    CLink& target = *m_sides[To(direction)].link;
    bool wrote = false;
    while (Waiting(direction) > 0) {
        if (target.GetState() != CLink::State::Open) {
            GiveUpPending(direction, SideName(To(direction)) + QStringLiteral(" is not open"));
            break;
        }
        const int n = int(std::min<qint64>(Waiting(direction), kChunkBytes));
        LinkDrops drops;
        const WriteResult result = target.Write(dir.pending.constData() + dir.nHead, n,
                                                std::chrono::milliseconds(waitMs), &drops);
        const int went = std::clamp(result.nWritten, 0, n);
        dir.nHead += went;
        dir.counts.forwarded += went;
        wrote = wrote || went > 0;
        if (result.IsWritten()) {
            // A peer of several that missed them: the others got them.
            for (const LinkDrop& drop : drops)
                GiveUp(direction, drop.nBytes,
                       drop.strWho + QStringLiteral(" could not take them"));
            continue;
        }
        if (result.status == WriteStatus::Full || result.status == WriteStatus::TimedOut)
            break;
        // Nobody to take them, or the side broke: these are lost, later ones may not be.
        const QString why = result.status == WriteStatus::NoPeer
                                ? SideName(To(direction)) + QStringLiteral(" has nobody connected")
                            : result.status == WriteStatus::TooLarge
                                ? QStringLiteral("too large for %1").arg(SideName(To(direction)))
                                : SideName(To(direction)) + QStringLiteral(": ") +
                                      QString::fromLocal8Bit(std::strerror(result.nError));
        dir.nHead += n - went;
        GiveUp(direction, n - went, why);
    }
    // What went out is cut off once it is half of the storage.
    if (dir.nHead > 0 && dir.nHead >= dir.pending.size() / 2) {
        dir.pending.remove(0, dir.nHead);
        dir.nHead = 0;
    }
    if (wrote)
        emit countsChanged();
    return Waiting(direction) == 0;
}

void CBridge::GiveUp(Direction direction, qint64 bytes, const QString& why)
{
    if (bytes <= 0)
        return;
    m_dirs[direction].counts.notForwarded += bytes;
    emit notForwarded(direction, bytes, why);
    emit countsChanged();
}

void CBridge::GiveUpPending(Direction direction, const QString& why)
{
    DirState& dir = m_dirs[direction];
    const qint64 left = Waiting(direction);
    dir.pending.clear();
    dir.nHead = 0;
    GiveUp(direction, left, why);
    UpdateHeld(direction);
}

void CBridge::UpdateHeld(Direction direction)
{
    DirState& dir = m_dirs[direction];
    const qint64 waiting = Waiting(direction);
    const bool held = dir.bHeld ? waiting > kReleaseBytes : waiting >= kMaxHeldBytes;
    if (held == dir.bHeld)
        return;
    dir.bHeld = held;
    emit heldBack(direction, held);
    // Released: what waited in the source meanwhile is taken now; it may not announce again.
    if (!held)
        QMetaObject::invokeMethod(
            this, [this, direction] { Pump(direction); }, Qt::QueuedConnection);
}

void CBridge::ArmFlush(bool progressed)
{
    if (progressed)
        m_nFlushMs = 0;
    if (!m_flushTimer.isActive())
        m_flushTimer.start(m_nFlushMs);
}

void CBridge::OnFlushTimer()
{
    if (!m_bRunning)
        return;
    bool progressed = false;
    bool left = false;
    for (const Direction direction : {AToB, BToA}) {
        const qint64 before = Waiting(direction);
        if (before == 0)
            continue;
        Flush(direction, kFlushWaitMs);
        progressed = progressed || Waiting(direction) < before;
        UpdateHeld(direction);
        // Room again: take on from the source, which may have stopped announcing.
        if (!m_dirs[direction].bHeld && Waiting(direction) < before)
            Pump(direction);
        left = left || Waiting(direction) > 0;
    }
    // A side that takes nothing is looked at less and less often.
    m_nFlushMs = progressed ? 0 : std::clamp(m_nFlushMs * 2, kFirstFlushMs, kLastFlushMs);
    if (left && !m_flushTimer.isActive())
        m_flushTimer.start(m_nFlushMs);
}

void CBridge::OnStateChanged(Side side, CLink::State state)
{
    emit sideStateChanged(side, state);
    if (!m_bRunning)
        return;
    SideState& s = m_sides[side];
    const Direction into = Out(side == A ? B : A);
    switch (state) {
    case CLink::State::Open: {
        s.nRetryMs = kFirstRetryMs;
        const QString opened = s.link->OpenedNotice().trimmed();
        emit sideNotice(side, SideName(side) + QStringLiteral(" open: ") +
                                  (opened.isEmpty() ? s.link->Target() : opened));
        // Bytes waiting on either side go now.
        Pump(Out(side));
        Pump(into);
        break;
    }
    case CLink::State::Opening:
        break;
    case CLink::State::Waiting:
        GiveUpPending(into, SideName(side) + QStringLiteral(" went away"));
        emit sideNotice(side, SideName(side) + QStringLiteral(" waiting to come back"));
        break;
    case CLink::State::Closed:
        GiveUpPending(into, SideName(side) + QStringLiteral(" closed"));
        // What it received before is still written on; then it is opened again, if asked.
        Pump(Out(side));
        if (s.link->Params().bAutoReconnect)
            ScheduleRetry(side, QStringLiteral("closed"));
        else
            emit sideNotice(side, SideName(side) + QStringLiteral(" closed"));
        break;
    }
    emit countsChanged();
}

void CBridge::ScheduleRetry(Side side, const QString& why)
{
    SideState& s = m_sides[side];
    if (!m_bRunning || s.retry.isActive())
        return;
    if (!s.link->Params().bAutoReconnect) {
        emit sideNotice(side, SideName(side) + QStringLiteral(" ") + why);
        return;
    }
    emit sideNotice(side, SideName(side) + QStringLiteral(" ") + why +
                              QStringLiteral("; trying again in %1 s").arg(Seconds(s.nRetryMs)));
    s.retry.start(s.nRetryMs);
    s.nRetryMs = std::min(s.nRetryMs * 2, kLastRetryMs);
}

void CBridge::Retry(Side side)
{
    CLink& link = *m_sides[side].link;
    if (!m_bRunning || link.GetState() != CLink::State::Closed)
        return;
    if (!link.Open())
        ScheduleRetry(side, QStringLiteral("did not open: ") + ErrorText(link.LastError()));
}
