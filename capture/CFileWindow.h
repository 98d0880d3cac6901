#pragma once

#include <QtGlobal>

#include <vector>

class QFile;

// Reads an open file through a window of bytes held in memory. Unlike a mapping, a file that
// another program cuts short while it is read (a capture replayed while it is overwritten) is
// no fault: it reads as ending where it now ends.
class CFileWindow
{
public:
    // The window holds at least this much, and any one span asked for.
    static constexpr qint64 kWindowBytes = qint64(4) << 20;

    // Starts reading `file`, which must stay open, up to `size` bytes.
    void Reset(QFile* pFile, qint64 size);

    // The bytes [pos, pos + len), or nullptr where the file no longer holds them all (Size then
    // tells where it ends). Valid until the next call.
    const uchar* At(qint64 pos, qint64 len);

    // The end of the file: its size when reading began, less what it has been cut short by.
    qint64 Size() const { return m_nSize; }

private:
    QFile* m_pFile = nullptr;
    qint64 m_nSize = 0;
    qint64 m_nStart = 0; // file position of m_buffer[0]
    std::vector<uchar> m_buffer;
};
