#include "CSharedMemory.h"

#include "CSharedMemoryAccess.h"
#include "CSharedMemoryBytes.h"
#include "CSharedMemoryGuard.h"

#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace SharedTable;

namespace {

// The longest additions to a table name in the file system: "sem." and "_Sync_2".
const std::size_t kTableNameExtraBytes =
    SharedObject::kSemaphoreFileExtraBytes + std::strlen(kTagLockSuffix);

// Strict UTF-8 to UTF-16; false for malformed text, which no entry name can match.
bool ToUtf16(std::string_view text, std::u16string& out)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder(QByteArrayView(text.data(), qsizetype(text.size())));
    if (decoder.hasError())
        return false;
    out = decoded.toStdU16String();
    return true;
}

} // namespace

CSharedMemory::CSharedMemory(std::string_view name, uint32_t size, Callback callback, OpenMode mode,
                             const CRunFlag* pRun)
    : m_strName(name), m_pRun(pRun)
{
    std::string message;
    if (int code = SharedObject::CheckName(name, "table name", kTableNameExtraBytes, message)) {
        Fail(code, message);
        return;
    }
    if (size < kBlockHeadBytes) {
        Fail(EINVAL, "a table needs at least " + std::to_string(kBlockHeadBytes) + " bytes");
        return;
    }
    const std::string shmName = "/" + m_strName;
    // An existing table is opened and checked before its lock is made, so a look-up of a
    // missing table, or of another user's, leaves no lock behind.
    m_fd = shm_open(shmName.c_str(), O_RDWR | O_CLOEXEC, 0);
    if (m_fd < 0) {
        const int code = errno;
        if (code != ENOENT) {
            FailToOpen(code);
            return;
        }
        if (mode == OpenMode::OpenExisting) {
            Fail(kErrorNotFound, "no table named \"" + m_strName + "\"");
            return;
        }
    } else if (!CheckObject()) {
        Discard(false);
        return;
    }
    m_pLock = std::make_unique<CNamedSemaphore>(m_strName + kTableLockSuffix, 1);
    if (!m_pLock->IsOpen()) {
        Fail(m_pLock->GetLastError(), m_pLock->GetErrorText());
        return;
    }
    bool createdObject = false;
    {
        // Creation and the first look at the head happen under the lock, so nobody reads a
        // block whose creator has not written its size yet.
        CNamedSemaphoreLock lock(*m_pLock, kLockTimeoutMs, m_pRun);
        if (!lock.IsLocked()) {
            Fail(m_pLock->GetLastError(), m_pLock->GetErrorText());
            Discard(false);
            return;
        }
        if (m_fd < 0) {
            m_fd = shm_open(shmName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            createdObject = m_fd >= 0;
            if (m_fd < 0 && errno == EEXIST)
                m_fd = shm_open(shmName.c_str(), O_RDWR | O_CLOEXEC, 0);
            if (m_fd < 0) {
                FailToOpen(errno);
                Discard(false);
                return;
            }
        }
        if (!Open(size)) {
            Discard(createdObject);
            return;
        }
    }
    if (callback)
        callback(*this);
}

CSharedMemory::~CSharedMemory()
{
    if (m_pView)
        munmap(m_pView, m_nSize);
    if (m_fd >= 0)
        close(m_fd);
}

void CSharedMemory::Discard(bool createdObject)
{
    if (createdObject)
        shm_unlink(("/" + m_strName).c_str());
    if (m_fd >= 0)
        close(m_fd);
    m_fd = -1;
    // A lock made here goes unless a table is there after all: that table keeps it.
    struct stat status
    {};
    if (m_pLock && m_pLock->IsCreator() && stat(ObjectFile().c_str(), &status) != 0)
        CNamedSemaphore::Remove(m_pLock->GetName());
}

std::string CSharedMemory::ObjectFile() const
{
    return SharedObject::kSharedMemoryDirectory + m_strName;
}

bool CSharedMemory::FailToOpen(int code)
{
    std::string message;
    code = SharedObject::OpenFailure(code, "table " + ObjectFile(), ObjectFile(), message);
    return Fail(code, message);
}

bool CSharedMemory::CheckObject(struct stat* pStatus)
{
    struct stat status
    {};
    if (fstat(m_fd, &status) != 0)
        return Fail(errno,
                    "cannot check table " + ObjectFile() + ": " + SharedObject::ErrorText(errno));
    std::string message;
    if (int code = SharedObject::CheckOwner(status, "table " + ObjectFile(), message))
        return Fail(code, message);
    m_nDevice = status.st_dev;
    m_nInode = status.st_ino;
    if (pStatus)
        *pStatus = status;
    return true;
}

bool CSharedMemory::IsRemoved() const
{
    struct stat status
    {};
    if (stat(ObjectFile().c_str(), &status) != 0)
        return errno == ENOENT;
    return status.st_dev != m_nDevice || status.st_ino != m_nInode;
}

bool CSharedMemory::Open(uint32_t size)
{
    const std::string what = "table \"" + m_strName + "\"";
    struct stat status
    {};
    if (!CheckObject(&status))
        return false;

    unsigned char head[kBlockHeadBytes] = {};
    if (status.st_size == 0) {
        // New, or left empty by a creator that died before sizing it (creators hold the lock
        // we hold now): either way nothing is lost by making it ours. A fresh object reads as
        // zeros, so only the size word needs writing.
        StoreLe32(head + kSizeOffset, size);
        if (ftruncate(m_fd, size) != 0)
            return Fail(errno, "cannot size " + what + ": " + SharedObject::ErrorText(errno));
        if (pwrite(m_fd, head, sizeof head, 0) != static_cast<ssize_t>(sizeof head)) {
            const int code = errno ? errno : EIO;
            ftruncate(m_fd, 0);
            return Fail(code, "cannot write " + what + ": " + SharedObject::ErrorText(code));
        }
        m_bCreator = true;
        m_nSize = size;
    } else {
        if (status.st_size < static_cast<off_t>(kBlockHeadBytes) ||
            pread(m_fd, head, sizeof head, 0) != static_cast<ssize_t>(sizeof head))
            return Fail(EINVAL, what + " is not a tag table (" + std::to_string(status.st_size) +
                                    " bytes)");
        // The size word is the creator's claim; the object's real size bounds it.
        const uint64_t claimed = LoadLe32(head + kSizeOffset);
        m_nSize = static_cast<uint32_t>(std::min<uint64_t>(claimed, uint64_t(status.st_size)));
        if (m_nSize < kBlockHeadBytes)
            return Fail(EINVAL,
                        what + " is not a tag table (size word " + std::to_string(claimed) + ")");
    }

    void* view = mmap(nullptr, m_nSize, PROT_READ | PROT_WRITE, MAP_SHARED, m_fd, 0);
    if (view == MAP_FAILED)
        return Fail(errno, "cannot map " + what + ": " + SharedObject::ErrorText(errno));
    m_pView = static_cast<unsigned char*>(view);
    m_bInitialised = true;
    return true;
}

bool CSharedMemory::CheckSize()
{
    struct stat status
    {};
    if (!m_bDamaged && fstat(m_fd, &status) == 0 && status.st_size >= static_cast<off_t>(m_nSize))
        return true;
    m_bDamaged = true;
    return Fail(EINVAL, "table \"" + m_strName + "\" is damaged: it no longer holds its " +
                            std::to_string(m_nSize) + " bytes");
}

template <class Access> bool CSharedMemory::Touch(Access&& access)
{
    if (!CheckSize())
        return false;
    if (CSharedMemoryGuard::Run(m_pView, m_nSize, access))
        return true;
    m_bDamaged = true;
    return Fail(EINVAL, "table \"" + m_strName + "\" is damaged: it shrank while being read");
}

template <class Visit> CSharedMemory::Walk CSharedMemory::WalkEntries(Visit visit) const
{
    Walk walk;
    // Each field is read once into a local: another program may change the block meanwhile,
    // and every bound below must hold for the values actually used.
    const uint32_t count = LoadLe32(m_pView + kCountOffset);
    while (walk.nIntact < count) {
        const uint32_t offset = walk.nEnd;
        if (m_nSize - offset < kEntryHeadBytes)
            return walk;
        ValueRef ref;
        ref.nEntry = offset;
        ref.nValue = offset + kEntryHeadBytes;
        ref.nValueSize = LoadLe32(m_pView + offset + kNameBytes);
        if (ref.nValueSize > m_nSize - ref.nValue)
            return walk;
        walk.nEnd = ref.nValue + ref.nValueSize;
        ++walk.nIntact;
        if (!visit(ref))
            return walk;
    }
    walk.bComplete = true;
    return walk;
}

bool CSharedMemory::NameEquals(uint32_t entry, std::u16string_view name) const
{
    if (name.size() > kNameUnits)
        return false;
    const unsigned char* units = m_pView + entry;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (LoadLe16(units + 2 * i) != name[i])
            return false;
    }
    return name.size() == kNameUnits || LoadLe16(units + 2 * name.size()) == 0;
}

