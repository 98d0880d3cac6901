#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The bytes a transmit text stands for, by the control-code notation of the script language
// ("AT<0D><0A>", "<<" and ">>" for the brackets themselves); nothing when the notation is
// wrong. The text goes out in UTF-8, as typed characters do.
std::optional<QByteArray> TranslateCommandText(const QString& text);
