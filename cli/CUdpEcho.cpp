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
    QByteArray datagram;
    while (m_link.Receive(datagram) >= 0)
        m_link.Send(datagram.constData(), int(datagram.size()));
}
