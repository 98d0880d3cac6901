#include "MonitorTestEnv.h"

#include "CPaneIndicator.h"
#include "CPrintTarget.h"
#include "MonitorConstants.h"

#include <QDateTime>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <algorithm>
#include <cstring>
#include <utility>

using DisplayTest = MonitorTest;

TEST_F(DisplayTest, NewWindowIsOfflineAndTypingOrPanelClicksSendShowAndCountNothing)
{
    CTARVENView* view = NewMonitor();
    EXPECT_EQ(QStringList({Pane(view, 0), Pane(view, 1), Pane(view, 2)}),
              QStringList({"OFF-LINE", "RS-232C", "COM1-9600-8-N-1"}));
    view->TextView()->setFocus();
    QTest::keyClick(view->TextView(), Qt::Key_A);
    view->OnChar("b\r");
    for (const int cell : {4 * 3 + 1, 32}) // CR, and the last cell, the space
        QTest::mouseClick(view->Panel(), Qt::LeftButton, {},
                          view->Panel()->CellRect(cell).center());
    EXPECT_EQ(Shown(*view), "");
    EXPECT_EQ(view->Sent(), 0);
    EXPECT_FALSE(view->StatusBar()->SendPane()->IsLit());
    EXPECT_EQ(Pane(view, 3), "I: 0, O: 0, L: 0");
    view->OnPause();
    EXPECT_EQ(Pane(view, 0), "OFF-LINE(Paused)");
    // A click on the port pane opens the settings.
    EXPECT_TRUE(
        WaitForDialog([&] { QTest::mouseClick(view->StatusBar()->PortPane(), Qt::LeftButton); }));
}

TEST_F(DisplayTest, PanelTogglesTheTerminalOffsetIsRememberedAndItsLabelsFollowTheRowHeight)
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

    // The labels follow the row height.
    view->OnTogglePanel();
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

