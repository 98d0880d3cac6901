#include "CScriptCommands.h"

#include "CCommandActions.h"
#include "CCommandKeys.h"
#include "CScriptEditCtrl.h"
#include "CScriptEditDoc.h"
#include "CScriptEditView.h"
#include "CommandIds.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

namespace {

const char* const kRouterName = "CScriptCommands";

// The commands a script view answers.
constexpr int kScriptCommands[] = {
    ID_FILE_SAVE,    ID_FILE_SAVE_AS,     ID_EDIT_UNDO,   ID_EDIT_REDO,      ID_EDIT_CUT,
    ID_EDIT_COPY,    ID_EDIT_PASTE,       ID_EDIT_CLEAR,  ID_EDIT_CLEAR_ALL, ID_EDIT_FIND,
    ID_EDIT_REPLACE, ID_SCRIPT_RUN,       ID_SCRIPT_STOP, ID_SCRIPT_WATCH,   ID_SCRIPT_CONTINUE,
    ID_SCRIPT_STEP,  ID_SCRIPT_BREAKPOINT};

// The "SCRIPT" popup shown over a script, with the clipboard commands added at its end.
constexpr int kContextMenu[] = {ID_SCRIPT_RUN,
                                ID_SCRIPT_STOP,
                                0,
                                ID_EDIT_CLEAR,
                                ID_EDIT_CLEAR_ALL,
                                0,
                                ID_SCRIPT_WATCH,
                                0,
                                ID_SCRIPT_CONTINUE,
                                ID_SCRIPT_STEP,
                                ID_SCRIPT_BREAKPOINT,
                                0,
                                ID_EDIT_CUT,
                                ID_EDIT_COPY,
                                ID_EDIT_PASTE};

} // namespace

CScriptCommands::CScriptCommands(const CommandRouting& routing, QWidget* parent)
    : QObject(parent), m_routing(routing),
      m_pContextMenu(new QMenu(QStringLiteral("SCRIPT"), parent))
{
    setObjectName(QLatin1String(kRouterName));
    for (int id : kContextMenu) {
        if (id == 0)
            m_pContextMenu->addSeparator();
        else
            m_pContextMenu->addAction(Action(id));
    }
    InitActionsConnections();
}

QAction* CScriptCommands::Action(int id) const
{
    return m_routing.actions.Action(id);
}

template <typename Handler> void CScriptCommands::Route(int id, Handler handler)
{
    connect(Action(id), &QAction::triggered, this, [this, handler] {
        if (CScriptEditView* view = m_pActive.data())
            handler(*view);
        UpdateActions();
    });
}

void CScriptCommands::InitActionsConnections()
{
    Route(ID_FILE_SAVE, [](CScriptEditView& view) { view.Document()->OnFileSave(); });
    Route(ID_FILE_SAVE_AS, [](CScriptEditView& view) { view.Document()->OnFileSaveAs(); });
    Route(ID_EDIT_UNDO, std::mem_fn(&CScriptEditView::OnEditUndo));
    Route(ID_EDIT_REDO, std::mem_fn(&CScriptEditView::OnEditRedo));
    Route(ID_EDIT_CUT, std::mem_fn(&CScriptEditView::OnEditCut));
    Route(ID_EDIT_COPY, std::mem_fn(&CScriptEditView::OnEditCopy));
    Route(ID_EDIT_PASTE, std::mem_fn(&CScriptEditView::OnEditPaste));
    Route(ID_EDIT_CLEAR, std::mem_fn(&CScriptEditView::OnEditClear));
    Route(ID_EDIT_CLEAR_ALL, std::mem_fn(&CScriptEditView::OnEditClearAll));
    Route(ID_EDIT_FIND, std::mem_fn(&CScriptEditView::OnEditFind));
    Route(ID_EDIT_REPLACE, std::mem_fn(&CScriptEditView::OnEditReplace));
    Route(ID_SCRIPT_RUN, std::mem_fn(&CScriptEditView::OnScriptRun));
    Route(ID_SCRIPT_STOP, std::mem_fn(&CScriptEditView::OnScriptStop));
    Route(ID_SCRIPT_WATCH, std::mem_fn(&CScriptEditView::OnScriptWatch));
    Route(ID_SCRIPT_CONTINUE, std::mem_fn(&CScriptEditView::OnScriptContinue));
    Route(ID_SCRIPT_STEP, std::mem_fn(&CScriptEditView::OnScriptStep));
    Route(ID_SCRIPT_BREAKPOINT, std::mem_fn(&CScriptEditView::OnToggleBreakpoint));
    connect(&m_routing.area, &QMdiArea::subWindowActivated, this,
            &CScriptCommands::OnSubWindowActivated);
    OnSubWindowActivated(m_routing.area.activeSubWindow());
}

void CScriptCommands::OnSubWindowActivated(QMdiSubWindow* window)
{
    // The area reports no window while another top-level window (a find dialog) is active; the
    // script that was active stays the one the commands act on.
    if (window == nullptr)
        window = m_routing.area.currentSubWindow();
    CScriptEditView* view = window != nullptr ? window->findChild<CScriptEditView*>() : nullptr;
    m_pActive = view;
    if (view != nullptr)
        Follow(view);
    UpdateActions();
}

void CScriptCommands::Follow(CScriptEditView* view)
{
    if (view->property(kRouterName).toBool())
        return;
    view->setProperty(kRouterName, true);
    m_routing.keys.Guard(view->Edit());
    connect(view, &CScriptEditView::stateChanged, this, [this, view] {
        if (view == m_pActive)
            UpdateActions();
    });
    connect(view, &CScriptEditView::contextMenuRequested, this,
            [this, view](const QPoint& globalPos) { ShowContextMenu(view, globalPos); });
}

void CScriptCommands::UpdateActions()
{
    const CScriptEditView* view = m_pActive.data();
    for (int id : kScriptCommands) {
        const CScriptEditView::CommandState state =
            view != nullptr ? view->GetCommandState(id) : CScriptEditView::CommandState{};
        QAction* action = Action(id);
        action->setEnabled(state.bEnabled);
        if (action->isCheckable())
            action->setChecked(state.bChecked);
    }
}

void CScriptCommands::ShowContextMenu(CScriptEditView* view, const QPoint& globalPos)
{
    // The menu's commands act on the active script: make it the one clicked.
    if (view != m_pActive) {
        if (auto* window = qobject_cast<QMdiSubWindow*>(view->parentWidget()))
            m_routing.area.setActiveSubWindow(window);
    }
    UpdateActions();
    m_pContextMenu->popup(globalPos);
}
