#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <vector>

// Gives the keyboard back to the widget that had it when a modal dialog or a popup closes. Qt
// does that only once the window is activated again, which without a window manager may never
// happen; until then keys still reach the widget while the window's shortcuts do not. One
// keeper watches every modal and popup window of the program.
class CModalFocusKeeper : public QObject
{
    Q_OBJECT

public:
    // Watches the application's windows while it lives.
    explicit CModalFocusKeeper(QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Held
    {
        QPointer<QWidget> dialog;
        QPointer<QWidget> focus;
    };

    void OnModalShown(QWidget* dialog);
    void OnModalHidden(QWidget* dialog);

    // Open modal and popup windows, innermost last, each with the widget that had the keyboard
    // before it.
    std::vector<Held> m_held;
};
