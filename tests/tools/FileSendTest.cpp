#include "CClientSock.h"
#include "CFileSendDlg.h"
#include "CRS232Ctrl.h"
#include "CSerialLink.h"
#include "CServerSock.h"
#include "CTcpClientLink.h"
#include "CTcpServerLink.h"

#include "DialogDriver.h"
#include "PtyPair.h"
#include "TcpPeer.h"

#include <QProgressBar>
#include <QRegularExpression>

#include <atomic>
#include <chrono>
#include <linux/sockios.h>
#include <mutex>
#include <thread>

namespace {

using namespace std::chrono_literals;

const QString kCompleted = QStringLiteral("전송이 완료되었습니다.");
const QString kCancelled = QStringLiteral("전송이 취소 되었습니다 !!!.");
const QString kBusy = QStringLiteral("지금 전송중입니다. 잠시만 기다려 주십시요..");
const QString kNotFound = QStringLiteral("파일을 찾을수가 없습니다 !!");
const QString kFailedPrefix = QStringLiteral("파일전송에 실패했습니다 !!");
const QString kStalled = QStringLiteral("상대편이 1초 동안 데이터를 받지 않았습니다.");
const QString kWaiting = QStringLiteral("전송 대기중...");
// A transfer that gives up after one second without progress: failure tests stay short.
const FileSendSettings kQuickStall{QString(), 1};

// Sends files from a temporary folder through the dialog, over a link the test sets up.
class FileSendTest : public ::testing::Test
{
protected:
    // The dialog goes before the links its writer refers to.
    void TearDown() override { m_dlg.reset(); }

    QString Folder() const { return m_dir.Root() + QLatin1Char('/'); }

    QByteArray MakeFile(const QString& name, qsizetype size)
    {
        const QByteArray contents = RandomBytes(size);
        m_dir.Write(name, contents);
        return contents;
    }

    // The link the fixture set up.
    virtual SharedLink Link() const = 0;

    // A new dialog on the link; the old one goes first, as a link takes one transfer at a time.
    void Open(const FileSendSettings& settings = {})
    {
        m_dlg.reset();
        auto recording = std::make_unique<RecordingWriter>(MakeLinkWriter(Link()));
        m_writer = recording.get();
        m_dlg = std::make_unique<CFileSendDlg>(nullptr, std::move(recording), settings);
        m_dlg->show();
        m_driver = std::make_unique<DialogDriver>(*m_dlg);
    }

    // Browses to the file, chooses it and presses "전송"; the question is answered Yes.
    void Send(const QString& name)
    {
        m_driver->Browse(Folder());
        m_driver->Click(m_driver->Entry(name));
        m_driver->Press(kIdOk);
    }

    bool WaitForMessage(const QString& text)
    {
        return WaitFor([&] { return m_messages.Saw(text); });
    }
    std::string Messages() const { return m_messages.texts.join('|').toStdString(); }
    QString SizeText() const { return m_driver->Label(FileSendDlgIds::IDC_SIZE_TEXT); }
    const QProgressBar* Progress() const
    {
        return m_dlg->findChild<QProgressBar*>(ControlName(FileSendDlgIds::IDC_PROGRESS));
    }

    void ExpectIdle() const
    {
        EXPECT_TRUE(m_driver->Button(kIdOk)->isEnabled());
        EXPECT_FALSE(m_driver->Button(kIdAbort)->isEnabled());
    }

    // The transfer failed for the reason given and never claimed success; the bytes its
    // message reports as sent, or -1.
    qint64 ExpectFailed(const QString& reason)
    {
        WaitFor([&] { return !m_messages.Starting(kFailedPrefix).isEmpty(); });
        const QString failed = m_messages.Starting(kFailedPrefix);
        EXPECT_TRUE(failed.contains(reason)) << failed.toStdString();
        EXPECT_FALSE(m_messages.Saw(kCompleted));
        ExpectIdle();
        static const QRegularExpression count(QStringLiteral("\\((\\d+) / (\\d+) Bytes"));
        const QRegularExpressionMatch match = count.match(failed);
        return match.hasMatch() ? match.captured(1).toLongLong() : -1;
    }

    // Sends a file to a peer that never reads it: the file, and the bytes the stalled
    // transfer's message reports as sent.
    std::pair<QByteArray, qint64> SendStalled(qsizetype size)
    {
        Open(kQuickStall);
        const QByteArray contents = MakeFile(QStringLiteral("big.bin"), size);
        Send(QStringLiteral("big.bin"));
        const qint64 sent = ExpectFailed(kStalled);
        EXPECT_GT(sent, 0);
        EXPECT_LT(sent, size);
        return {contents, sent};
    }

