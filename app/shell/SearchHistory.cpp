#include "SearchHistory.h"

#include "ShellConstants.h"

#include <QSettings>

namespace {

QString TrimLeft(const QString& text)
{
    qsizetype start = 0;
    while (start < text.size() && text.at(start).isSpace())
        ++start;
    return text.mid(start);
}

QStringList LoadList(QSettings& settings, const char* countKey, const char* entryKey)
{
    QStringList list;
    const int count = settings.value(countKey, 0).toInt();
    for (int i = 0; i < count && i < kMaxHistoryEntries; ++i) {
        const QString entry =
            TrimLeft(settings.value(QString::fromLatin1(entryKey).arg(i)).toString());
        if (!entry.isEmpty())
            list.append(entry);
    }
    return list;
}

void SaveList(QSettings& settings, const char* countKey, const char* entryKey,
              const QStringList& list)
{
    settings.setValue(countKey, int(list.size()));
    for (int i = 0; i < list.size(); ++i)
        settings.setValue(QString::fromLatin1(entryKey).arg(i), list.at(i));
}

} // namespace

SearchHistory SearchHistory::Load(QSettings& settings)
{
    SearchHistory history;
    settings.beginGroup(kGroupEdit);
    history.find = LoadList(settings, kKeyFindCount, kKeyFindString);
    history.replace = LoadList(settings, kKeyReplaceCount, kKeyReplaceString);
    settings.endGroup();
    return history;
}

void SearchHistory::Save(QSettings& settings) const
{
    settings.beginGroup(kGroupEdit);
    // Entries of a longer list saved before would otherwise linger behind the new count.
    settings.remove(QString());
    SaveList(settings, kKeyFindCount, kKeyFindString, find);
    SaveList(settings, kKeyReplaceCount, kKeyReplaceString, replace);
    settings.endGroup();
}
