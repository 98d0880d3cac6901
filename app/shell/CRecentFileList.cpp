#include "CRecentFileList.h"

#include "CommandIds.h"
#include "ShellConstants.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

CRecentFileList::CRecentFileList(int size, QObject* parent) : QObject(parent), m_nSize(size)
{
    for (int i = 0; i < m_nSize; ++i) {
        auto* action = new QAction(this);
        action->setObjectName(QString::number(ID_FILE_MRU_FIRST + i));
        connect(action, &QAction::triggered, this, [this, i] {
            if (i < m_files.size())
                emit openRequested(m_files.at(i));
        });
        m_actions.append(action);
    }
    UpdateActions();
}

void CRecentFileList::Load(QSettings& settings)
{
    m_files.clear();
    settings.beginGroup(kGroupRecentFiles);
    for (int i = 0; i < m_nSize; ++i) {
        const QString path =
            settings.value(QString::fromLatin1(kKeyRecentFile).arg(i + 1)).toString();
        if (!path.isEmpty())
            m_files.append(path);
    }
    settings.endGroup();
    UpdateActions();
}

void CRecentFileList::Save(QSettings& settings) const
{
    settings.beginGroup(kGroupRecentFiles);
    settings.remove(QString());
    for (int i = 0; i < m_files.size(); ++i)
        settings.setValue(QString::fromLatin1(kKeyRecentFile).arg(i + 1), m_files.at(i));
    settings.endGroup();
}

void CRecentFileList::Add(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    m_files.removeAll(absolute);
    m_files.prepend(absolute);
    while (m_files.size() > m_nSize)
        m_files.removeLast();
    UpdateActions();
}

void CRecentFileList::UpdateActions()
{
    for (int i = 0; i < m_nSize; ++i) {
        QAction* action = m_actions.at(i);
        action->setVisible(i < m_files.size());
        if (i < m_files.size()) {
            action->setText(
                QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(m_files.at(i))));
        }
    }
}
