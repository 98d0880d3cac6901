// Main-section compilation: main lines become commands and labels, and every operand is
// resolved once so that running a command never parses text again.
#include "CTSL.h"

#include "KeywordTable.h"
#include "MainLineSplit.h"
#include "NumberText.h"
#include "TextField.h"

#include <cstring>

namespace {

bool IsUpper(char c)
{
    return c >= 'A' && c <= 'Z';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

int CTSL::_CompileMainScript1(int nLines)
{
    for (int i = 0; i < nLines && i < static_cast<int>(m_arrMainLines.size()); ++i) {
        const std::vector<std::string> words = tsl::SplitMainLine(m_arrMainLines[i]);
        if (words.size() == 1) {
            if (tsl::IsLabelWord(words[0])) {
                auto label = std::make_unique<CLabelTable>();
                tsl::CopyField(label->szName, words[0].substr(0, words[0].size() - 1));
                label->nCommandIndex = static_cast<int32_t>(m_listCommand.size());
                m_listLabel.push_back(std::move(label));
            }
            continue;
        }
        auto command = std::make_unique<CCommandTable>();
        command->nCode = GetKeywordMacro(words[0].c_str());
        const size_t operands = std::min<size_t>(words.size() - 1, kMaxOperands);
        command->byOperandCount = static_cast<uint8_t>(operands);
        for (size_t k = 0; k < operands; ++k)
            tsl::CopyField(command->szOperand[k], words[k + 1]);
        m_listCommand.push_back(std::move(command));
    }

    // Names and labels are all known now: resolve every operand and jump once.
    for (const auto& command : m_listCommand) {
        for (int k = 0; k < command->byOperandCount; ++k)
            CompileOperand(command->szOperand[k], command->m_operand[k]);
        if (command->nCode >= tsl::kCodeJp && command->nCode <= tsl::kCodeLastConditionalJump) {
            const CLabelTable* label = FindLabelTable(command->szOperand[0]);
            command->m_nJumpTarget = label ? label->nCommandIndex : -1;
        }
    }
    return 0;
}

void CTSL::CompileOperand(const char* pszText, COperand& operand) const
{
    const size_t length = std::strlen(pszText);
    operand = COperand();
    operand.pExact = FindVariableTable(pszText);
    operand.bUpperFirst = IsUpper(pszText[0]);
    operand.dDecimal = tsl::ReadDecimal(pszText);
    operand.nDecimal = tsl::ReadInteger(pszText);

    // Name part and index: the name before the first '[', the index between it and the last
    // character (the closing bracket).
    const char* bracket = std::strchr(pszText, '[');
    if (bracket) {
        operand.bIndexed = true;
        operand.pVar = FindVariableTable(std::string(pszText, bracket).c_str());
        const size_t first = static_cast<size_t>(bracket - pszText) + 1;
        if (length > first)
            CompileIndex(pszText + first, length - 1 - first, operand);
    } else {
        operand.pVar = operand.pExact;
    }

    // As a value source: a sign starts a decimal number, a non-digit a name, and a number
    // with the H or B suffix is hexadecimal or binary.
    const char first = pszText[0];
    if (first == '+' || first == '-') {
        operand.dValueNumber = operand.dDecimal;
    } else if (!IsDigit(first)) {
        operand.bValueIsName = true;
    } else if (pszText[length - 1] == 'H') {
        operand.dValueNumber = Hex2Dec(pszText);
    } else if (pszText[length - 1] == 'B') {
        operand.dValueNumber = Bin2Dec(pszText);
    } else {
        operand.dValueNumber = operand.dDecimal;
    }
}

void CTSL::CompileIndex(const char* pszExpression, size_t nLength, COperand& operand) const
{
    // Pieces split at every '+' and '-', the operators among them; strictly left to right.
    std::vector<std::string> pieces;
    std::string piece;
    for (size_t i = 0; i < nLength; ++i) {
        const char c = pszExpression[i];
        if (c == '+' || c == '-') {
            pieces.push_back(piece);
            pieces.emplace_back(1, c);
            piece.clear();
        } else {
            piece += c;
        }
    }
    pieces.push_back(piece);

    bool minus = false;
    for (const std::string& text : pieces) {
        const char first = text.empty() ? '\0' : text[0];
        if (IsDigit(first)) {
            operand.index.push_back({minus, tsl::ReadDecimal(text.c_str()), nullptr});
        } else if (IsUpper(first)) {
            auto name = std::make_unique<COperand>();
            CompileOperand(text.c_str(), *name);
            operand.index.push_back({minus, 0, std::move(name)});
        } else {
            minus = first != '+'; // an operator, an empty piece or another character
        }
    }
}
