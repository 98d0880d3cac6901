#pragma once

#include "CMonitorLink.h"
#include "CSerialLink.h"
#include "CTcpClientLink.h"
#include "CTcpServerLink.h"
#include "CUdpLink.h"

// The transport object behind a monitor's link, null while the link is not of that kind.
template <typename Adapter> Adapter* LinkOf(const CMonitorLink* link)
{
    return qobject_cast<Adapter*>(link->Link());
}

inline CRS232Ctrl* SerialPortOf(const CMonitorLink* link)
{
    CSerialLink* serial = LinkOf<CSerialLink>(link);
    return serial != nullptr ? &serial->Port() : nullptr;
}

inline CClientSock* ClientSocketOf(const CMonitorLink* link)
{
    CTcpClientLink* client = LinkOf<CTcpClientLink>(link);
    return client != nullptr ? &client->Socket() : nullptr;
}

inline CServerSock* ServerSocketOf(const CMonitorLink* link)
{
    CTcpServerLink* server = LinkOf<CTcpServerLink>(link);
    return server != nullptr ? &server->Server() : nullptr;
}

inline CUdpCtrl* UdpSocketOf(const CMonitorLink* link)
{
    CUdpLink* udp = LinkOf<CUdpLink>(link);
    return udp != nullptr ? &udp->Socket() : nullptr;
}
