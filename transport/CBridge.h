#pragma once

#include "Link.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <array>

// Two links joined: what side A receives is written on side B and the reverse, as it arrives,
// byte for byte and in order per direction. An observer hears every chunk with its direction
// and time. A side that goes away leaves the other open (what arrives meanwhile is counted as
// not forwarded) and comes back as its params say. A side that cannot take data holds the
// reading of the other: its bytes wait in the sending link and in the system, never in a
// buffer of ours that grows.
class CBridge : public QObject
{
    Q_OBJECT

public:
    enum Side
    {
        A = 0,
        B = 1
    };
    Q_ENUM(Side)
    // A direction is named by the side its bytes come from.
    enum Direction
    {
        AToB = 0,
        BToA = 1
    };
    Q_ENUM(Direction)

    // Bytes taken from a side that wait for the other: at this many the side is not read on.
    static constexpr int kMaxHeldBytes = 2 * 1024 * 1024;
    // Reading goes on once they are down to this.
    static constexpr int kReleaseBytes = kMaxHeldBytes / 2;
    // One take from a side, and one write to the other.
    static constexpr int kChunkBytes = 64 * 1024;
    // Takes from one side before the event loop serves the rest.
    static constexpr int kTakesPerTurn = 16;
    // A side that was closed is opened again after this, doubled at every failure up to the
    // last.
    static constexpr int kFirstRetryMs = 500;
    static constexpr int kLastRetryMs = 10000;
    // A side that cannot take data is tried again at once while it takes some, then less and
    // less often up to the last; a try waits at most kFlushWaitMs for it to take them, so that
    // bytes go as soon as there is room without holding the thread for long.
    static constexpr int kFirstFlushMs = 1;
    static constexpr int kLastFlushMs = 50;
    static constexpr int kFlushWaitMs = 5;

    struct Counts
    {
        qint64 received = 0;     // taken from the side the direction comes from
        qint64 forwarded = 0;    // written on the other side
        qint64 notForwarded = 0; // taken but never written: the other side was away or full
        qint64 waiting = 0;      // taken and not yet written
    };

    static Side From(Direction direction) { return Side(direction); }
    static Side To(Direction direction) { return direction == AToB ? B : A; }
    static Direction Out(Side side) { return Direction(side); }
    // "A→B", "B→A"; "A", "B".
    static QString DirectionName(Direction direction);
    static QString SideName(Side side);

    // Both links closed; the bridge owns them from now on.
    CBridge(LinkPtr a, LinkPtr b, QObject* parent = nullptr);
    ~CBridge() override;

    // Opens both sides. False, with the reason, when one does not open and will not be tried
    // again (its params do not ask for it); the other is closed again then.
    bool Start(QString* error);
    // Gives what is held one last try, counts what stays as not forwarded, and closes both.
    void Stop();
    bool IsRunning() const { return m_bRunning; }

    CLink* Link(Side side) const { return m_sides[side].link.get(); }
    Counts GetCounts(Direction direction) const;
    // The side the direction comes from is not read, for the other cannot take more.
    bool IsHeld(Direction direction) const { return m_dirs[direction].bHeld; }

signals:
    // A chunk taken from a side, at timeMs (ms since 1970 UTC); it goes to the other side, or,
    // when that cannot be, notForwarded follows.
    void chunk(CBridge::Direction direction, const QByteArray& bytes, qint64 timeMs);
    // bytes of the direction were given up, for the reason given.
    void notForwarded(CBridge::Direction direction, qint64 bytes, const QString& why);
    // Reading the direction's source side stopped (held) or went on again.
    void heldBack(CBridge::Direction direction, bool held);
    // What became of a side, in a line of its own (opened, lost, back, a peer came or went).
    void sideNotice(CBridge::Side side, const QString& text);
    void sideStateChanged(CBridge::Side side, CLink::State state);
    // Any count changed.
    void countsChanged();

private:
    struct SideState
    {
        LinkPtr link;
        QTimer retry;
        int nRetryMs = kFirstRetryMs;
    };
    struct DirState
    {
        QByteArray pending; // taken, from nHead on, not yet written
        qsizetype nHead = 0;
        Counts counts;
        bool bHeld = false;
    };

    void Wire(Side side);
    // Takes what the direction's source holds and writes it on, while the other side takes it.
    void Pump(Direction direction);
    // Writes what waits, waiting at most waitMs for room; true when nothing is left.
    bool Flush(Direction direction, int waitMs = 0);
    void GiveUp(Direction direction, qint64 bytes, const QString& why);
    // Gives up everything waiting for the direction.
    void GiveUpPending(Direction direction, const QString& why);
    qint64 Waiting(Direction direction) const;
    void UpdateHeld(Direction direction);
    void ArmFlush(bool progressed);
    void OnFlushTimer();
    void OnStateChanged(Side side, CLink::State state);
    void ScheduleRetry(Side side, const QString& why);
    void Retry(Side side);
    bool Opens(Side side, QString* error);

    std::array<SideState, 2> m_sides;
    std::array<DirState, 2> m_dirs;
    QTimer m_flushTimer;
    int m_nFlushMs = 0;
    bool m_bRunning = false;
};
