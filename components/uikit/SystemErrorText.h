#pragma once

#include <QString>

// The system's reason for a failure (an errno value) in words the user reads: Korean for the
// common reasons, else the C library's text in the user's locale, with the number.
QString SystemErrorText(int error);
