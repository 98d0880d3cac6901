#include "MonitorTestEnv.h"
#include "PtyPair.h"

#include <QDateTime>

using namespace std::chrono_literals;

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

class TimeStampTest : public MonitorTest
{};

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

TEST_F(TimeStampTest, BytesFromAPseudoTerminalCarryTheirArrivalTime)
{
    PtyPair pty;
    SetValue("ShowTimeStamp", 1);
    SetValue("PortName", QString::fromStdString(pty.SlavePath()));
    CTARVENView* view = NewMonitor();
    view->OnPortOpen();
    ASSERT_TRUE(view->IsOnline());
    const QTime before = QTime::currentTime();
    pty.Send("ping");
    ASSERT_TRUE(WaitFor([&] { return view->Received() == 4; }));
    const QTime after = QTime::currentTime();
    const std::vector<ArrivalStamp> stamps = view->TextView()->ArrivalStamps();
    ASSERT_EQ(stamps.size(), 1u);
    EXPECT_GE(stamps[0].msOfDay, before.msecsSinceStartOfDay());
    EXPECT_LE(stamps[0].msOfDay, after.msecsSinceStartOfDay());
    EXPECT_TRUE(view->TextView()->ShownRowText(0).endsWith("] ping"));
}
