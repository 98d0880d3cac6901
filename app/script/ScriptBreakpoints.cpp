#include "ScriptBreakpoints.h"

#include "ShellConstants.h"

#include <QFileInfo>
#include <QSettings>

#include <algorithm>

namespace {

const char* const kGroup = "Breakpoints";
const char* const kFiles = "Files";
const char* const kPath = "Path";
const char* const kLines = "Lines";
// A line number past any script the editor opens.
constexpr int kLargestLine = 64 * 1024 * 1024;

struct FileLines
{
    QString path;
    QString lines;
};

QString Key(const QString& path)
{
    return QFileInfo(path).absoluteFilePath();
}

// What the settings hold, the file changed last first; bounded however they were written.
QList<FileLines> ReadAll(QSettings& settings)
{
    QList<FileLines> files;
    settings.beginGroup(kGroup);
    const int count = std::min(settings.beginReadArray(kFiles), ScriptBreakpoints::kMaxFiles);
    for (int i = 0; i < count; ++i) {
        settings.setArrayIndex(i);
        files.append({settings.value(kPath).toString(), settings.value(kLines).toString()});
    }
    settings.endArray();
    settings.endGroup();
    return files;
}

QList<int> ParseLines(const QString& text)
{
    QList<int> lines;
    for (const QStringView word : QStringView(text).split(u',', Qt::SkipEmptyParts)) {
        bool number = false;
        const int line = word.toInt(&number);
        if (number && line >= 1 && line <= kLargestLine && !lines.contains(line))
            lines.append(line);
        if (lines.size() == ScriptBreakpoints::kMaxLines)
            break;
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

} // namespace

QList<int> ScriptBreakpoints::Load(const QString& path)
{
    if (path.isEmpty())
        return {};
    QSettings settings(kCompanyName, kApplicationName);
    const QString key = Key(path);
    for (const FileLines& file : ReadAll(settings)) {
        if (file.path == key)
            return ParseLines(file.lines);
    }
    return {};
}

void ScriptBreakpoints::Save(const QString& path, const QList<int>& lines)
{
    if (path.isEmpty())
        return;
    QSettings settings(kCompanyName, kApplicationName);
    const QString key = Key(path);
    QList<FileLines> files = ReadAll(settings);
    files.removeIf([&](const FileLines& file) { return file.path == key; });
    if (!lines.isEmpty()) {
        QStringList words;
        for (const int line : lines.first(std::min<qsizetype>(lines.size(), kMaxLines)))
            words.append(QString::number(line));
        files.prepend({key, words.join(u',')});
    }
    if (files.size() > kMaxFiles)
        files.resize(kMaxFiles);
    settings.beginGroup(kGroup);
    settings.remove(QString());
    settings.beginWriteArray(kFiles, static_cast<int>(files.size()));
    for (int i = 0; i < files.size(); ++i) {
        settings.setArrayIndex(i);
        settings.setValue(kPath, files[i].path);
        settings.setValue(kLines, files[i].lines);
    }
    settings.endArray();
    settings.endGroup();
}