    TempDir m_dir;
    MessageCapture m_messages;
    std::unique_ptr<CFileSendDlg> m_dlg;
    std::unique_ptr<DialogDriver> m_driver;
    RecordingWriter* m_writer = nullptr;
};

// A serial link over a pseudo-terminal: the dialog writes to the port, the test reads the master.
class SerialFileSendTest : public FileSendTest
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(m_port.Open(m_pty.SlavePath().c_str(), 115200, 8, 0, 0), 1);
        Open();
    }
    SharedLink Link() const override { return m_link; }
    // Up to n bytes that came out of the port within the wait.
    QByteArray Received(qsizetype n, std::chrono::milliseconds wait = 10s) const
    {
        return QByteArray::fromStdString(m_pty.Receive(size_t(n), wait));
    }

    PtyPair m_pty;
    std::shared_ptr<CSerialLink> m_link = std::make_shared<CSerialLink>();
    CRS232Ctrl& m_port = m_link->Port();
};

// The client link of a monitor connected to a peer that listens; a peer receive buffer given
// in bytes makes it that small.
class ClientFileSendTest : public FileSendTest
{
protected:
    explicit ClientFileSendTest(int peerBufferBytes = 0) : m_listener(false, peerBufferBytes) {}
    void SetUp() override
    {
        ASSERT_EQ(m_socket.Connect(QStringLiteral("127.0.0.1"), m_listener.Port()), 1);
        m_peer = m_listener.Accept();
        ASSERT_TRUE(m_peer.IsOpen());
        ASSERT_TRUE(
            WaitFor([&] { return m_socket.GetState() == QAbstractSocket::ConnectedState; }));
        Open();
    }
    SharedLink Link() const override { return m_link; }

    TcpListener m_listener;
    std::shared_ptr<CTcpClientLink> m_link = std::make_shared<CTcpClientLink>();
    CClientSock& m_socket = m_link->Socket();
    TcpPeer m_peer;
};

// A client link to a peer with a small receive buffer: what the peer does not read waits in the
// link's own send queue.
class SlowPeerFileSendTest : public ClientFileSendTest
{
protected:
    SlowPeerFileSendTest() : ClientFileSendTest(4096) {}
    ~SlowPeerFileSendTest() override { StopReading(); }

    // The peer reads bytesPerRead every 50 ms on a thread of its own.
    void StartReading(qsizetype bytesPerRead)
    {
        m_reader = std::thread([this, bytesPerRead] {
            while (m_bReading) {
                {
                    std::lock_guard lock(m_peerMutex);
                    m_peer.ReadSome(bytesPerRead);
                }
                std::this_thread::sleep_for(50ms);
            }
        });
    }
    void StopReading()
    {
        m_bReading = false;
        if (m_reader.joinable())
            m_reader.join();
    }
    // Bytes the peer's system has: read by the peer or waiting to be.
    qsizetype PeerHas()
    {
        std::lock_guard lock(m_peerMutex);
        return m_peer.Received().size() + m_peer.Unread();
    }

    std::mutex m_peerMutex;
    std::thread m_reader;
    std::atomic<bool> m_bReading = true;
};

// A monitor's server link with the given number of connected clients.
class ServerFileSendTest : public FileSendTest
{
protected:
    void Start(int clients)
    {
        ASSERT_EQ(m_server.Create(0, QHostAddress::LocalHost), 1);
        for (int i = 0; i < clients; ++i)
            m_peers.push_back(TcpPeer::Connect(m_server.GetPort()));
        ASSERT_TRUE(WaitFor([&] { return ConnectedSlots() == clients; }));
        Open();
    }
    SharedLink Link() const override { return m_link; }

    int ConnectedSlots()
    {
        m_server.CalcConnection();
        return m_server.GetConnectionCount();
    }

    std::shared_ptr<CTcpServerLink> m_link = std::make_shared<CTcpServerLink>();
    CServerSock& m_server = m_link->Server();
    std::vector<TcpPeer> m_peers;
};

} // namespace