bool CSharedMemory::FindUnits(std::u16string_view name, ValueRef& ref) const
{
    bool found = false;
    WalkEntries([&](const ValueRef& entry) {
        found = NameEquals(entry.nEntry, name);
        if (found)
            ref = entry;
        return !found;
    });
    return found;
}

bool CSharedMemory::FindNamed(std::string_view name, ValueRef& ref)
{
    std::u16string units;
    bool found = false;
    if (ToUtf16(name, units) && !Touch([&] { found = FindUnits(units, ref); }))
        return false;
    return found || Fail(kErrorNotFound, "no tag named \"" + std::string(name) + "\" in table \"" +
                                             m_strName + "\"");
}

bool CSharedMemory::CheckOpen()
{
    return m_bInitialised || Fail(kErrorNotInitialised, "table \"" + m_strName + "\" is not open");
}

bool CSharedMemory::CheckLocked(const CNamedSemaphoreLock& lock)
{
    return lock.IsLocked() || Fail(m_pLock->GetLastError(), m_pLock->GetErrorText());
}

bool CSharedMemory::GetValue(std::string_view name, void* buffer, uint32_t& size)
{
    if (!CheckOpen())
        return false;
    CNamedSemaphoreLock lock(*m_pLock, kLockTimeoutMs, m_pRun);
    ValueRef ref;
    if (!CheckLocked(lock) || !FindNamed(name, ref))
        return false;
    if (buffer && size < ref.nValueSize) {
        size = ref.nValueSize;
        return Fail(kErrorBufferTooSmall, "tag \"" + std::string(name) + "\" holds " +
                                              std::to_string(ref.nValueSize) + " bytes");
    }
    if (buffer && !Touch([&] { std::memcpy(buffer, m_pView + ref.nValue, ref.nValueSize); }))
        return false;
    size = ref.nValueSize;
    return true;
}

