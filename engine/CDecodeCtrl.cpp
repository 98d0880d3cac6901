#include "CDecodeCtrl.h"

#include "TrafficTap.h"

#include "CRS232Ctrl.h"
#include "CTSL.h"
#include "CTSLSyntax.h"
#include "NumberText.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

// How soon bytes left in the link are tried again once the script has emptied the queue.
constexpr int kDrainRetryMs = 1;

// The script thread runs one step below normal priority, so that a script that never sleeps
// cannot starve the user interface.
void LowerThisThreadPriority()
{
    const pid_t tid = gettid();
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(tid));
    if (errno == 0)
        setpriority(PRIO_PROCESS, static_cast<id_t>(tid), nice + 1);
}

// How many more bytes the queue takes: a take asks for no more, so nothing taken is dropped.
int QueueRoom(const CQueue& queue)
{
    return CQueue::kCapacity - queue.GetSize();
}

// Stores received bytes, leaving out NUL bytes. Each chunk is published at once, so that an IN
// never takes the first part of a message that arrived whole.
void QueueChunk(CQueue& queue, const unsigned char* bytes, int n)
{
    unsigned char kept[CQueue::kCells];
    for (int start = 0; start < n; start += CQueue::kCells) {
        const int end = std::min(n, start + CQueue::kCells);
        int count = 0;
        for (int i = start; i < end; ++i) {
            if (bytes[i] != 0)
                kept[count++] = bytes[i];
        }
        queue.PutBytes(kept, count);
    }
}

std::string SystemText(int error)
{
    return std::strerror(error);
}

} // namespace

CDecodeCtrl::CDecodeCtrl() = default;

CDecodeCtrl::~CDecodeCtrl()
{
    Stop();
}

bool CDecodeCtrl::Create(QObject* pParent, const QRect& rect, unsigned nId)
{
    m_nId = nId;
    m_rect = rect;
    setParent(pParent);
    return true;
}

int CDecodeCtrl::VerifyScript()
{
    m_pSyntax = std::make_unique<CTSLSyntax>(this);
    m_pSyntax->_CompileMainScript1(m_pSyntax->LoadScript(m_strScriptName.c_str()));
    m_pSyntax->_VerifyMainScript();
    if (!m_pSyntax->m_arrErrors.empty())
        return -1;
    m_pSyntax->GetCom(&m_comm);
    m_pSyntax->GetTableName(m_strTableName);
    m_pSyntax.reset();
    return 0;
}

bool CDecodeCtrl::CreateInterpreter()
{
    m_failure = RunFailure::None;
    m_strError.clear();
    m_strConnectFailure.clear();
    m_nDroppedBytes = 0;
    {
        std::lock_guard lock(m_linkLossMutex);
        m_strLinkLoss.clear();
    }
    m_pTSL = std::make_unique<CTSL>(this, m_strTableName);
    m_pTSL->SetRunFlag(&m_bRun);
    m_pTSL->SetParentId(static_cast<int>(m_nId));
    m_pTSL->SetDebugHook(m_pDebugHook);
    m_pTSL->SetTrafficTap(m_pTap);
    // A script whose GET and PUT would silently do nothing does not run.
    if (!m_pTSL->GetTableError().empty()) {
        m_failure = RunFailure::Table;
        m_strError = "tag table \"" + m_strTableName + "\": " + m_pTSL->GetTableError();
        m_pTSL.reset();
        return false;
    }
    return true;
}

