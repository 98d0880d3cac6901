#include "CCmdListDlg.h"
#include "CCmdListGrid.h"
#include "CMonitorLink.h"
#include "CPaneIndicator.h"
#include "CmdListConstants.h"
#include "MonitorTestEnv.h"
#include "PtyPair.h"
#include "TcpPeer.h"

#include <QPointer>

namespace {

const QString kBadNotation = QStringLiteral("전송하려는 데이타 형식에 오류가 있습니다.");

class CmdListSendTest : public MonitorTest
{
protected:
    // A panel whose sends go to view, while it exists.
    std::unique_ptr<CCmdListDlg> NewPanel(CTARVENView* view)
    {
        QPointer<CTARVENView> target(view);
        auto panel = std::make_unique<CCmdListDlg>(
            [target]() -> CSendTarget* { return target ? target->Link() : nullptr; });
        panel->resize(600, 300);
        panel->show();
        return panel;
    }

    // Puts text in the first row and clicks its button, as a user does; the panel handles the
    // request once events are delivered.
    static void ClickSend(CCmdListDlg& panel, const QString& text)
    {
        CCmdListGrid* grid = panel.Grid();
        grid->item(0, kTextColumn)->setText(text);
        grid->scrollToTop();
        const QPoint button = grid->visualRect(grid->model()->index(0, kButtonColumn)).center();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, button);
        QCoreApplication::sendPostedEvents(&panel, QEvent::MetaCall);
    }

    CTARVENView* OpenSerial(const PtyPair& pty)
    {
        SetValue("Interface", 0);
        SetValue("PortName", QString::fromStdString(pty.SlavePath()));
        CTARVENView* view = NewMonitor();
        view->OnPortOpen();
        EXPECT_TRUE(view->IsOnline()) << m_messages.texts.join('\n').toStdString();
        return view;
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
    };
    QByteArray all;
    for (const auto& c : cases) {
        ClickSend(*panel, c.text);
        EXPECT_EQ(panel->SendText(), c.text);
        EXPECT_EQ(QByteArray::fromStdString(
                      pty.Receive(size_t(c.bytes.size()), std::chrono::seconds(10))),
                  c.bytes)
            << c.text.toStdString();
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
    for (const QString text : {"<D>", "<0D0A>", "<0G>", "A>B", "<0D", ""})
        ClickSend(*panel, text);
    EXPECT_EQ(m_messages.texts, QStringList(5, kBadNotation));
    EXPECT_EQ(view->Sent(), all.size());
    ClickSend(*panel, "Z");
    EXPECT_EQ(pty.Receive(1, std::chrono::seconds(10)), "Z");
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
