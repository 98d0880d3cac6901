#pragma once

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

// Reads a capture file record by record, stopping at the first record that is cut short or
// fails its checksum: everything before it is trusted, nothing after it.
class CCaptureReader
{
public:
    CaptureStatus Open(const QString& path);
    // False at the end of the file or at a damaged record.
    bool Next(CaptureRecord& out);

    // True once Next stopped before the end of the file.
    bool IsDamaged() const { return m_bDamaged; }
    // File position just after the last good record (or the header).
    qint64 ValidEnd() const { return m_nValidEnd; }
    int64_t CreatedMs() const { return m_nCreatedMs; }

private:
    QFile m_file;
    qint64 m_nValidEnd = 0;
    int64_t m_nCreatedMs = 0;
    bool m_bDamaged = false;
};
