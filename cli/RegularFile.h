#pragma once

#include <cstdint>
#include <string>

// Reads the whole of a regular file of at most maxBytes (a whole number of MiB). A directory,
// FIFO, device or endless file is refused with a reason instead of stalling or swamping the
// reader; a file that grows while it is read is cut off at the limit and refused too.
bool ReadRegularFile(const std::string& path, int64_t maxBytes, std::string& bytes,
                     std::string& strError);
