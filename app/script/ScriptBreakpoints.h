#pragma once

#include <QList>
#include <QString>

// The breakpoints of script files, kept in the settings by each file's path (never in the file,
// which other installations read): the lines, from 1, in order. The files changed last are kept,
// up to a bound, and so are the lines of each.
namespace ScriptBreakpoints {

inline constexpr int kMaxFiles = 200;
inline constexpr int kMaxLines = 1000;

QList<int> Load(const QString& path);
// No lines forgets the file.
void Save(const QString& path, const QList<int>& lines);

} // namespace ScriptBreakpoints
