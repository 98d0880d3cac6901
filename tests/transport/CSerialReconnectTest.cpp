#include "CSerialReconnect.h"

#include "CRS232Ctrl.h"
#include "EventLoopWait.h"
#include "PtyPair.h"
#include "TempDir.h"
#include "TransportConstants.h"

#include <gtest/gtest.h>

#include <QFile>

#include <chrono>
#include <memory>

using namespace std::chrono_literals;

TEST(CSerialReconnect, APulledDeviceIsOpenAgainWithinASecondOfComingBackUnderItsName)
{
    TempDir dir;
    const QString name = dir.Path("ttyBENCH"); // as a /dev/serial/by-id link
    auto pty = std::make_unique<PtyPair>();
    ASSERT_TRUE(QFile::link(QString::fromStdString(pty->SlavePath()), name));
    CRS232Ctrl port;
    ASSERT_EQ(
        port.Open(name.toLocal8Bit().constData(), 115200, 8, NOPARITY, ONESTOPBIT, FLOW_XONXOFF),
        1);

    // The owner hears of the loss as of any burst, and starts waiting for the device.
    CSerialReconnect reconnect;
    QObject owner;
    QObject::connect(port.Notifier(), &CSerialNotifier::received, &owner, [&] {
        if (!port.bsGetConnectFlag() && !reconnect.IsWaiting())
            reconnect.Start(&port);
    });
    qint64 awayMs = -1;
    QObject::connect(&reconnect, &CSerialReconnect::reopened, &owner,
                     [&](qint64 ms) { awayMs = ms; });

    // Pulled as the system pulls a device: its stable name goes with it. A link left behind
    // would lead to whatever pseudo-terminal another test gets under the old number.
    pty->CloseMaster();
    ASSERT_TRUE(QFile::remove(name));
    ASSERT_TRUE(WaitFor([&] { return reconnect.IsWaiting(); }));
    RunEventsFor(2 * kReopenRetryMs); // tries that find nothing change nothing
    EXPECT_TRUE(reconnect.IsWaiting());
    EXPECT_EQ(port.bsGetConnectFlag(), 0);

    // The device comes back as another pseudo-terminal under the same name.
    PtyPair back;
    ASSERT_TRUE(QFile::link(QString::fromStdString(back.SlavePath()), name));
    const auto cameBack = std::chrono::steady_clock::now();
    ASSERT_TRUE(WaitFor([&] { return awayMs >= 0; }));
    EXPECT_LT(std::chrono::steady_clock::now() - cameBack, 1s);
    EXPECT_GE(awayMs, 2 * kReopenRetryMs);
    EXPECT_FALSE(reconnect.IsWaiting());
    EXPECT_EQ(port.bsGetConnectFlag(), 1);

    // With its settings and its reader as before.
    termios tio{};
    ASSERT_EQ(tcgetattr(port.GetCommHandle(), &tio), 0);
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF), tcflag_t(IXON | IXOFF));
    back.Send("again");
    ASSERT_TRUE(WaitFor([&] { return port.m_queue.GetSize() == 5; }));
    EXPECT_EQ(port.Write("up", 2), 2);
    EXPECT_EQ(back.Receive(2, 10s), "up");
}
