#pragma once

#include "CFindDlg.h"
#include "CScriptWatchDlg.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <optional>

class CDecodeCtrl;
class CScriptDebugPane;
class CScriptDebugger;
class CScriptEditCtrl;
struct CDebugStop;
class CScriptEditDoc;
class CScriptOutputBar;

class QDate;
class QTemporaryFile;
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

    // history holds the find and replace lists that every find dialog shares; output, when
    // given, shows what compiling and running the script report.
    CScriptEditView(CScriptEditDoc* document, SearchHistory& history,
                    CScriptOutputBar* output = nullptr, QWidget* parent = nullptr);
    ~CScriptEditView() override;

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

    // Runs the editor's text: saved to a file of the run's own, verified, started on the link
    // its declarations name, its output in the view's output page and its watch window.
    void OnScriptRun();
    // Ends the run: the watch window goes, then the host control with its link.
    void OnScriptStop();
    // Shows or hides the watch window.
    void OnScriptWatch();
    // The debugger's keys. Continue runs on from a stop, or starts a run; Step runs one command
    // and stops again, or starts a run stopped before its first command. A breakpoint goes on
    // or off the caret's line.
    void OnScriptContinue();
    void OnScriptStep();
    void OnToggleBreakpoint();
    // The window closes: its watch window goes and a running script is stopped first.
    void OnViewClosing();

    bool IsRunning() const { return m_bRunning; }
    // The running script waits at a breakpoint or after a step.
    bool IsPaused() const { return m_bPaused; }
    CScriptDebugPane* DebugPane() const { return m_pDebugPane; }
    CDecodeCtrl* Decode() const { return m_pDecode; }
    CScriptWatchDlg* WatchDialog() const { return m_pWatch; }
    // The file the running script was saved to (empty when none).
    QString RunFileName() const;
    // Puts the caret at the start of line (from 1) and gives the editor the keyboard.
    void GoToLine(int line);
    // The caret's line and column, both counted from 1.
    int CaretLine() const;
    int CaretColumn() const;

    // The state of a command of the edit and script menus, by its number.
    CommandState GetCommandState(int id) const;

    // What the script told by its last SYNC, kept from the notice until the next run starts:
    // the operand as written, and whether it is 0, a pass.
    struct SyncVerdict
    {
        QString text;
        bool bPass = false;
        // As the output page and the status bar show it: "SYNC 0".
        QString Line() const { return QStringLiteral("SYNC ") + text; }
    };
    const std::optional<SyncVerdict>& LastSync() const { return m_lastSync; }

signals:
    // Something that the commands' states follow has changed.
    void stateChanged();
    void contextMenuRequested(const QPoint& globalPos);

protected:
    // The SYNC notices of the running script.
    void customEvent(QEvent* event) override;

private:
    // False (and the user told) when the text could not be saved for the run.
    bool SaveRunFile();
    // Runs the script; with bStep it stops before its first command.
    void StartRun(bool bStep);
    // Creates, verifies and starts the host control; false when the run cannot start.
    bool StartHost(bool bStep);
    // The debugger of the run told a stop (on the script thread, handed over here).
    void OnDebugStop(uint64_t nRun, const CDebugStop& stop);
    // The breakpoints changed: the file keeps them, and so does the run.
    void OnBreakpointsChanged();
    // The run goes on from a stop.
    void LeaveStop();
    void ShowWatchWindow();
    void DestroyWatch();
    // Stop, keeping the watch window for reading when asked.
    void StopRun(bool bKeepWatch);
    // Verification or the link failed: the view stays as it was before the run.
    void FailRun();
    // Watch window first (destroyed, or only stopped), then the host control and the file.
    void EndRun(bool bKeepWatch);
    // A run that ended by itself (its worker stopped, its link lost) is stopped here.
    void CheckRunEnd();
    void ShowRunNotices();
    // Why the run's link is lost or never came up; empty while it holds or is coming up.
    QString RunLinkFailure() const;
    CScriptOutputBar* OutputBar() const;
    void ClearOutput();
    void AppendOutput(const QString& text);
    void OpenFindDialog(CFindDlg* dialog);
    void OnClipboardChanged();
    static bool ClipboardHasText();

    CScriptEditDoc* m_pDocument = nullptr;
    SearchHistory& m_history;
    QPointer<CScriptOutputBar> m_pOutput;
    CScriptEditCtrl* m_pEdit = nullptr;
    QPointer<CFindDlg> m_pFindDlg;
    // Whether the clipboard holds something to paste, kept as it changes: asking on every
    // caret move would cost a round trip to the display.
    bool m_bCanPaste = false;
    // Set while the view's script runs.
    bool m_bRunning = false;
    CDecodeCtrl* m_pDecode = nullptr; // owned, a child of the view
    // The debugger of the run under way; it outlives the host's thread.
    std::unique_ptr<CScriptDebugger> m_pDebugger;
    CScriptDebugPane* m_pDebugPane = nullptr;
    bool m_bPaused = false;
    // Counts the runs, so that a stop told by an earlier one is known.
    uint64_t m_nRun = 0;
    QPointer<CScriptWatchDlg> m_pWatch;
    std::unique_ptr<QTemporaryFile> m_pRunFile;
    QTimer m_runCheck;
    std::optional<SyncVerdict> m_lastSync;
    // Set once the window closes: late notices have nowhere to go.
    bool m_bClosing = false;
    // Since when the link of the run is lost, and the pass by which the script saw it all.
    QElapsedTimer m_linkLost;
    uint64_t m_nLossPass = 0;
};