TEST_F(SerialFileSendTest, SendsTheFileInBlocksOf1024AndReportsCompletion)
{
    const QByteArray contents = MakeFile(QStringLiteral("FW IMAGE.BIN"), 2500);
    m_driver->Browse(Folder());
    EXPECT_NE(m_driver->Texts().indexOf(QStringLiteral("FW IMAGE.BIN")), -1);
    Send(QStringLiteral("FW IMAGE.BIN"));

    ASSERT_TRUE(WaitForMessage(kCompleted)) << Messages();
    EXPECT_EQ(m_messages.texts.first(),
              QStringLiteral("'%1FW IMAGE.BIN' 파일을 전송하시겠습니까?").arg(Folder()));
    EXPECT_EQ(m_writer->Sizes(), (std::vector<int>{1024, 1024, 452}));
    EXPECT_EQ(SizeText(), QStringLiteral("2500 / 2500 Bytes"));
    EXPECT_EQ(Progress()->maximum(), 2500);
    EXPECT_EQ(Progress()->value(), 2500);
    ExpectIdle();
    EXPECT_EQ(Received(2500), contents);
}

TEST_F(SerialFileSendTest, CancelOrCloseAfterTheFirstBlockStopsThereWithoutCompletion)
{
    const QByteArray contents = MakeFile(QStringLiteral("data.bin"), 2500);
    for (const bool closing : {false, true}) {
        SCOPED_TRACE(closing ? "closed while sending" : "cancelled");
        Open();
        m_messages.texts.clear();
        m_writer->HoldAfter(1);
        Send(QStringLiteral("data.bin"));
        ASSERT_TRUE(WaitFor([&] { return m_writer->Held(); }));
        EXPECT_FALSE(m_driver->Button(kIdOk)->isEnabled());
        EXPECT_TRUE(m_driver->Button(kIdAbort)->isEnabled());
        if (closing) {
            // Closing cancels and waits for the worker, which goes on a while later.
            std::thread release([this] {
                std::this_thread::sleep_for(300ms);
                m_writer->Release();
            });
            m_driver->Press(kIdCancel);
            release.join();
            EXPECT_EQ(m_dlg->result(), QDialog::Rejected);
        } else {
            // A double-click on a file sends too, but not while the worker runs.
            m_driver->DoubleClick(m_driver->Entry(QStringLiteral("data.bin")));
            EXPECT_TRUE(m_messages.Saw(kBusy));
            m_driver->Press(kIdAbort);
            EXPECT_TRUE(m_messages.Saw(kCancelled));
            ExpectIdle();
            m_writer->Release();
            EXPECT_TRUE(WaitFor([&] { return SizeText() == QStringLiteral("1024 / 2500 Bytes"); }));
            m_driver->Press(kIdCancel); // waits for the worker
        }
        EXPECT_FALSE(m_dlg->isVisible());
        EXPECT_TRUE(m_messages.Saw(kCancelled));
        ExpectIdle();
        QTest::qWait(100);
        EXPECT_FALSE(m_messages.Saw(kCompleted));
        EXPECT_EQ(m_writer->Sizes(), std::vector<int>{1024});
        EXPECT_EQ(Received(2500, 500ms), contents.left(1024));
    }
}

TEST_F(SerialFileSendTest, APacedSendWritesWholeLinesOrSingleBytesInOrderAndCancelEndsItsPause)
{
    // The pauses themselves are measured by hand, not here: what is checked is the pieces the
    // pacing cuts the file into, and that every byte arrives in order.
    const QByteArray contents = "first line\nsecond\n\nlast, no line feed";
    m_dir.Write(QStringLiteral("lines.txt"), contents);
    const struct
    {
        int lineMs;
        int byteMs;
        std::vector<int> sizes;
    } cases[] = {
        {1, 0, {11, 7, 1, 18}},
        {0, 1, std::vector<int>(size_t(contents.size()), 1)},
        {1, 1, std::vector<int>(size_t(contents.size()), 1)},
    };
    for (const auto& c : cases) {
        m_messages.texts.clear();
        Open(FileSendSettings{QString(), 10, 0, c.lineMs, c.byteMs});
        Send(QStringLiteral("lines.txt"));
        ASSERT_TRUE(WaitForMessage(kCompleted));
        EXPECT_EQ(m_writer->Sizes(), c.sizes) << c.lineMs << "/" << c.byteMs;
        EXPECT_EQ(Received(contents.size()), contents);
    }

    // A pause longer than any wait of the test: only a cancel that ends it lets the worker end.
    m_messages.texts.clear();
    m_dir.Write(QStringLiteral("slow.txt"), "a\nb\nc\n");
    Open(FileSendSettings{QString(), 10, 0, kMaxSendDelayMs, 0});
    Send(QStringLiteral("slow.txt"));
    EXPECT_EQ(Received(2), "a\n");
    m_driver->Press(kIdAbort);
    EXPECT_TRUE(m_messages.Saw(kCancelled));
    EXPECT_TRUE(WaitFor([&] { return m_driver->Button(kIdOk)->isEnabled(); }));
    m_dlg->done(QDialog::Rejected);
    EXPECT_EQ(m_writer->Sizes(), std::vector<int>{2});
    EXPECT_FALSE(m_messages.Saw(kCompleted));
}

