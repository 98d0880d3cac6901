#pragma once

#include "CQueue.h"
#include "CRunFlag.h"
#include "Comm.h"
#include "SerialLine.h"

#include <QByteArray>
#include <QObject>
#include <QRect>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CDebugHook;
class CTSL;
class CTSLSyntax;
class CRS232Ctrl;
class CClientSock;
class CUdpCtrl;

// The colour that a view of the host control fills itself with, RGB(100, 100, 200).
inline constexpr uint32_t kDecodeCtrlColour = 13132900;

// Runs one TSL script: verifies it, opens the link its declarations name, and drives the
// interpreter pass after pass on a worker thread until stopped. Lives on the user-interface
// thread, where the notices of its socket arrive.
class CDecodeCtrl : public QObject
{
    Q_OBJECT

public:
    CDecodeCtrl();
    ~CDecodeCtrl() override;

    // The parent receives the script's SYNC notices; the identifier goes with them.
    bool Create(QObject* pParent, const QRect& rect, unsigned nId);
    void SetScriptName(const char* pszName) { m_strScriptName = pszName; }
    const char* GetScriptName() const { return m_strScriptName.c_str(); }
    void SetSyncObject(std::mutex* pSync) { m_pSyncObject = pSync; }
    void SetInterface(unsigned nInterface) { m_nInterface = nInterface; }
    unsigned GetInterface() const { return m_nInterface; }
    unsigned GetId() const { return m_nId; }
    const QRect& GetRect() const { return m_rect; }

    // 0 when the script is valid; -1 with the messages kept in m_pSyntax otherwise.
    int VerifyScript();
    // 0 when started (or nothing to start), -1 when the interpreter, its tag table or the serial
    // port could not be made; GetErrorText says why.
    int Run();
    int Run(int nPortNumber, int nDataBitCode, int nBaudIndex, int nParityCode, int nStopBitCode);
    // Ends the run: the worker thread is joined, link and interpreter destroyed. Idempotent.
    void Stop();
    // Only stops and joins the worker thread; the interpreter and its print queue stay.
    void Halt();
    void OnRecreateSocket();

    // A serial device used instead of the name in m_comm (a path or a COM name).
    void SetPortName(const std::string& strPort) { m_strPortName = strPort; }
    // The local port of a UDP run instead of the script's (LOCAL_PORT, else PORT); 0 takes any
    // free port, -1 goes back to the script's.
    void SetLocalPort(int nPort) { m_nLocalPortOverride = nPort; }
    // The peer of a TCP or UDP run instead of the script's IP (a name or an address of any
    // length); empty goes back to the script's.
    void SetHost(const std::string& strHost) { m_strHostOverride = strHost; }
    // The address a UDP run binds its local port to instead of every address; empty: every one.
    void SetLocalAddress(const std::string& strAddress) { m_strLocalAddress = strAddress; }
    // The local port a UDP run received on, once it runs; 0 otherwise.
    int GetLocalPort() const;
    // A hook that every interpreter of a later Run is given before its thread starts (null:
    // none). It must outlive the runs.
    void SetDebugHook(CDebugHook* pHook) { m_pDebugHook = pHook; }
    // Stops the worker by itself after this many passes (0: no limit); IsFinished tells.
    void SetPassLimit(uint64_t nPasses) { m_nPassLimit = nPasses; }
    bool IsFinished() const { return m_bFinished.load(std::memory_order_acquire); }
    // A script thread was started and has not been joined yet.
    bool IsRunning() const { return m_pThread.joinable(); }
    uint64_t GetPassCount() const { return m_nPasses.load(std::memory_order_relaxed); }
    // Why the link of the run was lost (peer closed, device gone), or empty while it holds.
    std::string GetLinkLoss() const;
    // Received bytes that were lost before the script could see them: what the serial driver
    // reports it dropped (the host itself only takes what its queue can hold).
    uint64_t GetDroppedBytes() const { return m_nDroppedBytes.load(std::memory_order_relaxed); }
    // Why the last Run failed, and the system's reason.
    enum class RunFailure
    {
        None,
        Table,
        Port
    };
    RunFailure GetFailure() const { return m_failure; }
    const std::string& GetErrorText() const { return m_strError; }

    // Notices of the run's own client socket; a socket that is no longer the run's is ignored.
    long OnConnect(CClientSock* pSocket);
    long OnReceiveSocket(CClientSock* pSocket);
    long OnCloseSocket(CClientSock* pSocket);
    // Datagrams of the run's own UDP link; whole ones reach the same queue as socket bytes.
    long OnReceiveDatagram(CUdpCtrl* pUdp);

    std::string m_strScriptName;
    CRunFlag m_bRun;
    CQueue m_queue;
    COMM m_comm;
    std::unique_ptr<CRS232Ctrl> m_pPort;
    std::unique_ptr<CClientSock> m_pSocket;
    std::unique_ptr<CUdpCtrl> m_pUdp;
    unsigned m_nInterface = 1;
    std::string m_strHost;
    int m_nPort = 0;
    std::mutex* m_pSyncObject = nullptr;
    std::unique_ptr<CTSL> m_pTSL;
    std::unique_ptr<CTSLSyntax> m_pSyntax;
    std::string m_strTableName;

private:
    bool CreateInterpreter();
    bool OpenSerial();
    bool OpenUdp();
    void StartThread();
    void ScriptThreadProc();
    void ReadSerial(std::vector<unsigned char>& chunk);
    void ConnectSocket();
    enum class Drain
    {
        Empty,     // nothing more to read for now
        PeerGone,  // the peer closed and everything it sent is queued
        QueueFull, // bytes wait in the socket for room in the queue
    };
    Drain DrainSocket(CClientSock* socket);
    Drain DrainDatagrams();
    // Moves the held datagram into the queue: whole when it fits the queue at all, else as far
    // as there is room; false while some of it still waits.
    bool QueueHeldDatagram();
    void RetryDrain();
    void CloseSocket();
    void SetLinkLoss(const std::string& strReason);

    QRect m_rect;
    unsigned m_nId = 0;
    std::thread m_pThread;
    std::string m_strPortName;
    int m_nLocalPortOverride = -1;
    std::string m_strHostOverride;
    std::string m_strLocalAddress;
    // A received datagram waiting for room in the queue, and how much of it was queued.
    QByteArray m_heldDatagram;
    qsizetype m_nHeldQueued = 0;
    RunFailure m_failure = RunFailure::None;
    std::string m_strError;
    uint64_t m_nPassLimit = 0;
    CDebugHook* m_pDebugHook = nullptr;
    std::atomic<uint64_t> m_nPasses{0};
    std::atomic<bool> m_bFinished{false};
    std::atomic<uint64_t> m_nDroppedBytes{0};
    LineErrorCounts m_lineBase;
    bool m_bPeerGone = false;
    std::string m_strPeerGone; // why, told once everything the peer sent is queued
    bool m_bDrainScheduled = false;
    mutable std::mutex m_linkLossMutex;
    std::string m_strLinkLoss;
};
