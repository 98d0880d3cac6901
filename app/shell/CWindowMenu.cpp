#include "CWindowMenu.h"

#include "CProgramTitles.h"

#include <QActionGroup>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

namespace {
// Entries up to this number get their digit as the menu's shortcut letter.
constexpr int kNumberedEntries = 9;
} // namespace

CWindowMenu::CWindowMenu(const QString& title, QMdiArea* area, QWidget* parent)
    : QMenu(title, parent), m_pArea(area)
{
    connect(this, &QMenu::aboutToShow, this, &CWindowMenu::ListWindows);
}

void CWindowMenu::ListWindows()
{
    delete m_pEntries; // with the entries of the last time
    m_pEntries = new QActionGroup(this);
    m_pEntries->setExclusionPolicy(QActionGroup::ExclusionPolicy::None); // ticks, not bullets
    const QList<QMdiSubWindow*> windows = m_pArea->subWindowList();
    if (windows.isEmpty())
        return;
    // The area reports no active window while this menu has the keyboard; the current one is
    // the window the user works in.
    const QMdiSubWindow* current = m_pArea->currentSubWindow();
    QAction* separator = addSeparator();
    separator->setParent(m_pEntries);
    for (int index = 0; index < windows.size(); ++index) {
        QMdiSubWindow* window = windows[index];
        const int number = index + 1;
        QString title = ShownWindowTitle(window);
        title.replace(u'&', QStringLiteral("&&"));
        QAction* entry =
            addAction(number <= kNumberedEntries ? QStringLiteral("&%1 %2").arg(number).arg(title)
                                                 : QStringLiteral("%1 %2").arg(number).arg(title));
        entry->setParent(m_pEntries);
        entry->setActionGroup(m_pEntries);
        entry->setCheckable(true);
        entry->setChecked(window == current);
        connect(entry, &QAction::triggered, m_pArea, [this, chosen = QPointer(window)] {
            if (!chosen.isNull())
                m_pArea->setActiveSubWindow(chosen);
        });
    }
}
