#pragma once

#include <QStringList>

class QSettings;

// The lines a send line sent, newest first, each once: a line sent again moves to the top. Kept
// in the settings for every monitor window and the next run; what is read back is bounded, so a
// damaged or hostile settings file cannot fill memory through it.
class CSendLineHistory
{
public:
    static constexpr int kMaxEntries = 100;
    static constexpr int kMaxEntryChars = 4096;

    const QStringList& Entries() const { return m_entries; }
    // Reads what settings hold (the group they are in): at most kMaxEntries lines, each at most
    // kMaxEntryChars long and not empty; others are passed over.
    void Load(const QSettings& settings);
    void Save(QSettings& settings) const;
    // Puts line on top; an empty or overlong line is not kept.
    void Add(const QString& line);

private:
    QStringList m_entries;
};
