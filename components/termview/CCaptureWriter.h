#pragma once

#include "TermViewConstants.h"

#include <QFile>
#include <QString>
#include <cstdint>
#include <vector>

// Writes traffic into a capture file as timed records. Bytes gather in memory and are written
// as one record when the chunk is full or when the owner flushes (on a timer), so a crash
// loses at most what arrived since the last flush. Not thread-safe by itself.
class CCaptureWriter
{
public:
    ~CCaptureWriter() { Close(); }

    // Starts capturing into path: a new file, or an existing capture file continued after its
    // last whole record (a damaged tail after it is first moved to path.damaged). Any other
    // existing file is left untouched and refused. The error is in the user's words.
    bool Open(const QString& path, QString* error);
    // False when a full chunk could not be written.
    bool Append(uint8_t b, uint8_t attr)
    {
        if (m_bytes.empty())
            m_nChunkTimeMs = NowMs();
        m_bytes.push_back(b);
        m_attrs.push_back(attr);
        return m_bytes.size() < kCaptureChunkMaxBytes || Flush();
    }
    // Writes what has gathered as one record; false on a write failure.
    bool Flush();
    void Close();
    // Why the last Flush failed, in the user's words.
    QString ErrorString() const { return m_strError; }

private:
    static int64_t NowMs();

    QFile m_file;
    std::vector<uint8_t> m_bytes;
    std::vector<uint8_t> m_attrs;
    int64_t m_nChunkTimeMs = 0;
    QString m_strError;
};
