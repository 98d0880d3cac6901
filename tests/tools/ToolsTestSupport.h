#pragma once

#include "EventLoopWait.h"
#include "LinkWriter.h"
#include "MessageCapture.h"
#include "TempDir.h"

#include <QByteArray>
#include <QRandomGenerator>
#include <QTest>

#include <condition_variable>
#include <mutex>
#include <vector>

// Passes writes on to a real link's writer, records the size of each, and can hold the worker
// after a chosen write until the test lets it go on.
class RecordingWriter : public CLinkWriter
{
public:
    explicit RecordingWriter(std::unique_ptr<CLinkWriter> link) : m_link(std::move(link)) {}

    int Write(const char* data, int n, int& error) override
    {
        const int written = m_link->Write(data, n, error);
        std::unique_lock lock(m_mutex);
        m_sizes.push_back(n);
        if (static_cast<int>(m_sizes.size()) == m_holdAfter) {
            m_held = true;
            m_changed.notify_all();
            m_changed.wait(lock, [this] { return m_released; });
        }
        return written;
    }
    qint64 Pending(int& error) override { return m_link->Pending(error); }
    void BeginTransfer(std::chrono::milliseconds stall) override { m_link->BeginTransfer(stall); }

    // Holds the worker after its write number count (1 = the first block).
    void HoldAfter(int count) { m_holdAfter = count; }
    bool Held() const
    {
        std::lock_guard lock(m_mutex);
        return m_held;
    }
    void Release()
    {
        std::lock_guard lock(m_mutex);
        m_released = true;
        m_changed.notify_all();
    }
    std::vector<int> Sizes() const
    {
        std::lock_guard lock(m_mutex);
        return m_sizes;
    }

private:
    std::unique_ptr<CLinkWriter> m_link;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<int> m_sizes;
    int m_holdAfter = 0;
    bool m_held = false;
    bool m_released = false;
};

inline QByteArray RandomBytes(qsizetype n)
{
    std::vector<quint32> words(static_cast<size_t>(n / 4 + 1));
    QRandomGenerator::global()->fillRange(words.data(), static_cast<qsizetype>(words.size()));
    return QByteArray(reinterpret_cast<const char*>(words.data()), n);
}
