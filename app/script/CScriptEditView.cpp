#include "CScriptEditView.h"

#include "CFindReplaceDlg.h"
#include "CScriptDebugPane.h"
#include "CScriptDebugger.h"
#include "CScriptEditCtrl.h"
#include "CScriptEditDoc.h"
#include "CScriptOutputBar.h"
#include "CScriptWatchDlg.h"
#include "CommandIds.h"
#include "ScriptConstants.h"
#include "ScriptTemplate.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QSplitter>
#include <QTemporaryFile>
#include <QVBoxLayout>

namespace {

const QColor kCommentGrey(128, 128, 128);
constexpr int kStyleLineComment = 2;

} // namespace

CScriptEditView::CScriptEditView(CScriptEditDoc* document, SearchHistory& history,
                                 CScriptOutputBar* output, QWidget* parent)
    : QWidget(parent), m_pDocument(document), m_history(history), m_pOutput(output),
      m_pEdit(new CScriptEditCtrl), m_pDebugPane(new CScriptDebugPane)
{
    // The variable pane stands beside the editor once a run stops at a breakpoint.
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(m_pEdit);
    splitter->addWidget(m_pDebugPane);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    splitter->setChildrenCollapsible(false);
    m_pDebugPane->hide();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
    setFocusProxy(m_pEdit);

    m_pEdit->SetLexer(kLexerCpp);
    m_pEdit->SetKeywords(kTslKeywords);
    m_pEdit->Init();
    m_pEdit->SetStyleFont(kEditorFont, kEditorFontPt);
    // Sizes the line-number margin for the font just set.
    m_pEdit->SetDisplayLinenumbers(false);
    m_pEdit->SetDisplayLinenumbers(true);
    m_pEdit->SetForeground(kStyleLineComment, kCommentGrey);

    connect(m_pEdit, &QsciScintillaBase::SCN_SAVEPOINTLEFT, this, [this] {
        m_pDocument->SetModifiedFlag(true);
        emit stateChanged();
    });
    connect(m_pEdit, &QsciScintillaBase::SCN_SAVEPOINTREACHED, this, [this] {
        m_pDocument->SetModifiedFlag(false);
        emit stateChanged();
    });
    connect(m_pEdit, &QsciScintillaBase::SCN_UPDATEUI, this, &CScriptEditView::stateChanged);
    connect(m_pEdit, &CScriptEditCtrl::contextMenuRequested, this,
            &CScriptEditView::contextMenuRequested);
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this,
            &CScriptEditView::OnClipboardChanged);
    m_bCanPaste = ClipboardHasText();
    m_runCheck.setInterval(kRunCheckMs);
    connect(&m_runCheck, &QTimer::timeout, this, &CScriptEditView::CheckRunEnd);
    connect(m_pEdit, &CScriptEditCtrl::breakpointsChanged, this,
            &CScriptEditView::OnBreakpointsChanged);
    connect(m_pDebugPane, &CScriptDebugPane::variableEdited, this,
            [this](const QString& name, double value) {
                if (m_pDebugger && m_bPaused)
                    m_pDebugger->SetVariable(name.toStdString(), value);
            });
}

void CScriptEditView::OnNewScript(const QDate& date)
{
    m_pEdit->SetText(NewScriptTemplate(date));
    // Nothing typed yet: closing the untouched template asks nothing.
    m_pEdit->SetSavePoint();
}

bool CScriptEditView::ClipboardHasText()
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data != nullptr && data->hasText();
}

void CScriptEditView::OnClipboardChanged()
{
    m_bCanPaste = ClipboardHasText();
    emit stateChanged();
}

void CScriptEditView::OnEditUndo()
{
    m_pEdit->Undo();
}

void CScriptEditView::OnEditRedo()
{
    m_pEdit->Redo();
}

void CScriptEditView::OnEditCut()
{
    m_pEdit->Cut();
}

void CScriptEditView::OnEditCopy()
{
    m_pEdit->Copy();
}

void CScriptEditView::OnEditPaste()
{
    m_pEdit->Paste();
}

void CScriptEditView::OnEditClear()
{
    m_pEdit->Clear();
}

void CScriptEditView::OnEditClearAll()
{
    m_pEdit->ClearAll();
    m_pDocument->SetModifiedFlag(true);
}

void CScriptEditView::OnEditFind()
{
    OpenFindDialog(new CFindDlg(m_pEdit, m_history, this));
}

void CScriptEditView::OnEditReplace()
{
    OpenFindDialog(new CFindReplaceDlg(m_pEdit, m_history, this));
}

void CScriptEditView::OpenFindDialog(CFindDlg* dialog)
{
    // One dialog over a view at a time: the new one starts from the current selection.
    if (m_pFindDlg)
        m_pFindDlg->close();
    m_pFindDlg = dialog;
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

CScriptEditView::CommandState CScriptEditView::GetCommandState(int id) const
{
    const bool selection = m_pEdit->GetSelectionStart() != m_pEdit->GetSelectionEnd();
    switch (id) {
    case ID_EDIT_UNDO:
        return {m_pEdit->CanUndo()};
    case ID_EDIT_REDO:
        return {m_pEdit->CanRedo()};
    case ID_EDIT_CUT:
    case ID_EDIT_COPY:
    case ID_EDIT_CLEAR:
        return {selection};
    case ID_EDIT_PASTE:
        return {m_bCanPaste};
    case ID_EDIT_CLEAR_ALL:
        return {!m_bRunning && !m_pEdit->IsEmpty()};
    case ID_FILE_SAVE:
    case ID_FILE_SAVE_AS:
    case ID_EDIT_FIND:
    case ID_EDIT_REPLACE:
        return {true};
    case ID_SCRIPT_RUN:
        return {!m_bRunning};
    case ID_SCRIPT_STOP:
        return {m_bRunning};
    case ID_SCRIPT_WATCH:
        return {!m_pWatch.isNull(), m_pWatch && m_pWatch->isVisible()};
    case ID_SCRIPT_CONTINUE:
    case ID_SCRIPT_STEP:
        return {!m_bRunning || m_bPaused};
    case ID_SCRIPT_BREAKPOINT:
        return {true};
    default:
        return {};
    }
}
