#include "CUdpEcho.h"

#include <poll.h>

namespace {

bool HasRoom(qintptr fd)
{
    pollfd room = {static_cast<int>(fd), POLLOUT, 0};
    return ::poll(&room, 1, 0) > 0 && (room.revents & POLLOUT) != 0;
}

} // namespace

CUdpEcho::CUdpEcho(QObject* parent) : QObject(parent)
{
    connect(&m_link, &CUdpCtrl::receiveReady, this, &CUdpEcho::OnReceive);
}

bool CUdpEcho::Start()
{
    // No remote: every answer goes to the sender of the datagram it answers.
    return m_link.Create(0, QStringLiteral("127.0.0.1")) && m_link.SetRemote(QString(), 0);
}

void CUdpEcho::OnReceive()
{
    // A bounded batch: a peer that sends as fast as this answers must not hold the event loop.
    // The notice comes again while datagrams wait.
    constexpr int kDatagramsPerNotice = 256;
    QByteArray datagram;
    for (int i = 0; i < kDatagramsPerNotice; ++i) {
        // Taken only when its answer can leave at once, so that the event loop never waits.
        if (!HasRoom(m_link.GetHandle())) {
            HoldUntilWritable();
            return;
        }
        if (m_link.Receive(datagram) < 0)
            return;
        m_link.Send(datagram.constData(), int(datagram.size()));
    }
}

void CUdpEcho::HoldUntilWritable()
{
    m_link.PauseReceive(true);
    if (!m_pWritable) {
        m_pWritable = std::make_unique<QSocketNotifier>(m_link.GetHandle(), QSocketNotifier::Write);
        connect(m_pWritable.get(), &QSocketNotifier::activated, this, &CUdpEcho::OnWritable);
    }
    m_pWritable->setEnabled(true);
}

void CUdpEcho::OnWritable()
{
    m_pWritable->setEnabled(false);
    m_link.PauseReceive(false);
    OnReceive();
}
