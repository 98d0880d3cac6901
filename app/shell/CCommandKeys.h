#pragma once

#include <QKeyCombination>
#include <QObject>

class QAction;
class QMenuBar;
class QWidget;

// Keeps the keys of the program's commands away from widgets that type what they get (the
// monitor's terminal, the script editor). A key bound to a command of the menus shown now is
// that command's, enabled or not: a disabled one does nothing. The window's shortcut takes it
// first; it reaches a guarded widget only when the command is disabled or the window was not
// active when the key came, and then the command runs here. Keys bound to nothing are typed.
class CCommandKeys : public QObject
{
    Q_OBJECT

public:
    CCommandKeys(const QMenuBar* menuBar, QObject* parent);

    // Guards widget from now on.
    void Guard(QWidget* widget);
    // The command of the menus shown now that key is bound to, or null.
    QAction* CommandFor(QKeyCombination key) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const QMenuBar* m_pMenuBar = nullptr;
};