bool CSharedMemory::SetValue(std::string_view name, const void* data, uint32_t dataLength,
                             uint32_t size)
{
    if (!CheckOpen())
        return false;
    if (size == 0)
        return Fail(kErrorSizeZero, "nothing to write to tag \"" + std::string(name) + "\"");
    CNamedSemaphoreLock lock(*m_pLock, kLockTimeoutMs, m_pRun);
    ValueRef ref;
    if (!CheckLocked(lock) || !FindNamed(name, ref))
        return false;
    // The data area is the value's last dataLength bytes; refuse what would spill out of it,
    // before the value or into the next entry.
    if (size > ref.nValueSize || dataLength > ref.nValueSize || size > dataLength)
        return Fail(kErrorTooLarge, std::to_string(size) + " bytes do not fit in tag \"" +
                                        std::string(name) + "\" (data " +
                                        std::to_string(dataLength) + " of value " +
                                        std::to_string(ref.nValueSize) + " bytes)");
    // A tag whose name cannot name a semaphore has no event; one that names another user's
    // semaphore is refused whole, so a write is never told done with its event left unset.
    std::string unused;
    const std::string eventName = std::string(name) + kEventSuffix;
    std::unique_ptr<CNamedSemaphore> event;
    if (SharedObject::CheckName(eventName, "", SharedObject::kSemaphoreFileExtraBytes, unused) ==
        0) {
        event = std::make_unique<CNamedSemaphore>(eventName, 0, CNamedSemaphore::Use::Event);
        if (!event->IsOpen())
            return Fail(event->GetLastError(),
                        "tag \"" + std::string(name) + "\" not written: " + event->GetErrorText());
    }
    unsigned char* target = m_pView + ref.nValue + ref.nValueSize - dataLength;
    // The whole data area is cleared so a shorter text leaves nothing of the longer one.
    if (!Touch([&] {
            std::memset(target, 0, dataLength);
            std::memcpy(target, data, size);
        }))
        return false;
    if (event)
        event->Signal();
    return true;
}

