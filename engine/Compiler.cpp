// Main-section compilation: each cleaned main line becomes a label or a command whose operands
// are compiled at once; jumps find their labels when every label is known.
#include "CompiledScript.h"

#include "KeywordTable.h"
#include "ScriptReader.h"
#include "TextField.h"

#include <algorithm>

namespace tsl {

MainLineFault CompiledScript::CompileMainLine(std::string_view text, int32_t nLine, Compilation how)
{
    const bool strict = how == Compilation::Strict;
    m_words.clear();
    SplitMainLine(text, m_words);

    if (m_words.size() == 1) {
        const std::string& word = m_words[0];
        // A label's name must fit its record; a longer one is as wrong as a word without a colon.
        if (!IsLabelWord(word) ||
            (strict && word.size() - 1 > static_cast<std::size_t>(kNameSize - 1)))
            return strict ? MainLineFault::WrongStatement : MainLineFault::None;
        const std::string name = word.substr(0, word.size() - 1);
        if (strict && FindLabelTable(name.c_str()))
            return MainLineFault::DuplicateLabel;
        auto label = std::make_unique<CLabelTable>();
        CopyField(label->szName, name);
        label->nCommandIndex = static_cast<int32_t>(m_listCommand.size());
        m_listLabel.push_back(std::move(label));
        return MainLineFault::None;
    }

    const int code = GetKeywordMacro(m_words[0].c_str());
    if (strict && code == 0)
        return MainLineFault::UndefinedCommand;
    const std::size_t written = m_words.size() - 1;
    // Operands that do not fit the record would be cut or lost: the verifier rejects the line.
    const auto tooLong = [](const std::string& operand) {
        return operand.size() > static_cast<std::size_t>(kOperandSize - 1);
    };
    if (strict && (written > static_cast<std::size_t>(kMaxOperands) ||
                   std::any_of(m_words.begin() + 1, m_words.end(), tooLong)))
        return MainLineFault::WrongStatement;

    const int count = static_cast<int>(std::min<std::size_t>(written, kMaxOperands));
    const Keyword* keyword = KeywordOf(code);
    const int slots = std::max(count, keyword ? keyword->fewestOperands : 0);
    Operand* operands = m_arena.New<Operand>(static_cast<std::size_t>(slots));
    for (int k = 0; k < count; ++k)
        Compile(std::string_view(m_words[k + 1]).substr(0, kOperandSize - 1), m_arena,
                keyword && keyword->valueOperand == k + 1, operands[k]);

    CCommandTable& command = m_listCommand.emplace_back();
    command.m_operand = operands;
    command.nLine = nLine;
    command.nCode = code;
    command.byOperandCount = static_cast<uint8_t>(count);
    return MainLineFault::None;
}

void CompiledScript::ResolveJumps()
{
    for (CCommandTable& command : m_listCommand) {
        if (!IsJump(command.nCode))
            continue;
        const CLabelTable* label = FindLabelTable(command.szOperand(0));
        command.m_nJumpTarget = label ? label->nCommandIndex : -1;
    }
}

} // namespace tsl
