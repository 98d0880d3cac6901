#pragma once

#include "CRunFlag.h"
#include "CRunNotices.h"
#include "KeywordTable.h"
#include "Records.h"

#include <QObject>
#include <QPointer>

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class CRS232Ctrl;
class CClientSock;
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

// Link types of the interpreter.
enum : unsigned
{
    TSL_LINK_SERIAL = 1,
    TSL_LINK_TCP = 2,
};

// The TSL runtime: loads a script, compiles it, and runs its main section pass by pass over
// the bytes received on its link.
class CTSL
{
public:
    CTSL(QObject* pParent, const std::string& strTableName);
    CTSL(const CTSL&) = delete;
    CTSL& operator=(const CTSL&) = delete;
    virtual ~CTSL();

    // Loading and compiling.
    int LoadScript(const char* pszPath);
    int _CompileVariableScript();
    int _CompileMainScript1(int nLines);
    CVariableTable* FindVariableTable(const char* pszName) const;
    CLabelTable* FindLabelTable(const char* pszName) const;
    static int GetKeywordMacro(const char* pszKeyword);
    int RemoveVariableTable();
    int RemoveCommandTable();
    int RemoveLabelTable();
    int RemoveExportTable();
    int RemovePrintMessage();

    // Operand evaluation on operand texts.
    int GetVariableType(const char* pszOperand);
    double GetBufferValue(const char* pszOperand);
    unsigned char* GetBufferPointer(const char* pszOperand);
    void SetBufferValue(const char* pszOperand, int nTagType, const void* pSource, int nLength);
    double CalcOperation(const char* pszOperand, const char* pBracket);
    static int TranslateString(const char* pszSource, unsigned char* pDest, int nLength);
    static unsigned char GetCode16(const char* pTwo);
    static int32_t Hex2Dec(const char* pszText);
    static int32_t Bin2Dec(const char* pszText);

    // Running.
    int Begin(const unsigned char* pData, int nLength);
    void SetRunFlag(CRunFlag* pRun) { m_pRun = pRun ? pRun : &m_ownRun; }
    void SetOutInterval(int nMs) { m_nOutInterval = nMs; }
    int GetOutInterval() const { return m_nOutInterval; }
    uint16_t GetCmpFlags() const { return m_wCmpFlags; }

    // The link and the host.
    void SetListenObject(CRS232Ctrl* pPort);
    void SetListenObject(CClientSock* pSocket);
    void SetInterface(unsigned nLinkType) { m_nLinkType = nLinkType; }
    unsigned GetInterface() const { return m_nLinkType; }
    void SetParentId(int nId) { m_nParentId = nId; }
    // Why the script's tag table could not be opened; empty when it is open or not named.
    const std::string& GetTableError() const { return m_strTableError; }
    void SendString(const unsigned char* pData, int nLength, int nIntervalMs);

    // Executors: one per keyword of KeywordTable.h; the jumps return where to go on.
#define TSL_DECLARE_EXECUTOR(code, text, name) void name(CCommandTable* pCmd);
    TSL_COMMANDS(TSL_DECLARE_EXECUTOR)
#undef TSL_DECLARE_EXECUTOR
    int _Jp(CCommandTable* pCmd);
    int _Jp_condition(CCommandTable* pCmd, int nCode);

    QObject* m_pParent = nullptr;
    std::vector<std::unique_ptr<CVariableTable>> m_listVariable;
    std::vector<std::unique_ptr<CCommandTable>> m_listCommand;
    std::vector<std::unique_ptr<CLabelTable>> m_listLabel;
    std::vector<std::unique_ptr<CExportTable>> m_listExport;
    std::vector<std::string> m_arrLines;
    std::vector<std::string> m_arrTokens;
    std::vector<std::string> m_arrMainLines;

    // The print queue: the script thread appends, the output window takes from the head.
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

    void CompileOperand(const char* pszText, COperand& operand) const;
    void CompileIndex(const char* pszExpression, size_t nLength, COperand& operand) const;
    double IndexSum(const COperand& operand) const;
    int32_t IndexOf(const COperand& operand) const;
    double ValueOf(const COperand& operand) const;
    double SourceValue(const COperand& operand) const;
    CBytes BytesOf(const COperand& operand) const;
    static double ScalarValue(const CVariableTable& var);
    static void StoreScalar(CVariableTable& var, double value);
    static CVariableTable* ScalarTarget(const COperand& operand);
    static CVariableTable* ArrayOf(const COperand& operand);
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
    void SendBytes(const unsigned char* pData, int nLength);
    std::string TagName(const COperand& operand) const;
    int32_t TagCount(CCommandTable* pCmd) const;

    CRunFlag m_ownRun{true};
    CRunFlag* m_pRun = &m_ownRun;
    const unsigned char* m_pRecvData = nullptr;
    int32_t m_nRecvLength = 0;
    uint16_t m_wCmpFlags = 0;
    int32_t m_nOutInterval = 0;
    unsigned m_nLinkType = TSL_LINK_SERIAL;
    int m_nParentId = 0;
    std::string m_strTableName;

    // The link: set by the host; a lock keeps a send from using a socket the host is removing.
    std::mutex m_csLink;
    CRS232Ctrl* m_pRS232 = nullptr;
    CClientSock* m_pClientSock = nullptr;

    std::unique_ptr<CSharedMemory> m_pSharedTable;
    std::unique_ptr<CNamedSemaphore> m_pTagLock;
    std::string m_strTableError;
};
