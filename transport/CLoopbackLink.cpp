// The loopback link: everything written comes back as received. It needs no device, no peer
// and no settings, so a script or a command list can be tried anywhere.
#include "Link.h"

#include <QtGlobal>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <mutex>

namespace {

// What a loopback holds for its owner to take; a write that does not fit waits or is refused.
constexpr qsizetype kLoopbackHeldBytes = 4 * 1024 * 1024;

class CLoopbackLink : public CLink
{
public:
    explicit CLoopbackLink(const LinkParams& params) : CLink(params) {}

    bool Open() override
    {
        {
            std::lock_guard lock(m_mutex);
            m_bOpen = true;
        }
        SetState(State::Open);
        return true;
    }
    void Close() override
    {
        {
            std::lock_guard lock(m_mutex);
            m_bOpen = false;
            m_held.clear();
            m_nHead = 0;
        }
        m_room.notify_all();
        MarkClosed();
    }
    // Both sides go under the lock.
    bool TakesOnAnyThread() const override { return true; }
    bool HasReceived() const override
    {
        std::lock_guard lock(m_mutex);
        return m_nHead < m_held.size();
    }
    QString Target() const override { return QStringLiteral("loopback"); }
    QString OpenedNotice() const override { return QStringLiteral("\r\nLoopback started ...\r\n"); }
    QString ClosedNotice() const override { return QStringLiteral("\r\nLoopback stopped ...\r\n"); }

protected:
    WriteResult WriteLink(const char* data, int n, std::chrono::milliseconds wait,
                          LinkDrops* drops) override
    {
        if (n < 0 || (data == nullptr && n > 0))
            return {WriteStatus::Failed, 0, EINVAL};
        if (n > kLoopbackHeldBytes)
            return {WriteStatus::TooLarge, 0, EMSGSIZE};
        {
            std::unique_lock lock(m_mutex);
            // The owner takes on its own thread: a writer there cannot wait for it.
            m_room.wait_for(lock, std::max(wait, std::chrono::milliseconds(0)), [&] {
                return !m_bOpen || m_held.size() - m_nHead + n <= kLoopbackHeldBytes;
            });
            if (!m_bOpen)
                return {WriteStatus::Failed, 0, EBADF};
            if (m_held.size() - m_nHead + n > kLoopbackHeldBytes) {
                lock.unlock();
                AddDrop(drops, Target(), n, WriteStatus::Full);
                return {WriteStatus::Full, 0, EAGAIN};
            }
            m_held.append(data, n);
        }
        if (n > 0)
            AnnounceLater();
        return {WriteStatus::Written, n, 0};
    }

    int TakeLink(QByteArray& out, int max, int) override
    {
        int taken = 0;
        bool more = false;
        {
            std::lock_guard lock(m_mutex);
            taken = int(std::min<qsizetype>(m_held.size() - m_nHead, max));
            out.append(m_held.constData() + m_nHead, taken);
            m_nHead += taken;
            // What was taken is cut off once it is half of the storage.
            if (m_nHead >= m_held.size() / 2) {
                m_held.remove(0, m_nHead);
                m_nHead = 0;
            }
            more = m_nHead < m_held.size();
        }
        m_room.notify_all();
        if (more)
            AnnounceLater();
        return taken;
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_room;
    QByteArray m_held;
    qsizetype m_nHead = 0;
    bool m_bOpen = false;
};

LinkPtr MakeLoopbackLink(const LinkParams& params)
{
    return LinkPtr(new CLoopbackLink(params));
}

const CLinkKind kLoopbackKind = {3,
                                 "loopback",
                                 QT_TRANSLATE_NOOP("CPortSettingsDlg", "루프백"),
                                 0,
                                 0,
                                 "no device: everything sent comes back as received",
                                 &MakeLoopbackLink};
const CLinkKindRegistration kRegistration(kLoopbackKind);

} // namespace
