#include "TagTableCommands.h"

#include "CSharedMemory.h"
#include "CSharedMemoryTag.h"
#include "NamedSemaphore.h"
#include "TagValueText.h"
#include "TerminalText.h"

#include <QString>
#include <iostream>
#include <memory>
#include <unistd.h>

using namespace SharedTable;

namespace {

// A table or tag name inside a message or a listing.
std::string Shown(const std::string& name)
{
    return EscapeForTerminal(name, TerminalText::Field);
}

// Reads a tag's whole value and head. The caller holds the tag lock, as GET and PUT do.
bool ReadTag(CSharedMemory& table, const std::string& tag, std::vector<unsigned char>& value,
             CSharedMemoryTag& head, std::string& message)
{
    uint32_t size = 0;
    if (table.GetValue(tag, nullptr, size)) {
        value.resize(size);
        if (table.GetValue(tag, value.data(), size)) {
            if (CSharedMemoryTag::Read(value.data(), size, head))
                return true;
            message = "tag \"" + tag + "\" does not hold a tag value (" + std::to_string(size) +
                      " bytes)";
            return false;
        }
    }
    message = table.GetErrorText();
    return false;
}

// Reads `tag` of an existing table with its tag lock held and hands its head and value to
// `work`: the tag lock first, then the table lock inside GetValue and SetValue, the order every
// script keeps.
template <class Work> int WithTag(const std::string& name, const std::string& tag, Work work)
{
    std::unique_ptr<CSharedMemory> table;
    std::unique_ptr<CNamedSemaphore> tagLock;
    int error = 0;
    std::string message;
    if (!CSharedMemory::OpenWithTagLock(name, CSharedMemory::OpenMode::OpenExisting, table, tagLock,
                                        error, message))
        return TagTableCommands::Fail(message);
    CNamedSemaphoreLock lock(*tagLock);
    if (!lock.IsLocked())
        return TagTableCommands::Fail(tagLock->GetErrorText());
    std::vector<unsigned char> value;
    CSharedMemoryTag head;
    if (!ReadTag(*table, tag, value, head, message))
        return TagTableCommands::Fail(message);
    return work(*table, head, value);
}

} // namespace

namespace TagTableCommands {

int Fail(const std::string& message)
{
    WriteDiagnostic("tsltable: " + message);
    return 1;
}

int Create(const std::string& table)
{
    CSharedMemory memory(table, kDefaultSizeBytes);
    if (!memory.IsInitialised())
        return Fail(memory.GetErrorText());
    std::cout << (memory.IsCreator() ? "created table \"" : "table \"") << Shown(table) << "\" "
              << (memory.IsCreator() ? "" : "already exists ") << "(" << memory.GetSize()
              << " bytes)\n";
    return 0;
}

int Add(const std::string& table, const std::string& tag, const std::string& type,
        const std::string& length)
{
    CSharedMemoryTag head;
    head.nType = TagValueText::ParseType(type);
    if (head.nType == 0)
        return Fail("unknown type \"" + type + "\": use byte, int, float or text");
    const std::string problem = TagValueText::ParseLength(head.nType, length, head.nDataLength);
    if (!problem.empty())
        return Fail(problem);
    CSharedMemory memory(table, kDefaultSizeBytes, {}, CSharedMemory::OpenMode::OpenExisting);
    const std::vector<unsigned char> value = head.MakeValue();
    if (!memory.IsInitialised() ||
        !memory.AddValue(tag, value.data(), static_cast<uint32_t>(value.size())))
        return Fail(memory.GetErrorText());
    return 0;
}

int Set(const std::string& table, const std::string& tag, const std::string& text)
{
    return WithTag(table, tag, [&](CSharedMemory& memory, const CSharedMemoryTag& head, auto&) {
        std::vector<unsigned char> data;
        const std::string problem = TagValueText::Encode(head, text, data);
        if (!problem.empty())
            return Fail(problem);
        if (!memory.SetValue(tag, data.data(), head.nDataLength,
                             static_cast<uint32_t>(data.size())))
            return Fail(memory.GetErrorText());
        return 0;
    });
}

int Get(const std::string& table, const std::string& tag)
{
    return WithTag(
        table, tag,
        [](CSharedMemory&, const CSharedMemoryTag& head, const std::vector<unsigned char>& value) {
            // The value as it is for a file or pipe; a terminal gets it escaped.
            const std::string text =
                TagValueText::Format(head, value.data() + kTagHeadBytes, false);
            std::cout << (isatty(STDOUT_FILENO) ? EscapeForTerminal(text) : text) << '\n';
            return 0;
        });
}

int List(const std::string& table)
{
    CSharedMemory memory(table, kDefaultSizeBytes, {}, CSharedMemory::OpenMode::OpenExisting);
    if (!memory.IsInitialised())
        return Fail(memory.GetErrorText());
    std::vector<CSharedMemory::Value> values;
    const bool intact = memory.ListValues(values);
    for (const CSharedMemory::Value& value : values) {
        std::cout << Shown(QString::fromStdU16String(value.name).toStdString()) << '\t';
        CSharedMemoryTag head;
        const auto size = static_cast<uint32_t>(value.bytes.size());
        if (CSharedMemoryTag::Read(value.bytes.data(), size, head))
            std::cout << TagValueText::TypeName(head.nType) << '\t' << head.nDataLength << '\t'
                      << TagValueText::Format(head, value.bytes.data() + kTagHeadBytes, true);
        else
            std::cout << "-\t" << size << "\t(not a tag value)";
        std::cout << '\n';
    }
    return intact ? 0 : Fail(memory.GetErrorText());
}

int Remove(const std::string& table)
{
    int error = 0;
    std::string message;
    if (!CSharedMemory::Remove(table, error, message))
        return Fail(message);
    std::cout << "removed table \"" << Shown(table) << "\"\n";
    return 0;
}

} // namespace TagTableCommands
