#pragma once

#include "CommandSend.h"

#include <QList>
#include <QObject>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QTimer>

#include <vector>

class CCmdListGrid;
class CSendTarget;

// Sends rows of the command list again and again, each row on its own period, and sends a
// selection of rows one after another. Each keeps to the target it started on and ends at
// once when that target goes offline or is destroyed: a later activated monitor is never
// reached, and nothing is sent while the link is down. Sends run on the user-interface
// thread and end before the next tick is handled; a tick that falls due meanwhile is dropped,
// not made up, so a slow link slows a repeat down rather than piling sends up.
class CRowRepeater : public QObject
{
    Q_OBJECT

public:
    explicit CRowRepeater(CCmdListGrid& grid, QObject* parent = nullptr);

    // Sends the row now and then every period of the row, to target. Nothing starts when the
    // target is offline or the row has no period.
    void Start(int row, CSendTarget* target);
    void Stop(int row);
    // The row's period was changed: a repeat keeps it, or stops when it is gone.
    void OnPeriodChanged(int row);
    int RepeatCount() const { return int(m_repeats.size()); }

    // Sends the rows in the order given, pausing after each for its period or, for a row
    // without one, the sequence delay. A sequence under way is replaced.
    void StartSequence(const QList<int>& rows, CSendTarget* target);
    bool IsSequenceRunning() const { return m_sequence.timer.isActive(); }

    // Stops every repeat and the sequence.
    void StopAll();

signals:
    // A row's text could not be sent (wrong notation, a character the link's encoding lacks);
    // what sent it has stopped.
    void refused(int row, const SendResult& result);

private:
    struct Repeat
    {
        QPersistentModelIndex row;
        QPointer<CSendTarget> target;
        QTimer* timer = nullptr; // a child, freed later: it may be the one that fired
    };
    struct Sequence
    {
        QList<QPersistentModelIndex> rows;
        qsizetype next = 0;
        QPointer<CSendTarget> target;
        QTimer timer;
    };

    // Sends the row's text; false when what sent it must stop.
    bool SendRow(const QPersistentModelIndex& row, CSendTarget* target);
    void OnTick(const QTimer* timer);
    void OnSequenceStep();
    void StopSequence();
    // Ends what sends to target once it goes offline or is gone.
    void Watch(CSendTarget* target);
    // Stops what sends to a target that is offline or gone.
    void OnTargetDown();
    // Stops a repeat; the one after it.
    std::vector<Repeat>::iterator Remove(std::vector<Repeat>::iterator repeat);
    std::vector<Repeat>::iterator Find(int row);

    CCmdListGrid& m_grid;
    std::vector<Repeat> m_repeats;
    Sequence m_sequence;
};
