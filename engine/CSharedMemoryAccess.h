#pragma once

#include <cstddef>
#include <string>
#include <string_view>

struct stat;

// Checks made before a named shared object (table or semaphore) is used: its name must be a
// valid object name, and the object must be this user's alone.
namespace SharedObject {

// Where glibc keeps shared memory objects, and the named semaphore "/NAME" as the file
// prefix plus NAME.
constexpr const char* kSharedMemoryDirectory = "/dev/shm/";
constexpr const char* kSemaphoreFilePrefix = "/dev/shm/sem.";
constexpr std::size_t kSemaphoreFileExtraBytes = 4; // "sem."

// 0 when `name` can name an object once `extraBytes` more bytes are added to it (prefixes and
// suffixes the system or the table adds); else EINVAL or ENAMETOOLONG with a message that
// starts with `what`.
int CheckName(std::string_view name, std::string_view what, std::size_t extraBytes,
              std::string& message);

// 0 when the object belongs to this user and its mode gives the group and other users nothing;
// else EACCES with a message that names the object by `what` (its kind and file, such as
// "semaphore /dev/shm/sem.S_Event").
int CheckOwner(const struct stat& status, std::string_view what, std::string& message);

// The message for an object `what` (at `file`) that could not be opened with errno `code`: the
// refusal of CheckOwner where another user's object denied access. Returns the code to report.
int OpenFailure(int code, std::string_view what, const std::string& file, std::string& message);

// The text of an errno value.
std::string ErrorText(int code);

} // namespace SharedObject
