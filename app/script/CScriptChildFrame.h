#pragma once

#include "CMdiChildFrame.h"

#include <QTimer>

class CScriptEditDoc;
class CScriptEditView;
class CScriptOutputBar;
class CScriptStatusBar;
struct SearchHistory;

// Child window of a script document: shows its view and status panes, marks a changed script
// in its title, asks whether to save it before it closes and stops its running script.
class CScriptChildFrame : public CMdiChildFrame
{
    Q_OBJECT

public:
    // output, when given, shows what compiling and running the script report.
    CScriptChildFrame(CScriptEditDoc* document, SearchHistory& history,
                      CScriptOutputBar* output = nullptr);

    CScriptEditView* View() const { return m_pView; }
    CScriptStatusBar* StatusBar() const { return m_pStatusBar; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CScriptEditDoc* m_pScriptDoc = nullptr;
    CScriptEditView* m_pView = nullptr;
    CScriptStatusBar* m_pStatusBar = nullptr;
    QTimer m_statusTimer;
};
