#include "Link.h"

#include "TransportConstants.h"

#include <QCoreApplication>

#include <algorithm>
#include <cerrno>

namespace {

std::vector<const CLinkKind*>& Registry()
{
    static std::vector<const CLinkKind*> kinds;
    return kinds;
}

} // namespace

CLink::CLink(const LinkParams& params, QObject* parent) : QObject(parent), m_params(params) {}

CLink::~CLink() = default;

void CLink::SetState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged(state);
}

bool CLink::Fail(LinkFailure failure, int error, const QString& detail)
{
    m_error = {failure, error, 0, detail};
    return false;
}

bool CLink::CheckPort(long long port)
{
    return IsPortNumber(port) || Fail(LinkFailure::PortOutOfRange, EINVAL, QString::number(port));
}

void CLink::AnnounceLater()
{
    if (m_bAnnounced.exchange(true))
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_bAnnounced = false;
            emit received();
        },
        Qt::QueuedConnection);
}

void CLink::AddDrop(LinkDrops* drops, const QString& who, qint64 bytes, WriteStatus status)
{
    if (drops != nullptr && bytes > 0)
        drops->push_back({who, bytes, status});
}

WriteResult CLink::WriteToPeer(int, const char* data, int n)
{
    return Write(data, n, std::chrono::milliseconds(0));
}

void CLink::BeginTransfer(std::chrono::milliseconds stall)
{
    m_stall = stall;
    m_transferClock.Restart();
}

int CLink::TransferWrite(const char* data, int n, int& error)
{
    // As long as the line's own time-out, so that the transfer can stop between writes.
    const int64_t timeoutMs = WriteTimeoutMs(n);
    const WriteResult result =
        Write(data, n, std::chrono::milliseconds(timeoutMs > 0 ? timeoutMs : kTransferWriteWaitMs));
    error = 0;
    if (result.nWritten > 0)
        m_transferClock.Restart();
    if (result.IsWritten())
        return n;
    if (result.status == WriteStatus::Full || result.status == WriteStatus::TimedOut)
        error = m_transferClock.HasStalled(m_stall) ? ETIMEDOUT : EAGAIN;
    else
        error = result.nError != 0 ? result.nError : EIO;
    return result.nWritten;
}

qint64 CLink::TransferPending(int& error)
{
    error = 0;
    return 0;
}

void CLinkDeleter::operator()(CLink* link) const
{
    if (link == nullptr)
        return;
    link->disconnect();
    if (QCoreApplication::instance() != nullptr)
        link->deleteLater();
    else
        delete link;
}

CLinkKindRegistration::CLinkKindRegistration(const CLinkKind& kind)
{
    Registry().push_back(&kind);
}

std::vector<const CLinkKind*> LinkKinds()
{
    std::vector<const CLinkKind*> kinds = Registry();
    std::sort(kinds.begin(), kinds.end(),
              [](const CLinkKind* a, const CLinkKind* b) { return a->nInterface < b->nInterface; });
    return kinds;
}

const CLinkKind* FindLinkKind(int nInterface)
{
    for (const CLinkKind* kind : Registry()) {
        if (kind->nInterface == nInterface)
            return kind;
    }
    return nullptr;
}

const CLinkKind* FindLinkKindByName(const QString& name)
{
    for (const CLinkKind* kind : Registry()) {
        if (name == QLatin1String(kind->pszName))
            return kind;
    }
    return nullptr;
}

const CLinkKind* FindLinkKindByMedia(int nMedia)
{
    for (const CLinkKind* kind : Registry()) {
        if (nMedia != 0 && kind->nMedia == nMedia)
            return kind;
    }
    return nullptr;
}

LinkPtr MakeLink(const LinkParams& params)
{
    const CLinkKind* kind = FindLinkKind(params.nInterface);
    return kind != nullptr ? kind->pfnMake(params) : nullptr;
}
