#pragma once

#include "CSharedMemoryConstants.h"
#include "NamedSemaphore.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

// One named shared tag table: a block of POSIX shared memory that several programs of this
// user map, with entries (UTF-16 name, size, value) that a named semaphore guards.
class CRunFlag;
struct stat;

class CSharedMemory
{
public:
    enum class OpenMode
    {
        CreateOrOpen, // create the table when it does not exist yet
        OpenExisting  // fail with error 2 when it does not exist
    };
    // Runs once the block is mapped, with the table lock released.
    using Callback = std::function<void(CSharedMemory&)>;

    // Where an entry lies in the block, in bytes from its start.
    struct ValueRef
    {
        uint32_t nEntry = 0;     // the entry's name
        uint32_t nValue = 0;     // its value
        uint32_t nValueSize = 0; // the value ends at nValue + nValueSize
    };
    struct Value
    {
        std::u16string name;
        std::vector<unsigned char> bytes;
    };

    // `name` is the table name (UTF-8, no '/'); `size` the block size when this object creates
    // the table. An existing table keeps the size its creator wrote. Clearing `pRun` ends the
    // wait for the table's lock, here and at every later access.
    CSharedMemory(std::string_view name, uint32_t size, Callback callback = {},
                  OpenMode mode = OpenMode::CreateOrOpen, const CRunFlag* pRun = nullptr);
    ~CSharedMemory();
    CSharedMemory(const CSharedMemory&) = delete;
    CSharedMemory& operator=(const CSharedMemory&) = delete;

    bool IsInitialised() const { return m_bInitialised; }
    bool IsCreator() const { return m_bCreator; }
    // True once an access found the object shorter than the block it mapped (another program
    // truncated it): every access then fails with EINVAL and touches nothing.
    bool IsDamaged() const { return m_bDamaged; }
    // True when the name no longer leads to the object this table mapped: the table was removed
    // (tsltable remove), and perhaps made anew. One stat of the name.
    bool IsRemoved() const;
    // The mapped object's inode: which table this is, even once its name leads elsewhere.
    ino_t GetInode() const { return m_nInode; }
    // Waits for the table lock end early (ECANCELED) once `pRun` is cleared; null: never.
    void SetRunFlag(const CRunFlag* pRun) { m_pRun = pRun; }
    const std::string& GetName() const { return m_strName; }
    // Block size in bytes: what the creator wrote, never more than the object really holds.
    uint32_t GetSize() const { return m_nSize; }
    // Code of the last failure (the SharedTable::kError... codes or an errno value) and a
    // message for people.
    int GetLastError() const { return m_nLastError; }
    const std::string& GetErrorText() const { return m_strError; }

    // Copies the value named `name` (UTF-8) into `buffer` when `size` is large enough, and
    // stores the value's size in `size`; with a null buffer only stores the size.
    bool GetValue(std::string_view name, void* buffer, uint32_t& size);
    // Zeroes the last `dataLength` bytes of the value named `name` and writes `size` bytes of
    // `data` at their start, then sets the event "/<name>_Event".
    bool SetValue(std::string_view name, const void* data, uint32_t dataLength, uint32_t size);
    // Locates the entry named `name` (compared exactly, as UTF-16 units).
    bool FindValue(std::u16string_view name, ValueRef& ref);

    // Appends an entry named `name` holding `size` bytes of `value`, when the name is new and
    // the entry fits in the block.
    bool AddValue(std::string_view name, const void* value, uint32_t size);
    // Copies every entry. False (with the intact entries in `values`) when a damaged entry ends
    // the walk before the entry count.
    bool ListValues(std::vector<Value>& values);

    // Opens the table `name` together with its tag lock "_Sync_2", as GET and PUT use them.
    // False with the code and message of what failed; a table this call made goes again.
    static bool OpenWithTagLock(std::string_view name, OpenMode mode,
                                std::unique_ptr<CSharedMemory>& table,
                                std::unique_ptr<CNamedSemaphore>& tagLock, int& error,
                                std::string& message, const CRunFlag* pRun = nullptr);

    // Unlinks the table, its two locks and the events of its tags. False with error 2 when
    // neither the table nor a lock existed.
    static bool Remove(std::string_view name, int& error, std::string& message);

private:
    struct Walk
    {
        uint32_t nEnd = SharedTable::kBlockHeadBytes; // just past the last intact entry
        uint32_t nIntact = 0;                         // entries walked
        bool bComplete = false;                       // every counted entry was intact and visited
    };

    bool Open(uint32_t size);
    // "/dev/shm/NAME", the object's file.
    std::string ObjectFile() const;
    // Fails with the reason the object could not be opened (errno `code`).
    bool FailToOpen(int code);
    // Checks that the open object is this user's alone and remembers which object it is.
    bool CheckObject(struct stat* pStatus = nullptr);
    // Removes what this constructor created when it fails half-way.
    void Discard(bool createdObject);
    // Checks under the lock that the object still holds the whole mapped block.
    bool CheckSize();
    // Runs `access` over the mapping; false (table damaged) when the object shrank under it.
    template <class Access> bool Touch(Access&& access);
    // Visits the entries in order, each bounded by the block, until `visit` returns false.
    template <class Visit> Walk WalkEntries(Visit visit) const;
    bool NameEquals(uint32_t entry, std::u16string_view name) const;
    // Finds an entry by UTF-16 name; the caller holds the lock.
    bool FindUnits(std::u16string_view name, ValueRef& ref) const;
    // FindUnits for a UTF-8 name, storing error 2 when there is none.
    bool FindNamed(std::string_view name, ValueRef& ref);
    bool CheckOpen();
    bool CheckLocked(const CNamedSemaphoreLock& lock);
    bool Fail(int code, std::string text);

    std::string m_strName;
    int m_nLastError = 0;
    std::string m_strError;
    std::unique_ptr<CNamedSemaphore> m_pLock;
    const CRunFlag* m_pRun = nullptr;
    bool m_bCreator = false;
    bool m_bInitialised = false;
    bool m_bDamaged = false;
    int m_fd = -1;
    dev_t m_nDevice = 0;
    ino_t m_nInode = 0;
    uint32_t m_nSize = 0;
    unsigned char* m_pView = nullptr;
};
