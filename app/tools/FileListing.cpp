#include "FileListing.h"

#include "ToolsConstants.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <vector>

namespace {

const QString kRootFolder = QStringLiteral("/");

// Sorted by the normalised names compared byte by byte; the name on disk breaks ties, so the
// order never depends on the order the system listed the names in.
void SortEntries(QList<FileEntry>& entries)
{
    struct Keyed
    {
        QByteArray key;
        QByteArray name;
        FileEntry entry;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(std::size_t(entries.size()));
    for (FileEntry& entry : entries)
        keyed.push_back(
            {NormaliseFileName(entry.name).toUtf8(), entry.name.toUtf8(), std::move(entry)});
    std::sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
        return a.key != b.key ? a.key < b.key : a.name < b.name;
    });
    for (std::size_t i = 0; i < keyed.size(); ++i)
        entries[qsizetype(i)] = std::move(keyed[i].entry);
}

} // namespace

QString NormaliseFileName(const QString& name)
{
    QString text = name.toLower();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (i == 0 || text[i - 1] == QLatin1Char(' '))
            text[i] = text[i].toUpper();
    }
    return text;
}

QStringList FileTypePatterns(const QString& fileType)
{
    const qsizetype open = fileType.indexOf(QLatin1Char('('));
    const qsizetype close = fileType.indexOf(QLatin1Char(')'), open + 1);
    if (open < 0 || close < 0)
        return {QStringLiteral("*")};
    QStringList patterns =
        fileType.mid(open + 1, close - open - 1)
            .split(QRegularExpression(QStringLiteral("[\\s;]+")), Qt::SkipEmptyParts);
    for (QString& pattern : patterns) {
        if (pattern == QLatin1String("*.*"))
            pattern = QStringLiteral("*");
    }
    return patterns.isEmpty() ? QStringList{QStringLiteral("*")} : patterns;
}

bool IsRootFolder(const QString& folder)
{
    return folder == kRootFolder;
}

QString ParentFolder(const QString& folder)
{
    if (IsRootFolder(folder) || folder.isEmpty())
        return kRootFolder;
    const qsizetype last = folder.lastIndexOf(QLatin1Char('/'), folder.size() - 2);
    return last < 0 ? kRootFolder : folder.left(last + 1);
}

QList<FileEntry> ListFolder(const QString& folder, const QString& fileType)
{
    QList<FileEntry> entries;
    if (IsRootFolder(folder))
        entries.append(
            {QCoreApplication::translate("FileListing", "[Root]"), QString(), kEntryRoot});
    else
        entries.append({QCoreApplication::translate("FileListing", "[Up one directory]"), QString(),
                        kEntryUp});

    // Types match whatever case a name is written in: files from other systems often shout.
    const QStringList patterns = FileTypePatterns(fileType);
    QList<FileEntry> folders;
    QList<FileEntry> files;
    const QDir dir(folder);
    for (const QFileInfo& info :
         dir.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        const QString name = info.fileName();
        if (name.startsWith(QLatin1Char('.')))
            continue;
        if (info.isDir())
            folders.append({name, name, kEntryFolderAttribute});
        else if (QDir::match(patterns, name))
            files.append({name, name, info.isFile() ? kEntryFileAttribute : kEntryDeviceAttribute});
    }
    SortEntries(folders);
    SortEntries(files);
    return entries + folders + files;
}
