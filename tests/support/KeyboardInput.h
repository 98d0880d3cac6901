#pragma once

#include <QApplication>
#include <QGuiApplication>
#include <QKeyCombination>
#include <QTest>
#include <QWidget>
#include <QWindow>

// The text a keyboard on X gives with a key: the letter, Ctrl+letter its control character,
// Enter CR, Escape ESC, and nothing for function keys.
inline QString KeyText(QKeyCombination key)
{
    const int code = key.key();
    const bool ctrl = key.keyboardModifiers().testFlag(Qt::ControlModifier);
    if (code >= Qt::Key_A && code <= Qt::Key_Z) {
        if (ctrl)
            return QString(QChar(code - Qt::Key_A + 1));
        const bool shift = key.keyboardModifiers().testFlag(Qt::ShiftModifier);
        return QString(QChar(shift ? code : code - Qt::Key_A + 'a'));
    }
    switch (code) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QStringLiteral("\r");
    case Qt::Key_Escape:
        return QStringLiteral("\x1b");
    case Qt::Key_Space:
        return QStringLiteral(" ");
    default:
        return QString();
    }
}

// Presses and releases key where a person's keyboard sends it: to the window that has the
// keyboard, or to fallback when no window has it (an X server without a window manager sends
// keys to the window they were typed at). It takes the platform's path, so the window's
// shortcuts come first and the rest reaches the window's focus widget.
inline void PressKey(QKeyCombination key, QWidget* fallback)
{
    QWindow* window = QGuiApplication::focusWindow();
    if (window == nullptr && fallback != nullptr)
        window = fallback->window()->windowHandle();
    if (window == nullptr)
        return;
    const QString text = KeyText(key);
    QTest::sendKeyEvent(QTest::Press, window, key.key(), text, key.keyboardModifiers());
    QTest::sendKeyEvent(QTest::Release, window, key.key(), text, key.keyboardModifiers());
}