bool CDecodeCtrl::ParamsOfRun(LinkParams& params)
{
    const CLinkKind* kind = m_strKindOverride.empty()
                                ? FindLinkKindByMedia(m_comm.nMedia)
                                : FindLinkKindByName(QString::fromStdString(m_strKindOverride));
    // A medium without a link (none named) opens nothing: the script never runs.
    if (kind == nullptr)
        return false;
    params.nInterface = kind->nInterface;
    const std::string port(m_comm.szPort, strnlen(m_comm.szPort, sizeof m_comm.szPort));
    params.strPortName = QString::fromStdString(m_strPortName.empty() ? port : m_strPortName);
    SerialLineValues line;
    if (!CommLineValues(m_comm, line))
        line.nBaud = -1; // the line refuses it as the record's open would
    params.nBaud = line.nBaud;
    params.nDataBits = line.nDataBits;
    params.nParity = line.nParity;
    params.nStopBits = line.nStopBits;
    params.nFlowControl = line.nFlowControl;
    m_strHost = m_strHostOverride.empty() ? m_comm.szIP : m_strHostOverride;
    m_nPort = m_comm.szPort[0] != '\0' ? tsl::ReadInteger(m_comm.szPort) : 0;
    params.strHost = QString::fromStdString(m_strHost);
    params.nPort = m_nPort;
    params.nLocalPort = m_comm.nLocalPort != 0 ? m_comm.nLocalPort : m_nPort;
    if (m_nLocalPortOverride >= 0)
        params.nLocalPort = m_nLocalPortOverride;
    params.strLocalAddress = QString::fromStdString(m_strLocalAddress);
    return true;
}

bool CDecodeCtrl::OpenLink()
{
    LinkParams params;
    if (!ParamsOfRun(params))
        return true;
    m_pLink = MakeLink(params);
    CLink* link = m_pLink.get();
    if (params.nBaud < 0 || !link->Open()) {
        m_failure = RunFailure::Port;
        const LinkError& error = link->LastError();
        m_strError = params.nBaud < 0 ? SystemText(EINVAL)
                     : !error.strDetail.isEmpty() && error.nError == 0
                         ? error.strDetail.toStdString()
                         : SystemText(error.nError);
        m_pLink.reset();
        return false;
    }
    connect(link, &CLink::received, this, &CDecodeCtrl::OnLinkReceived);
    connect(link, &CLink::stateChanged, this, &CDecodeCtrl::OnLinkState);
    connect(link, &CLink::failed, this, [this](const LinkError& error) {
        // A failed connect is told by the host; the script runs, and its sends do nothing.
        m_strConnectFailure = error.strDetail.toStdString();
        StartThread();
    });
    m_pTSL->SetListenObject(link);
    // A link that may be taken on any thread is taken by the worker before each pass: a script
    // sees what arrived without waiting for the user interface.
    if (link->TakesOnAnyThread()) {
        std::lock_guard lock(m_workerLinkMutex);
        m_pWorkerLink = link;
    }
    return true;
}

int CDecodeCtrl::Run()
{
    Stop(); // a run replaces the one before it
    if (!CreateInterpreter())
        return -1;
    m_nInterface = static_cast<unsigned>(m_comm.nMedia);
    if (!OpenLink())
        return -1;
    // A link that connects first starts the passes when it is open; the others start now.
    if (m_pLink && m_pLink->GetState() == CLink::State::Open)
        StartThread();
    return 0;
}

int CDecodeCtrl::GetLocalPort() const
{
    return m_pLink ? m_pLink->LocalPort() : 0;
}

int CDecodeCtrl::Run(int nPortNumber, int nDataBitCode, int nBaudIndex, int nParityCode,
                     int nStopBitCode)
{
    Stop();
    if (!CreateInterpreter())
        return -1;
    std::snprintf(m_comm.szPort, sizeof m_comm.szPort, "COM%d", nPortNumber);
    m_comm.nDataBit = nDataBitCode;
    m_comm.nBaudRate = nBaudIndex;
    m_comm.nParityBit = nParityCode;
    m_comm.nStopBit = nStopBitCode;
    const int32_t media = m_comm.nMedia;
    m_comm.nMedia = MEDIA_RS232C;
    const bool opened = OpenLink();
    m_comm.nMedia = media;
    if (!opened)
        return -1;
    StartThread();
    return 0;
}

void CDecodeCtrl::OnRecreateSocket()
{
    if (m_pLink) {
        m_pLink->Close();
        m_pLink->Open();
    }
}

void CDecodeCtrl::StartThread()
{
    if (m_pThread.joinable())
        return;
    m_bFinished = false;
    m_bRun.Set();
    m_pThread = std::thread(&CDecodeCtrl::ScriptThreadProc, this);
}

