#pragma once

#include "CQueue.h"
#include "CRunFlag.h"
#include "Comm.h"
#include "Link.h"

#include <QObject>
#include <QRect>

#include <QByteArray>
#include <atomic>
#include <cstdint>

#include <memory>
#include <mutex>
#include <string>
#include <thread>

class CDebugHook;
class CTrafficTap;
class CTSL;
class CTSLSyntax;

// The colour that a view of the host control fills itself with, RGB(100, 100, 200).
inline constexpr uint32_t kDecodeCtrlColour = 13132900;

// Runs one TSL script: verifies it, opens the link its declarations name, and drives the
// interpreter pass after pass on a worker thread until stopped. Lives on the user-interface
// thread, where the notices of its link arrive and its received bytes are queued for the
// worker.
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
    // 0 when started, -1 when the interpreter, its tag table or the link could not be made;
    // GetErrorText says why.
    int Run();
    int Run(int nPortNumber, int nDataBitCode, int nBaudIndex, int nParityCode, int nStopBitCode);
    // Ends the run: the worker thread is joined, link and interpreter destroyed. Idempotent.
    void Stop();
    // Only stops and joins the worker thread; the interpreter and its print queue stay.
    void Halt();
    // Opens the run's link again, as Run opened it; the interpreter keeps writing to it.
    void OnRecreateSocket();

    // A serial device used instead of the name in m_comm (a path or a COM name).
    void SetPortName(const std::string& strPort) { m_strPortName = strPort; }
    // The local port of a UDP run instead of the script's (LOCAL_PORT, else PORT); 0 takes any
    // free port, -1 goes back to the script's.
    void SetLocalPort(int nPort) { m_nLocalPortOverride = nPort; }
    // The peer of a TCP or UDP run instead of the script's IP (a name or an address of any
    // length); empty goes back to the script's.
    void SetHost(const std::string& strHost) { m_strHostOverride = strHost; }
    // A kind of link (CLinkKind::pszName) used whatever the script's OPEN MEDIA names; empty goes
    // back to the script's.
    void SetLinkKind(const std::string& strKind) { m_strKindOverride = strKind; }
    // The address a UDP run binds its local port to instead of every address; empty: every one.
    void SetLocalAddress(const std::string& strAddress) { m_strLocalAddress = strAddress; }
    // The local port the run's link receives on (UDP), once it runs; 0 otherwise.
    int GetLocalPort() const;
    // A hook that every interpreter of a later Run is given before its thread starts (null:
    // none). It must outlive the runs.
    void SetDebugHook(CDebugHook* pHook) { m_pDebugHook = pHook; }
    // Told of every byte the run sends and receives; set before Start.
    void SetTrafficTap(CTrafficTap* pTap) { m_pTap = pTap; }
    // Stops the worker by itself after this many passes (0: no limit); IsFinished tells.
    void SetPassLimit(uint64_t nPasses) { m_nPassLimit = nPasses; }
    bool IsFinished() const { return m_bFinished.load(std::memory_order_acquire); }
    // A script thread was started and has not been joined yet.
    bool IsRunning() const { return m_pThread.joinable(); }
    uint64_t GetPassCount() const { return m_nPasses.load(std::memory_order_relaxed); }
    // Why the link of the run was lost (peer closed, device gone), or empty while it holds.
    std::string GetLinkLoss() const;
    // Why the run's link did not connect (refused, no such host), or empty: the script runs
    // without it.
    const std::string& GetConnectFailure() const { return m_strConnectFailure; }
    // The run's link is connecting still.
    bool IsConnecting() const { return m_pLink && m_pLink->GetState() == CLink::State::Opening; }
    // Received bytes that were lost before the script could see them: what the serial driver
    // reports it dropped (the host itself only takes what its queue can hold).
    uint64_t GetDroppedBytes() const;
    // Why the last Run failed, and the system's reason.
    enum class RunFailure
    {
        None,
        Table,
        Port
    };
    RunFailure GetFailure() const { return m_failure; }
    const std::string& GetErrorText() const { return m_strError; }

    std::string m_strScriptName;
    CRunFlag m_bRun;
    CQueue m_queue;
    COMM m_comm;
    // The run's link, of whatever kind; the interpreter writes to it.
    LinkPtr m_pLink;
    unsigned m_nInterface = 1;
    std::string m_strHost;
    int m_nPort = 0;
    std::mutex* m_pSyncObject = nullptr;
    std::unique_ptr<CTSL> m_pTSL;
    std::unique_ptr<CTSLSyntax> m_pSyntax;
    std::string m_strTableName;

private:
    bool CreateInterpreter();
    // The link the record names, with the overrides; false when there is none to open.
    bool ParamsOfRun(LinkParams& params);
    bool OpenLink();
    void StartThread();
    void ScriptThreadProc();
    enum class Drain
    {
        Empty,     // nothing more to take for now
        QueueFull, // bytes wait in the link for room in the queue
    };
    // Moves what the link received into the queue, as much as it holds.
    Drain TakeInto(CLink& link, QByteArray& chunk);
    void OnLinkReceived();
    void OnLinkState(CLink::State state);
    void RetryDrain();
    void SetLinkLoss(const std::string& strReason);
    // Lets the link go: the interpreter first, so that no send can reach it afterwards.
    void DropLink();

    QRect m_rect;
    unsigned m_nId = 0;
    std::thread m_pThread;
    std::string m_strPortName;
    int m_nLocalPortOverride = -1;
    std::string m_strHostOverride;
    std::string m_strLocalAddress;
    std::string m_strKindOverride;
    RunFailure m_failure = RunFailure::None;
    std::string m_strError;
    std::string m_strConnectFailure;
    uint64_t m_nPassLimit = 0;
    CDebugHook* m_pDebugHook = nullptr;
    CTrafficTap* m_pTap = nullptr;
    std::atomic<uint64_t> m_nPasses{0};
    std::atomic<bool> m_bFinished{false};
    std::atomic<uint64_t> m_nDroppedBytes{0};
    bool m_bDrainScheduled = false;
    // A link whose bytes the worker takes itself, before each pass (a serial line's ring).
    std::mutex m_workerLinkMutex;
    CLink* m_pWorkerLink = nullptr;
    mutable std::mutex m_linkLossMutex;
    std::string m_strLinkLoss;
};
