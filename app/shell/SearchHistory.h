#pragma once

#include <QStringList>

class QSettings;

// The find and replace histories of the script editor, kept in the "EDIT" group as a count
// and numbered entries.
struct SearchHistory
{
    QStringList find;
    QStringList replace;

    // Reads at most kMaxHistoryEntries of each list, skipping entries that are blank after
    // their leading white space is trimmed.
    static SearchHistory Load(QSettings& settings);
    void Save(QSettings& settings) const;
};
