// The verifier's main section: the runtime's compilation of labels and commands, with the
// structure faults reported, and the dispatch of every command to its checker.
#include "CTSLSyntax.h"

#include "KeywordTable.h"
#include "MainLineSplit.h"
#include "SyntaxMessages.h"
#include "TextField.h"

#include <algorithm>

int CTSLSyntax::_CompileMainScript1(int nLines)
{
    bool hasBegin = false;
    bool hasEnd = false;
    const int count = std::min(nLines, static_cast<int>(m_arrMainLines.size()));
    for (int i = 0; i < count; ++i) {
        const std::string& text = m_arrMainLines[i];
        const int line = m_arrMainLineNo[i] + 1;
        if (text.find("BEGIN:") != std::string::npos)
            hasBegin = true;
        else if (text.find("END:") != std::string::npos)
            hasEnd = true;

        const std::vector<std::string> words = tsl::SplitMainLine(text);
        if (words.size() == 1)
            CompileLabel(words[0], line);
        else
            CompileCommand(words, line);
    }
    if (!hasBegin)
        AddError(tsl::msg::kNoBegin, -1);
    if (!hasEnd)
        AddError(tsl::msg::kNoEnd, -1);
    return 0;
}

void CTSLSyntax::CompileLabel(const std::string& strWord, int nLine)
{
    // A label's name must fit its record; a longer one is as wrong as a word without a colon.
    if (!tsl::IsLabelWord(strWord) || strWord.size() - 1 > static_cast<size_t>(kNameSize - 1)) {
        AddError(tsl::msg::kWrongStatement, nLine);
        return;
    }
    const std::string name = strWord.substr(0, strWord.size() - 1);
    if (FindLabelTable(name.c_str())) {
        AddError(tsl::msg::kDuplicateLabel, nLine);
        return;
    }
    auto label = std::make_unique<CLabelTable>();
    tsl::CopyField(label->szName, name);
    label->nCommandIndex = static_cast<int32_t>(m_listCommand.size());
    m_listLabel.push_back(std::move(label));
}

void CTSLSyntax::CompileCommand(const std::vector<std::string>& words, int nLine)
{
    const int code = GetKeywordMacro(words[0].c_str());
    if (code == 0) {
        AddError(tsl::msg::kUndefinedCommand, nLine);
        return;
    }
    // Operands that do not fit the record would be cut or lost: the line is rejected whole.
    const size_t operands = words.size() - 1;
    const bool fits = operands <= static_cast<size_t>(kMaxOperands) &&
                      std::all_of(words.begin() + 1, words.end(), [](const std::string& operand) {
                          return operand.size() <= static_cast<size_t>(kOperandSize - 1);
                      });
    if (!fits) {
        AddError(tsl::msg::kWrongStatement, nLine);
        return;
    }
    auto command = std::make_unique<CCommandTable>();
    command->nLine = nLine;
    command->nCode = code;
    command->byOperandCount = static_cast<uint8_t>(operands);
    for (size_t k = 0; k < operands; ++k)
        tsl::CopyField(command->szOperand[k], words[k + 1]);
    m_listCommand.push_back(std::move(command));
}

int CTSLSyntax::_VerifyMainScript()
{
    for (const auto& record : m_listCommand) {
        CCommandTable* command = record.get();
        switch (command->nCode) {
#define TSL_CHECK(code, text, checker)                                                             \
    case code:                                                                                     \
        checker(command);                                                                          \
        break;
            TSL_COMMANDS(TSL_CHECK)
            TSL_JUMPS(TSL_CHECK)
#undef TSL_CHECK
        default:
            break; // unknown keywords were reported while compiling and made no record
        }
    }
    return 0;
}