void CDecodeCtrl::ScriptThreadProc()
{
    LowerThisThreadPriority();
    m_pTSL->_CompileMainScript1(m_pTSL->LoadScript(m_strScriptName.c_str()));

    std::vector<unsigned char> received;
    QByteArray chunk;
    while (m_bRun.IsSet()) {
        {
            std::lock_guard lock(m_workerLinkMutex);
            if (m_pWorkerLink)
                TakeInto(*m_pWorkerLink, chunk);
        }
        // Exactly the bytes that arrived since the previous pass, NUL-terminated for the script.
        const int size = m_queue.GetSize();
        received.assign(static_cast<size_t>(size) + 1, 0);
        for (int i = 0; i < size; ++i)
            m_queue.GetByte(&received[static_cast<size_t>(i)]);
        m_pTSL->Begin(size > 0 ? received.data() : nullptr, size);

        const uint64_t passes = m_nPasses.fetch_add(1, std::memory_order_relaxed) + 1;
        if (m_nPassLimit != 0 && passes >= m_nPassLimit)
            break;
        std::this_thread::yield();
    }
    m_bFinished.store(true, std::memory_order_release);
}

void CDecodeCtrl::SetLinkLoss(const std::string& strReason)
{
    std::lock_guard lock(m_linkLossMutex);
    if (m_strLinkLoss.empty())
        m_strLinkLoss = strReason.empty() ? std::string("connection closed") : strReason;
}

std::string CDecodeCtrl::GetLinkLoss() const
{
    std::lock_guard lock(m_linkLossMutex);
    return m_strLinkLoss;
}

void CDecodeCtrl::Halt()
{
    if (m_pThread.joinable()) {
        m_bRun.Clear();
        m_pThread.join();
    }
}

void CDecodeCtrl::Stop()
{
    Halt();
    if (m_pLink)
        m_pLink->Close();
    DropLink();
    m_pTSL.reset();
    m_pSyntax.reset();
}

void CDecodeCtrl::DropLink()
{
    if (m_pTSL)
        m_pTSL->SetListenObject(nullptr);
    {
        std::lock_guard lock(m_workerLinkMutex);
        m_pWorkerLink = nullptr;
    }
    m_nDroppedBytes = GetDroppedBytes();
    m_pLink.reset(); // may be inside one of its own notices: it goes later
}

uint64_t CDecodeCtrl::GetDroppedBytes() const
{
    const uint64_t told = m_nDroppedBytes.load(std::memory_order_relaxed);
    return m_pLink ? std::max(told, m_pLink->DroppedBytes()) : told;
}

void CDecodeCtrl::OnLinkState(CLink::State state)
{
    if (state == CLink::State::Open) {
        StartThread();
        return;
    }
    if (state != CLink::State::Closed || !m_pLink)
        return;
    // The far side ended the link, after everything it sent was taken: the passes go on
    // without it until Stop. (A connect that failed was told apart.)
    if (!m_pLink->LossReason().isEmpty() || m_strConnectFailure.empty()) {
        SetLinkLoss(m_pLink->LossReason().toStdString());
        DropLink();
    }
}

void CDecodeCtrl::OnLinkReceived()
{
    // The worker takes a link of its own.
    if (!m_pLink || m_pWorkerLink != nullptr)
        return;
    QByteArray chunk;
    if (TakeInto(*m_pLink, chunk) == Drain::QueueFull)
        RetryDrain();
}

CDecodeCtrl::Drain CDecodeCtrl::TakeInto(CLink& link, QByteArray& chunk)
{
    // Only what the queue takes is taken: the rest waits in the link, which holds its sender
    // back as it can. A datagram that fits the queue at all reaches one pass whole.
    for (;;) {
        const int room = QueueRoom(m_queue);
        if (room <= 0)
            return Drain::QueueFull;
        chunk.resize(0);
        const int n = link.Take(chunk, room, CQueue::kCapacity);
        if (n <= 0)
            break;
        QueueChunk(m_queue, reinterpret_cast<const unsigned char*>(chunk.constData()), n);
        if (m_pTap != nullptr)
            m_pTap->Received(chunk.constData(), n);
    }
    return link.HasReceived() ? Drain::QueueFull : Drain::Empty;
}

void CDecodeCtrl::RetryDrain()
{
    if (m_bDrainScheduled)
        return;
    m_bDrainScheduled = true;
    QTimer::singleShot(kDrainRetryMs, this, [this] {
        m_bDrainScheduled = false;
        OnLinkReceived();
    });
}