TEST_F(SerialFileSendTest, ReceiverThatReadsSlowlyGetsTheWholeFile)
{
    // A receiver that takes 10 KB a second: the line takes nothing for seconds at a time while
    // the pseudo-terminal's buffer drains, and the transfer waits for it.
    const QByteArray contents = MakeFile(QStringLiteral("slow.bin"), 32 * 1024);
    std::atomic<bool> reading = true;
    std::string received;
    std::thread reader([&] {
        while (reading && received.size() < size_t(contents.size())) {
            received += m_pty.Receive(1000, 100ms);
            std::this_thread::sleep_for(100ms);
        }
    });
    Send(QStringLiteral("slow.bin"));
    const bool completed = WaitForMessage(kCompleted);
    reading = false;
    reader.join();
    ASSERT_TRUE(completed) << Messages();
    EXPECT_TRUE(m_messages.Starting(kFailedPrefix).isEmpty());
    EXPECT_EQ(SizeText(), QStringLiteral("32768 / 32768 Bytes"));
    received += m_pty.Receive(contents.size() - received.size(), 10s);
    EXPECT_TRUE(QByteArray::fromStdString(received) == contents);
}

TEST_F(SerialFileSendTest, PeerThatStopsReadingFailsTheTransferWithTheBytesSent)
{
    const auto [contents, sent] = SendStalled(256 * 1024); // far beyond what a pty buffers
    // Every byte reported as sent is on its way, in order, and nothing else.
    EXPECT_EQ(Received(sent), contents.left(sent));
    EXPECT_TRUE(Received(1, 200ms).isEmpty());
}

TEST_F(SerialFileSendTest, MissingDeclinedOrEmptyFilesWriteNothing)
{
    MakeFile(QStringLiteral("gone.bin"), 10);
    MakeFile(QStringLiteral("empty.bin"), 0);
    m_driver->Browse(Folder());
    m_driver->Click(m_driver->Entry(QStringLiteral("gone.bin")));

    m_messages.answer = QMessageBox::No;
    m_driver->Press(kIdOk);
    QTest::qWait(100);
    EXPECT_EQ(m_messages.texts.size(), 1);
    ExpectIdle();

    m_messages.answer = QMessageBox::Yes;
    QFile::remove(Folder() + QStringLiteral("gone.bin"));
    m_driver->Press(kIdOk);
    ASSERT_TRUE(WaitForMessage(kNotFound));
    ExpectIdle();

    Send(QStringLiteral("empty.bin"));
    ASSERT_TRUE(WaitForMessage(kCompleted)) << "an empty file completes at once";
    EXPECT_EQ(SizeText(), QStringLiteral("0 / 0 Bytes"));
    ExpectIdle();
    EXPECT_TRUE(m_writer->Sizes().empty());
}

TEST_F(ClientFileSendTest, PeerThatStopsReadingFailsTheTransferWithTheBytesSent)
{
    // Beyond the socket buffers of both ends; sent is what the peer's system had at the end.
    const auto [contents, sent] = SendStalled(16 * 1024 * 1024);
    EXPECT_EQ(m_peer.Unread(), sent);
    // What the link still held follows once the peer reads: little, no dump of megabytes.
    const QByteArray received = m_peer.Take(sent);
    QTest::qWait(50);
    m_peer.Drain();
    const qsizetype late = received.size() + m_peer.Received().size() - sent;
    EXPECT_GE(late, 0);
    EXPECT_LT(late, 256 * 1024);
    EXPECT_TRUE(received.left(sent) == contents.left(sent));
}

