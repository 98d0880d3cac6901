// The live plot of a monitor window: pty data plotted, exported, zoomed; its menu state kept.
#include "LinkMonitorTest.h"
#include "MonitorAppTest.h"
#include "PlotCsv.h"

#include "CChildFrame.h"
#include "CPlotChart.h"
#include "CPlotPanel.h"
#include "CommandIds.h"
#include "FileDialogChoice.h"
#include "TempDir.h"

#include <QAction>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QWheelEvent>

#include <random>
#include <sys/stat.h>

namespace {

// The numbers of a series, oldest first.
std::vector<double> Values(const CPlotPanel& plot, int series)
{
    std::vector<double> values;
    const PlotRing& ring = plot.Samples().Series(series);
    for (std::size_t i = 0; i < ring.Size(); ++i)
        values.push_back(ring.At(i).value);
    return values;
}

void Wheel(QWidget* target, QPoint at, int steps, Qt::KeyboardModifiers modifiers = {})
{
    QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, 120 * steps), Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}

class PlotWindowTest : public MonitorTest
{};

using PlotMenuTest = MonitorAppTest;

} // namespace

TEST_F(PlotWindowTest, RegexPlotOfAPtyDeviceExportsWhatItHolds)
{
    PtyPair pty;
    CTARVENView* view = OpenSerial(pty);
    CMonitorWindow* window = WindowOf(view);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->IsPlotShown());
    window->OnTogglePlot();
    ASSERT_TRUE(window->IsPlotShown());
    CPlotPanel* plot = window->Plot();
    ASSERT_NE(plot, nullptr);
    EXPECT_EQ(WindowOf(view), window) << "the terminal stays where it was";
    ASSERT_TRUE(plot->SetPattern(QStringLiteral("T=([-0-9.]+)C H=([0-9.]+)%")));

    const std::string traffic = "T=23.5C H=41%\r\nboot v2.1\r\nT=23.7C H=40%\r\n"
                                "T=2.3.4C H=39.5%\r\nT=24.0C H=39.5%\r\n";
    pty.Send(traffic.substr(0, 20)); // a line cut in two on the way
    ASSERT_TRUE(WaitFor([&] { return view->Received() == 20; }));
    pty.Send(traffic.substr(20));
    ASSERT_TRUE(WaitFor([&] { return plot->Samples().Rows() == 4; }));
    EXPECT_EQ(plot->Parser().SeriesNames(), (QStringList{"#1", "#2"}));
    EXPECT_EQ(Values(*plot, 0), (std::vector<double>{23.5, 23.7, 24.0}));
    EXPECT_EQ(Values(*plot, 1), (std::vector<double>{41, 40, 39.5, 39.5}));
    // The terminal works as before: every byte shown.
    ASSERT_TRUE(WaitFor([&] { return view->Received() == qint64(traffic.size()); }));
    EXPECT_EQ(Shown(*view), QByteArray::fromStdString(traffic));

    plot->Refresh();
    ASSERT_TRUE(WaitFor([&] { return plot->Chart()->LegendText(0) == "#1 = 24"; }));
    EXPECT_EQ(plot->Chart()->LegendText(1), "#2 = 39.5");
    EXPECT_EQ(plot->Chart()->Points(1).size(), 4);

    TempDir dir;
    ASSERT_TRUE(plot->ExportCsv(dir.Path("th.csv")));
    QStringList header;
    EXPECT_TRUE(CsvRows(TempDir::Read(dir.Path("th.csv")), &header) == HeldRows(plot->Samples()));
    EXPECT_EQ(header, (QStringList{"sample", "seconds", "time", "#1", "#2"}));
    ASSERT_TRUE(plot->ExportPng(dir.Path("th.png")));
    const QImage picture(dir.Path("th.png"));
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), plot->Chart()->size() * plot->Chart()->devicePixelRatio());
    EXPECT_TRUE(m_messages.texts.isEmpty()) << m_messages.texts.join('\n').toStdString();

    // From its button: the name asked, the suffix added, an existing file kept unless told.
    auto* exportCsv = plot->findChild<QAction*>("PlotExportCsv");
    ASSERT_NE(exportCsv, nullptr);
    m_onDialog = [&](QDialog* dialog) {
        ChooseFile(qobject_cast<QFileDialog*>(dialog), dir.Path("chosen"));
    };
    ASSERT_TRUE(WaitForDialog([&] { exportCsv->trigger(); }));
    const QByteArray chosen = TempDir::Read(dir.Path("chosen.csv"));
    EXPECT_TRUE(chosen.startsWith("sample,seconds,time,#1,#2\r\n0,"));
    pty.Send("T=25C H=38%\r\n");
    ASSERT_TRUE(WaitFor([&] { return plot->Samples().Rows() == 5; }));
    ASSERT_TRUE(WaitForDialog([&] { exportCsv->trigger(); }));
    EXPECT_TRUE(m_messages.Starting(dir.Path("chosen.csv")).endsWith("바꾸시겠습니까?"));
    EXPECT_EQ(TempDir::Read(dir.Path("chosen.csv")), chosen) << "the user kept the old file";
    m_onDialog = nullptr;

    // Hidden, the plot takes nothing; the terminal goes on.
    window->OnTogglePlot();
    EXPECT_FALSE(window->IsPlotShown());
    pty.Send("T=30C H=30%\r\n");
    ASSERT_TRUE(WaitFor([&] { return view->Received() == qint64(traffic.size()) + 26; }));
    EXPECT_EQ(plot->Samples().Rows(), 5u);
}

