#pragma once

#include <QString>

class QFileDevice;

// The system's reason for a failure (an errno value) in words the user reads: the program's own
// text for the common reasons (Korean, or its translation), else the C library's text in the
// user's locale, with the number.
QString SystemErrorText(int error);

// Why an operation on file failed, in the same words: the program's own text when Qt's reason is
// one of the common ones, else Qt's reason.
QString FileErrorText(const QFileDevice& file);
