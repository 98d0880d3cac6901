#include "CFileWindow.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <unistd.h>

void CFileWindow::Reset(QFile* pFile, qint64 size)
{
    m_pFile = pFile;
    m_nSize = size;
    m_nStart = 0;
    m_buffer.clear();
}

const uchar* CFileWindow::At(qint64 pos, qint64 len)
{
    if (pos < 0 || len < 0 || pos > m_nSize || len > m_nSize - pos)
        return nullptr;
    if (pos >= m_nStart && pos + len <= m_nStart + static_cast<qint64>(m_buffer.size()))
        return m_buffer.data() + (pos - m_nStart);

    const qint64 want = std::min(std::max(len, kWindowBytes), m_nSize - pos);
    m_buffer.resize(static_cast<size_t>(want));
    m_nStart = pos;
    qint64 got = 0;
    while (got < want) {
        const ssize_t n = ::pread(m_pFile->handle(), m_buffer.data() + got,
                                  static_cast<size_t>(want - got), pos + got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += n;
    }
    if (got < want) {
        // Cut short, or unreadable from here on: the file ends where it now ends, or where
        // reading stopped.
        m_buffer.resize(static_cast<size_t>(got));
        m_nSize = std::min(pos + got, m_pFile->size());
    }
    return len <= got ? m_buffer.data() : nullptr;
}
