#pragma once

#include <QLoggingCategory>

// Diagnostics of the desktop program ("tarven.shell"); info messages are off unless enabled
// with QT_LOGGING_RULES.
Q_DECLARE_LOGGING_CATEGORY(lcShell)