TEST_F(DisplayTest, ScrollKeysOnTheViewScrollTheTerminal)
{
    PtyPair pty;
    CTARVENView* view = OpenSerial(pty);
    for (int line = 0; line < 500; ++line)
        WriteSent(*view, QStringLiteral("line %1\r\n").arg(line).toUtf8());
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

TEST_F(DisplayTest, EveryByteValueFromThePortIsShownAndOnlyNulsFollowTheSetting)
{
    // Each byte value twice, through a real tty set raw by the port.
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    all += all;
    for (const int nullCheck : {0, 1}) {
        SetValue("NullCheckFlag", nullCheck);
        PtyPair pty;
        CTARVENView* view = OpenSerial(pty);
        pty.Send(all.toStdString());
        QByteArray expected = all;
        if (nullCheck == 0)
            expected.removeIf([](char b) { return b == 0; });
        ASSERT_TRUE(WaitFor([&] { return view->Received() >= expected.size(); }))
            << "NullCheckFlag " << nullCheck << ": " << view->Received();
        QTest::qWait(50);
        EXPECT_EQ(Shown(*view).toHex(' '), expected.toHex(' ')) << "NullCheckFlag " << nullCheck;
        EXPECT_EQ(view->Received(), expected.size());
        CloseMonitor(view);
    }
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
    CPaneIndicator* port = bar->PortPane();
    // Columns holding the text's ink, which is darker than the pane's background.
    const auto inkColumns = [port] {
        const QImage image = port->grab().toImage();
        int left = image.width(), right = -1;
        for (int x = 2; x < image.width() - 2; ++x) {
            for (int y = 2; y < image.height() - 2; ++y) {
                if (qGray(image.pixel(x, y)) < 100) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
            }
        }
        return std::make_pair(left, right);
    };
    // Shortened, the text keeps its margins: the whole text would be cut at the pane's edges.
    const auto narrowInk = inkColumns();
    EXPECT_GE(narrowInk.first, kIndicatorMarginPx / 2);
    EXPECT_LE(narrowInk.second, port->width() - kIndicatorMarginPx / 2);
    const QString shown = port->ShownText();
    EXPECT_TRUE(shown.contains(u'…')) << shown.toStdString();
    EXPECT_TRUE(shown.startsWith("/dev/")) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith("-N-1")) << shown.toStdString();
    EXPECT_TRUE(port->toolTip().startsWith(path + "-9600-8-N-1"));
    // Wide again, the whole description shows.
    window->resize(2000, 300);
    ASSERT_TRUE(WaitFor([&] { return bar->width() == 2000; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(port->ShownText(), path + "-9600-8-N-1");
    // The text drawn follows what is shown, centred.
    const auto wideInk = inkColumns();
    EXPECT_GT(wideInk.second - wideInk.first, narrowInk.second - narrowInk.first + 50);
    // Within a few pixels: a glyph's ink need not fill its advance.
    EXPECT_NEAR(wideInk.first + wideInk.second, port->width() - 1, 8);
}

namespace {

const QDateTime kStart(QDate(2026, 12, 7), QTime(9, 5, 1, 7));

// Bytes received at kStart plus ms.
void Receive(CTARVENView* view, const QByteArray& bytes, int ms)
{
    view->ShowReceived(bytes, kStart.addMSecs(ms));
}

QStringList Rows(const CTARVENView* view, int count)
{
    QStringList rows;
    for (int i = 0; i < count; ++i)
        rows << view->TextView()->ShownRowText(i);
    return rows;
}

using TimeStampTest = MonitorTest;

} // namespace

TEST_F(TimeStampTest, ChunksAfterAPauseAreStampedInTextAndHexModesAndTheBytesStayAsTheyCame)
{
    CTARVENView* view = NewMonitor();
    EXPECT_FALSE(view->ShowsTimeStamps()) << "off by default";
    view->OnTimeStamps();
    EXPECT_TRUE(view->ShowsTimeStamps());

    Receive(view, "0123456789ABCDEFGHIJ\r\n", 0); // the first chunk: stamped
    Receive(view, "abc", 5);                      // inside the burst
    Receive(view, "\r\n", 25);                    // exactly the gap after: still the burst
    Receive(view, "\r\nnext and more bytes", 46); // a pause: the time leads the new line
    const QByteArray all = "0123456789ABCDEFGHIJ\r\nabc\r\n\r\nnext and more bytes";
    EXPECT_EQ(Shown(*view), all);
    EXPECT_EQ(view->Received(), all.size());
    ASSERT_EQ(view->TextView()->ArrivalStamps().size(), 2u);
    EXPECT_EQ(view->TextView()->ArrivalStamps()[1].offset, uint64_t(all.indexOf("next")));

    EXPECT_EQ(Rows(view, 4), QStringList({"[09:05:01.007] 0123456789ABCDEFGHIJ", "abc", "",
                                          "[09:05:01.053] next and more bytes"}));
    // Hex mode: the time of the first chunk that starts in a row leads the row.
    view->OnHexView();
    const QStringList hex = Rows(view, 3);
    EXPECT_TRUE(hex[0].startsWith("[09:05:01.007] 00000000 30 31")) << hex[0].toStdString();
    EXPECT_TRUE(hex[1].startsWith("[09:05:01.053] 00000010 47 48")) << hex[1].toStdString();
    EXPECT_TRUE(hex[2].startsWith(QString(kStampCells, u' ') + "00000020 74 20"))
        << hex[2].toStdString();
    view->OnTimeStamps();
    EXPECT_TRUE(view->TextView()->ShownRowText(0).startsWith("00000000 30 31"));
    view->OnAsciiView();
    EXPECT_EQ(Rows(view, 1), QStringList({"0123456789ABCDEFGHIJ"}));

    // Paused data is not shown, so it leaves no time; a clear starts afresh.
    view->OnTimeStamps();
    view->OnPause();
    Receive(view, "lost", 1000);
    view->OnPause();
    EXPECT_EQ(view->TextView()->ArrivalStamps().size(), 2u);
    view->OnClear();
    EXPECT_TRUE(view->TextView()->ArrivalStamps().empty());
    Receive(view, "again", 1001);
    EXPECT_EQ(Rows(view, 1), QStringList({"[09:05:02.008] again"}));

    // A chunk that goes the other way gets its time inside a burst too: what was sent and the
    // answer each carry theirs.
    const QByteArray sent = "\r\nAT\r\n";
    view->TextView()->TextWrite(reinterpret_cast<const unsigned char*>(sent.constData()),
                                int(sent.size()), kAttrSent, kStart.addMSecs(1002));
    Receive(view, "OK", 1004);
    // Keys typed one by one are stamped where the direction turned only, and a line break
    // alone takes no time: the next bytes do.
    for (const auto& [key, ms] : {std::pair("\r\n", 1100), std::pair("A", 1200),
                                  std::pair("T", 1300), std::pair("\r\n", 1400)})
        view->TextView()->TextWrite(reinterpret_cast<const unsigned char*>(key),
                                    int(std::strlen(key)), kAttrSent, kStart.addMSecs(ms));
    Receive(view, "\r\n", 1500);
    Receive(view, "OK", 1600);
    EXPECT_EQ(Rows(view, 6),
              QStringList({"[09:05:02.008] again", "[09:05:02.009] AT", "[09:05:02.011] OK",
                           "[09:05:02.207] AT", "", "[09:05:02.607] OK"}));
}

TEST_F(TimeStampTest, TheSettingsKeepTheToggleAndSetTheGap)
{
    CTARVENView* first = NewMonitor();
    first->OnTimeStamps();
    EXPECT_EQ(QSettings(kCompanyName, kApplicationName).value("TARVEN/ShowTimeStamp").toInt(), 1);
    EXPECT_TRUE(NewMonitor()->ShowsTimeStamps()) << "a new window starts as the last was left";

    // A chunk 50 ms after the one before is stamped only when the gap is shorter.
    const struct
    {
        QVariant gap;
        bool stamped;
    } cases[] = {{QVariant(), true}, {100, false}, {10, true}, {-5, true}, {"soon", true}};
    for (const auto& c : cases) {
        if (c.gap.isValid())
            SetValue("TimeStampGap", c.gap);
        CTARVENView* view = NewMonitor();
        Receive(view, "a", 0);
        Receive(view, "b", 50);
        EXPECT_EQ(view->TextView()->ArrivalStamps().size(), c.stamped ? 2u : 1u)
            << "gap " << c.gap.toString().toStdString();
        CloseMonitor(view);
    }
}
