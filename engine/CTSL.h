#pragma once

#include "CRunFlag.h"
#include "CRunNotices.h"
#include "CompiledScript.h"
#include "KeywordTable.h"
#include "LinkWrite.h"

#include <QObject>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

class CDebugHook;
class CTrafficTap;
class CLink;
class CSharedMemory;
class CNamedSemaphore;

// One queued output line of a running script; taken from the queue by the output window.
class CPrintMessage
{
public:
    explicit CPrintMessage(const std::string& text);
    virtual ~CPrintMessage() = default;

    std::unique_ptr<char[]> m_pszText;
};

// Condition flags written by CMP.
enum : uint16_t
{
    CMP_EQ = 0x01,
    CMP_NE = 0x02,
    CMP_LT = 0x04,
    CMP_LE = 0x08,
    CMP_GT = 0x10,
    CMP_GE = 0x20,
};

// The TSL runtime: loads a script, compiles it, and runs its main section pass by pass over
// the bytes received on its link.
class CTSL : public tsl::CompiledScript
{
public:
    CTSL(QObject* pParent, const std::string& strTableName);
    ~CTSL() override;

    // Loading and compiling; a cleared run flag ends either at once, leaving no command.
    int LoadScript(const char* pszPath);
    int _CompileVariableScript();
    int _CompileMainScript1(int nLines);
    int RemovePrintMessage();

    // Operand evaluation on operand texts.
    int GetVariableType(const char* pszOperand) const;
    double GetBufferValue(const char* pszOperand) const;
    unsigned char* GetBufferPointer(const char* pszOperand) const;
    void SetBufferValue(const char* pszOperand, int nTagType, const void* pSource,
                        int nLength) const;
    double CalcOperation(const char* pszOperand, const char* pBracket) const;
    static int TranslateString(const char* pszSource, unsigned char* pDest, int nLength);
    static unsigned char GetCode16(const char* pTwo);
    static int32_t Hex2Dec(const char* pszText);
    static int32_t Bin2Dec(const char* pszText);

    // Running.
    int Begin(const unsigned char* pData, int nLength);
    void SetOutInterval(int nMs) { m_nOutInterval = nMs; }
    int GetOutInterval() const { return m_nOutInterval; }
    uint16_t GetCmpFlags() const { return m_wCmpFlags; }

    // The link, of any kind, and the host. The host sets the link, and takes it away (null)
    // before it lets it go; a send never meets a link being removed.
    void SetListenObject(CLink* pLink);
    void SetParentId(int nId) { m_nParentId = nId; }
    // Why the script's tag table could not be opened; empty when it is open or not named.
    const std::string& GetTableError() const { return m_strTableError; }
    void SendString(const unsigned char* pData, int nLength, int nIntervalMs);

    // Executors: one per keyword of KeywordTable.h; the jumps return where to go on.
#define TSL_DECLARE_EXECUTOR(code, text, name, fewest, most, value, usage)                         \
    void name(CCommandTable* pCmd);
    TSL_COMMANDS(TSL_DECLARE_EXECUTOR)
#undef TSL_DECLARE_EXECUTOR
    int _Jp(CCommandTable* pCmd);
    int _Jp_condition(CCommandTable* pCmd, int nCode);

    // The print queue holds at most this many lines, or bytes of text: a PRINT that finds it
    // full waits for the output window to take lines, or for a stop, which ends the wait at
    // once. So a script printing faster than its output is shown slows down and loses nothing.
    static constexpr size_t kMaxPrintLines = 10000;
    static constexpr size_t kMaxPrintBytes = 1024 * 1024;

    // Waits until the print queue holds a line, at most `timeout`; true when it does.
    bool WaitForPrint(std::chrono::milliseconds timeout);
    // Called on the script thread each time a line has been queued, outside m_csPrint, so a
    // host can wake whoever shows the output. Set before the script runs.
    void SetPrintListener(std::function<void()> listener)
    {
        m_printListener = std::move(listener);
    }

