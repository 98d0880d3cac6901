#include "SerialDeviceClaim.h"

#include <QFileInfo>

#include <cerrno>
#include <mutex>
#include <set>
#include <sys/file.h>

namespace {

std::mutex g_mutex;
std::set<QString> g_heldPaths;

// Links (/dev/serial/by-id/...) name the same device as the file they point to.
QString Canonical(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

} // namespace

int CSerialDeviceClaim::Reserve(const QString& path)
{
    Release();
    const QString canonical = Canonical(path);
    std::lock_guard lock(g_mutex);
    if (!g_heldPaths.insert(canonical).second)
        return EBUSY;
    m_pHeld = std::shared_ptr<const QString>(new QString(canonical), [](const QString* held) {
        {
            std::lock_guard release(g_mutex);
            g_heldPaths.erase(*held);
        }
        delete held;
    });
    return 0;
}

int CSerialDeviceClaim::Lock(int fd)
{
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        // A device that takes no locks is left to the registry and to TIOCEXCL.
        return errno == EWOULDBLOCK ? EWOULDBLOCK : 0;
    }
    return 0;
}

bool CSerialDeviceClaim::IsHeld(const QString& path)
{
    const QString canonical = Canonical(path);
    std::lock_guard lock(g_mutex);
    return g_heldPaths.contains(canonical);
}
