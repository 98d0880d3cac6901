// Fuzz target for the script language. An input is script text, then optionally a NUL byte
// and the bytes received on the link. The text is verified; a script that verifies is
// loaded by the runtime and run for a few passes over the received bytes, under a watchdog
// that stops loops and waits.
#include "CRunFlag.h"
#include "CTSL.h"
#include "CTSLSyntax.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <string>
#include <sys/mman.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kMaxPasses = 3;
constexpr auto kRunBudget = std::chrono::milliseconds(20);

// The script text in a memory-backed file that the verifier and the runtime open by path.
class CScriptFile
{
public:
    CScriptFile(const uint8_t* data, size_t size) : m_fd(memfd_create("script_fuzz.tsl", 0))
    {
        size_t written = 0;
        while (m_fd >= 0 && written < size) {
            const ssize_t n = write(m_fd, data + written, size - written);
            if (n <= 0) {
                close(m_fd);
                m_fd = -1;
                break;
            }
            written += static_cast<size_t>(n);
        }
        m_path = "/proc/self/fd/" + std::to_string(m_fd);
    }
    CScriptFile(const CScriptFile&) = delete;
    CScriptFile& operator=(const CScriptFile&) = delete;
    ~CScriptFile()
    {
        if (m_fd >= 0)
            close(m_fd);
    }

    bool IsOpen() const { return m_fd >= 0; }
    const char* Path() const { return m_path.c_str(); }

private:
    int m_fd = -1;
    std::string m_path;
};

// Clears the run flag once the budget is spent, as the host's stop does, unless the run ends
// first.
class CWatchdog
{
public:
    CWatchdog(CRunFlag& run, std::chrono::milliseconds budget)
        : m_thread([this, &run, budget] {
              std::unique_lock lock(m_mutex);
              if (!m_wake.wait_for(lock, budget, [this] { return m_bDone; }))
                  run.Clear();
          })
    {}
    CWatchdog(const CWatchdog&) = delete;
    CWatchdog& operator=(const CWatchdog&) = delete;
    ~CWatchdog()
    {
        {
            std::lock_guard lock(m_mutex);
            m_bDone = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_bDone = false;
    std::thread m_thread;
};

// Invariants of a verification: one message at most for each line read, plus the two
// section messages.
void CheckVerification(const CTSLSyntax& syntax)
{
    if (syntax.m_arrErrors.size() > syntax.m_arrLines.size() + 2)
        __builtin_trap();
    for (const std::string& message : syntax.m_arrErrors) {
        if (message.rfind("error : ", 0) != 0)
            __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto* split = static_cast<const uint8_t*>(std::memchr(data, 0, size));
    const size_t scriptSize = split ? static_cast<size_t>(split - data) : size;
    std::vector<unsigned char> received(split ? split + 1 : data + size, data + size);
    const int receivedLength = static_cast<int>(received.size());
    received.push_back(0); // the host hands the bytes over NUL-terminated

    CScriptFile file(data, scriptSize);
    if (!file.IsOpen())
        return 0;
    CTSLSyntax syntax(nullptr);
    syntax._CompileMainScript1(syntax.LoadScript(file.Path()));
    syntax._VerifyMainScript();
    CheckVerification(syntax);
    if (!syntax.m_arrErrors.empty())
        return 0;

    // No table name: a fuzz run must not reach the shared tables of other programs.
    CTSL tsl(nullptr, std::string());
    tsl._CompileMainScript1(tsl.LoadScript(file.Path()));
    // Both read the file by the same rules, so a verified script compiles alike in both.
    if (tsl.m_listCommand.size() != syntax.m_listCommand.size() ||
        tsl.m_listLabel.size() != syntax.m_listLabel.size())
        __builtin_trap();

    CRunFlag run(true);
    tsl.SetRunFlag(&run);
    CWatchdog watchdog(run, kRunBudget);
    for (int pass = 0; pass < kMaxPasses && run.IsSet(); ++pass)
        tsl.Begin(received.data(), receivedLength);
    return 0;
}