    // Told of every byte sent; set before the run starts.
    void SetTrafficTap(CTrafficTap* pTap)
    {
        m_pTap = pTap;
    }
    // Debugging. A hook set before the script runs is asked before each command; without one
    // the passes run as they always do.
    void SetDebugHook(CDebugHook* pHook)
    {
        m_pDebugHook = pHook;
    }
    // The line of the script file a command was written on, from 1; 0 for a position with no
    // command.
    int CommandLine(std::size_t position) const;
    // A command's line as the compiler read it: comment and surrounding blanks left out, and
    // blanks outside quotes as one space.
    std::string CommandText(std::size_t position) const;
    // The bytes received for the pass under way (none between passes).
    std::string_view ReceivedBytes() const;
    // A VAR's value, and a store into one as the script's own commands make it.
    static double ScalarOf(const CVariableTable& var)
    {
        return ScalarValue(var);
    }
    static void StoreScalarOf(CVariableTable& var, double value)
    {
        StoreScalar(var, value);
    }
    // The flag whose clearing ends the run; a hook that waits ends its wait on it too.
    CRunFlag& RunFlag() const
    {
        return *m_pRun;
    }

    QObject* m_pParent = nullptr;

    // The print queue: the script thread appends, the output window takes from the head under
    // the lock, as many lines at a time as it likes.
    std::mutex m_csPrint;
    std::deque<std::unique_ptr<CPrintMessage>> m_listPrint;
    // What the run met that the user should hear of once (a tag lock timed out, ...).
    CRunNotices m_notices;

private:
    // Bytes that an operand addresses: where they start and how many may be touched.
    struct CBytes
    {
        unsigned char* p = nullptr;
        int32_t nRoom = 0;
    };

    // One pass over the command list; a watched one asks the debug hook before each command.
    // Each loop is a function of its own: inlined into Begin beside the watched loop, the plain
    // one ran 10% slower for where it was placed.
    template <bool kWatched> [[gnu::noinline]] void RunPass();

    double IndexSum(const tsl::Operand& operand) const;
    int32_t IndexOf(const tsl::Operand& operand) const;
    double ValueOf(const tsl::Operand& operand) const;
    double SourceValue(const tsl::Operand& operand) const;
    CBytes BytesOf(const tsl::Operand& operand) const;
    static double ScalarValue(const CVariableTable& var);
    static void StoreScalar(CVariableTable& var, double value);
    static CVariableTable* ScalarTarget(const tsl::Operand& operand);
    static CVariableTable* ArrayOf(const tsl::Operand& operand);
    enum class CalcOp
    {
        Add,
        Sub,
        Move,
        And,
        Or,
        Xor,
        Not
    };
    void Arithmetic(CCommandTable* pCmd, CalcOp op);
    void Bitwise(CCommandTable* pCmd, CalcOp op);
    void Step(CCommandTable* pCmd, int nDelta);
    void PrintLine(CCommandTable* pCmd, bool bTranslate);
    void QueuePrint(const std::string& strLine);
    // Under m_csPrint: true when a line of `bytes` fits the queue's bounds.
    bool HasPrintRoom(size_t bytes);
    void SendBytes(const unsigned char* pData, int nLength);
    // One try of a send on the link, under the link lock, waiting a slice at most; nDone grows
    // by what went. A line cuts the write only once its deadline has passed.
    WriteResult WriteSlice(const unsigned char* pData, int nLength, int& nDone,
                           std::chrono::steady_clock::time_point deadline);
    std::string TagName(const tsl::Operand& operand) const;
    int32_t TagCount(CCommandTable* pCmd) const;

    const unsigned char* m_pRecvData = nullptr;
    int32_t m_nRecvLength = 0;
    uint16_t m_wCmpFlags = 0;
    int32_t m_nOutInterval = 0;
    int m_nParentId = 0;
    std::string m_strTableName;

    // The link: set by the host; a lock keeps a send from using a link the host is removing.
    std::mutex m_csLink;
    CLink* m_pLink = nullptr;
    // Script thread: the last write was cut by its line, and how many runs of cut writes were
    // told.
    bool m_bSendCut = false;
    int m_nCutNotices = 0;

    // What the print queue holds: the size of each line, so that the bytes of the lines the
    // output window took from the head are known, and their sum.
    std::deque<uint32_t> m_printSizes;
    size_t m_nPrintBytes = 0;
    std::condition_variable m_printQueued;
    std::function<void()> m_printListener;

    CDebugHook* m_pDebugHook = nullptr;
    CTrafficTap* m_pTap = nullptr;
    // For each command, its line among m_arrMainLines.
    std::vector<int32_t> m_commandMainLine;

    std::unique_ptr<CSharedMemory> m_pSharedTable;
    std::unique_ptr<CNamedSemaphore> m_pTagLock;
    std::string m_strTableError;
};
