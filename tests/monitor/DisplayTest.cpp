#include "MonitorTestEnv.h"

#include "CControlPanel.h"
#include "CPaneIndicator.h"
#include "CPrintTarget.h"
#include "MonitorConstants.h"
#include "PtyPair.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
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

TEST_F(DisplayTest, PrintDialogSavesAPdfAndFailuresAreReported)
{
    CTARVENView* view = NewMonitor();
    WriteSent(*view, "printed line\r\n");

    // The print dialog's "PDF로 저장" asks for a file and writes it.
    const QString pdf = Path("saved");
    bool offered = false;
    m_onDialog = [&](QDialog* dialog) {
        if (auto* files = qobject_cast<QFileDialog*>(dialog)) {
            // Typed into the name field: selectFile leaves a field that has the focus alone.
            files->findChild<QLineEdit*>("fileNameEdit")->setText(pdf);
            QMetaObject::invokeMethod(files, "accept");
            return;
        }
        auto* save = dialog->findChild<QPushButton*>("savePdf");
        offered = save != nullptr && save->text() == "PDF로 저장";
        // Clicked from the event loop: the file dialog it opens is handled like any other.
        if (save != nullptr)
            QTimer::singleShot(0, save, &QPushButton::click);
        else
            dialog->reject();
    };
    EXPECT_TRUE(WaitForDialog([&] { view->OnPrint(); }));
    EXPECT_TRUE(offered);
    EXPECT_TRUE(TempDir::Read(pdf + ".pdf").startsWith("%PDF"));
    EXPECT_TRUE(m_messages.texts.isEmpty()) << m_messages.texts.join('|').toStdString();

    // A printer that cannot start, a file that cannot be made or filled: each is told.
    QPrinter missing(QPrinter::HighResolution);
    missing.setOutputFormat(QPrinter::NativeFormat);
    missing.setPrinterName("tarven-no-such-printer");
    CPrintTarget printer(missing);
    EXPECT_FALSE(view->PrintTo(printer));
    QPrinter toFile(QPrinter::HighResolution);
    toFile.setOutputFormat(QPrinter::PdfFormat);
    toFile.setOutputFileName(Path("no/such/folder/x.pdf"));
    CPrintTarget unmade(toFile);
    EXPECT_FALSE(view->PrintTo(unmade));
    CPrintTarget full(QStringLiteral("/dev/full"));
    EXPECT_FALSE(view->PrintTo(full));
    ASSERT_EQ(m_messages.texts.size(), 3);
    EXPECT_TRUE(m_messages.texts[0].startsWith("인쇄를 시작할 수 없습니다.\n프린터:"));
    EXPECT_EQ(m_messages.texts[1], "인쇄를 시작할 수 없습니다.\n" + Path("no/such/folder/x.pdf") +
                                       "\n해당 파일이나 장치가 없습니다");
    EXPECT_EQ(m_messages.texts[2], "인쇄를 마치지 못했습니다.\n/dev/full\n저장 공간이 부족합니다");
    EXPECT_EQ(m_messages.captions, QStringList(3, "인쇄"));
}

TEST_F(DisplayTest, NarrowWindowKeepsTheStateAndTheLampsAndShortensThePathInTheMiddle)
{
    const QString path = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
    SetValue("PortName", path);
    CTARVENView* view = NewMonitor();
    QWidget* window = view->window();
    // Narrow for a bar that also carries the four input lines.
    constexpr int kNarrowPx = 520;
    window->resize(kNarrowPx, 300);
    CMonitorStatusBar* bar = view->StatusBar();
    ASSERT_TRUE(WaitFor([&] { return bar->width() == kNarrowPx; }));
    QCoreApplication::processEvents();

    const QWidget* online = bar->findChild<QWidget*>(QString::number(ID_PANE_ONLINE));
    for (const QWidget* pane : {online, static_cast<const QWidget*>(bar->SendPane()),
                                static_cast<const QWidget*>(bar->ReceivePane()),
                                static_cast<const QWidget*>(bar->LinePane(0)),
                                static_cast<const QWidget*>(bar->LinePane(3))}) {
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