bool CSharedMemory::FindValue(std::u16string_view name, ValueRef& ref)
{
    if (!CheckOpen())
        return false;
    CNamedSemaphoreLock lock(*m_pLock, kLockTimeoutMs, m_pRun);
    bool found = false;
    if (!CheckLocked(lock) || !Touch([&] { found = FindUnits(name, ref); }))
        return false;
    return found || Fail(kErrorNotFound, "no such tag in table \"" + m_strName + "\"");
}

bool CSharedMemory::AddValue(std::string_view name, const void* value, uint32_t size)
{
    if (!CheckOpen())
        return false;
    std::u16string units;
    if (!ToUtf16(name, units) || units.empty())
        return Fail(EINVAL, "tag name \"" + std::string(name) + "\" is empty or not UTF-8");
    // One unit stays for the terminating NUL.
    if (units.size() >= kNameUnits)
        return Fail(ENAMETOOLONG, "tag name \"" + std::string(name) + "\" is too long: at most " +
                                      std::to_string(kNameUnits - 1) + " UTF-16 units");
    CNamedSemaphoreLock lock(*m_pLock, kLockTimeoutMs, m_pRun);
    if (!CheckLocked(lock))
        return false;
    bool exists = false;
    Walk walk;
    if (!Touch([&] {
            walk = WalkEntries([&](const ValueRef& entry) {
                exists = NameEquals(entry.nEntry, units);
                return !exists;
            });
        }))
        return false;
    if (exists)
        return Fail(EEXIST, "tag \"" + std::string(name) + "\" already exists");
    // Appending behind a damaged entry would bury it under a count that no longer matches.
    if (!walk.bComplete)
        return Fail(EINVAL, "table \"" + m_strName + "\" is damaged after entry " +
                                std::to_string(walk.nIntact) + "; nothing appended");
    const uint32_t room = m_nSize - walk.nEnd;
    if (room < kEntryHeadBytes || size > room - kEntryHeadBytes)
        return Fail(kErrorTooLarge, "tag \"" + std::string(name) +
                                        "\" does not fit: " + std::to_string(room) +
                                        " bytes left in table \"" + m_strName + "\"");
    unsigned char* entry = m_pView + walk.nEnd;
    return Touch([&] {
        std::memset(entry, 0, kNameBytes);
        for (std::size_t i = 0; i < units.size(); ++i)
            StoreLe16(entry + 2 * i, units[i]);
        StoreLe32(entry + kNameBytes, size);
        if (size)
            std::memcpy(entry + kEntryHeadBytes, value, size);
        // The count goes last: a reader that skips the lock still never sees half an entry.
        StoreLe32(m_pView + kCountOffset, walk.nIntact + 1);
    });
}

