#pragma once

#include <QByteArray>
#include <optional>

// The bytes a transmit text stands for, by the control-code notation of the script language
// ("AT<0D><0A>", "<<" and ">>" for the brackets themselves); nothing when the notation is
// wrong. The text is given as the bytes of the link's encoding: the notation is ASCII, and no
// byte of a CP949 character is '<' or '>'.
std::optional<QByteArray> TranslateCommandText(const QByteArray& encoded);
