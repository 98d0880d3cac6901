#include "CCmdListDlg.h"
#include "CCmdListGrid.h"
#include "CMonitorLink.h"
#include "CPaneIndicator.h"
#include "CRowRepeater.h"
#include "CmdListConstants.h"
#include "ModbusSlave.h"
#include "MonitorTestEnv.h"
#include "PtyPair.h"
#include "TcpPeer.h"
#include "TermViewConstants.h"

#include <QElapsedTimer>
#include <QMenu>
#include <QPointer>

namespace {

const QString kBadNotation = QStringLiteral("전송하려는 데이타 형식에 오류가 있습니다.");

// The bytes a terminal view shows as received.
QByteArray Received(const CTARVENView& view)
{
    QByteArray received;
    const QByteArray bytes = Shown(view);
    const QByteArray attributes = Attributes(view);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        if (attributes[i] == kAttrReceived)
            received += bytes[i];
    return received;
}

class CmdListSendTest : public MonitorTest
{
protected:
    // A panel whose sends go to view while it exists or, following, to the window in
    // m_active, the one "activated" last.
    std::unique_ptr<CCmdListDlg> NewPanel(CTARVENView* view, bool following = false)
    {
        QPointer<CTARVENView> fixed(view);
        auto panel = std::make_unique<CCmdListDlg>([this, fixed, following]() -> CSendTarget* {
            CTARVENView* target = following ? m_active.data() : fixed.data();
            return target ? target->Link() : nullptr;
        });
        panel->resize(600, 300);
        panel->show();
        return panel;
    }

    // Puts text in the first row and clicks its button, as a user does; the panel handles the
    // request once events are delivered.
    static void ClickSend(CCmdListDlg& panel, const QString& text)
    {
        panel.Grid()->item(0, kTextColumn)->setText(text);
        ClickButton(panel, 0);
    }
    static void ClickButton(CCmdListDlg& panel, int row)
    {
        CCmdListGrid* grid = panel.Grid();
        const QModelIndex index = grid->model()->index(row, kButtonColumn);
        grid->scrollTo(index);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index).center());
        QCoreApplication::sendPostedEvents(&panel, QEvent::MetaCall);
    }
    static void SetRow(CCmdListDlg& panel, int row, const QString& text, int periodMs)
    {
        panel.Grid()->item(row, kTextColumn)->setText(text);
        panel.Grid()->item(row, kPeriodColumn)->setText(QString::number(periodMs));
    }
    // What the far end holds now; nothing is sent meanwhile, the event loop does not run.
    static std::string Drain(const PtyPair& pty)
    {
        return pty.Receive(1 << 20, std::chrono::milliseconds(50));
    }
    // The next n bytes at the far end, waiting for them.
    static QByteArray Take(const PtyPair& pty, qsizetype n)
    {
        return QByteArray::fromStdString(pty.Receive(size_t(n), std::chrono::seconds(10)));
    }

    CTARVENView* OpenSocket(int role, quint16 port)
    {
        SetValue("Interface", 1);
        SetValue("Active", role);
        SetValue("ServerPort", port);
        SetValue("ServerIP", qint32(0x7F000001));
        SetValue("WelcomeFlag", 0);
        CTARVENView* view = NewMonitor();
        view->OnPortOpen();
        return view;
    }

    QPointer<CTARVENView> m_active;
};

} // namespace

TEST_F(CmdListSendTest, RowsGoOutOnASerialLinkTranslatedEchoedAndCounted)
{
    PtyPair pty;
    CTARVENView* view = OpenSerial(pty);
    auto panel = NewPanel(view);
    const QByteArray before = Shown(*view);
    const struct
    {
        QString text;
        QByteArray bytes;
    } cases[] = {
        {"AT<0D><0A>", QByteArray::fromHex("41540d0a")},
        {"<0d>", QByteArray::fromHex("0d")},
        {"a<<b>>c", "a<b>c"},
        {"<<OK>>", "<OK>"},
        {QStringLiteral("상태?<0D>"), QStringLiteral("상태?\r").toUtf8()},
        // A Modbus RTU request with its CRC appended, and a frame that ends in its CRC-32.
        {"<01><03><00><00><00><0A><CRC16>", QByteArray::fromHex("01030000000ac5cd")},
        {"<02>123456789<CRC32>", QByteArray::fromHex("02313233343536373839c39582ca")},
    };
    QByteArray all;
    for (const auto& c : cases) {
        ClickSend(*panel, c.text);
        EXPECT_EQ(panel->SendText(), c.text);
        EXPECT_EQ(Take(pty, c.bytes.size()), c.bytes) << c.text.toStdString();
        all += c.bytes;
    }
    EXPECT_EQ(view->Sent(), all.size());
    EXPECT_EQ(Shown(*view).mid(before.size()), all);
    EXPECT_EQ(Attributes(*view).mid(before.size()), QByteArray(all.size(), 0x31));
    EXPECT_EQ(view->Lines(), view->TextView()->GetLineSize());
    EXPECT_TRUE(view->StatusBar()->SendPane()->IsLit());
    EXPECT_TRUE(m_messages.texts.isEmpty());

    // Wrong notation: the message, and nothing goes out or is counted. An empty text sends
    // nothing and says nothing. The next good text is the first thing the far end sees.
    for (const QString text : {"<D>", "<0D0A>", "<0G>", "A>B", "<0D", "<crc16>", ""})
        ClickSend(*panel, text);
    EXPECT_EQ(m_messages.texts, QStringList(6, kBadNotation));
    EXPECT_EQ(view->Sent(), all.size());
    ClickSend(*panel, "Z");
    EXPECT_EQ(Take(pty, 1), "Z");
}

