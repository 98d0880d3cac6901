#include "CSharedMemoryAccess.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace SharedObject {

int CheckName(std::string_view name, std::string_view what, std::size_t extraBytes,
              std::string& message)
{
    const std::string quoted = std::string(what) + " \"" + std::string(name) + "\"";
    if (name.empty()) {
        message = std::string(what) + " is empty";
        return EINVAL;
    }
    if (name.find('/') != std::string_view::npos) {
        message = quoted + " must not contain '/'";
        return EINVAL;
    }
    if (name.find('\0') != std::string_view::npos || name == "." || name == "..") {
        message = quoted + " is not a valid name";
        return EINVAL;
    }
    if (name.size() + extraBytes > NAME_MAX) {
        message = std::string(what) + " is too long: " + std::to_string(name.size()) +
                  " bytes, at most " + std::to_string(NAME_MAX - extraBytes);
        return ENAMETOOLONG;
    }
    return 0;
}

int CheckOwner(const struct stat& status, std::string_view what, std::string& message)
{
    const std::string refused = "refused " + std::string(what) + ": ";
    if (status.st_uid != geteuid()) {
        message =
            refused + "it belongs to another user (uid " + std::to_string(status.st_uid) + ")";
        return EACCES;
    }
    // Reading a table or waiting on an event is as much a way in as writing.
    const mode_t others = status.st_mode & (S_IRWXG | S_IRWXO);
    if (others) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(status.st_mode & 07777));
        const char* how = (others & (S_IWGRP | S_IWOTH))   ? "writable"
                          : (others & (S_IRGRP | S_IROTH)) ? "readable"
                                                           : "usable";
        message = refused + "it is " + how + " by other users (mode " + mode + ")";
        return EACCES;
    }
    return 0;
}

int OpenFailure(int code, std::string_view what, const std::string& file, std::string& message)
{
    struct stat status
    {};
    // Permission denied: say whose object it is rather than only that it cannot be opened.
    if (code == EACCES && lstat(file.c_str(), &status) == 0 &&
        CheckOwner(status, what, message) != 0)
        return EACCES;
    message = "cannot open " + std::string(what) + ": " + ErrorText(code);
    return code;
}

std::string ErrorText(int code)
{
    return std::error_code(code, std::generic_category()).message();
}

} // namespace SharedObject
