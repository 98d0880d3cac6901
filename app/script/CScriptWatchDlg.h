#pragma once

#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <cstdint>

class CDecodeCtrl;
class CTextViewCtrl;
class QAction;
class QMenu;

// What the watch window is asked to do, from its menu or by its script view.
enum class WatchCommand
{
    TextView,
    HexView,
    ControlCodes, // shown or not, each time the other way
    Clear,
    Start, // taking lines
    Stop,
};

// The window "%s-스크립트 실행창": shows what a running script prints (PRINT, PRINTEX) in a
// terminal view. It takes the lines from the host's print queue on the user-interface
// thread, all that are queued at each turn of a coarse timer, so a fast script neither
// falls behind nor makes the queue grow past its bound.
class CScriptWatchDlg : public QDialog
{
    Q_OBJECT

public:
    // The lines of decode's script, in a window titled after the document title.
    CScriptWatchDlg(CDecodeCtrl* decode, const QString& title, QWidget* parent);

    CTextViewCtrl* TextView() const { return m_pTextView; }
    QMenu* ContextMenu() const { return m_pMenu; }
    // The window's own commands: display modes, clear, start and stop taking lines.
    void OnCommand(WatchCommand command);
    // Takes every line queued now into the view, in the order they were printed.
    void DrainPrinted();
    // Stops taking lines (what is queued is shown first) and deletes the window later.
    void DestroyWindow();

    uint64_t ShownLines() const { return m_nShownLines; }
    uint64_t ShownBytes() const { return m_nShownBytes; }
    bool IsTaking() const { return m_drainTimer.isActive(); }

signals:
    // The window was shown or hidden.
    void shownChanged();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // An entry of the menu, named by the number of the monitor's command of the same meaning.
    QAction* AddMenuCommand(WatchCommand command, int id, const QString& text);
    void UpdateMenu();

    QPointer<CDecodeCtrl> m_pDecode;
    CTextViewCtrl* m_pTextView = nullptr;
    QMenu* m_pMenu = nullptr;
    QTimer m_drainTimer;
    int m_nDisplayMode = 0; // 0 text, 1 hexadecimal
    bool m_bControl = false;
    uint64_t m_nShownLines = 0;
    uint64_t m_nShownBytes = 0;
};
