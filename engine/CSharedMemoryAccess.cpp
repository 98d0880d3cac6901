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
    if (status.st_uid != geteuid()) {
        message = std::string(what) + " belongs to another user (uid " +
                  std::to_string(status.st_uid) + ")";
        return EACCES;
    }
    if (status.st_mode & (S_IWGRP | S_IWOTH)) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(status.st_mode & 07777));
        message = std::string(what) + " is writable by other users (mode " + mode + ")";
        return EACCES;
    }
    return 0;
}

std::string ErrorText(int code)
{
    return std::error_code(code, std::generic_category()).message();
}

} // namespace SharedObject
