#pragma once

#include "Arena.h"
#include "CRunFlag.h"
#include "NameIndex.h"
#include "Operand.h"
#include "Records.h"
#include "TextLines.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tsl {

// Declaration keywords; word 1 is tested for them in this order.
enum class DeclarationKeyword
{
    None,
    Dim,
    Var,
    Export,
    Equ,
    Assign,
    Open,
    TableName,
};

// Bounds of a script's arrays: what one DIM may take, and all of them together. A script can
// ask for gigabytes with one line; it is refused before anything is allocated.
inline constexpr int64_t kMaxArrayBytes = int64_t{256} * 1024 * 1024;
inline constexpr int64_t kMaxArrayTotalBytes = int64_t{1024} * 1024 * 1024;

// The first rule of the declaration section that a line breaks.
enum class DeclarationFault
{
    None,
    TooManyWords,
    WrongArguments,
    BufferTooSmall,
    BadSuffix,
    BufferTooLarge,
    NameTooLong,
    Duplicate,
    ExportNotFound,
    UnknownKeyword,
};

// One declaration line, read by the rules that the verifier and the runtime share.
struct Declaration
{
    DeclarationKeyword keyword = DeclarationKeyword::None;
    DeclarationFault fault = DeclarationFault::None;
    std::size_t wordCount = 0;
    std::string words[3];         // the first three words; missing ones are empty
    uint8_t kind = 0;             // byKind of the record the line makes, 0 for none
    std::string name;             // the record's name: DIM and VAR lose their suffix
    uint8_t elemType = ELEM_BYTE; // from the suffix
    int64_t bytes = 0;            // DIM: element count times element size
};

// What compiling a main line found wrong.
enum class MainLineFault
{
    None,
    WrongStatement,
    DuplicateLabel,
    UndefinedCommand,
};

// Strict compilation (the verifier's) makes no record for a faulty line; lenient compilation
// (the runtime's) keeps what fits, as a script that reaches the runtime has no faulty line.
enum class Compilation
{
    Lenient,
    Strict,
};

// The records of a loaded script (declared names, labels, and commands with their operands
// resolved) made by the one front end of the language. The verifier (CTSLSyntax) checks them
// and reports; the runtime (CTSL) runs them. Both read a file by the same line rules, declare
// by the same rules, and compile every operand once into the same records.
class CompiledScript
{
public:
    CompiledScript() = default;
    CompiledScript(const CompiledScript&) = delete;
    CompiledScript& operator=(const CompiledScript&) = delete;
    virtual ~CompiledScript() = default;

    CVariableTable* FindVariableTable(const char* pszName) const;
    CLabelTable* FindLabelTable(const char* pszName) const;
    static int GetKeywordMacro(const char* pszKeyword);
    int RemoveVariableTable();
    int RemoveCommandTable();
    int RemoveLabelTable();
    int RemoveExportTable();

    // The flag whose clearing ends loading, compiling and running at once; null for the
    // object's own flag, which stays set.
    void SetRunFlag(CRunFlag* pRun) { m_pRun = pRun ? pRun : &m_ownRun; }

    std::vector<std::unique_ptr<CVariableTable>> m_listVariable;
    std::vector<CCommandTable> m_listCommand;
    std::vector<std::unique_ptr<CLabelTable>> m_listLabel;
    std::vector<std::unique_ptr<CExportTable>> m_listExport; // the verifier's stays empty
    TextLines m_arrLines;                                    // every line as read
    std::vector<std::string> m_arrTokens; // the words of the declaration line being read
    TextLines m_arrMainLines;             // the cleaned main-section lines
    std::vector<int32_t> m_arrMainLineNo; // 0-based line index of each main line

protected:
    enum class LoadResult
    {
        Loaded,
        Unreadable,
        Stopped,
    };
    // Reads the file into m_arrLines and walks its lines: each declaration line's words are
    // put into m_arrTokens for `onDeclaration` (with the line's 0-based index) and taken away
    // again; each main line's cleaned text goes to m_arrMainLines.
    LoadResult Load(const char* pszPath, const std::function<void(int)>& onDeclaration);

    // Reads the words of a declaration line.
    Declaration ReadDeclaration(const std::vector<std::string>& words) const;
    // Appends the record a DIM, VAR, EQU or ASSIGN line makes; with storage, a DIM gets its
    // zeroed buffer.
    CVariableTable& AddVariable(const Declaration& declaration, bool bWithStorage);
    // True when an array of `bytes` stays inside the bounds, with the arrays declared so far.
    bool ArrayFits(int64_t bytes) const;

    // Compiles one main line into a label or a command, with its operands.
    MainLineFault CompileMainLine(std::string_view text, int32_t nLine, Compilation how);
    // Gives every jump the position of its label, once all labels are known.
    void ResolveJumps();

    // An operand and an index expression compiled into records in `arena`.
    const Operand* CompileOperand(std::string_view text, Arena& arena) const;
    const IndexTerm* CompileIndex(std::string_view expression, Arena& arena,
                                  uint16_t& termCount) const;
    // The index of an operand text whose '[' is at `pBracket`: an operand holding only terms.
    Operand CompileBracket(const char* pszOperand, const char* pBracket, Arena& arena) const;

    bool IsStopped() const { return !m_pRun->IsSet(); }

    CRunFlag m_ownRun{true};
    CRunFlag* m_pRun = &m_ownRun;
    Arena m_arena; // operands and their texts

private:
    // Compiles `text` into `operand`, its text and index terms in `arena`; `bValue` when its
    // command reads it as a value (see Operand::number).
    void Compile(std::string_view text, Arena& arena, bool bValue, Operand& operand) const;
    CVariableTable* FindVariable(std::string_view name) const;

    NameIndex<CVariableTable> m_variableIndex;
    NameIndex<CLabelTable> m_labelIndex;
    std::vector<std::string> m_words; // the words of the main line being compiled
    int64_t m_nArrayBytes = 0;        // what the arrays declared so far take
};

} // namespace tsl
