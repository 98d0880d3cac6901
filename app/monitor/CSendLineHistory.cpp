#include "CSendLineHistory.h"

#include <QSettings>

namespace {

const char* const kHistoryKey = "SendLineHistory";

bool Keeps(const QString& line)
{
    return !line.isEmpty() && line.size() <= CSendLineHistory::kMaxEntryChars;
}

} // namespace

void CSendLineHistory::Load(const QSettings& settings)
{
    m_entries.clear();
    const QVariant value = settings.value(QLatin1String(kHistoryKey));
    // A list of one comes back as a plain string.
    const bool list =
        value.typeId() == QMetaType::QStringList || value.typeId() == QMetaType::QVariantList;
    const QStringList stored = list ? value.toStringList() : QStringList{value.toString()};
    for (const QString& line : stored) {
        if (m_entries.size() >= kMaxEntries)
            break;
        if (Keeps(line) && !m_entries.contains(line))
            m_entries.append(line);
    }
}

void CSendLineHistory::Save(QSettings& settings) const
{
    settings.setValue(QLatin1String(kHistoryKey), m_entries);
}

void CSendLineHistory::Add(const QString& line)
{
    if (!Keeps(line))
        return;
    m_entries.removeAll(line);
    m_entries.prepend(line);
    while (m_entries.size() > kMaxEntries)
        m_entries.removeLast();
}
