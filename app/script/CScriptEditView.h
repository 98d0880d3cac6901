#pragma once

#include "CFindDlg.h"

#include <QPointer>
#include <QWidget>

class CScriptEditCtrl;
class CScriptEditDoc;
class QDate;
struct SearchHistory;

// The view of a script document: its editor, the edit commands, the find dialogs and the
// states of the script menu. The run commands act on the script it shows.
class CScriptEditView : public QWidget
{
    Q_OBJECT

public:
    // What a command shows: whether it can be chosen and whether it is ticked.
    struct CommandState
    {
        bool bEnabled = false;
        bool bChecked = false;
        bool operator==(const CommandState&) const = default;
    };

    // history holds the find and replace lists that every find dialog shares.
    CScriptEditView(CScriptEditDoc* document, SearchHistory& history, QWidget* parent = nullptr);

    CScriptEditCtrl* Edit() const { return m_pEdit; }
    CScriptEditDoc* Document() const { return m_pDocument; }
    // The find dialog open over the view, if any.
    CFindDlg* FindDialog() const { return m_pFindDlg; }

    // Puts the new-script template, dated date, into the editor.
    void OnNewScript(const QDate& date);

    void OnEditUndo();
    void OnEditRedo();
    void OnEditCut();
    void OnEditCopy();
    void OnEditPaste();
    void OnEditClear();
    void OnEditClearAll();
    void OnEditFind();
    void OnEditReplace();

    // The state of a command of the edit and script menus, by its number.
    CommandState GetCommandState(int id) const;

signals:
    // Something that the commands' states follow has changed.
    void stateChanged();
    void contextMenuRequested(const QPoint& globalPos);

private:
    void OpenFindDialog(CFindDlg* dialog);
    void OnClipboardChanged();
    static bool ClipboardHasText();

    CScriptEditDoc* m_pDocument = nullptr;
    SearchHistory& m_history;
    CScriptEditCtrl* m_pEdit = nullptr;
    QPointer<CFindDlg> m_pFindDlg;
    // Whether the clipboard holds something to paste, kept as it changes: asking on every
    // caret move would cost a round trip to the display.
    bool m_bCanPaste = false;
    // Set while the view's script runs, and while its watch window shows.
    bool m_bRunning = false;
    bool m_bWatchShown = false;
};
