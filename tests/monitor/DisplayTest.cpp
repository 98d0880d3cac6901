#include "MonitorTestEnv.h"

#include "CControlPanel.h"
#include "CPaneIndicator.h"
#include "MonitorConstants.h"
#include "PtyPair.h"

#include <QPrinter>
#include <QScrollBar>

using DisplayTest = MonitorTest;

TEST_F(DisplayTest, TypingOfflineSendsShowsAndCountsNothing)
{
    CTARVENView* view = NewMonitor();
    ASSERT_FALSE(view->IsOnline());
    view->TextView()->setFocus();
    QTest::keyClick(view->TextView(), Qt::Key_A);
    view->OnChar("b\r");
    EXPECT_EQ(Shown(*view), "");
    EXPECT_EQ(view->Sent(), 0);
    EXPECT_FALSE(view->StatusBar()->SendPane()->IsLit());
    EXPECT_EQ(Pane(view, 3), "I: 0, O: 0, L: 0");
}

TEST_F(DisplayTest, PanelClickOfflineShowsAndCountsNothing)
{
    CTARVENView* view = NewMonitor();
    for (const int cell : {4 * 3 + 1, 32}) // CR, and the last cell, the space
        QTest::mouseClick(view->Panel(), Qt::LeftButton, {},
                          view->Panel()->CellRect(cell).center());
    EXPECT_EQ(Shown(*view), "");
    EXPECT_EQ(view->Sent(), 0);
    EXPECT_FALSE(view->StatusBar()->SendPane()->IsLit());
}

TEST_F(DisplayTest, PanelTogglesTheTerminalOffsetAndIsRemembered)
{
    CTARVENView* view = NewMonitor();
    ASSERT_TRUE(view->IsPanelShown());
    EXPECT_EQ(view->TextView()->geometry().x(), 100);
    EXPECT_EQ(view->TextView()->geometry().right(), view->width() - 1);
    view->OnTogglePanel();
    EXPECT_EQ(view->TextView()->geometry().x(), 0);
    EXPECT_FALSE(view->Panel()->isVisible());
    QSettings settings(kCompanyName, kApplicationName);
    EXPECT_EQ(settings.value("TARVEN/ShowControlPanel").toInt(), 0);

    CTARVENView* next = NewMonitor("Tvn2");
    EXPECT_FALSE(next->IsPanelShown());
    EXPECT_EQ(next->TextView()->geometry().x(), 0);
}

TEST_F(DisplayTest, PanelLabelsFollowTheRowHeight)
{
    CTARVENView* view = NewMonitor();
    const struct
    {
        int height;
        bool names;
        int fontPx;
    } cases[] = {{200, false, 12}, {330, true, 12}, {110, false, 10}};
    for (const auto& c : cases) {
        view->resize(400, c.height);
        EXPECT_EQ(view->Panel()->ShowsNames(), c.names) << c.height;
        EXPECT_EQ(view->Panel()->LabelFont().pixelSize(), c.fontPx) << c.height;
    }
    view->resize(400, 330);
    // Cells go row by row, index = row * 3 + column; at 330 pixels each row is 30 high.
    EXPECT_EQ(view->Panel()->CellAt(QPoint(40, 30 * 4 + 5)), 13);
    EXPECT_EQ(view->Panel()->CellAt(QPoint(5, 329)), 30);
    EXPECT_EQ(view->Panel()->CellAt(QPoint(150, 5)), -1);
}

TEST_F(DisplayTest, NewWindowStartsWithItsPanes)
{
    CTARVENView* view = NewMonitor();
    EXPECT_EQ(Pane(view, 0), "OFF-LINE");
    EXPECT_EQ(Pane(view, 1), "RS-232C");
    EXPECT_EQ(Pane(view, 2), "COM1-9600-8-N-1");
    EXPECT_EQ(Pane(view, 4), "Tx");
    EXPECT_EQ(Pane(view, 5), "Rx");
    EXPECT_EQ(Pane(view, 6), "00:00:00");
}

