#pragma once

#include "CMdiChildFrame.h"

class CScriptEditDoc;
class CScriptEditView;
struct SearchHistory;

// Child window of a script document: shows its view, marks a changed script in its title and
// asks whether to save it before it closes.
class CScriptChildFrame : public CMdiChildFrame
{
    Q_OBJECT

public:
    CScriptChildFrame(CScriptEditDoc* document, SearchHistory& history);

    CScriptEditView* View() const { return m_pView; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CScriptEditDoc* m_pScriptDoc = nullptr;
    CScriptEditView* m_pView = nullptr;
};

// Lets the program open script documents in script windows from now on.
void InstallScriptEditor();
