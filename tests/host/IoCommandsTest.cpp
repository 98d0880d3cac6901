#include "CClientSock.h"
#include "CTcpClientLink.h"
#include "EventLoopWait.h"
#include "LoadedScript.h"
#include "SyncNotify.h"
#include "TcpPeer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace std::chrono_literals;

namespace {

// Answers SYNC notices the way a host's owner window does.
class SyncReceiver : public QObject
{
public:
    std::vector<int> values;
    bool answer = true;

protected:
    void customEvent(QEvent* event) override
    {
        if (const auto* notice = dynamic_cast<const CSyncNotifyEvent*>(event)) {
            values.push_back(notice->Notify()->value);
            EXPECT_EQ(notice->Notify()->code, TSLN_SYNC);
            EXPECT_EQ(notice->Notify()->idFrom, 7u);
            if (answer)
                notice->Notify()->Release();
        }
    }
};

} // namespace

TEST(IoCommands, OutSendsTranslatedBytesSpacedByDelay)
{
    TcpListener listener;
    CTcpClientLink link;
    CClientSock& client = link.Socket();
    ASSERT_EQ(client.Connect("127.0.0.1", listener.Port()), 1);
    TcpPeer peer = listener.Accept();
    ASSERT_TRUE(WaitFor([&] { return client.GetState() == QAbstractSocket::ConnectedState; }));
    auto tsl = CompileScript("EQU MSG \"<0D><0A>\"\nBEGIN:\nOUT \"AB<0D>\"\nDELAY 60\nOUT MSG\n"
                             "DELAY 0\nOUT \"bad<0\"\nOUT \"Z\"\nEND:\n");
    tsl->SetListenObject(&link);
    std::thread pass([&] { tsl->Begin(nullptr, 0); });

    // The peer stamps each byte as it arrives, so the spacing is the sender's, not this
    // thread's polling.
    const auto arrivals = peer.ReceiveStamped(6, 20s);
    pass.join();
    EXPECT_EQ(peer.Received(), QByteArray("AB\r\r\nZ")) << "malformed notation sends nothing";
    ASSERT_EQ(arrivals.size(), 6u);
    EXPECT_GE(arrivals[4] - arrivals[3], 40ms) << "a pause follows each byte";
}

TEST(IoCommands, SyncWaitsForTheAnswerOrASecond)
{
    SyncReceiver receiver;
    QObject host(&receiver);
    auto tsl = CompileScript("BEGIN:\nSYNC 5\nEND:\n");
    tsl->m_pParent = &host;
    tsl->SetParentId(7);

    // One pass on a worker thread while this thread delivers the notices; how long it took.
    auto pass = [&] {
        std::atomic<bool> done{false};
        std::chrono::steady_clock::duration took{};
        std::thread worker([&] {
            const auto start = std::chrono::steady_clock::now();
            tsl->Begin(nullptr, 0);
            took = std::chrono::steady_clock::now() - start;
            done = true;
        });
        WaitFor([&] { return done.load(); });
        worker.join();
        return took;
    };
    EXPECT_LT(pass(), 900ms) << "answered: the script goes on at once";
    ASSERT_EQ(receiver.values.size(), 1u);
    EXPECT_EQ(receiver.values[0], 5);

    receiver.answer = false;
    const auto took = pass();
    EXPECT_GE(took, 990ms) << "unanswered: it waits its second";
    EXPECT_LT(took, 3s);
}