TEST_F(CmdListSendTest, AModbusRequestWithItsCrc16IsAnsweredByARealRtuSlave)
{
    ModbusSlave slave;
    if (!slave.Skip().isEmpty())
        GTEST_SKIP() << slave.Skip().toStdString();
    ASSERT_FALSE(slave.Device().isEmpty()) << slave.Error().toStdString();
    SetValue("Interface", 0);
    SetValue("PortName", slave.Device());
    CTARVENView* view = NewMonitor();
    view->OnPortOpen();
    ASSERT_TRUE(view->IsOnline()) << m_messages.texts.join('\n').toStdString();
    auto panel = NewPanel(view);

    // A slave answers only a frame whose CRC is right: read two holding registers, write one,
    // read them again. The replies (and their CRCs) are the slave's own.
    const struct
    {
        const char* request;
        QByteArray reply;
    } exchanges[] = {
        {"<01><03><00><00><00><02><CRC16>", QByteArray::fromHex("010304123400017f45")},
        {"<01><06><00><01><AB><CD><CRC16>", QByteArray::fromHex("01060001abcd66af")},
        {"<01><03><00><00><00><02><CRC16>", QByteArray::fromHex("0103041234abcd0020")},
    };
    QByteArray replies;
    for (const auto& exchange : exchanges) {
        replies += exchange.reply;
        ClickSend(*panel, exchange.request);
        EXPECT_TRUE(WaitFor([&] { return Received(*view).size() >= replies.size(); }))
            << exchange.request;
        ASSERT_EQ(Received(*view).toHex(), replies.toHex()) << exchange.request;
    }
    EXPECT_TRUE(m_messages.texts.isEmpty());
}

TEST_F(CmdListSendTest, RowsGoOutInTheMonitorsEncodingOrNotAtAll)
{
    // A CP949 monitor, as a Korean bench's device speaks: its rows go out as CP949 whatever the
    // command file holds, as typed keys do; a Latin-1 monitor sends Latin-1.
    const struct
    {
        int encoding;
        QString text;
        QByteArray bytes;
    } cases[] = {
        {2, QStringLiteral("한글<0D>"), QByteArray("\xC7\xD1\xB1\xDB\r")},
        {3, QStringLiteral("café<0A>"), QByteArray("caf\xE9\n")},
        {1, QStringLiteral("한"), QStringLiteral("한").toUtf8()},
    };
    for (const auto& c : cases) {
        PtyPair pty;
        SetValue("RecvEncoding", c.encoding);
        CTARVENView* view = OpenSerial(pty);
        auto panel = NewPanel(view);
        ClickSend(*panel, c.text);
        EXPECT_EQ(Take(pty, c.bytes.size()), c.bytes) << c.text.toStdString();

        // A character the encoding lacks: the row is named, and nothing of it goes out.
        m_messages.texts.clear();
        if (c.encoding != 1) {
            panel->Grid()->item(2, kTextColumn)->setText(QStringLiteral("A😀"));
            ClickButton(*panel, 2);
            EXPECT_EQ(m_messages.texts,
                      QStringList(QStringLiteral("전송 3의 '😀' 문자는 %1(으)로 보낼 수 없어 "
                                                 "보내지 않았습니다.")
                                      .arg(c.encoding == 2 ? "CP949" : "Latin-1")));
            EXPECT_EQ(Drain(pty), "");
        }
        view->OnPortClose();
    }
}

