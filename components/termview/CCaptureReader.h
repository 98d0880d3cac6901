#pragma once

#include "CByteLog.h"
#include "CFileWindow.h"

#include <QFile>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

enum class CaptureStatus
{
    Ok,
    NotCapture,         // no capture header: some other file
    Unreadable,         // cannot be opened or read
    UnsupportedVersion, // a capture written by a newer version
};

// One timed chunk of captured traffic.
struct CaptureRecord
{
    int64_t timeMs = 0; // milliseconds since 1970-01-01 UTC when its first byte was written
    std::vector<Cell> cells;
};

// Reads a capture file record by record. A damaged stretch (a record that fails its checksum,
// bytes that are no record, a tail cut short by a crash) is skipped: reading goes on at the
// next whole record, so nothing recorded after the damage is lost. Reading takes time linear in
// the file's size whatever its bytes: the checksums checked while looking for a record past
// damage are bounded by the bytes read.
class CCaptureReader
{
public:
    // Told of the file position reached, at least every kProgressStepBytes; returns false to
    // stop reading (Next then gives false, and Stopped true).
    using Progress = std::function<bool(qint64 pos)>;
    static constexpr qint64 kProgressStepBytes = qint64(1) << 20;

    ~CCaptureReader() { Close(); }

    CaptureStatus Open(const QString& path);
    // The next whole record; false at the end of the file.
    bool Next(CaptureRecord& out);
    void SetProgress(Progress progress) { m_progress = std::move(progress); }
    bool Stopped() const { return m_bStopped; }

    // Damaged stretches skipped so far.
    int SkippedCount() const { return m_nSkipped; }
    // File position just after the last whole record (or the header); what follows it up to
    // the end of the file is a damaged tail once Next has returned false.
    qint64 ValidEnd() const { return m_nValidEnd; }
    qint64 FileSize() const { return m_window.Size(); }
    int64_t CreatedMs() const { return m_nCreatedMs; }

private:
    void Close();
    // Whether the checksum of a record of this many bytes may still be computed.
    bool Affords(qint64 bytes) const;
    // Whether a whole record starts at pos; its end in *end.
    bool IsRecordAt(qint64 pos, qint64* end);
    // Where the next whole record after a damaged place starts, or the end of the file.
    qint64 FindRecordAfter(qint64 pos);
    // The 64-bit or 32-bit little-endian number at pos; -1 past the end of the file.
    int64_t NumberAt(qint64 pos, int bytes);
    // Notes that reading reached pos; false once the reading is to stop.
    bool Reached(qint64 pos);

    QFile m_file;
    CFileWindow m_window;
    qint64 m_nPos = 0;
    qint64 m_nValidEnd = 0;
    qint64 m_nHeaderBytes = 0;
    int64_t m_nCreatedMs = 0;
    int m_nSkipped = 0;
    // Bytes whose checksum was computed, and the furthest place reached: the first stays below
    // a few times the second.
    qint64 m_nChecked = 0;
    qint64 m_nReach = 0;
    qint64 m_nReported = 0;
    Progress m_progress;
    bool m_bStopped = false;
};
