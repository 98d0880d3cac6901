#pragma once

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

// A script written to a temporary file for the length of a test.
class ScriptFile
{
public:
    explicit ScriptFile(const std::string& text)
    {
        static std::atomic<int> counter{0};
        m_path =
            std::filesystem::temp_directory_path() /
            ("tsl-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + ".tsl");
        std::ofstream(m_path, std::ios::binary) << text;
    }
    ~ScriptFile() { std::filesystem::remove(m_path); }
    ScriptFile(const ScriptFile&) = delete;
    ScriptFile& operator=(const ScriptFile&) = delete;

    std::string Path() const { return m_path.string(); }

private:
    std::filesystem::path m_path;
};
