// Fuzzes the walk over a tag table: the input becomes the whole block of a table of this
// process's own (entry count, size word, entries), which a CSharedMemory then opens, lists,
// searches, reads, writes and appends to. Every access must stay inside the mapping.
#include "CSharedMemory.h"
#include "CSharedMemoryConstants.h"
#include "CSharedMemoryTag.h"

#include <QString>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr size_t kMaxInputBytes = 1 << 20;
constexpr size_t kMaxValuesVisited = 16;
// Only tags with this prefix are written: a write posts "/<tag>_Event", a name this machine
// shares with everyone, and the fuzzer must not touch anybody else's.
constexpr std::string_view kWritablePrefix = "tarvenfuzz";

const std::string& TableName()
{
    static const std::string name = "tarven-fuzz-" + std::to_string(getpid());
    return name;
}

void RemoveTable()
{
    int error = 0;
    std::string message;
    CSharedMemory::Remove(TableName(), error, message);
}

// Leaves the input as the table's object, as a careless or hostile program might.
bool WriteObject(const uint8_t* data, size_t size)
{
    const std::string path = "/" + TableName();
    shm_unlink(path.c_str());
    const int fd = shm_open(path.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
    if (fd < 0)
        return false;
    bool written = ftruncate(fd, static_cast<off_t>(size)) == 0;
    for (size_t done = 0; written && done < size;) {
        const ssize_t n = pwrite(fd, data + done, size - done, static_cast<off_t>(done));
        written = n > 0;
        done += written ? static_cast<size_t>(n) : 0;
    }
    close(fd);
    return written;
}

void Exercise(CSharedMemory& table, const std::vector<CSharedMemory::Value>& values)
{
    for (size_t i = 0; i < values.size() && i < kMaxValuesVisited; ++i) {
        const CSharedMemory::Value& value = values[i];
        CSharedMemory::ValueRef ref;
        if (!table.FindValue(value.name, ref) || ref.nValue > table.GetSize() ||
            ref.nValueSize > table.GetSize() - ref.nValue)
            std::abort();

        const std::string name = QString::fromStdU16String(value.name).toStdString();
        uint32_t size = 0;
        if (!table.GetValue(name, nullptr, size))
            continue; // a name that does not survive UTF-8 cannot be looked up by text
        std::vector<unsigned char> bytes(size + 1);
        uint32_t small = size ? size - 1 : 0;
        if (size && (table.GetValue(name, bytes.data(), small) ||
                     table.GetLastError() != SharedTable::kErrorBufferTooSmall))
            std::abort();
        if (!table.GetValue(name, bytes.data(), size))
            std::abort();

        if (name.compare(0, kWritablePrefix.size(), kWritablePrefix) != 0)
            continue;
        CSharedMemoryTag head;
        if (CSharedMemoryTag::Read(bytes.data(), size, head) && head.nDataLength)
            table.SetValue(name, bytes.data(), head.nDataLength, head.nDataLength);
        // Lengths that lie must be refused, never written.
        if (table.SetValue(name, bytes.data(), size + 1, 1) ||
            table.SetValue(name, bytes.data(), size, size + 1))
            std::abort();
        CNamedSemaphore::Remove(name + SharedTable::kEventSuffix);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The name first: statics made before the handler is registered outlive it.
    TableName();
    std::atexit(RemoveTable);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > kMaxInputBytes || !WriteObject(data, size))
        return 0;
    {
        CSharedMemory table(TableName(), 4096, {}, CSharedMemory::OpenMode::OpenExisting);
        if (table.IsInitialised()) {
            std::vector<CSharedMemory::Value> values;
            table.ListValues(values);
            Exercise(table, values);
            const CSharedMemoryTag tag{CSharedMemoryTag::kText, 16};
            const std::vector<unsigned char> value = tag.MakeValue();
            if (table.AddValue("tarvenfuzzAdded", value.data(), uint32_t(value.size()))) {
                table.ListValues(values);
                Exercise(table, values);
            }
        }
    }
    shm_unlink(("/" + TableName()).c_str());
    return 0;
}