TEST_F(PlotWindowTest, HostileTrafficAndFilesNeitherStopNorHang)
{
    PtyPair pty;
    SetValue("NullCheckFlag", 1);
    CTARVENView* view = OpenSerial(pty);
    CMonitorWindow* window = WindowOf(view);
    window->OnTogglePlot();
    CPlotPanel* plot = window->Plot();
    ASSERT_NE(plot, nullptr);

    std::mt19937 random(7);
    std::string traffic(1 << 20, '\0');
    for (char& c : traffic)
        c = char(random());
    traffic += "\n" + std::string(100000, '1') + "\n"; // one line far too long
    for (int i = 0; i < 1000; ++i)
        traffic += std::to_string(i) + ',' + std::to_string(i * 0.5) + "\r\n";
    pty.Send(traffic);
    ASSERT_TRUE(WaitFor([&] { return view->Received() == qint64(traffic.size()); }));
    EXPECT_GE(plot->Samples().Rows(), 1000u);
    EXPECT_LE(plot->Parser().SeriesNames().size(), PlotParser::kMaxSeries);
    EXPECT_GE(plot->Parser().DroppedLines(), 1);
    const PlotRing& first = plot->Samples().Series(0);
    EXPECT_EQ(first.Last().value, 999);

    TempDir dir;
    // A FIFO of that name is replaced, never opened for writing and waited on.
    const QString fifo = dir.Path("plot.csv");
    ASSERT_EQ(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    EXPECT_TRUE(plot->ExportCsv(fifo));
    EXPECT_TRUE(QFileInfo(fifo).isFile());
    EXPECT_TRUE(TempDir::Read(fifo).startsWith("sample,seconds,time"));
    // A folder that is not there: told, nothing else.
    EXPECT_FALSE(plot->ExportPng(dir.Path("missing/plot.png")));
    EXPECT_TRUE(m_messages.Starting("파일을 저장할 수 없습니다.").contains("missing/plot.png"));
}

TEST_F(PlotWindowTest, ZoomPanPauseAndFollow)
{
    PlotSettings settings;
    settings.window = {PlotAxis::Sample, 100};
    CPlotPanel plot(settings);
    plot.resize(700, 450);
    plot.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&plot));
    CPlotChart* chart = plot.Chart();
    const auto feed = [&](int from, int to) {
        QByteArray lines;
        for (int i = from; i < to; ++i)
            lines += QByteArray::number(i) + ' ' + QByteArray::number(i % 10) + '\n';
        plot.Feed(lines, TextEncoding::Auto);
        plot.Refresh();
    };

    feed(0, 300);
    EXPECT_TRUE(plot.IsFollowing());
    EXPECT_EQ(chart->Ranges().left(), 199);
    EXPECT_EQ(chart->Ranges().right(), 299);
    EXPECT_LT(chart->Ranges().top(), 0);
    EXPECT_GT(chart->Ranges().bottom(), 299) << "the value axis fits the data";

    // The wheel zooms the x axis about the pointer and leaves the data behind.
    const QRectF area = chart->chart()->plotArea();
    Wheel(chart->viewport(), area.center().toPoint(), 1);
    const QRectF zoomed = chart->Ranges();
    EXPECT_FALSE(plot.IsFollowing());
    EXPECT_NEAR(zoomed.width(), 80, 1e-6);
    EXPECT_GT(zoomed.left(), 199);
    feed(300, 400);
    EXPECT_EQ(chart->Ranges(), zoomed) << "the user's ranges stay while data comes";

    // Shift and the wheel zoom values; the arrows pan; a drag with the middle button too.
    Wheel(chart->viewport(), area.center().toPoint(), -1, Qt::ShiftModifier);
    EXPECT_NEAR(chart->Ranges().height(), zoomed.height() * 1.25, 1e-6);
    EXPECT_NEAR(chart->Ranges().width(), zoomed.width(), 1e-6);
    chart->setFocus();
    const double left = chart->Ranges().left();
    QTest::keyClick(chart, Qt::Key_Left);
    EXPECT_NEAR(chart->Ranges().left(), left - 8, 1e-6);
    const QPoint from = area.center().toPoint();
    QTest::mousePress(chart->viewport(), Qt::MiddleButton, {}, from);
    QTest::mouseMove(chart->viewport(), from + QPoint(int(area.width() / 4), 0));
    QTest::mouseRelease(chart->viewport(), Qt::MiddleButton, {},
                        from + QPoint(int(area.width() / 4), 0));
    EXPECT_NEAR(chart->Ranges().left(), left - 8 - 20, 0.5);

    // A box drawn with the left button zooms into it.
    const QRectF before = chart->Ranges();
    const QPoint corner = area.topLeft().toPoint() + QPoint(1, 1);
    const QPoint middle = area.center().toPoint();
    QTest::mousePress(chart->viewport(), Qt::LeftButton, {}, corner);
    QTest::mouseMove(chart->viewport(), middle);
    QTest::mouseRelease(chart->viewport(), Qt::LeftButton, {}, middle);
    EXPECT_LT(chart->Ranges().width(), before.width() * 0.6);

    // Home follows again; the newest data is in view.
    QTest::keyClick(chart, Qt::Key_Home);
    plot.Refresh();
    EXPECT_TRUE(plot.IsFollowing());
    EXPECT_EQ(chart->Ranges().right(), 399);

    // Space pauses: nothing is taken; what is shown can still be exported.
    QTest::keyClick(chart, Qt::Key_Space);
    EXPECT_TRUE(plot.IsPaused());
    feed(400, 450);
    EXPECT_EQ(plot.Samples().Rows(), 400u);
    EXPECT_TRUE(plot.StatusText().contains("멈춤"));
    QTest::keyClick(chart, Qt::Key_Space);
    feed(450, 460);
    EXPECT_EQ(plot.Samples().Rows(), 410u);
    EXPECT_EQ(chart->Ranges().right(), 409);

    // The grip on the left edge sets the width, kept when the drag ends.
    auto* grip = plot.findChild<QWidget*>("PlotGrip");
    ASSERT_NE(grip, nullptr);
    int changed = 0;
    QObject::connect(&plot, &CPlotPanel::settingsChanged, [&] { ++changed; });
    const int wide = plot.width();
    QTest::mousePress(grip, Qt::LeftButton, {}, QPoint(2, 100));
    QTest::mouseMove(grip, QPoint(-48, 100));
    QTest::mouseRelease(grip, Qt::LeftButton, {}, QPoint(-48, 100));
    EXPECT_EQ(plot.width(), wide + 50);
    EXPECT_EQ(plot.Settings().nWidth, wide + 50);
    EXPECT_EQ(changed, 1);

    // Esc hands the keyboard back to whoever owns the panel.
    int left_ = 0;
    QObject::connect(&plot, &CPlotPanel::leaveRequested, [&] { ++left_; });
    QTest::keyClick(chart, Qt::Key_Escape);
    EXPECT_EQ(left_, 1);
}

