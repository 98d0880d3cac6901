#pragma once

#include "CSharedMemory.h"
#include "CSharedMemoryTag.h"

#include <cstdint>
#include <fcntl.h>
#include <semaphore.h>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// Names unique to this test process, and direct access to a table's object as another program
// would have it.
namespace TagTableTest {

// A table name no other run uses at the same time: the process id and a counter.
inline std::string UniqueName(const std::string& stem)
{
    static int counter = 0;
    return "tarven-test-" + stem + "-" + std::to_string(getpid()) + "-" + std::to_string(++counter);
}

inline bool Exists(const std::string& path)
{
    struct stat status
    {};
    return stat(path.c_str(), &status) == 0;
}

// Whether the named semaphore `name` (without the leading '/') exists.
inline bool SemaphoreExists(const std::string& name)
{
    return Exists("/dev/shm/sem." + name);
}

// Removes the table and its locks when the test ends, passed or failed.
struct ScopedTable
{
    explicit ScopedTable(const std::string& stem) : name(UniqueName(stem)) {}
    ~ScopedTable()
    {
        int error = 0;
        std::string message;
        CSharedMemory::Remove(name, error, message);
    }
    std::string name;
};

// Appends a tag of `type` whose data is `length` zero bytes, as tsltable add makes it.
inline bool AddTag(CSharedMemory& table, const std::string& name, uint8_t type, uint16_t length)
{
    const std::vector<unsigned char> value = CSharedMemoryTag{type, length}.MakeValue();
    return table.AddValue(name, value.data(), uint32_t(value.size()));
}

inline std::vector<unsigned char> ReadObject(const std::string& name, size_t offset, size_t size)
{
    std::vector<unsigned char> bytes(size);
    const int fd = shm_open(("/" + name).c_str(), O_RDONLY, 0);
    if (fd < 0 || pread(fd, bytes.data(), size, off_t(offset)) != ssize_t(size))
        bytes.clear();
    if (fd >= 0)
        close(fd);
    return bytes;
}

inline bool WriteObject(const std::string& name, size_t offset,
                        const std::vector<unsigned char>& bytes)
{
    const int fd = shm_open(("/" + name).c_str(), O_RDWR, 0);
    const bool written =
        fd >= 0 && pwrite(fd, bytes.data(), bytes.size(), off_t(offset)) == ssize_t(bytes.size());
    if (fd >= 0)
        close(fd);
    return written;
}

// Makes the object by hand: `size` bytes starting with `head` (cut to `size`), with `mode`.
inline bool MakeObject(const std::string& name, size_t size, const std::vector<unsigned char>& head,
                       mode_t mode = 0600)
{
    const int fd = shm_open(("/" + name).c_str(), O_RDWR | O_CREAT | O_EXCL, mode);
    if (fd < 0)
        return false;
    // fchmod, since the umask would trim the mode given to shm_open.
    const bool made = fchmod(fd, mode) == 0 &&
                      pwrite(fd, head.data(), head.size(), 0) == ssize_t(head.size()) &&
                      ftruncate(fd, off_t(size)) == 0;
    close(fd);
    return made;
}

inline std::vector<unsigned char> Le32(uint32_t v)
{
    return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
}

// Someone who plants an object where a table's own belongs: another user (only root can hand
// an object over, to nobody), or this user with a mode that lets everybody in.
struct Squatter
{
    uid_t owner;
    mode_t mode;
    const char* who;
};

inline std::vector<Squatter> Squatters()
{
    std::vector<Squatter> squatters{{geteuid(), 0666, "open to all"}};
    if (geteuid() == 0)
        squatters.push_back({65534, 0600, "nobody's"});
    return squatters;
}

// Plants the shared memory object `name` (as a valid empty table of 4096 bytes) or, with
// `semaphore`, the semaphore `name`, both without the leading '/', and removes it when the test
// ends. `file` is the object's file, empty when it could not be planted.
struct PlantedObject
{
    PlantedObject(const std::string& name, bool semaphore, const Squatter& squatter)
    {
        const std::string path = "/" + name;
        if (semaphore) {
            sem_t* made = sem_open(path.c_str(), O_CREAT | O_EXCL, 0600, 1);
            if (made == SEM_FAILED)
                return;
            sem_close(made);
        } else {
            std::vector<unsigned char> head = Le32(0);
            const std::vector<unsigned char> size = Le32(4096);
            head.insert(head.end(), size.begin(), size.end());
            if (!MakeObject(name, 4096, head))
                return;
        }
        const std::string made = (semaphore ? "/dev/shm/sem." : "/dev/shm/") + name;
        const int fd = open(made.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd >= 0 && fchmod(fd, squatter.mode) == 0 &&
            fchown(fd, squatter.owner, squatter.owner) == 0)
            file = made;
        if (fd >= 0)
            close(fd);
        if (file.empty())
            unlink(made.c_str());
    }
    ~PlantedObject()
    {
        if (!file.empty())
            unlink(file.c_str());
    }
    PlantedObject(const PlantedObject&) = delete;
    PlantedObject& operator=(const PlantedObject&) = delete;

    std::string file;
};

} // namespace TagTableTest
