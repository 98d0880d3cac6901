#pragma once

#include "CCaptureReader.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

class CTextViewCtrl;

// Writes the chunks of a capture file into a terminal view at their recorded pace (×1, ×10)
// or as fast as the view takes them, with pause and seeking. The file is read record by record
// as it plays (the reader maps it), so memory stays that of one record and the view's log.
// Nothing is sent anywhere: the replay only writes into the view.
class CCaptureReplay : public QObject
{
    Q_OBJECT

public:
    enum class Speed
    {
        Normal, // as recorded
        Ten,    // ten times faster
        Max,    // as fast as the view takes it, in batches that leave the user interface free
    };
    // A monotonic clock in milliseconds; tests hand in their own.
    using Clock = std::function<qint64()>;

    explicit CCaptureReplay(CTextViewCtrl* target, QObject* parent = nullptr);

    // Opens path and reads it once for its length in recorded time; nothing is written yet.
    CaptureStatus Open(const QString& path);
    void SetClock(Clock clock);

    void Play();
    void Pause();
    void SetSpeed(Speed speed);
    // Moves to ms of recorded time: back clears the view and writes from the start up to
    // there; forward writes the chunks in between, both at once (in batches).
    void Seek(qint64 ms);

    bool IsPlaying() const { return m_bPlaying; }
    bool IsAtEnd() const { return !m_bHasNext; }
    Speed CurrentSpeed() const { return m_speed; }
    // Recorded time from the first chunk: where the replay stands, and the whole length.
    qint64 Position() const;
    qint64 Duration() const { return m_nDuration; }
    // Damaged stretches skipped so far, and the file offset after the last whole record.
    int SkippedCount() const { return m_reader.SkippedCount(); }
    qint64 ValidEnd() const { return m_reader.ValidEnd(); }
    qint64 FileSize() const { return m_reader.FileSize(); }

    // Writes what is due by the clock; the timer calls it. Public so that a test with its own
    // clock can step the replay.
    void Advance();

signals:
    void positionChanged(qint64 ms);
    // A batch of chunks went into the view (bytes, all of them); and the view was emptied to
    // replay from the start.
    void written(qint64 bytes);
    void cleared();
    // Playing, paused or at the end.
    void stateChanged();
    void finished();

private:
    // Back to the first record, with an empty view.
    void Rewind();
    void ReadNext();
    void Write(const CaptureRecord& record);
    // Starts the clock at the current position.
    void Anchor();
    // The recorded time the replay should have reached by now.
    qint64 Due() const;
    int Factor() const { return m_speed == Speed::Ten ? 10 : 1; }

    CTextViewCtrl* m_pTarget = nullptr;
    CCaptureReader m_reader;
    QString m_strPath;
    Clock m_clock;
    QElapsedTimer m_elapsed;
    QTimer m_timer;
    CaptureRecord m_next;
    bool m_bHasNext = false;
    int64_t m_nFirstMs = 0;
    // Recorded time of m_next and of the last chunk written; times never go back (a clock set
    // back while capturing makes a chunk play right after the one before).
    qint64 m_nNextOffset = 0;
    qint64 m_nWritten = -1;
    qint64 m_nDuration = 0;
    qint64 m_nPosition = 0; // where a paused replay stands
    qint64 m_nAnchorPosition = 0;
    qint64 m_nAnchorClock = 0;
    bool m_bPlaying = false;
    Speed m_speed = Speed::Normal;
};
