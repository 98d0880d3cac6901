// The print queue between a running script and its output window: bounded, a PRINT that finds
// it full waits for room or for a stop, and the host can wait for output instead of polling.
#include "LoadedScript.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

using namespace std::chrono_literals;

namespace {

constexpr auto kGenerousWait = 10s;

// The script's pass on a thread of its own, stopped and joined at the end.
class RunningPass
{
public:
    explicit RunningPass(CTSL& tsl)
    {
        tsl.SetRunFlag(&m_run);
        m_thread = std::thread([&tsl] { tsl.Begin(nullptr, 0); });
    }
    RunningPass(const RunningPass&) = delete;
    RunningPass& operator=(const RunningPass&) = delete;
    ~RunningPass() { Stop(); }

    void Stop()
    {
        m_run.Clear();
        if (m_thread.joinable())
            m_thread.join();
    }

private:
    CRunFlag m_run{true};
    std::thread m_thread;
};

} // namespace

TEST(PrintQueue, AFullQueueSlowsTheScriptWithoutLosingALine)
{
    constexpr int kLines = 3 * static_cast<int>(CTSL::kMaxPrintLines);
    auto tsl = CompileScript("VAR I% 0\nBEGIN:\nLOOP:\nPRINT I\nINC I\nCMP I, " +
                             std::to_string(kLines) + "\nJPL LOOP\nEND:\n");
    EXPECT_FALSE(tsl->WaitForPrint(1ms)) << "nothing printed yet";
    std::vector<std::string> taken;
    RunningPass pass(*tsl);
    while (static_cast<int>(taken.size()) < kLines && tsl->WaitForPrint(kGenerousWait)) {
        std::lock_guard lock(tsl->m_csPrint);
        EXPECT_LE(tsl->m_listPrint.size(), CTSL::kMaxPrintLines);
        for (const auto& message : tsl->m_listPrint)
            taken.emplace_back(message->m_pszText.get());
        tsl->m_listPrint.clear();
    }
    ASSERT_EQ(taken.size(), static_cast<size_t>(kLines));
    for (int i = 0; i < kLines; ++i)
        ASSERT_EQ(taken[static_cast<size_t>(i)], std::to_string(i)) << "in order, none lost";
}

TEST(PrintQueue, AStopEndsAPrintWaitingForRoom)
{
    // Short lines fill the queue's line bound; long ones (4000 bytes) its byte bound.
    struct Case
    {
        const char* prepare;
        size_t lines;
    };
    const std::string chunk(70, 'x');
    const std::string longLine = "LONG:\nCAT BUF, \"" + chunk + "\", L\nCMP L, 4000\nJPL LONG\n";
    const Case cases[] = {
        {"", CTSL::kMaxPrintLines},
        {longLine.c_str(), CTSL::kMaxPrintBytes / 4060},
    };
    for (const Case& c : cases) {
        auto tsl = CompileScript(std::string("DIM BUF$ 4096\nVAR L% 0\nBEGIN:\n") + c.prepare +
                                 "LOOP:\nPRINT BUF\nJP LOOP\nEND:\n");
        std::mutex mutex;
        std::condition_variable queued;
        tsl->SetPrintListener([&] {
            std::lock_guard lock(mutex);
            queued.notify_all();
        });
        RunningPass pass(*tsl);
        {
            // Wait until the queue is full: the script then waits for room.
            std::unique_lock lock(mutex);
            EXPECT_TRUE(queued.wait_for(lock, kGenerousWait, [&] {
                std::lock_guard print(tsl->m_csPrint);
                return tsl->m_listPrint.size() >= c.lines;
            })) << c.lines;
        }
        pass.Stop(); // returns: the stop ended the wait
        std::lock_guard lock(tsl->m_csPrint);
        EXPECT_EQ(tsl->m_listPrint.size(), c.lines);
        size_t bytes = 0;
        for (const auto& message : tsl->m_listPrint)
            bytes += std::strlen(message->m_pszText.get());
        EXPECT_LE(bytes, CTSL::kMaxPrintBytes);
    }
}
