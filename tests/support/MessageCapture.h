#pragma once

#include "MessageBox.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <ostream>

// Readable test failures.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& texts, std::ostream* os)
{
    *os << '{' << texts.join(QStringLiteral(", ")).toStdString() << '}';
}

// Message boxes record their text and caption and answer at once instead of waiting for a
// user: a question gets `answer`, any other box Ok.
class MessageCapture
{
public:
    explicit MessageCapture(QMessageBox::StandardButton questionAnswer = QMessageBox::Yes)
        : answer(questionAnswer)
    {
        m_previous = SetMessageBoxHandler([this](const MessageRequest& request) {
            texts.append(request.text);
            captions.append(request.caption);
            return request.buttons.testFlag(QMessageBox::Yes) ? answer : QMessageBox::Ok;
        });
    }
    ~MessageCapture() { SetMessageBoxHandler(m_previous); }
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    bool Saw(const QString& text) const { return texts.contains(text); }
    // The first message that starts with prefix, or an empty text.
    QString Starting(const QString& prefix) const
    {
        for (const QString& text : texts) {
            if (text.startsWith(prefix))
                return text;
        }
        return {};
    }

    QStringList texts;
    QStringList captions;
    QMessageBox::StandardButton answer;

private:
    MessageBoxHandler m_previous;
};
