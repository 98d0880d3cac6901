#pragma once

// Shared by the picture takers of monitor windows: dialogs confirmed as they come, and a short
// exchange between a monitor window and a device.

#include "CTARVENView.h"
#include "program_sandbox.h"

#include <QApplication>
#include <QByteArray>
#include <QDialog>
#include <QString>
#include <QTcpSocket>
#include <QTimer>
#include <utility>

// Makes timer confirm every modal dialog as it stands (a new monitor's port settings), from now
// until it is stopped.
inline void ConfirmDialogs(QTimer& timer)
{
    QObject::connect(&timer, &QTimer::timeout, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->accept();
    });
    timer.start(20);
}

// One line of an exchange: typed into the window (true) or sent by the device (false).
using SessionLine = std::pair<bool, QByteArray>;

// Plays the lines in order, with time for each to be shown.
template <typename Lines>
void PlaySession(CTARVENView& view, QTcpSocket& device, const Lines& lines)
{
    for (const auto& [typed, bytes] : lines) {
        if (typed) {
            view.OnChar(QString::fromUtf8(bytes));
        } else {
            device.write(bytes);
            device.flush();
        }
        ProgramSandbox::Pump(150);
    }
}