TEST_F(DisplayTest, DisplayModesAndThePauseText)
{
    CTARVENView* view = NewMonitor();
    view->OnHexView();
    EXPECT_TRUE(view->TextView()->IsHexaView());
    view->OnAsciiView();
    EXPECT_FALSE(view->TextView()->IsHexaView());
    view->OnControlView();
    EXPECT_TRUE(view->TextView()->IsControlReceive());
    view->OnPause();
    EXPECT_EQ(Pane(view, 0), "OFF-LINE(Paused)");
}

TEST_F(DisplayTest, ScrollKeysOnTheViewScrollTheTerminal)
{
    CTARVENView* view = NewMonitor();
    for (int line = 0; line < 500; ++line)
        WriteSent(*view, QStringLiteral("line %1\r\n").arg(line).toUtf8());
    PtyPair pty;
    SetValue("PortName", QString::fromStdString(pty.SlavePath()));
    view->LoadLinkSettings();
    view->OnPortOpen();
    ASSERT_TRUE(view->IsOnline());
    CTextViewCtrl* terminal = view->TextView();
    ASSERT_TRUE(WaitFor([&] { return terminal->verticalScrollBar()->maximum() > 0; }));
    const int bottom = terminal->verticalScrollBar()->value();
    const qint64 sent = view->Sent();
    QTest::keyClick(view, Qt::Key_PageUp);
    EXPECT_LT(terminal->verticalScrollBar()->value(), bottom);
    QTest::keyClick(view, Qt::Key_Down);
    QTest::keyClick(view, Qt::Key_F5);
    QTest::keyClick(view, Qt::Key_Z);
    EXPECT_EQ(pty.Receive(2, std::chrono::milliseconds(300)), "z")
        << "scroll and function keys are not sent";
    EXPECT_EQ(view->Sent(), sent + 1);
}

TEST_F(DisplayTest, PortPaneClickOpensTheSettings)
{
    CTARVENView* view = NewMonitor();
    EXPECT_TRUE(
        WaitForDialog([&] { QTest::mouseClick(view->StatusBar()->PortPane(), Qt::LeftButton); }));
}

TEST_F(DisplayTest, PrintingMakesAPdf)
{
    CTARVENView* view = NewMonitor();
    WriteSent(*view, "printed line\r\n");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(Path("print.pdf"));
    ASSERT_TRUE(view->PrintTo(printer));
    EXPECT_TRUE(TempDir::Read(Path("print.pdf")).startsWith("%PDF"));
}

TEST_F(DisplayTest, NarrowWindowKeepsTheStateAndTheLampsAndShortensThePathInTheMiddle)
{
    const QString path = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
    SetValue("PortName", path);
    CTARVENView* view = NewMonitor();
    QWidget* window = view->window();
    window->resize(420, 300);
    CMonitorStatusBar* bar = view->StatusBar();
    ASSERT_TRUE(WaitFor([&] { return bar->width() == 420; }));
    QCoreApplication::processEvents();

    const QWidget* online = bar->findChild<QWidget*>(QString::number(ID_PANE_ONLINE));
    for (const QWidget* pane : {online, static_cast<const QWidget*>(bar->SendPane()),
                                static_cast<const QWidget*>(bar->ReceivePane())}) {
        EXPECT_TRUE(pane->isVisible()) << pane->objectName().toStdString();
        EXPECT_GE(pane->width(), pane->sizeHint().width()) << pane->objectName().toStdString();
        EXPECT_LE(pane->geometry().right(), bar->contentsRect().right())
            << pane->objectName().toStdString();
    }
    const CPaneIndicator* port = bar->PortPane();
    const QString shown = port->ShownText();
    EXPECT_TRUE(shown.contains(u'…')) << shown.toStdString();
    EXPECT_TRUE(shown.startsWith("/dev/")) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith("-N-1")) << shown.toStdString();
    EXPECT_TRUE(port->toolTip().startsWith(path + "-9600-8-N-1"));
}
