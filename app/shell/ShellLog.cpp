#include "ShellLog.h"

Q_LOGGING_CATEGORY(lcShell, "tarven.shell", QtWarningMsg)