TEST_F(CmdListSendTest, RowsGoToATcpServerAndToEveryClientOfAListeningWindow)
{
    TcpListener listener;
    CTARVENView* client = OpenSocket(0, listener.Port());
    ASSERT_TRUE(WaitFor([&] { return client->IsOnline(); }));
    TcpPeer server = listener.Accept();
    auto panel = NewPanel(client);
    ClickSend(*panel, "AT<0D><0A>");
    EXPECT_EQ(server.Take(4), QByteArray::fromHex("41540d0a"));
    EXPECT_EQ(client->Sent(), 4);

    // A text longer than 4096 bytes goes out whole.
    const QString longText = QString(5000, QLatin1Char('A')) + "<0D>";
    ClickSend(*panel, longText);
    EXPECT_EQ(server.Take(5001), QByteArray(5000, 'A') + '\r');

    const quint16 port = FreePort();
    CTARVENView* listening = OpenSocket(1, port);
    ASSERT_TRUE(listening->IsOnline());
    std::vector<TcpPeer> peers;
    for (int i = 0; i < 2; ++i) {
        peers.push_back(TcpPeer::Connect(port));
        ASSERT_TRUE(WaitFor(
            [&] { return Pane(listening, 2) == QString("Port:%1 (%2)").arg(port).arg(i + 1); }));
    }
    auto serverPanel = NewPanel(listening);
    ClickSend(*serverPanel, "OK<0D>");
    for (TcpPeer& peer : peers)
        EXPECT_EQ(peer.Take(3), "OK\r");
    EXPECT_EQ(listening->Sent(), 3);
}

TEST_F(CmdListSendTest, OfflineOrMissingTargetsGetNothing)
{
    // A window whose link is not open: nothing is sent, shown or counted, but a wrong text is
    // still pointed out.
    CTARVENView* offline = NewMonitor();
    auto panel = NewPanel(offline);
    ClickSend(*panel, "AT<0D>");
    EXPECT_EQ(offline->Sent(), 0);
    EXPECT_TRUE(Shown(*offline).isEmpty());
    EXPECT_FALSE(offline->StatusBar()->SendPane()->IsLit());
    ClickSend(*panel, "<0G>");
    EXPECT_EQ(m_messages.texts, QStringList{kBadNotation});

    // No window activated yet: nothing happens at all.
    m_messages.texts.clear();
    auto lonely = NewPanel(nullptr);
    ClickSend(*lonely, "<0G>");
    ClickSend(*lonely, "AT");
    EXPECT_EQ(lonely->SendText(), "AT");
    EXPECT_TRUE(m_messages.texts.isEmpty());
}

TEST_F(CmdListSendTest, ARepeatingRowSendsAtItsPeriodUntilItsButtonIsClickedAgain)
{
    PtyPair pty;
    CTARVENView* view = OpenSerial(pty);
    auto panel = NewPanel(view);
    CCmdListGrid* grid = panel->Grid();
    constexpr int kPeriodMs = 100;
    SetRow(*panel, 2, "T", kPeriodMs);

    // The first send goes with the click, then one each period; the far end counts them.
    QElapsedTimer clock;
    clock.start();
    ClickButton(*panel, 2);
    ASSERT_TRUE(grid->IsRepeating(2));
    ASSERT_TRUE(WaitFor([&] { return view->Sent() >= 3; })) << "it repeats";
    RunEventsFor(1500);
    const double periods = double(clock.elapsed()) / kPeriodMs;
    const std::string arrived = Drain(pty);
    EXPECT_EQ(arrived, std::string(arrived.size(), 'T'));
    // Never faster than its period; a loaded machine may only delay a tick.
    EXPECT_LE(double(arrived.size()) - 1, periods * 1.1);
    EXPECT_EQ(view->Sent(), qint64(arrived.size())) << "every send is counted";

    ClickButton(*panel, 2);
    EXPECT_FALSE(grid->IsRepeating(2));
    EXPECT_EQ(panel->Repeater()->RepeatCount(), 0);
    RunEventsFor(300);
    EXPECT_EQ(Drain(pty), "");

    // A repeat follows its row's text and period as they are edited; clearing the period
    // stops it, and a wrong notation stops it with one message, however many periods pass
    // before the message is seen.
    SetRow(*panel, 2, "U", 60000);
    ClickButton(*panel, 2);
    grid->item(2, kPeriodColumn)->setText("");
    EXPECT_FALSE(grid->IsRepeating(2));
    EXPECT_EQ(panel->Repeater()->RepeatCount(), 0);
    SetRow(*panel, 2, "U", 60000);
    ClickButton(*panel, 2);
    grid->item(2, kPeriodColumn)->setText("20");
    ASSERT_TRUE(WaitFor([&] { return view->Sent() > qint64(arrived.size()) + 5; }));
    grid->item(2, kTextColumn)->setText("<0G>");
    ASSERT_TRUE(WaitFor([&] { return !grid->IsRepeating(2); }));
    RunEventsFor(200);
    EXPECT_EQ(m_messages.texts, QStringList{kBadNotation});
    const std::string more = Drain(pty);
    EXPECT_EQ(more, std::string(more.size(), 'U'));

    // A row without a period is still sent once per click, even while another repeats.
    SetRow(*panel, 4, "R", 50);
    ClickButton(*panel, 4);
    ClickSend(*panel, "once");
    ClickButton(*panel, 4);
    EXPECT_NE(Drain(pty).find("once"), std::string::npos);
    EXPECT_EQ(panel->Repeater()->RepeatCount(), 0);
}