TEST_F(PlotMenuTest, MonitorWindowsKeepThePlotShownWithItsPattern)
{
    // The item itself is checked with the other panels' items in PanelMenuTest.
    QAction* graph = Frame()->Action(ID_VIEW_PLOT);
    CTARVENView* first = OpenMonitor();
    ASSERT_NE(first, nullptr);
    graph->trigger();
    EXPECT_TRUE(WindowOf(first)->IsPlotShown());
    EXPECT_TRUE(graph->isChecked());
    QSettings settings(kCompanyName, kApplicationName);
    EXPECT_EQ(settings.value("MonitorPlot/Shown").toInt(), 1);
    // The user chooses a pattern: the choice is kept.
    CPlotPanel* plot = WindowOf(first)->Plot();
    auto* format = plot->findChild<QComboBox*>("PlotFormat");
    auto* pattern = plot->findChild<QLineEdit*>("PlotPattern");
    ASSERT_TRUE(format != nullptr && pattern != nullptr);
    EXPECT_FALSE(pattern->isEnabled());
    format->setCurrentIndex(1);
    emit format->activated(1);
    ASSERT_TRUE(pattern->isEnabled());
    EXPECT_EQ(plot->StatusText(), "정규식을 적고 Enter를 누르십시오.");
    QTest::keyClicks(pattern, QStringLiteral("V=(\\d+)"));
    QTest::keyClick(pattern, Qt::Key_Return);
    EXPECT_EQ(plot->Settings().strPattern, "V=(\\d+)");

    // The next monitor window opens with its plot, as the last one had it.
    CTARVENView* second = OpenMonitor();
    ASSERT_NE(second, nullptr);
    ASSERT_NE(second, first);
    ASSERT_TRUE(WindowOf(second)->IsPlotShown());
    EXPECT_EQ(WindowOf(second)->Plot()->Settings().format, PlotFormat::Regex);
    EXPECT_EQ(WindowOf(second)->Plot()->Settings().strPattern, "V=(\\d+)");
    EXPECT_TRUE(graph->isChecked());

    // Closed from the panel: the item follows, and the next window opens without it.
    auto* close = WindowOf(second)->Plot()->findChild<QAction*>("PlotClose");
    ASSERT_NE(close, nullptr);
    close->trigger();
    EXPECT_FALSE(WindowOf(second)->IsPlotShown());
    EXPECT_FALSE(graph->isChecked());
    settings.sync();
    EXPECT_EQ(settings.value("MonitorPlot/Shown").toInt(), 0);
    EXPECT_TRUE(WindowOf(first)->IsPlotShown()) << "each window has its own";
}
