#pragma once

#include "Comm.h"
#include "CompiledScript.h"
#include "KeywordTable.h"

#include <QObject>

#include <initializer_list>
#include <string>
#include <vector>

// The TSL verifier: reads and compiles a script with the runtime's front end, then checks every
// declaration and command record and collects a message for every fault it finds, so that a
// script that reaches the runtime has none.
//
// Verifying a long script takes a while; clearing the flag given to SetRunFlag ends it at once,
// with a message that keeps the script from passing.
class CTSLSyntax : public tsl::CompiledScript
{
public:
    explicit CTSLSyntax(QObject* pParent);
    ~CTSLSyntax() override;

    // Reading and declarations.
    int LoadScript(const char* pszPath);
    int _CompileVariableScript(int nLineIndex);
    int CheckCom(const char* pszWord1, const char* pszWord2, const char* pszWord3);
    int CheckTableName(const char* pszWord1, const char* pszWord2, const char* pszWord3);
    void GetCom(COMM* pComm) const;
    int GetTableName(std::string& strName) const;

    // Main section.
    int _CompileMainScript1(int nLines);
    int _VerifyMainScript();

    // Operand texts: the verdicts the checkers draw from compiled operands.
    int GetVariableType(const char* pszOperand) const;
    double GetBufferValue(const char* pszOperand, int& nError) const;
    double CalcOperation(const char* pszOperand, const char* pBracket, int& nError) const;
    static int IsNum(const char* pszText);

    // Checkers: one per keyword of KeywordTable.h (codes 9 to 14 share _Jp_condition); each
    // adds at most one message.
#define TSL_DECLARE_CHECKER(code, text, name, fewest, most, value, usage)                          \
    void name(CCommandTable* pCmd);
    TSL_COMMANDS(TSL_DECLARE_CHECKER)
#undef TSL_DECLARE_CHECKER
    void _Jp(CCommandTable* pCmd);
    void _Jp_condition(CCommandTable* pCmd);

    QObject* m_pParent = nullptr;
    std::vector<std::string> m_arrErrors;
    COMM m_comm;
    std::string m_strTableName;

private:
    // When the run flag was cleared: the message that the check was stopped, given once.
    bool ReportStop();
    // Appends a message; the format takes the line number and, where it has one, a text.
    void AddError(const char* pszFormat, int nLine, const char* pszText = nullptr);
    // A command message naming `pszText`, at the command's line.
    void Report(const CCommandTable* pCmd, const char* pszFormat, const char* pszText = nullptr);
    // The keyword table's usage message when the command has a count of operands its keyword
    // does not take; true when reported.
    bool ReportOperandCount(const CCommandTable* pCmd);

    // Verdicts on compiled operands. The kind of the exactly named variable, or of the name
    // part, or -1 when it is not declared.
    static int KindOf(const tsl::Operand& operand);
    static int TypeOf(const tsl::Operand& operand);
    // A declared name, or an element whose index is closed, names only valid names and adds up
    // to no less than 0 (names count 0 here).
    static bool IsValidValue(const tsl::Operand& operand);
    // The index's sum with names as 0; `valid` is false when a name in it is not valid.
    static double ConstantIndex(const tsl::Operand& operand, bool& valid);
    // True when the operand names a variable whose text can name a tag.
    static bool NamesATag(const tsl::Operand& operand);

    // Not-found report when the operand is not a valid name or element; true when reported.
    bool ReportUnknownValue(const CCommandTable* pCmd, const tsl::Operand& operand);
    // For an operand of kind `nKind` (-1 when not declared): not-found, or `pszWrongKind` when
    // its kind is none of `accepted`; true when reported.
    bool ReportKind(const CCommandTable* pCmd, const tsl::Operand& operand, int nKind,
                    std::initializer_list<int> accepted, const char* pszWrongKind);

    // Checkers shared by keywords that differ only in their messages.
    // ADD and SUB take any declared target and value; AND, OR and XOR scalars only.
    void CheckCalculation(CCommandTable* pCmd, const char* pszFirst, bool bScalarsOnly);
    void CheckStep(CCommandTable* pCmd);
    void CheckMilliseconds(CCommandTable* pCmd, const char* pszArgument);
    void CheckJump(CCommandTable* pCmd);
    void CheckPrint(CCommandTable* pCmd, const char* pszArgument);

    bool m_bStopReported = false;
};
