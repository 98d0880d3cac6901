#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

// Writes one output descriptor on a thread of its own, so that a terminal or pipe that stops
// reading never stops the run: the run hands text over while Room allows, and a full writer
// makes it wait instead of growing. An output that fails (EPIPE: the reader went away) takes
// everything after without writing it.
class COutputWriter
{
public:
    COutputWriter(int fd, std::size_t nCapacityBytes);
    // Writes what was handed over, then ends the thread.
    ~COutputWriter();
    COutputWriter(const COutputWriter&) = delete;
    COutputWriter& operator=(const COutputWriter&) = delete;

    // How many more bytes may be handed over now.
    std::size_t Room() const;
    // Hands `text` over; it may pass Room, which only the run's own checks keep to.
    void Write(std::string_view text);
    // Waits until everything handed over has been written, or the output failed.
    void Flush();
    // The same, waiting at most `ms`; false when output is still waiting then.
    bool FlushFor(int ms);
    bool IsBroken() const;

private:
    // Everything handed over is written or lost with a failed output; the mutex is held.
    bool IsDone() const;
    void WriterProc();

    const int m_fd;
    const std::size_t m_nCapacity;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::string m_pending;      // handed over, not yet taken by the thread
    std::size_t m_nWriting = 0; // taken by the thread, not yet written
    bool m_bStop = false;
    bool m_bBroken = false;
    std::thread m_thread;
};
