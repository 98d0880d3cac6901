#pragma once

#include <QHash>
#include <QObject>

class QAction;

// Every command of the menus and the toolbar as an action, found by its command number.
// Commands whose windows are not built yet stay disabled until their owner enables them.
class CCommandActions : public QObject
{
    Q_OBJECT

public:
    explicit CCommandActions(QObject* parent);

    QAction* Action(int id) const;
    // A new action of command id owned by parent, as the frame's own is made; null for a number
    // that is no command. For windows that carry their own buttons.
    static QAction* Make(int id, QObject* parent);
    // Adds an action made elsewhere (a bar's show/hide toggle) under its object name's number.
    void Register(QAction* action);

    // Command numbers of the toolbar buttons in order; 0 is a separator.
    static const QList<int>& ToolbarLayout();

private:
    QHash<int, QAction*> m_actions;
};
