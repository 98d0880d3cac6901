// The declaration section: what a line declares, read once by the rules that the verifier
// checks and the runtime builds its variables by.
#include "CompiledScript.h"

#include "NumberText.h"
#include "ScriptEncoding.h"
#include "TextField.h"

#include <cstdlib>
#include <cstring>

namespace tsl {
namespace {

constexpr std::size_t kMaxWordChars = 255; // the words are read into 256-character fields

bool IsSuffix(char c)
{
    return c == '$' || c == '%' || c == '#';
}

uint8_t ElementTypeOf(char suffix)
{
    switch (suffix) {
    case '%':
        return ELEM_LONG;
    case '#':
        return ELEM_DOUBLE;
    default:
        return ELEM_BYTE;
    }
}

bool NameTooLong(const std::string& name)
{
    return name.size() > static_cast<std::size_t>(kNameSize - 1);
}

} // namespace

bool CompiledScript::ArrayFits(int64_t bytes) const
{
    return bytes <= kMaxArrayBytes && m_nArrayBytes + bytes <= kMaxArrayTotalBytes;
}

Declaration CompiledScript::ReadDeclaration(const std::vector<std::string>& words) const
{
    Declaration d;
    d.wordCount = words.size();
    for (std::size_t i = 0; i < 3 && i < words.size(); ++i)
        d.words[i] = words[i].substr(0, kMaxWordChars);
    const std::string& keyword = d.words[0];
    const std::string& word2 = d.words[1];
    auto has = [&keyword](const char* text) { return keyword.find(text) != std::string::npos; };
    // The first rule broken is the one reported.
    auto breaks = [&d](bool broken, DeclarationFault fault) {
        if (broken && d.fault == DeclarationFault::None)
            d.fault = fault;
    };
    auto isDeclared = [this](const std::string& name) {
        return FindVariableTable(name.c_str()) != nullptr;
    };
    breaks(d.wordCount > 3, DeclarationFault::TooManyWords);

    if (has("DIM") || has("VAR")) {
        const bool isArray = has("DIM");
        d.keyword = isArray ? DeclarationKeyword::Dim : DeclarationKeyword::Var;
        d.kind = isArray ? KIND_DIM : KIND_VAR;
        d.name = word2.empty() ? word2 : word2.substr(0, word2.size() - 1);
        d.elemType = ElementTypeOf(word2.empty() ? '\0' : word2.back());
        const int32_t count = ReadInteger(d.words[2].c_str());
        if (isArray)
            d.bytes = int64_t{count} * ElementBytes(d.elemType);
        breaks(d.wordCount != 3, DeclarationFault::WrongArguments);
        breaks(isArray && count <= 0, DeclarationFault::BufferTooSmall);
        breaks(word2.empty() || !IsSuffix(word2.back()), DeclarationFault::BadSuffix);
        breaks(isArray && !ArrayFits(d.bytes), DeclarationFault::BufferTooLarge);
        breaks(NameTooLong(d.name), DeclarationFault::NameTooLong);
        breaks(isDeclared(d.name), DeclarationFault::Duplicate);
    } else if (has("EXPORT")) {
        d.keyword = DeclarationKeyword::Export;
        d.name = word2;
        breaks(d.wordCount != 2, DeclarationFault::WrongArguments);
        breaks(!isDeclared(d.name), DeclarationFault::ExportNotFound);
    } else if (has("EQU") || has("ASSIGN")) {
        const bool isText = has("EQU");
        d.keyword = isText ? DeclarationKeyword::Equ : DeclarationKeyword::Assign;
        d.kind = isText ? KIND_EQU : KIND_ASSIGN;
        d.name = word2;
        breaks(d.wordCount != 3, DeclarationFault::WrongArguments);
        breaks(NameTooLong(d.name), DeclarationFault::NameTooLong);
        breaks(isDeclared(d.name), DeclarationFault::Duplicate);
    } else if (has("OPEN")) {
        d.keyword = DeclarationKeyword::Open;
    } else if (has("TABLE_NAME")) {
        d.keyword = DeclarationKeyword::TableName;
    } else {
        breaks(true, DeclarationFault::UnknownKeyword);
    }
    return d;
}

CVariableTable& CompiledScript::AddVariable(const Declaration& d, bool bWithStorage)
{
    auto record = std::make_unique<CVariableTable>();
    record->byKind = d.kind;
    CopyField(record->szName, d.name);
    const std::string& initial = d.words[2];
    switch (d.kind) {
    case KIND_DIM:
        record->byElemType = d.elemType;
        // A size past the bounds, or memory the system refuses, leaves an empty array, which
        // every command treats as having no room. Zeroed memory comes from calloc, which
        // leaves large arrays to the system's zero pages until they are written.
        if (d.bytes > 0 && ArrayFits(d.bytes)) {
            if (!bWithStorage) {
                record->nSize = static_cast<int32_t>(d.bytes);
            } else if ((record->value.pBuffer = static_cast<unsigned char*>(
                            std::calloc(static_cast<std::size_t>(d.bytes), 1)))) {
                record->nSize = static_cast<int32_t>(d.bytes);
            }
            m_nArrayBytes += record->nSize;
        }
        break;
    case KIND_VAR:
        record->byElemType = d.elemType;
        switch (d.elemType) {
        case ELEM_BYTE:
            record->value.byValue = static_cast<int8_t>(ReadInteger(initial.c_str()) & 0xFF);
            record->nSize = 1;
            break;
        case ELEM_LONG:
            record->value.lValue = ReadInteger(initial.c_str());
            record->nSize = 4;
            break;
        default:
            record->value.dValue = ReadDecimal(initial.c_str());
            record->nSize = 8;
            break;
        }
        break;
    default: {
        // EQU: the text between the quotes as its file holds it, the bytes OUT sends. ASSIGN
        // names a tag that other programs name in UTF-8.
        std::string text =
            initial.size() >= 2 ? initial.substr(1, initial.size() - 2) : std::string();
        if (d.kind == KIND_ASSIGN)
            text = ScriptTextAsUtf8(text);
        record->nSize = static_cast<int32_t>(text.size());
        record->value.pBuffer = static_cast<unsigned char*>(std::malloc(text.size() + 1));
        if (!record->value.pBuffer)
            throw std::bad_alloc();
        std::memcpy(record->value.pBuffer, text.c_str(), text.size() + 1);
        break;
    }
    }
    m_listVariable.push_back(std::move(record));
    return *m_listVariable.back();
}

} // namespace tsl
