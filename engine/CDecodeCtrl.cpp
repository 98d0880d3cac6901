#include "CDecodeCtrl.h"

#include "CClientSock.h"
#include "CRS232Ctrl.h"
#include "CTSL.h"
#include "CTSLSyntax.h"
#include "CUdpCtrl.h"
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

constexpr int kReadChunkBytes = 2048;
// How soon bytes left in the socket are tried again once the script has emptied the queue.
constexpr int kDrainRetryMs = 1;
constexpr int kDatagramsPerNotice = 256;

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

// How many more bytes the queue takes: a read asks for no more, so nothing read is dropped.
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
    m_bPeerGone = false;
    m_nDroppedBytes = 0;
    {
        std::lock_guard lock(m_linkLossMutex);
        m_strLinkLoss.clear();
    }
    m_pTSL = std::make_unique<CTSL>(this, m_strTableName);
    m_pTSL->SetRunFlag(&m_bRun);
    m_pTSL->SetParentId(static_cast<int>(m_nId));
    m_pTSL->SetDebugHook(m_pDebugHook);
    // A script whose GET and PUT would silently do nothing does not run.
    if (!m_pTSL->GetTableError().empty()) {
        m_failure = RunFailure::Table;
        m_strError = "tag table \"" + m_strTableName + "\": " + m_pTSL->GetTableError();
        m_pTSL.reset();
        return false;
    }
    return true;
}

bool CDecodeCtrl::OpenSerial()
{
    if (m_pPort)
        return true;
    auto port = std::make_unique<CRS232Ctrl>();
    const int opened =
        m_strPortName.empty() ? port->Open(&m_comm) : port->Open(&m_comm, m_strPortName.c_str());
    if (!opened) {
        m_failure = RunFailure::Port;
        m_strError = std::strerror(static_cast<int>(port->GetLastError()));
        return false;
    }
    m_pPort = std::move(port);
    m_pTSL->SetListenObject(m_pPort.get());
    m_lineBase = {};
    TakeLineErrors(m_pPort->GetCommHandle(), &m_lineBase);
    return true;
}

int CDecodeCtrl::Run()
{
    Stop(); // a run replaces the one before it
    if (!CreateInterpreter())
        return -1;
    m_nInterface = static_cast<unsigned>(m_comm.nMedia);
    if (m_nInterface == MEDIA_RS232C) {
        if (!OpenSerial())
            return -1;
        m_pTSL->SetInterface(TSL_LINK_SERIAL);
        StartThread();
    } else if (m_nInterface == MEDIA_TCP) {
        m_strHost = m_strHostOverride.empty() ? m_comm.szIP : m_strHostOverride;
        m_nPort = tsl::ReadInteger(m_comm.szPort);
        ConnectSocket();
        m_pTSL->SetInterface(TSL_LINK_TCP);
        m_pTSL->SetListenObject(m_pSocket.get());
    } else if (m_nInterface == MEDIA_UDP) {
        if (!OpenUdp())
            return -1;
        m_pTSL->SetInterface(TSL_LINK_UDP);
        m_pTSL->SetListenObject(m_pUdp.get());
        StartThread(); // nothing to wait for: datagrams may come and go from now on
    }
    return 0;
}

bool CDecodeCtrl::OpenUdp()
{
    m_strHost = m_strHostOverride.empty() ? m_comm.szIP : m_strHostOverride;
    m_nPort = m_comm.szPort[0] != '\0' ? tsl::ReadInteger(m_comm.szPort) : 0;
    int local = m_comm.nLocalPort != 0 ? m_comm.nLocalPort : m_nPort;
    if (m_nLocalPortOverride >= 0)
        local = m_nLocalPortOverride;
    auto udp = std::make_unique<CUdpCtrl>();
    // Without an address the script answers whoever sent the last datagram.
    const bool opened =
        udp->Create(static_cast<quint16>(local), QString::fromStdString(m_strLocalAddress)) &&
        udp->SetRemote(QString::fromStdString(m_strHost), static_cast<quint16>(m_nPort));
    if (!opened) {
        m_failure = RunFailure::Port;
        m_strError = std::strerror(errno);
        return false;
    }
    CUdpCtrl* raw = udp.get();
    connect(raw, &CUdpCtrl::receiveReady, this, [this, raw] { OnReceiveDatagram(raw); });
    m_heldDatagram.clear();
    m_nHeldQueued = 0;
    m_pUdp = std::move(udp);
    return true;
}

