#pragma once

#include "CFileWindow.h"

#include <QFile>
#include <QString>
#include <cstdint>
#include <vector>

#include "CByteLog.h"

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
// next whole record, so nothing recorded after the damage is lost.
class CCaptureReader
{
public:
    ~CCaptureReader() { Close(); }

    CaptureStatus Open(const QString& path);
    // The next whole record; false at the end of the file.
    bool Next(CaptureRecord& out);

    // Damaged stretches skipped so far.
    int SkippedCount() const { return m_nSkipped; }
    // File position just after the last whole record (or the header); what follows it up to
    // the end of the file is a damaged tail once Next has returned false.
    qint64 ValidEnd() const { return m_nValidEnd; }
    qint64 FileSize() const { return m_window.Size(); }
    int64_t CreatedMs() const { return m_nCreatedMs; }

private:
    void Close();
    // Whether a whole record starts at pos; its end in *end.
    bool IsRecordAt(qint64 pos, qint64* end);
    // Where the next whole record after a damaged place starts, or the end of the file.
    qint64 FindRecordAfter(qint64 pos);
    // The 64-bit or 32-bit little-endian number at pos; -1 past the end of the file.
    int64_t NumberAt(qint64 pos, int bytes);

    QFile m_file;
    CFileWindow m_window;
    qint64 m_nPos = 0;
    qint64 m_nValidEnd = 0;
    int64_t m_nCreatedMs = 0;
    int m_nSkipped = 0;
};
