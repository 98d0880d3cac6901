#pragma once

#include <cstdint>
#include <string>

// The script as tslrun hands it to the engine: read once from a regular file of at most 64 MiB
// into a sealed memory file, so that the verifier and the run read the very same bytes, and a
// directory, FIFO, device or endless file is refused with a reason instead of stalling or
// swamping the reader.
class CScriptCopy
{
public:
    static constexpr int64_t kMaxBytes = 64 * 1024 * 1024;

    CScriptCopy() = default;
    ~CScriptCopy();
    CScriptCopy(const CScriptCopy&) = delete;
    CScriptCopy& operator=(const CScriptCopy&) = delete;

    // Reads the script at `path`; false with the reason when it cannot be read.
    bool Load(const std::string& path, std::string& strError);
    // Where the engine reads the copy (the original path where memory files are not to be had).
    const std::string& Path() const { return m_strPath; }

private:
    int m_fd = -1;
    std::string m_strPath;
};