TEST_F(ServerFileSendTest, ClientsThatLeaveAreDroppedAndTheLastOneToLeaveFailsTheTransfer)
{
    Start(3);
    const QByteArray contents = MakeFile(QStringLiteral("data.bin"), 2500);
    m_writer->HoldAfter(1);
    Send(QStringLiteral("data.bin"));
    ASSERT_TRUE(WaitFor([&] { return m_writer->Held(); }));
    m_peers[1].Abort();
    ASSERT_TRUE(WaitFor([&] { return m_server.GetSlot(1)->bsGetSlotState() == -1; }));
    // A newcomer takes the free slot but is no part of the running transfer.
    TcpPeer late = TcpPeer::Connect(m_server.GetPort());
    ASSERT_TRUE(WaitFor([&] { return m_server.GetSlot(1)->bsGetSlotState() == 0; }));
    m_writer->Release();

    ASSERT_TRUE(WaitForMessage(kCompleted)) << Messages();
    EXPECT_EQ(m_writer->Sizes(), (std::vector<int>{1024, 1024, 452}));
    EXPECT_EQ(m_peers[0].Take(2500), contents);
    EXPECT_EQ(m_peers[2].Take(2500), contents);
    QTest::qWait(100);
    late.Drain();
    EXPECT_TRUE(late.Received().isEmpty());

    // A transfer fails once its last client leaves, and at once when there is none.
    Open();
    m_messages.texts.clear();
    m_writer->HoldAfter(1);
    Send(QStringLiteral("data.bin"));
    ASSERT_TRUE(WaitFor([&] { return m_writer->Held(); }));
    for (TcpPeer* peer : {&m_peers[0], &m_peers[2], &late})
        peer->Abort();
    ASSERT_TRUE(WaitFor([&] { return ConnectedSlots() == 0; }));
    m_writer->Release();

    EXPECT_EQ(ExpectFailed(QStringLiteral("연결을 끊었습니다")), 1024);

    m_messages.texts.clear();
    Send(QStringLiteral("data.bin"));
    EXPECT_EQ(ExpectFailed(QStringLiteral("상대편이 없습니다")), 0);
}

TEST_F(SlowPeerFileSendTest, CompletesOnlyOnceThePeerHasEveryByte)
{
    const QByteArray contents = MakeFile(QStringLiteral("slow.bin"), 64 * 1024);
    StartReading(2048); // about 40 KB a second
    Send(QStringLiteral("slow.bin"));

    bool waited = false;
    ASSERT_TRUE(WaitFor([&] {
        waited = waited || SizeText().startsWith(kWaiting);
        return m_messages.Saw(kCompleted);
    })) << Messages();
    // Completion is told once the peer's system acknowledged the last byte, not before.
    EXPECT_EQ(PeerHas(), contents.size());
    EXPECT_TRUE(waited) << "the window said it waits for the peer";
    EXPECT_EQ(Progress()->value(), Progress()->maximum());
    StopReading();
    EXPECT_TRUE(m_peer.Take(contents.size()) == contents);
}

TEST_F(SlowPeerFileSendTest, CancelWorksWhileWaitingForThePeer)
{
    MakeFile(QStringLiteral("data.bin"), 32 * 1024);
    Send(QStringLiteral("data.bin"));
    ASSERT_TRUE(WaitFor([&] {
        return SizeText().startsWith(kWaiting) || !m_messages.texts.isEmpty();
    })) << Messages();
    ASSERT_TRUE(m_messages.texts.size() == 1) << Messages();
    EXPECT_FALSE(m_driver->Button(kIdOk)->isEnabled());

    m_driver->Press(kIdAbort);
    EXPECT_TRUE(m_messages.Saw(kCancelled));
    ExpectIdle();
    QTest::qWait(200);
    EXPECT_FALSE(m_messages.Saw(kCompleted));
    EXPECT_TRUE(m_messages.Starting(kFailedPrefix).isEmpty());
}

TEST_F(SlowPeerFileSendTest, CancelledTransferLeavesLittleForTheDeviceToStillGet)
{
    MakeFile(QStringLiteral("big.bin"), 2 * 1024 * 1024);
    Send(QStringLiteral("big.bin")); // the peer reads nothing until the transfer is cancelled
    ASSERT_TRUE(WaitFor([&] {
        return SizeText().contains(QStringLiteral(" / ")) && !SizeText().startsWith("0 /");
    }));
    m_driver->Press(kIdAbort);
    ASSERT_TRUE(m_messages.Saw(kCancelled));
    ASSERT_TRUE(WaitFor([&] { return !m_driver->Button(kIdAbort)->isEnabled(); }));

    // Whatever the system held still reaches the peer: only a little.
    const auto queued = [&] {
        int bytes = 0;
        ::ioctl(static_cast<int>(m_socket.GetHandle()), SIOCOUTQ, &bytes);
        return bytes;
    };
    ASSERT_TRUE(WaitFor([&] {
        m_peer.Drain();
        return queued() == 0;
    }));
    m_peer.Drain();
    EXPECT_LT(m_peer.Received().size(), 256 * 1024);
}

TEST_F(SlowPeerFileSendTest, PeerThatStopsReadingFailsTheWaitAfterTheStallLimit)
{
    // Only what reached the peer counts as sent.
    const qint64 delivered = SendStalled(32 * 1024).second;
    EXPECT_EQ(delivered, PeerHas());
}
