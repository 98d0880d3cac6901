#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

class QWidget;

// What the program asks the user: every message box goes through ShowMessage, so tests can
// read the text and choose the answer instead of blocking on a dialog.
struct MessageRequest
{
    QWidget* parent = nullptr;
    QString text;
    QString caption; // empty: the program's name
    QMessageBox::Icon icon = QMessageBox::Warning;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
};

using MessageBoxHandler = std::function<QMessageBox::StandardButton(const MessageRequest&)>;

QMessageBox::StandardButton ShowMessage(const QString& text,
                                        QMessageBox::Icon icon = QMessageBox::Warning,
                                        QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                        QWidget* parent = nullptr,
                                        const QString& caption = QString());

// Replaces the handler (an empty one restores the real message box); returns the previous one.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);
