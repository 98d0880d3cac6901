#pragma once

#include "CDocument.h"
#include "CMainFrame.h"
#include "CMdiChildFrame.h"
#include "CTARVENApp.h"
#include "KeyboardInput.h"
#include "MonitorTestEnv.h"
#include "ProgramTestEnv.h"

#include <QMenu>
#include <QMenuBar>

#include <memory>

// The whole program with monitor windows, its main window shown and active, as a person finds
// it after start-up.
class MonitorAppTest : public MonitorTest
{
protected:
    void SetUp() override
    {
        MonitorTest::SetUp();
        m_program = StartProgram();
        m_app = &m_program->App();
        Frame()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Frame()));
    }

    void TearDown() override
    {
        m_program.reset();
        MonitorTest::TearDown();
    }

    CMainFrame* Frame() const { return m_app->MainFrame(); }
    // The 보기 menu of the menu bar shown now, or null.
    QMenu* ViewMenu() const
    {
        for (const QAction* entry : Frame()->menuBar()->actions()) {
            if (entry->menu() != nullptr && entry->menu()->title() == "보기(&V)")
                return entry->menu();
        }
        return nullptr;
    }
    void Press(QKeyCombination key) { PressKey(key, Frame()); }
    void Type(const QString& letters)
    {
        for (const QChar letter : letters)
            Press(Qt::Key(Qt::Key_A + letter.unicode() - 'a'));
    }

    // A new monitor window, its start-up dialog answered.
    CTARVENView* OpenMonitor()
    {
        CDocument* document = nullptr;
        EXPECT_TRUE(WaitForDialog([&] { document = m_app->OnFileNew("Tvn"); }));
        // The start-up dialog took the activation; the keys go to the main window again.
        Frame()->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(Frame()));
        return document->Frame()->findChild<CTARVENView*>();
    }

    std::unique_ptr<CProgram> m_program;
    CTARVENApp* m_app = nullptr;
};
