#pragma once

#include <QByteArray>

class QDate;

// The text a new script starts with, dated date: link settings to fill in, a message constant
// and a main section that sends and shows it. Lines end with LF, as in the editor.
QByteArray NewScriptTemplate(const QDate& date);
