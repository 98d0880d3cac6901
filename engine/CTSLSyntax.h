#pragma once

#include "Comm.h"
#include "KeywordTable.h"
#include "Records.h"
#include "SyntaxNameIndex.h"

#include <QObject>

#include <cstdint>
#include <initializer_list>
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

    // Checkers: one per keyword of KeywordTable.h (codes 9 to 14 share _Jp_condition); each
    // adds at most one message.
#define TSL_DECLARE_CHECKER(code, text, name) void name(CCommandTable* pCmd);
    TSL_COMMANDS(TSL_DECLARE_CHECKER)
#undef TSL_DECLARE_CHECKER
    void _Jp(CCommandTable* pCmd);
    void _Jp_condition(CCommandTable* pCmd);

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

    // Main-line compilation steps.
    void CompileLabel(const std::string& strWord, int nLine);
    void CompileCommand(const std::vector<std::string>& words, int nLine);

    // Operand helpers: the kind of the exactly named variable, or -1.
    int KindOf(const char* pszName) const;
    // A command message naming `pszText`, at the command's line.
    void Report(const CCommandTable* pCmd, const char* pszFormat, const char* pszText = nullptr);
    // Not-found report when `pszOperand` is not a declared name or element; true when reported.
    bool ReportUnknownValue(const CCommandTable* pCmd, const char* pszOperand);
    // For an operand of kind `nKind` (-1 when not declared): not-found, or `pszWrongKind` when
    // its kind is none of `accepted`; true when reported.
    bool ReportKind(const CCommandTable* pCmd, const char* pszOperand, int nKind,
                    std::initializer_list<int> accepted, const char* pszWrongKind);

    // True when the operand names a variable whose text can name a tag.
    bool NamesATag(const char* pszOperand) const;

    // Checkers shared by keywords that differ only in their messages.
    // ADD and SUB take any declared target and value; AND, OR and XOR scalars only.
    void CheckCalculation(CCommandTable* pCmd, const char* pszUsage, const char* pszFirst,
                          bool bScalarsOnly);
    void CheckStep(CCommandTable* pCmd, const char* pszUsage);
    void CheckMilliseconds(CCommandTable* pCmd, const char* pszUsage, const char* pszArgument);
    void CheckJump(CCommandTable* pCmd, const char* pszUsage);
    void CheckPrint(CCommandTable* pCmd, const char* pszUsage, const char* pszArgument);

    mutable tsl::CNameIndex<CVariableTable> m_variableIndex;
    mutable tsl::CNameIndex<CLabelTable> m_labelIndex;
};
