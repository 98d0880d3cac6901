#include "CCommandKeys.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

namespace {

QAction* FindInMenu(const QMenu* menu, QKeyCombination key)
{
    for (QAction* action : menu->actions()) {
        if (const QMenu* submenu = action->menu<QMenu*>()) {
            if (QAction* found = FindInMenu(submenu, key))
                return found;
            continue;
        }
        for (const QKeySequence& shortcut : action->shortcuts()) {
            if (shortcut.count() == 1 && shortcut[0] == key)
                return action;
        }
    }
    return nullptr;
}

} // namespace

CCommandKeys::CCommandKeys(const QMenuBar* menuBar, QObject* parent)
    : QObject(parent), m_pMenuBar(menuBar)
{}

void CCommandKeys::Guard(QWidget* widget)
{
    widget->installEventFilter(this);
}

QAction* CCommandKeys::CommandFor(QKeyCombination key) const
{
    // The menus shown follow the active window, as an accelerator table does.
    for (const QAction* entry : m_pMenuBar->actions()) {
        if (const QMenu* menu = entry->menu<QMenu*>()) {
            if (QAction* found = FindInMenu(menu, key))
                return found;
        }
    }
    return nullptr;
}

bool CCommandKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto* press = static_cast<QKeyEvent*>(event);
    const QKeyCombination key(press->modifiers() & ~Qt::KeypadModifier, Qt::Key(press->key()));
    QAction* command = CommandFor(key);
    if (command == nullptr)
        return false;
    if (command->isEnabled())
        command->trigger();
    return true;
}
