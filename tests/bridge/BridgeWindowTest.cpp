// The bridge window with real links: a pymodbus master and slave talking through it, shown with
// their directions, captured, searched and replayed; and the window as the program opens it.
#include "CBridgeFrame.h"
#include "CBridgeWindow.h"
#include "CCaptureReader.h"
#include "CCaptureReplay.h"
#include "CFindBar.h"
#include "CMdiClientWnd.h"
#include "CReplayWindow.h"
#include "CommandIds.h"
#include "ModbusSlave.h"
#include "MonitorAppTest.h"
#include "PtyEnds.h"
#include "TcpPeer.h"

#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>

namespace {

LinkSettings SerialSide(const std::string& device)
{
    LinkSettings settings;
    settings.nInterface = LinkSettings::Rs232c;
    settings.strPortName = QString::fromStdString(device);
    return settings;
}

LinkSettings ServerSide(quint16 port)
{
    LinkSettings settings;
    settings.nInterface = LinkSettings::TcpIp;
    settings.nActive = LinkSettings::Server;
    settings.nServerPort = port;
    return settings;
}

// The bytes a terminal view holds and their attributes.
std::pair<QByteArray, QByteArray> Held(const CTextViewCtrl& view)
{
    std::pair<QByteArray, QByteArray> held;
    view.GetBuffer(held.first, held.second);
    return held;
}

// The bytes carrying attr, in order.
QByteArray Only(const std::pair<QByteArray, QByteArray>& held, char attr)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < held.first.size(); ++i) {
        if (held.second[i] == attr)
            bytes.append(held.first[i]);
    }
    return bytes;
}

const QByteArray kRequest = QByteArray::fromHex("010300000002C40B");
const QByteArray kAnswer = QByteArray::fromHex("010304123400017F45");

} // namespace

class BridgeWindowTest : public MonitorTest
{};

TEST_F(BridgeWindowTest, AModbusExchangeIsShownCapturedSearchedAndReplayedWithItsDirections)
{
    ModbusSlave slave;
    if (!slave.Skip().isEmpty())
        GTEST_SKIP() << slave.Skip().toStdString();
    ASSERT_FALSE(slave.Device().isEmpty()) << slave.Error().toStdString();
    NullModem cable;
    CBridgeWindow window;
    window.resize(800, 400);
    window.show();
    window.SetSide(CBridge::A, SerialSide(slave.Device().toStdString()));
    window.SetSide(CBridge::B, SerialSide(cable.Second()));
    const QString capture = Path("bridge.tvn");
    ASSERT_TRUE(window.StartCapture(capture)) << m_messages.texts.join('\n').toStdString();
    ASSERT_TRUE(window.Start()) << m_messages.texts.join('\n').toStdString();

    EXPECT_EQ(ModbusMasterReads(QString::fromStdString(cable.First())), "[4660, 1]");
    ASSERT_TRUE(WaitFor([&] { return Held(*window.View()).first.size() == 17; }));
    // The request came from B (the master), the answer from A (the slave), each in its colour.
    const auto held = Held(*window.View());
    EXPECT_EQ(Only(held, kAttrBToA), kRequest);
    EXPECT_EQ(Only(held, kAttrAToB), kAnswer);
    ASSERT_TRUE(WaitFor([&] { return window.StatusText().contains("A→B: 9 전달, 0 전달 못함"); }))
        << window.StatusText().toStdString();
    EXPECT_TRUE(window.StatusText().contains("B→A: 8 전달, 0 전달 못함"));

    // Found in hex as bytes, whichever direction they went.
    window.SetHexView(true);
    window.FindBar()->Open();
    window.FindBar()->Field()->setText("12 34");
    window.FindBar()->FindNext(true);
    EXPECT_EQ(window.FindBar()->CountText(), "1/1");

    // The capture keeps each byte's direction, and a monitor's replay shows them as they came.
    window.StopCapture();
    CCaptureReader reader;
    ASSERT_EQ(reader.Open(capture), CaptureStatus::Ok);
    std::pair<QByteArray, QByteArray> captured;
    CaptureRecord record;
    while (reader.Next(record)) {
        for (const Cell& cell : record.cells) {
            captured.first.append(char(cell.byte));
            captured.second.append(char(cell.attr));
        }
    }
    EXPECT_EQ(captured, held);

    CReplayWindow replay;
    ASSERT_EQ(replay.Open(capture), CaptureStatus::Ok);
    replay.Replay()->SetSpeed(CCaptureReplay::Speed::Max);
    replay.Replay()->Play();
    ASSERT_TRUE(WaitFor([&] { return replay.Replay()->IsAtEnd(); }));
    ASSERT_TRUE(WaitFor([&] { return Held(*replay.Monitor()->View()->TextView()) == held; }));
}

