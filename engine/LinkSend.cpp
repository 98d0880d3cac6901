// Sending on the script's link, of whatever kind. The host sets and removes the link on its own
// thread while the script sends on the worker thread; one lock keeps a send off a link being
// removed.
// Every OUT goes out whole or not at all: while the link has no room, OUT waits, a slice at a
// time so that the host can remove the link, until there is room or the run stops.
#include "CTSL.h"
#include "TrafficTap.h"

#include "HostMessages.h"
#include "Link.h"
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

void CTSL::SetListenObject(CLink* pLink)
{
    std::lock_guard lock(m_csLink);
    m_pLink = pLink;
}

WriteResult CTSL::WriteSlice(const unsigned char* pData, int nLength, int& nDone,
                             std::chrono::steady_clock::time_point deadline)
{
    std::lock_guard lock(m_csLink);
    if (!m_pLink)
        return {WriteStatus::NoPeer, 0, 0};
    // A serial driver cannot give back what it took: what went stays sent, and the rest goes
    // on while the line's write time-out lasts.
    const auto wait = std::clamp(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     deadline - std::chrono::steady_clock::now()),
                                 std::chrono::milliseconds(0), kOutWaitSlice);
    const char* slice = reinterpret_cast<const char*>(pData) + nDone;
    WriteResult result = m_pLink->Write(slice, nLength - nDone, wait);
    if (m_pTap != nullptr && result.nWritten > 0)
        m_pTap->Sent(slice, result.nWritten);
    nDone += result.nWritten;
    if (result.status == WriteStatus::TimedOut && std::chrono::steady_clock::now() < deadline)
        result.status = WriteStatus::Full;
    return result;
}

void CTSL::SendBytes(const unsigned char* pData, int nLength)
{
    // An OUT of nothing sends nothing: passes run back to back, and a script that sends an
    // empty buffer every pass would flood a UDP peer with empty datagrams.
    if (nLength <= 0)
        return;
    // A link without a write time-out waits for as long as the run lasts.
    auto deadline = std::chrono::steady_clock::time_point::max();
    {
        std::lock_guard lock(m_csLink);
        if (m_pLink && m_pLink->WriteTimeoutMs(nLength) > 0)
            deadline = std::chrono::steady_clock::now() +
                       std::chrono::milliseconds(m_pLink->WriteTimeoutMs(nLength));
    }
    int done = 0;
    WriteResult result;
    do
        result = WriteSlice(pData, nLength, done, deadline);
    while (result.status == WriteStatus::Full && m_pRun->IsSet());

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
