#pragma once

#include <QGuiApplication>
#include <QString>
#include <QWidget>

// Our dialogs carry their template and control ids as object names, so that a test finds a
// control by the id its dialog's header gives it.
inline QString ControlName(int id)
{
    return QString::number(id);
}

template <typename Widget> Widget* NameControl(Widget* widget, int id)
{
    widget->setObjectName(ControlName(id));
    return widget;
}

// The names of the standard buttons: confirm (or the dialog's main action), close, abort.
inline const QString kIdOk = QStringLiteral("IDOK");
inline const QString kIdCancel = QStringLiteral("IDCANCEL");
inline const QString kIdAbort = QStringLiteral("IDABORT");

// Makes a narrow dialog wide enough for its whole title: the window manager's bar adds the
// program's name, an icon and its buttons, and cuts a longer title short ("TARVEN Se...s").
inline void KeepTitleWhole(QWidget* dialog)
{
    constexpr int kTitleBarDecorationPx = 140;
    const QString shown =
        dialog->windowTitle() + QStringLiteral(" — ") + QGuiApplication::applicationDisplayName();
    dialog->setMinimumWidth(dialog->fontMetrics().horizontalAdvance(shown) + kTitleBarDecorationPx);
}