TEST_F(BridgeWindowTest, ASerialLineOnTcpShowsBothWaysAndTellsWhatNobodyTook)
{
    OuterPty device;
    const quint16 port = FreeDialogPort();
    CBridgeWindow window;
    window.show();
    window.SetSide(CBridge::A, SerialSide(device.Path()));
    window.SetSide(CBridge::B, ServerSide(port));
    ASSERT_TRUE(window.Start()) << m_messages.texts.join('\n').toStdString();
    EXPECT_TRUE(window.StatusText().contains("A RS-232C: 열림"))
        << window.StatusText().toStdString();

    // Nobody connected on B yet: counted, not lost silently.
    ASSERT_EQ(::write(device.Master(), "early", 5), 5);
    ASSERT_TRUE(WaitFor([&] { return window.StatusText().contains("A→B: 0 전달, 5 전달 못함"); }))
        << window.StatusText().toStdString();

    TcpPeer client = TcpPeer::Connect(port);
    ASSERT_TRUE(WaitFor([&] { return window.StatusText().contains("(1 접속)"); }))
        << window.StatusText().toStdString();
    ASSERT_EQ(::write(device.Master(), "ping\r\n", 6), 6);
    EXPECT_EQ(client.Take(6), QByteArray("ping\r\n"));
    client.Send("pong\r\n");
    ASSERT_TRUE(WaitFor([&] { return Held(*window.View()).first == "earlyping\r\npong\r\n"; }));
    EXPECT_EQ(Held(*window.View()).second, QByteArray(11, kAttrAToB) + QByteArray(6, kAttrBToA));
    EXPECT_EQ(TakeFromMaster(device.Master(), 6), QByteArray("pong\r\n"));

    // Stopped: both links are closed, and the settings stay for the next window.
    window.Stop();
    EXPECT_FALSE(window.IsRunning());
    EXPECT_TRUE(window.StatusText().contains("B TCP/IP-Server: 닫힘"))
        << window.StatusText().toStdString();
    CBridgeWindow next;
    EXPECT_EQ(next.Side(CBridge::B), window.Side(CBridge::B));
}

class BridgeInProgramTest : public MonitorAppTest
{};

TEST_F(BridgeInProgramTest, TheFileMenuOpensABridgeWindowThatAsksForItsSides)
{
    QAction* command = Frame()->findChild<QAction*>(QString::number(ID_BRIDGE_OPEN));
    ASSERT_NE(command, nullptr);
    EXPECT_EQ(command->text(), "브리지/탭...");
    EXPECT_TRUE(command->isEnabled());
    // In the File menu, there whatever window is active; the monitor popup keeps its items.
    QMenu* file = Frame()->menuBar()->actions().first()->menu();
    EXPECT_TRUE(ShownItems(file).contains("브리지/탭..."))
        << ShownItems(file).join('|').toStdString();
    EXPECT_FALSE(ShownItems(Frame()->TvnMenu()).contains("브리지/탭..."));

    // The window asks for side A first; cancelled, it stays, not started.
    QStringList titles;
    m_onDialog = [&](QDialog* dialog) {
        titles << dialog->windowTitle();
        dialog->reject();
    };
    ASSERT_TRUE(WaitForDialog([&] { command->trigger(); }));
    EXPECT_EQ(titles, QStringList{"통신포트 설정 - A"});
    auto* frame = qobject_cast<CBridgeFrame*>(Frame()->MdiClient()->activeSubWindow());
    ASSERT_NE(frame, nullptr);
    EXPECT_FALSE(frame->Window()->IsRunning());

    // Both confirmed, it starts.
    OuterPty a;
    OuterPty b;
    frame->Window()->SetSide(CBridge::A, SerialSide(a.Path()));
    frame->Window()->SetSide(CBridge::B, SerialSide(b.Path()));
    m_onDialog = [&](QDialog* dialog) { dialog->accept(); };
    const int seen = m_dialogsSeen;
    frame->Window()->ChooseAndStart();
    EXPECT_EQ(m_dialogsSeen, seen + 2);
    EXPECT_TRUE(frame->Window()->IsRunning()) << m_messages.texts.join('\n').toStdString();
    ASSERT_EQ(::write(a.Master(), "hi", 2), 2);
    EXPECT_EQ(TakeFromMaster(b.Master(), 2), QByteArray("hi"));
    frame->close();
}
