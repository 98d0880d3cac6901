#pragma once

#include "CMainFrame.h"
#include "CTARVENApp.h"
#include "MonitorTestEnv.h"

#include <memory>

// The whole program with monitor windows, its main window shown and active, as a person finds
// it after start-up.
class MonitorAppTest : public MonitorTest
{
protected:
    void SetUp() override
    {
        MonitorTest::SetUp();
        InstallMonitor();
        m_app = StartApp();
        Frame()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Frame()));
    }

    void TearDown() override
    {
        m_app.reset();
        MonitorTest::TearDown();
    }

    CMainFrame* Frame() const { return m_app->MainFrame(); }

    std::unique_ptr<CTARVENApp> m_app;
};
