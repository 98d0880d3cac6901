// Sending on the script's link. The host sets and removes the link objects on its own thread
// while the script sends on the worker thread; one lock keeps a send off a link being removed.
#include "CTSL.h"

#include "CClientSock.h"
#include "CRS232Ctrl.h"
#include "CUdpCtrl.h"

#include <algorithm>

void CTSL::SetListenObject(CRS232Ctrl* pPort)
{
    std::lock_guard lock(m_csLink);
    m_pRS232 = pPort;
}

void CTSL::SetListenObject(CClientSock* pSocket)
{
    std::lock_guard lock(m_csLink);
    m_pClientSock = pSocket;
}

void CTSL::SetListenObject(CUdpCtrl* pUdp)
{
    std::lock_guard lock(m_csLink);
    m_pUdp = pUdp;
}

void CTSL::SendBytes(const unsigned char* pData, int nLength)
{
    std::lock_guard lock(m_csLink);
    if (m_nLinkType == TSL_LINK_SERIAL) {
        if (m_pRS232 && m_pRS232->bsGetConnectFlag())
            m_pRS232->Write(reinterpret_cast<const char*>(pData), nLength);
    } else if (m_nLinkType == TSL_LINK_TCP) {
        if (m_pClientSock)
            m_pClientSock->Send(pData, nLength, 0);
    } else if (m_nLinkType == TSL_LINK_UDP && m_pUdp) {
        // One OUT is one datagram; more bytes than a datagram holds go in several. An OUT of
        // nothing sends nothing, as on the other links: passes run back to back, and a script
        // that sends an empty buffer every pass would flood the peer with empty datagrams.
        for (int offset = 0; offset < nLength; offset += CUdpCtrl::kMaxDatagramBytes)
            m_pUdp->Send(pData + offset, std::min(nLength - offset, CUdpCtrl::kMaxDatagramBytes));
    }
}

void CTSL::SendString(const unsigned char* pData, int nLength, int nIntervalMs)
{
    if (nIntervalMs == 0) {
        SendBytes(pData, nLength);
        return;
    }
    // Byte by byte with a pause after each; a stop ends the sending with the pause.
    for (int i = 0; i < nLength; ++i) {
        SendBytes(pData + i, 1);
        if (!m_pRun->SleepFor(nIntervalMs))
            return;
    }
}