int CDecodeCtrl::GetLocalPort() const
{
    return m_pUdp ? m_pUdp->GetLocalPort() : 0;
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
    if (!OpenSerial())
        return -1;
    StartThread();
    return 0;
}

void CDecodeCtrl::ConnectSocket()
{
    m_pSocket = std::make_unique<CClientSock>();
    CClientSock* socket = m_pSocket.get();
    connect(socket, &CClientSock::connectFinished, this, [this, socket] { OnConnect(socket); });
    connect(socket, &CClientSock::receiveReady, this, [this, socket] { OnReceiveSocket(socket); });
    connect(socket, &CClientSock::closed, this, [this, socket] { OnCloseSocket(socket); });
    m_pSocket->Create();
    m_pSocket->Connect(QString::fromStdString(m_strHost), static_cast<quint16>(m_nPort));
}

void CDecodeCtrl::OnRecreateSocket()
{
    ConnectSocket();
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

    std::vector<unsigned char> chunk(kReadChunkBytes);
    std::vector<unsigned char> received;
    while (m_bRun.IsSet()) {
        if (m_nInterface == MEDIA_RS232C && m_pPort)
            ReadSerial(chunk);
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

void CDecodeCtrl::ReadSerial(std::vector<unsigned char>& chunk)
{
    // What the queue cannot take stays in the driver until the next pass.
    int room;
    int n = 0;
    while ((room = QueueRoom(m_queue)) > 0 &&
           (n = m_pPort->Read(reinterpret_cast<char*>(chunk.data()),
                              std::min(room, kReadChunkBytes))) > 0)
        QueueChunk(m_queue, chunk.data(), n);
    LineErrorCounts now = m_lineBase;
    if (TakeLineErrors(m_pPort->GetCommHandle(), &now) != 0)
        m_nDroppedBytes.store(
            static_cast<uint64_t>(now.overrun - m_lineBase.overrun) +
                static_cast<uint64_t>(now.bufferOverrun - m_lineBase.bufferOverrun),
            std::memory_order_relaxed);
    if (!m_pPort->bsGetConnectFlag())
        SetLinkLoss(std::strerror(static_cast<int>(m_pPort->GetLastError())));
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
    if (m_pTSL) {
        m_pTSL->SetListenObject(static_cast<CRS232Ctrl*>(nullptr));
        m_pTSL->SetListenObject(static_cast<CClientSock*>(nullptr));
        m_pTSL->SetListenObject(static_cast<CUdpCtrl*>(nullptr));
    }
    if (m_pPort) {
        m_pPort->Close();
        m_pPort.reset();
    }
    if (m_pSocket) {
        m_pSocket->Close();
        m_pSocket.release()->deleteLater(); // may be inside one of its own notices
    }
    if (m_pUdp) {
        m_pUdp->Close();
        m_pUdp.release()->deleteLater();
    }
    m_pTSL.reset();
    m_pSyntax.reset();
}

long CDecodeCtrl::OnConnect(CClientSock* pSocket)
{
    if (pSocket != m_pSocket.get())
        return 0;
    // A failed connect is reported too: the script runs, and sends on it have no effect.
    StartThread();
    return 0;
}

long CDecodeCtrl::OnReceiveSocket(CClientSock* pSocket)
{
    if (pSocket != m_pSocket.get())
        return 0;
    if (DrainSocket(pSocket) == Drain::QueueFull)
        RetryDrain();
    return 0;
}

CDecodeCtrl::Drain CDecodeCtrl::DrainSocket(CClientSock* socket)
{
    // Only what the queue takes is read: the rest stays in the socket, and TCP slows the peer.
    unsigned char chunk[kReadChunkBytes];
    for (;;) {
        const int room = QueueRoom(m_queue);
        if (room <= 0)
            return Drain::QueueFull;
        const int n = socket->Receive(chunk, std::min(room, kReadChunkBytes));
        if (n == 0)
            return Drain::PeerGone;
        if (n < 0)
            return Drain::Empty;
        QueueChunk(m_queue, chunk, n);
    }
}

void CDecodeCtrl::RetryDrain()
{
    if (m_bDrainScheduled)
        return;
    m_bDrainScheduled = true;
    QTimer::singleShot(kDrainRetryMs, this, [this] {
        m_bDrainScheduled = false;
        if (m_pUdp) {
            OnReceiveDatagram(m_pUdp.get());
            return;
        }
        if (!m_pSocket)
            return;
        const Drain drain = DrainSocket(m_pSocket.get());
        if (drain == Drain::QueueFull)
            RetryDrain();
        else if (drain == Drain::PeerGone && m_bPeerGone)
            CloseSocket();
    });
}

long CDecodeCtrl::OnReceiveDatagram(CUdpCtrl* pUdp)
{
    if (pUdp != m_pUdp.get())
        return 0;
    // While a datagram waits for room, the rest wait in the system, which drops what its
    // buffer cannot hold, as UDP may.
    const bool full = DrainDatagrams() == Drain::QueueFull;
    pUdp->PauseReceive(full);
    if (full)
        RetryDrain();
    return 0;
}

CDecodeCtrl::Drain CDecodeCtrl::DrainDatagrams()
{
    // Empty datagrams take no room: a flood of them must not hold the user interface. The link
    // announces the rest again.
    for (int i = 0; i < kDatagramsPerNotice; ++i) {
        if (!QueueHeldDatagram())
            return Drain::QueueFull;
        if (m_pUdp->Receive(m_heldDatagram) < 0)
            return Drain::Empty;
        m_nHeldQueued = 0;
    }
    return QueueHeldDatagram() ? Drain::Empty : Drain::QueueFull;
}

bool CDecodeCtrl::QueueHeldDatagram()
{
    const qsizetype left = m_heldDatagram.size() - m_nHeldQueued;
    if (left == 0)
        return true;
    // A datagram the queue can hold reaches one pass whole; a larger one flows through it.
    const int room = QueueRoom(m_queue);
    if (left <= CQueue::kCapacity && left > room)
        return false;
    const int n = static_cast<int>(std::min<qsizetype>(left, room));
    QueueChunk(m_queue,
               reinterpret_cast<const unsigned char*>(m_heldDatagram.constData()) + m_nHeldQueued,
               n);
    m_nHeldQueued += n;
    if (m_nHeldQueued < m_heldDatagram.size())
        return false;
    m_heldDatagram.clear();
    m_nHeldQueued = 0;
    return true;
}

long CDecodeCtrl::OnCloseSocket(CClientSock* pSocket)
{
    if (!pSocket || pSocket != m_pSocket.get())
        return 0;
    // What the peer sent before it closed still reaches the script; the socket, and the news
    // of the loss, go after.
    m_bPeerGone = true;
    m_strPeerGone = pSocket->GetErrorString().toStdString();
    if (DrainSocket(pSocket) == Drain::QueueFull)
        RetryDrain();
    else
        CloseSocket();
    return 1;
}

void CDecodeCtrl::CloseSocket()
{
    SetLinkLoss(m_strPeerGone);
    // After this no send of the script can reach the socket; the passes go on without a link.
    if (m_pTSL)
        m_pTSL->SetListenObject(static_cast<CClientSock*>(nullptr));
    m_pSocket->Close();
    m_pSocket.release()->deleteLater(); // we may be inside the socket's own notice
}
