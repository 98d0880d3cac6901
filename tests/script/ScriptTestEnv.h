#pragma once

#include "CMainFrame.h"
#include "CMdiClientWnd.h"
#include "CScriptChildFrame.h"
#include "CScriptEditCtrl.h"
#include "CScriptEditDoc.h"
#include "CScriptEditView.h"
#include "CScriptOutputBar.h"
#include "CommandIds.h"
#include "EventLoopWait.h"
#include "ProgramTestEnv.h"
#include "SearchHistory.h"
#include "ShellTestEnv.h"

#include <QAction>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTest>

#include <stdexcept>
#include <vector>

// "한글" in UTF-8 and in CP949.
inline const QByteArray kHangul = "\xED\x95\x9C\xEA\xB8\x80";
inline const QByteArray kHangulCp949 = "\xC7\xD1\xB1\xDB";

// Script windows on their own, as the program opens them, with message boxes that answer at
// once and settings of the test's own.
class ScriptTest : public ShellTest
{
protected:
    void TearDown() override
    {
        for (const QPointer<CScriptChildFrame>& frame : m_frames)
            delete frame.data();
    }

    // A new script, or the file at path; null when the file cannot be opened.
    CScriptChildFrame* OpenScript(const QString& path = {})
    {
        auto* document = new CScriptEditDoc;
        if (path.isEmpty()) {
            document->SetTitle(QStringLiteral("Script1"));
        } else {
            if (!document->OnOpenDocument(path)) {
                delete document;
                return nullptr;
            }
            document->SetPathName(path);
        }
        auto* frame = new CScriptChildFrame(document, m_history);
        frame->resize(640, 400);
        frame->show();
        m_frames.emplace_back(frame);
        return frame;
    }

    static CScriptEditCtrl* Edit(const CScriptChildFrame* frame) { return frame->View()->Edit(); }
    static CScriptEditDoc* Doc(const CScriptChildFrame* frame) { return frame->View()->Document(); }

    SearchHistory m_history;

private:
    std::vector<QPointer<CScriptChildFrame>> m_frames;
};

// The whole program with its script editor, its main window shown and active.
class ScriptProgramTest : public ShellTest
{
protected:
    void SetUp() override
    {
        m_program = StartProgram();
        m_app = &m_program->App();
        Frame()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Frame()));
    }
    void TearDown() override { m_program.reset(); }

    CMainFrame* Frame() const { return m_app->MainFrame(); }
    CScriptOutputBar* Bar() const { return m_program->OutputBar(); }

    // A new script window holding text, active.
    CScriptEditView* NewScript(const QByteArray& text)
    {
        Frame()->Action(ID_FILE_NEW_SCRIPT)->trigger();
        CScriptEditView* view = ActiveView();
        view->Edit()->SetText(text);
        return view;
    }
    // The active script window; the test cannot go on without one.
    CScriptChildFrame* ActiveFrame() const
    {
        auto* frame = qobject_cast<CScriptChildFrame*>(Frame()->MdiClient()->activeSubWindow());
        if (!frame)
            throw std::runtime_error("no active script window");
        return frame;
    }
    CScriptEditView* ActiveView() const { return ActiveFrame()->View(); }
    // Keys as a person types them: to whatever has the keyboard focus.
    static void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClick(focus, Qt::Key(key), modifiers);
    }
    static void Type(const QString& text) { QTest::keyClicks(QApplication::focusWidget(), text); }
    QString Output(const CScriptEditView* view) const
    {
        return Bar()->PageText(view->Document()->Title());
    }

    std::unique_ptr<CProgram> m_program;
    CTARVENApp* m_app = nullptr;
};
