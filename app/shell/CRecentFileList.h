#pragma once

#include <QObject>
#include <QStringList>

class QAction;
class QSettings;

// The last files opened, newest first, as menu items that ask to open them again.
class CRecentFileList : public QObject
{
    Q_OBJECT

public:
    CRecentFileList(int size, QObject* parent);

    void Load(QSettings& settings);
    void Save(QSettings& settings) const;
    void Add(const QString& path);
    const QStringList& Files() const { return m_files; }
    const QList<QAction*>& Actions() const { return m_actions; }

signals:
    void openRequested(const QString& path);

private:
    void UpdateActions();

    int m_nSize = 0;
    QStringList m_files;
    QList<QAction*> m_actions;
};