bool CSharedMemory::ListValues(std::vector<Value>& values)
{
    values.clear();
    if (!CheckOpen())
        return false;
    CNamedSemaphoreLock lock(*m_pLock, kLockTimeoutMs, m_pRun);
    if (!CheckLocked(lock))
        return false;
    // Where the entries lie first, then room for their copies, then the copies: nothing that
    // owns memory is made while the mapping is being touched.
    std::vector<ValueRef> refs;
    uint32_t count = 0;
    Walk walk;
    if (!Touch([&] {
            count = LoadLe32(m_pView + kCountOffset);
            walk = WalkEntries([&](const ValueRef& ref) {
                refs.push_back(ref);
                return true;
            });
        }))
        return false;
    std::vector<std::array<char16_t, kNameUnits>> names(refs.size());
    values.resize(refs.size());
    for (std::size_t i = 0; i < refs.size(); ++i)
        values[i].bytes.resize(refs[i].nValueSize);
    if (!Touch([&] {
            for (std::size_t i = 0; i < refs.size(); ++i) {
                const unsigned char* units = m_pView + refs[i].nEntry;
                for (uint32_t k = 0; k < kNameUnits; ++k)
                    names[i][k] = static_cast<char16_t>(LoadLe16(units + 2 * k));
                if (refs[i].nValueSize != 0)
                    std::memcpy(values[i].bytes.data(), m_pView + refs[i].nValue,
                                refs[i].nValueSize);
            }
        })) {
        values.clear();
        return false;
    }
    for (std::size_t i = 0; i < refs.size(); ++i) {
        const auto end = std::find(names[i].begin(), names[i].end(), u'\0');
        values[i].name.assign(names[i].begin(), end);
    }
    return walk.bComplete ||
           Fail(EINVAL, "table \"" + m_strName + "\" is damaged after entry " +
                            std::to_string(walk.nIntact) + " of " + std::to_string(count));
}

bool CSharedMemory::OpenWithTagLock(std::string_view name, OpenMode mode,
                                    std::unique_ptr<CSharedMemory>& table,
                                    std::unique_ptr<CNamedSemaphore>& tagLock, int& error,
                                    std::string& message, const CRunFlag* pRun)
{
    // The tag lock only after the table opened, which checks the name: a refused name leaves
    // nothing behind.
    auto opened = std::make_unique<CSharedMemory>(name, kDefaultSizeBytes, Callback{}, mode, pRun);
    if (!opened->IsInitialised()) {
        error = opened->GetLastError();
        message = opened->GetErrorText();
        return false;
    }
    auto lock = std::make_unique<CNamedSemaphore>(std::string(name) + kTagLockSuffix, 1);
    if (!lock->IsOpen()) {
        error = lock->GetLastError();
        message = lock->GetErrorText();
        // A table made here goes again with its table lock; the tag lock is not ours to remove.
        if (opened->IsCreator()) {
            opened.reset();
            shm_unlink(("/" + std::string(name)).c_str());
            CNamedSemaphore::Remove(std::string(name) + kTableLockSuffix);
        }
        return false;
    }
    table = std::move(opened);
    tagLock = std::move(lock);
    return true;
}

bool CSharedMemory::Remove(std::string_view name, int& error, std::string& message)
{
    error = SharedObject::CheckName(name, "table name", kTableNameExtraBytes, message);
    if (error)
        return false;
    const std::string table(name);
    // The events are named after the tags, so they are found before the entries go.
    std::vector<std::string> events;
    {
        CSharedMemory memory(table, kDefaultSizeBytes, {}, OpenMode::OpenExisting);
        std::vector<Value> values;
        memory.ListValues(values);
        for (const Value& value : values)
            events.push_back(QString::fromStdU16String(value.name).toStdString() + kEventSuffix);
    }
    const int results[] = {
        shm_unlink(("/" + table).c_str()) == 0 ? 0 : errno,
        CNamedSemaphore::Remove(table + kTableLockSuffix),
        CNamedSemaphore::Remove(table + kTagLockSuffix),
    };
    for (const std::string& event : events)
        CNamedSemaphore::Remove(event);
    bool removedAny = false;
    for (int result : results) {
        removedAny = removedAny || result == 0;
        if (result != 0 && result != ENOENT) {
            error = result;
            message = "cannot remove table \"" + table + "\": " + SharedObject::ErrorText(result);
            return false;
        }
    }
    if (!removedAny) {
        error = kErrorNotFound;
        message = "no table named \"" + table + "\"";
    }
    return removedAny;
}

bool CSharedMemory::Fail(int code, std::string text)
{
    m_nLastError = code;
    m_strError = std::move(text);
    return false;
}
