#pragma once

#include "Comm.h"
#include "Records.h"

#include <QObject>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The TSL verifier: reads a script by the same rules as the runtime, checks every declaration
// and command, and collects a message for every fault it finds, so that a script that reaches
// the runtime has none.
class CTSLSyntax
{
public:
    explicit CTSLSyntax(QObject* pParent);
    CTSLSyntax(const CTSLSyntax&) = delete;
    CTSLSyntax& operator=(const CTSLSyntax&) = delete;
    virtual ~CTSLSyntax();

    // Reading and declarations.
    int LoadScript(const char* pszPath);
    int _CompileVariableScript(int nLineIndex);
    int CheckCom(const char* pszWord1, const char* pszWord2, const char* pszWord3);
    int CheckTableName(const char* pszWord1, const char* pszWord2, const char* pszWord3);
    void GetCom(COMM* pComm) const;
    int GetTableName(std::string& strName) const;
    CVariableTable* FindVariableTable(const char* pszName) const;
    int RemoveVariableTable();
    int RemoveCommandTable();
    int RemoveLabelTable();
    int RemoveExportTable();

    // Main section.
    int _CompileMainScript1(int nLines);
    int _VerifyMainScript();
    static int GetKeywordMacro(const char* pszKeyword);
    CLabelTable* FindLabelTable(const char* pszName) const;

    // Operand checks: the runtime's evaluation, reporting validity instead of values.
    int GetVariableType(const char* pszOperand) const;
    double GetBufferValue(const char* pszOperand, int& nError) const;
    double CalcOperation(const char* pszOperand, const char* pBracket, int& nError) const;
    static int IsNum(const char* pszText);

    // Checkers: one per keyword (see KeywordTable.h); each adds at most one message.
    void _In(CCommandTable* pCmd);
    void _Out(CCommandTable* pCmd);
    void _FindX(CCommandTable* pCmd);
    void _Cmp(CCommandTable* pCmd);
    void _MoveX(CCommandTable* pCmd);
    void _Delay(CCommandTable* pCmd);
    void _Sleep(CCommandTable* pCmd);
    void _Jp(CCommandTable* pCmd);
    void _Jp_condition(CCommandTable* pCmd);
    void _Print(CCommandTable* pCmd);
    void _PrintEx(CCommandTable* pCmd);
    void _Cat(CCommandTable* pCmd);
    void _ClearX(CCommandTable* pCmd);
    void _CopyX(CCommandTable* pCmd);
    void _Inc(CCommandTable* pCmd);
    void _Dec(CCommandTable* pCmd);
    void _Add(CCommandTable* pCmd);
    void _Sub(CCommandTable* pCmd);
    void _Sync(CCommandTable* pCmd);
    void _Put(CCommandTable* pCmd);
    void _Get(CCommandTable* pCmd);
    void _And(CCommandTable* pCmd);
    void _Or(CCommandTable* pCmd);
    void _Xor(CCommandTable* pCmd);
    void _Not(CCommandTable* pCmd);
    void _Conv(CCommandTable* pCmd);

    QObject* m_pParent = nullptr;
    std::vector<std::string> m_arrLines;
    std::vector<std::string> m_arrTokens;
    std::vector<std::string> m_arrMainLines;
    std::vector<uint16_t> m_arrMainLineNo;
    std::vector<std::string> m_arrErrors;
    std::vector<std::unique_ptr<CVariableTable>> m_listVariable;
    std::vector<std::unique_ptr<CCommandTable>> m_listCommand;
    std::vector<std::unique_ptr<CLabelTable>> m_listLabel;
    std::vector<std::unique_ptr<CExportTable>> m_listExport; // stays empty
    COMM m_comm;
    std::string m_strTableName;

private:
    // Appends a message; the format takes the line number and, where it has one, a text.
    void AddError(const char* pszFormat, int nLine, const char* pszText = nullptr);
    bool Declare(const std::string& name, uint8_t byKind);
};
