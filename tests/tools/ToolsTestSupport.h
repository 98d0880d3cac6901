#pragma once

#include "LinkWriter.h"
#include "MessageBox.h"

#include <QByteArray>
#include <QFile>
#include <QRandomGenerator>
#include <QStringList>
#include <QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <ostream>
#include <vector>

// Readable test failures.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& texts, std::ostream* os)
{
    *os << '{' << texts.join(QStringLiteral(", ")).toStdString() << '}';
}

// Generous: the machine is shared and CI runs everything at once.
inline constexpr int kEventWaitMs = 20000;

// Runs the event loop until the condition holds or the deadline passes.
template <typename Condition> bool WaitFor(Condition condition)
{
    return QTest::qWaitFor(condition, kEventWaitMs);
}

// Message boxes record their text and answer at once: Yes to a question, Ok otherwise.
class MessageCapture
{
public:
    MessageCapture()
    {
        m_previous = SetMessageBoxHandler([this](const MessageRequest& request) {
            m_texts.append(request.text);
            return request.buttons.testFlag(QMessageBox::Yes) ? m_answer : QMessageBox::Ok;
        });
    }
    ~MessageCapture() { SetMessageBoxHandler(m_previous); }
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    const QStringList& Texts() const { return m_texts; }
    bool Saw(const QString& text) const { return m_texts.contains(text); }
    // The first message that starts with prefix, or an empty text.
    QString Starting(const QString& prefix) const
    {
        for (const QString& text : m_texts) {
            if (text.startsWith(prefix))
                return text;
        }
        return {};
    }
    void AnswerQuestions(QMessageBox::StandardButton answer) { m_answer = answer; }

private:
    QStringList m_texts;
    QMessageBox::StandardButton m_answer = QMessageBox::Yes;
    MessageBoxHandler m_previous;
};

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
    void BeginTransfer() override { m_link->BeginTransfer(); }

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

inline void WriteFile(const QString& path, const QByteArray& contents)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(contents), contents.size());
}