TEST_F(CmdListSendTest, ARepeatStaysWithItsMonitorAndStopsWhenItGoesOfflineOrCloses)
{
    PtyPair first;
    PtyPair second;
    CTARVENView* firstView = OpenSerial(first);
    CTARVENView* secondView = OpenSerial(second);
    m_active = firstView;
    auto panel = NewPanel(nullptr, true);
    CCmdListGrid* grid = panel->Grid();
    SetRow(*panel, 0, "1", 20);
    SetRow(*panel, 1, "2", 20);

    // Started on the first window; activating the second does not move it.
    ClickButton(*panel, 0);
    m_active = secondView;
    RunEventsFor(200);
    EXPECT_FALSE(Drain(first).empty());
    EXPECT_EQ(Drain(second), "");

    // The first link goes down: the repeat ends at once, nothing more is typed or counted,
    // and it does not come back with the link.
    const qint64 sent = firstView->Sent();
    const QByteArray shown = Shown(*firstView);
    firstView->OnPortClose();
    EXPECT_FALSE(grid->IsRepeating(0));
    RunEventsFor(200);
    EXPECT_EQ(firstView->Sent(), sent);
    firstView->OnPortOpen();
    ASSERT_TRUE(firstView->IsOnline());
    RunEventsFor(200);
    EXPECT_EQ(Drain(first), "");
    EXPECT_EQ(firstView->Sent(), sent);
    EXPECT_TRUE(Shown(*firstView).startsWith(shown));

    // A repeat on the second window ends when that window closes; the first never gets it.
    ClickButton(*panel, 1);
    ASSERT_TRUE(grid->IsRepeating(1));
    m_active = firstView;
    CloseMonitor(secondView);
    EXPECT_FALSE(grid->IsRepeating(1));
    EXPECT_EQ(panel->Repeater()->RepeatCount(), 0);
    RunEventsFor(200);
    EXPECT_EQ(Drain(first), "");
    EXPECT_EQ(firstView->Sent(), sent);

    // Nothing starts on a window that is offline.
    firstView->OnPortClose();
    ClickButton(*panel, 0);
    EXPECT_FALSE(grid->IsRepeating(0));
    EXPECT_TRUE(m_messages.texts.isEmpty());
}

TEST_F(CmdListSendTest, SendInSequenceSendsTheSelectedRowsInRowOrderOnce)
{
    PtyPair pty;
    CTARVENView* view = OpenSerial(pty);
    auto panel = NewPanel(view);
    CCmdListGrid* grid = panel->Grid();
    SetRow(*panel, 0, "A<0D>", 0);
    SetRow(*panel, 1, "B", 0);
    SetRow(*panel, 3, "C", 30);
    SetRow(*panel, 5, "D", 0);
    QAction* sequence = grid->ContextMenu()->findChild<QAction*>(
        QString::number(int(CmdListCommand::SendSequence)));
    ASSERT_NE(sequence, nullptr);
    const auto select = [grid](std::initializer_list<int> rows) {
        grid->clearSelection();
        for (int row : rows)
            grid->setCurrentCell(row, kTextColumn, QItemSelectionModel::Select);
    };

    // Selected in any order, an empty row among them; sent in row order, each once.
    select({5, 3, 2, 0});
    sequence->trigger();
    std::string got;
    ASSERT_TRUE(WaitFor([&] {
        got += pty.Receive(16, std::chrono::milliseconds(5));
        return got.size() >= 4 && !panel->Repeater()->IsSequenceRunning();
    }));
    RunEventsFor(100);
    got += Drain(pty);
    EXPECT_EQ(got, "A\rCD");
    EXPECT_FALSE(grid->IsRepeating(3)) << "a period only sets the pause in a sequence";

    // A sequence waiting for its next row ends when the link goes down.
    SetRow(*panel, 0, "A<0D>", 60000);
    select({0, 5});
    sequence->trigger();
    ASSERT_TRUE(WaitFor([&] { return panel->Repeater()->IsSequenceRunning(); }));
    EXPECT_EQ(Drain(pty), "A\r");
    view->OnPortClose();
    EXPECT_FALSE(panel->Repeater()->IsSequenceRunning());
    EXPECT_TRUE(m_messages.texts.isEmpty());
}
