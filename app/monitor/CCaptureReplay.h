#pragma once

#include "CReplayFeed.h"
#include "CReplayScan.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

class CTextViewCtrl;

// Writes the chunks of a capture file into a terminal view at their recorded pace (×1, ×10)
// or as fast as the view takes them, with pause and seeking. The file is read on threads of
// their own: a feed a bounded way ahead of the replay, and a scan for its length that the slider
// waits for. So opening takes no time whatever the size, and memory stays that of the records
// read ahead and the view's log. Nothing is sent anywhere: the replay only writes into the view.
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

    // Opens path and starts reading it for its length; nothing is written yet.
    CaptureStatus Open(const QString& path);
    void SetClock(Clock clock);

    void Play();
    void Pause();
    void SetSpeed(Speed speed);
    // Moves to ms of recorded time: back clears the view and writes from the start up to
    // there; forward writes the chunks in between, both at once (in batches).
    void Seek(qint64 ms);

    bool IsPlaying() const { return m_bPlaying; }
    bool IsAtEnd() const { return m_bEnded && !m_bHasNext; }
    Speed CurrentSpeed() const { return m_speed; }
    // Recorded time from the first chunk: where the replay stands, and the whole length, known
    // once the file has been read through (0 until then).
    qint64 Position() const;
    qint64 Duration() const { return m_nDuration; }
    bool IsDurationKnown() const { return m_bDurationKnown; }
    // How far the reading for the length has come, 0 to 1000.
    int LengthPermille() const { return m_bDurationKnown ? 1000 : m_scan.Permille(); }
    // Once at the end: damaged stretches skipped, and the file offset after the last whole
    // record, of the file's size.
    int SkippedCount() const { return m_feed.SkippedCount(); }
    qint64 ValidEnd() const { return m_feed.ValidEnd(); }
    qint64 FileSize() const { return m_feed.FileSize(); }
    // Whether the records read ahead are all there are for now; tests wait for it before they
    // step the replay with their clock.
    bool IsReadAhead() const { return m_feed.IsSettled(); }

    // Writes what is due by the clock; the timer calls it. Public so that a test with its own
    // clock can step the replay.
    void Advance();

signals:
    void positionChanged(qint64 ms);
    // A batch of chunks went into the view: the bytes recorded as received (0x32) and as sent
    // (0x31); and the view was emptied to replay from the start.
    void written(qint64 received, qint64 sent);
    void cleared();
    // Playing, paused or at the end.
    void stateChanged();
    void finished();
    // The reading for the length went on (permille), or is done and Duration holds it.
    void lengthProgress(int permille);
    void durationKnown();

private:
    // Back to the first record, with an empty view.
    void Rewind();
    // Whether m_next holds the next record; false while the feed has not read it yet, or at the
    // end.
    bool FetchNext();
    // Writes the record and adds its bytes to the counts by their recorded direction.
    void Write(const CaptureRecord& record, qint64& received, qint64& sent);
    void OnScanTimer();
    // The length is known: from the scan, or from the feed that read to the end first.
    void SetDuration(qint64 ms);
    // Starts the clock at the current position.
    void Anchor();
    // The recorded time the replay should have reached by now.
    qint64 Due() const;
    int Factor() const { return m_speed == Speed::Ten ? 10 : 1; }

    CTextViewCtrl* m_pTarget = nullptr;
    CReplayFeed m_feed;
    CReplayScan m_scan;
    QString m_strPath;
    Clock m_clock;
    QElapsedTimer m_elapsed;
    QTimer m_timer;
    QTimer m_scanTimer;
    CaptureRecord m_next;
    bool m_bHasNext = false;
    bool m_bEnded = false;
    bool m_bFirst = true;
    int64_t m_nFirstMs = 0;
    // Recorded time of m_next and of the last chunk written; times never go back (a clock set
    // back while capturing makes a chunk play right after the one before).
    qint64 m_nNextOffset = 0;
    qint64 m_nWritten = -1;
    qint64 m_nDuration = 0;
    bool m_bDurationKnown = false;
    qint64 m_nPosition = 0; // where a paused replay stands
    qint64 m_nAnchorPosition = 0;
    qint64 m_nAnchorClock = 0;
    bool m_bPlaying = false;
    Speed m_speed = Speed::Normal;
};
