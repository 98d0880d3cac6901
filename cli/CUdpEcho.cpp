#include "CUdpEcho.h"

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
    for (int i = 0; i < kDatagramsPerNotice && m_link.Receive(datagram) >= 0; ++i)
        m_link.Send(datagram.constData(), int(datagram.size()));
}
