#include "CSizingControlBar.h"
#include "TempDir.h"

#include <QMainWindow>
#include <QSettings>
#include <QTextEdit>
#include <gtest/gtest.h>
#include <memory>

namespace {

// A frame with the two bars the program docks, as it creates them at each start.
struct Frame
{
    Frame()
    {
        window.resize(800, 600);
        window.setCentralWidget(new QTextEdit);
        output->Create("스크립트 출력창", &window, QSize(300, 100), true, 123,
                       Qt::BottomDockWidgetArea);
        cmdList->Create("송신 메세지창", &window, QSize(300, 100), true, 124,
                        Qt::TopDockWidgetArea);
    }

    QMainWindow window;
    CSizingControlBar* output = new CSizingControlBar(&window);
    CSizingControlBar* cmdList = new CSizingControlBar(&window);
};

} // namespace

TEST(CSizingControlBar, CreateDocksATitledBarThatGoesOnEverySide)
{
    Frame frame;
    EXPECT_EQ(frame.output->windowTitle(), "스크립트 출력창");
    EXPECT_EQ(frame.output->objectName(), "123");
    EXPECT_EQ(frame.output->allowedAreas(), Qt::AllDockWidgetAreas);
    EXPECT_TRUE(frame.output->features() & QDockWidget::DockWidgetMovable);
    EXPECT_EQ(frame.window.dockWidgetArea(frame.output), Qt::BottomDockWidgetArea);
    EXPECT_EQ(frame.window.dockWidgetArea(frame.cmdList), Qt::TopDockWidgetArea);
    EXPECT_FALSE(frame.output->Create("x", nullptr, QSize(1, 1), true, 1, Qt::LeftDockWidgetArea));
}

TEST(CSizingControlBar, GlobalStateRestoresSidesAndVisibility)
{
    TempDir dir;
    QSettings settings(dir.Path("state.ini"), QSettings::IniFormat);
    {
        Frame frame;
        EXPECT_FALSE(CSizingControlBar::GlobalLoadState(&frame.window, settings, "BarState"));
        frame.window.show();
        frame.window.addDockWidget(Qt::LeftDockWidgetArea, frame.cmdList);
        frame.output->hide();
        CSizingControlBar::GlobalSaveState(&frame.window, settings, "BarState");
    }
    Frame frame;
    frame.window.show();
    ASSERT_TRUE(CSizingControlBar::GlobalLoadState(&frame.window, settings, "BarState"));
    EXPECT_EQ(frame.window.dockWidgetArea(frame.cmdList), Qt::LeftDockWidgetArea);
    EXPECT_TRUE(frame.cmdList->isVisible());
    EXPECT_FALSE(frame.output->isVisible());
}
