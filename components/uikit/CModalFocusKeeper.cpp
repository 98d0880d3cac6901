#include "CModalFocusKeeper.h"

#include <QApplication>
#include <QEvent>

#include <algorithm>

CModalFocusKeeper::CModalFocusKeeper(QObject* parent) : QObject(parent)
{
    qApp->installEventFilter(this);
}

bool CModalFocusKeeper::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::Show && type != QEvent::Hide)
        return false;
    // Popups too: some platforms hand them the activation and do not give it back.
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || !widget->isWindow() ||
        !(widget->isModal() || widget->windowType() == Qt::Popup))
        return false;
    if (type == QEvent::Show)
        OnModalShown(widget);
    else
        OnModalHidden(widget);
    return false;
}

void CModalFocusKeeper::OnModalShown(QWidget* dialog)
{
    // The dialog is not active yet: the keyboard is still where the user left it, or with a
    // window that has no focus widget.
    std::erase_if(m_held, [](const Held& held) { return held.dialog.isNull(); });
    QWidget* keys = QApplication::focusWidget();
    m_held.push_back({dialog, keys != nullptr ? keys : QApplication::activeWindow()});
}

void CModalFocusKeeper::OnModalHidden(QWidget* dialog)
{
    const auto found = std::find_if(m_held.begin(), m_held.end(),
                                    [dialog](const Held& held) { return held.dialog == dialog; });
    if (found == m_held.end())
        return;
    const QPointer<QWidget> focus = found->focus;
    m_held.erase(found);
    // Where the window got the keyboard back by itself (a window manager, a popup that never
    // took it), it stays where it is: a menu bar may have taken it on purpose.
    if (focus.isNull() || !focus->isVisible() || QApplication::activeWindow() == focus->window())
        return;
    focus->window()->activateWindow();
    focus->setFocus(Qt::ActiveWindowFocusReason);
}
