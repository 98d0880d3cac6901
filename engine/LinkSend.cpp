// Sending on the script's link. The host sets and removes the link objects on its own thread
// while the script sends on the worker thread; one lock keeps a send off a link being removed.
// Every OUT goes out whole or not at all: while the link has no room, OUT waits, a slice at a
// time so that the host can remove the link, until there is room or the run stops.
#include "CTSL.h"

#include "CClientSock.h"
#include "CRS232Ctrl.h"
#include "CUdpCtrl.h"
#include "HostMessages.h"
#include "MessageLanguage.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

// A waiting OUT gives the link lock up this often.
constexpr std::chrono::milliseconds kOutWaitSlice(20);
// Bursts of cut serial writes told in one run; the notices of a run are bounded.
constexpr int kMaxCutNotices = 20;

} // namespace

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

WriteResult CTSL::WriteSlice(const unsigned char* pData, int nLength, int& nDone,
                             std::chrono::steady_clock::time_point serialDeadline)
{
    std::lock_guard lock(m_csLink);
    const char* data = reinterpret_cast<const char*>(pData) + nDone;
    const int left = nLength - nDone;
    WriteResult result = {WriteStatus::NoPeer, 0, 0};
    if (m_nLinkType == TSL_LINK_SERIAL) {
        if (!m_pRS232 || !m_pRS232->bsGetConnectFlag())
            return result;
        // A serial driver cannot give back what it took: what went stays sent, and the rest
        // goes on while the port's write time-out lasts.
        const auto wait = std::clamp(std::chrono::duration_cast<std::chrono::milliseconds>(
                                         serialDeadline - std::chrono::steady_clock::now()),
                                     std::chrono::milliseconds(0), kOutWaitSlice);
        result = m_pRS232->WriteWhole(data, left, wait);
        nDone += result.nWritten;
        if (result.status == WriteStatus::TimedOut &&
            std::chrono::steady_clock::now() < serialDeadline)
            result.status = WriteStatus::Full;
    } else if (m_nLinkType == TSL_LINK_TCP) {
        if (!m_pClientSock)
            return result;
        result = m_pClientSock->WriteWhole(data, left, kOutWaitSlice);
        nDone += result.nWritten;
    } else if (m_nLinkType == TSL_LINK_UDP && m_pUdp) {
        // One OUT is one datagram; more bytes than a datagram holds go in several.
        result =
            m_pUdp->WriteWhole(data, std::min(left, CUdpCtrl::kMaxDatagramBytes), kOutWaitSlice);
        nDone += result.nWritten;
        if (result.IsWritten() && nDone < nLength)
            result.status = WriteStatus::Full; // the next datagram follows
    }
    return result;
}

void CTSL::SendBytes(const unsigned char* pData, int nLength)
{
    // An OUT of nothing sends nothing: passes run back to back, and a script that sends an
    // empty buffer every pass would flood a UDP peer with empty datagrams.
    if (nLength <= 0)
        return;
    // A port without a write time-out waits for as long as the run lasts.
    auto serialDeadline = std::chrono::steady_clock::time_point::max();
    {
        std::lock_guard lock(m_csLink);
        if (m_pRS232 && m_pRS232->GetWriteTimeoutMs(nLength) > 0)
            serialDeadline = std::chrono::steady_clock::now() +
                             std::chrono::milliseconds(m_pRS232->GetWriteTimeoutMs(nLength));
    }
    int done = 0;
    WriteResult result;
    do
        result = WriteSlice(pData, nLength, done, serialDeadline);
    while (result.status == WriteStatus::Full && m_pRun->IsSet());

    if (m_nLinkType != TSL_LINK_SERIAL)
        return;
    // A stalled line cut the write: the host hears of it once per run of cut writes. A stop
    // that ends the wait is no fault of the line.
    const bool cut = result.status == WriteStatus::TimedOut && done < nLength;
    if (cut && !m_bSendCut && m_nCutNotices < kMaxCutNotices) {
        ++m_nCutNotices;
        char text[256];
        std::snprintf(text, sizeof text, tsl::MessageText(tsl::msg::kSerialWriteCut).c_str(),
                      nLength - done);
        m_notices.Report("serial write cut " + std::to_string(m_nCutNotices), text);
    }
    m_bSendCut = cut;
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
