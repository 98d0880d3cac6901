// Floods through a pty into a monitor window: every byte shown, in order, also when the device
// goes away with a backlog still to show.
#include "BytePattern.h"
#include "LinkObjects.h"
#include "MonitorTestEnv.h"

#include "CMonitorLink.h"
#include "CRS232Ctrl.h"

#include <string>
#include <thread>

namespace {

constexpr int kFloodWaitMs = 120000;

class SerialFloodTest : public MonitorTest
{
protected:
    CTARVENView* OpenOn(const PtyPair& pty)
    {
        SetValue("NullCheckFlag", 1); // every byte value is shown, 0 included
        CTARVENView* view = OpenSerial(pty);
        // What the link hands the window, checked against the pattern as it comes.
        QObject::connect(view->Link(), &CMonitorLink::received, [this](const QByteArray& bytes) {
            if (QByteArray::fromStdString(BytePattern(m_nChecked, std::size_t(bytes.size()))) !=
                bytes)
                ++m_nBreaks;
            m_nChecked += uint64_t(bytes.size());
        });
        return view;
    }

    uint64_t m_nChecked = 0;
    int m_nBreaks = 0;
};

} // namespace

TEST_F(SerialFloodTest, SeveralMegabytesAreShownCompleteAndInOrder)
{
    PtyPair pty;
    CTARVENView* view = OpenOn(pty);
    constexpr std::size_t kFloodBytes = 6 << 20; // more than the port's ring holds
    const std::string sent = BytePattern(0, kFloodBytes);
    std::thread writer([&] { pty.Send(sent); });
    const bool all = WaitFor([&] { return view->Received() >= qint64(kFloodBytes); }, kFloodWaitMs);
    const qint64 shown = view->Received();
    if (!all)
        CloseMonitor(view); // the writer, held back by the pty, gets an error instead of waiting on
    writer.join();
    ASSERT_TRUE(all) << shown << " of " << kFloodBytes;
    EXPECT_EQ(view->Received(), qint64(kFloodBytes));
    EXPECT_EQ(m_nChecked, kFloodBytes);
    EXPECT_EQ(m_nBreaks, 0);
    // The view keeps the last lines; they are the flood's last bytes.
    const QByteArray held = Shown(*view);
    ASSERT_FALSE(held.isEmpty());
    EXPECT_EQ(held, QByteArray::fromStdString(sent.substr(sent.size() - std::size_t(held.size()))));
    EXPECT_EQ(SerialPortOf(view->Link())->m_queue.GetSize(), 0) << "the window uses the ring";
}

TEST_F(SerialFloodTest, BacklogIsShownBeforeAVanishedDeviceIsLetGo)
{
    PtyPair pty;
    CTARVENView* view = OpenOn(pty);
    CRS232Ctrl* port = SerialPortOf(view->Link());
    // The window's thread does not run: the reader moves everything into the ring, more than
    // one notice takes.
    constexpr std::size_t kBacklogBytes = 600000;
    pty.Send(BytePattern(0, kBacklogBytes));
    const QDeadlineTimer deadline(kEventWaitMs);
    while (port->GetReceivedSize() < int(kBacklogBytes) && !deadline.hasExpired())
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_EQ(port->GetReceivedSize(), int(kBacklogBytes));
    pty.CloseMaster();
    while (port->bsGetConnectFlag() != 0 && !deadline.hasExpired())
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_EQ(port->bsGetConnectFlag(), 0);

    ASSERT_TRUE(WaitFor([&] { return view->Received() >= qint64(kBacklogBytes); }));
    RunEventsFor(100);
    EXPECT_EQ(view->Received(), qint64(kBacklogBytes));
    EXPECT_EQ(m_nBreaks, 0);
}
