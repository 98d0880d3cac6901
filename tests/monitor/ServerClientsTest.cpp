#include "LinkMonitorTest.h"

#include "CClientSelector.h"
#include "CsvRead.h"
#include "LinkWriter.h"
#include "MessageCapture.h"
#include "MonitorExport.h"
#include "TcpPeer.h"
#include "TempDir.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>

#include <sys/resource.h>

#include <csignal>

namespace {

class ServerClientsTest : public LinkMonitorTest
{
protected:
    // Two clients of the server on port, the first counted before the second comes.
    static bool ConnectTwo(const CTARVENView* view, quint16 port, TcpPeer& first, TcpPeer& second)
    {
        first = TcpPeer::Connect(port);
        if (!WaitFor([&] { return view->Link()->ConnectionCount() == 1; }))
            return false;
        second = TcpPeer::Connect(port);
        return WaitFor([&] { return view->Link()->ConnectionCount() == 2; });
    }

    static CClientSelector* Selector(const CTARVENView* view)
    {
        return view->StatusBar()->ClientSelector();
    }

    // Exports the view's traffic and waits for the file.
    static QString Export(CTARVENView* view, const QString& path, ExportKind kind)
    {
        QSignalSpy done(view, &CTARVENView::exportFinished);
        EXPECT_TRUE(view->ExportTo(path, kind));
        EXPECT_TRUE(WaitFor([&] { return done.size() == 1; }, 30000));
        return done.isEmpty() ? QStringLiteral("no end") : done[0][1].toString();
    }
};

TEST_F(ServerClientsTest, EachClientGetsWhatIsSentToItAndItsTrafficIsMarkedWithItsNumber)
{
    const quint16 port = FreePort();
    CTARVENView* view = OpenTcp(1, port, false);
    ASSERT_TRUE(view->IsOnline());
    CClientSelector* selector = Selector(view);
    EXPECT_TRUE(selector->isVisibleTo(view->StatusBar()));
    EXPECT_EQ(selector->CountText(), "클라이언트 0");
    TcpPeer first;
    TcpPeer second;
    ASSERT_TRUE(ConnectTwo(view, port, first, second));
    EXPECT_EQ(selector->CountText(), "클라이언트 2");
    // The join notice names the client by the number its traffic and the selector show.
    const QString firstName = QString("[0] 127.0.0.1:%1").arg(first.LocalPort());
    const QString secondName = QString("[1] 127.0.0.1:%1").arg(second.LocalPort());
    EXPECT_TRUE(Shown(*view).contains(
        QString("[0] Connected from 127.0.0.1:%1 ...").arg(first.LocalPort()).toUtf8()));
    ASSERT_EQ(selector->Combo()->count(), 3);
    EXPECT_EQ(selector->Combo()->itemText(0), "모든 클라이언트");
    EXPECT_EQ(selector->Combo()->itemText(1), firstName);
    EXPECT_EQ(selector->Combo()->itemText(2), secondName);

    // Typed keys, command rows and a file transfer: to both, then to the one chosen.
    const auto sendAll = [&](const QByteArray& tag) {
        view->OnChar(QString::fromLatin1(tag.left(1)));
        view->Link()->Send(tag.mid(1, 1));
        std::unique_ptr<CLinkWriter> writer = view->Link()->OpenTransfer();
        ASSERT_NE(writer, nullptr);
        writer->BeginTransfer(std::chrono::seconds(10));
        int error = 0;
        EXPECT_EQ(writer->Write(tag.constData() + 2, 1, error), 1);
    };
    const struct
    {
        int index; // in the selector
        QByteArray tag;
        bool firstGets;
        bool secondGets;
    } choices[] = {{0, "abc", true, true}, {2, "def", false, true}, {1, "ghi", true, false}};
    for (const auto& choice : choices) {
        SCOPED_TRACE(choice.tag.toStdString());
        selector->Combo()->setCurrentIndex(choice.index);
        EXPECT_EQ(view->Link()->ChosenPeer(), choice.index - 1);
        sendAll(choice.tag);
        if (choice.firstGets) {
            EXPECT_EQ(first.Take(3), choice.tag);
        }
        if (choice.secondGets) {
            EXPECT_EQ(second.Take(3), choice.tag);
        }
        QTest::qWait(20);
        EXPECT_EQ(first.Take(0) + second.Take(0), "") << "the client not chosen got nothing";
    }

    // Interleaved sends: every chunk carries its sender's mark, with or without times.
    view->OnClear();
    const struct
    {
        TcpPeer* peer;
        QByteArray bytes;
    } sends[] = {{&first, "one\r\n"}, {&second, "two\r\n"}, {&first, "three\r\n"}};
    qint64 total = 0;
    for (const auto& send : sends) {
        send.peer->Send(send.bytes);
        total += send.bytes.size();
        ASSERT_TRUE(WaitFor([&] { return view->Received() == total; }));
    }
    for (const bool times : {false, true}) {
        view->TextView()->ShowArrivalStamps(times);
        const QStringList expected = {"[0] one", "[1] two", "[0] three"};
        for (int row = 0; row < 3; ++row) {
            const QString shown = view->TextView()->ShownRowText(row);
            EXPECT_EQ(shown.mid(times ? 15 : 0), expected[row]) << shown.toStdString();
        }
    }
    view->TextView()->ShowArrivalStamps(false);

    // The chosen client leaves: sends go to every client again, and the window says so.
    second.Close();
    first.Close();
    first = TcpPeer::Connect(port);
    ASSERT_TRUE(WaitFor([&] { return view->Link()->ConnectionCount() == 1; }));
    ASSERT_TRUE(WaitFor([&] { return selector->Combo()->count() == 2; }));
    selector->Combo()->setCurrentIndex(1);
    const int chosen = view->Link()->ChosenPeer();
    ASSERT_GE(chosen, 0);
    TcpPeer other = TcpPeer::Connect(port);
    ASSERT_TRUE(WaitFor([&] { return view->Link()->ConnectionCount() == 2; }));
    first.Close();
    ASSERT_TRUE(WaitFor([&] { return view->Link()->ConnectionCount() == 1; }));
    EXPECT_EQ(view->Link()->ChosenPeer(), -1);
    EXPECT_EQ(selector->Combo()->currentIndex(), 0);
    EXPECT_EQ(selector->CountText(), "클라이언트 1");
    EXPECT_TRUE(Shown(*view).contains(
        QString("선택한 클라이언트 [%1]이(가) 나가서 모든 클라이언트로 보냅니다")
            .arg(chosen)
            .toUtf8()));
    view->OnChar("z");
    EXPECT_EQ(other.Take(1), "z");

    view->OnPortClose();
    EXPECT_EQ(selector->CountText(), "클라이언트 0");
    EXPECT_EQ(selector->Combo()->count(), 1);
}

TEST_F(ServerClientsTest, AnExportOfBothDirectionsAndTwoClientsReadsBackAsTheSameTraffic)
{
    const quint16 port = FreePort();
    CTARVENView* view = OpenTcp(1, port, false);
    ASSERT_TRUE(view->IsOnline());
    TcpPeer first;
    TcpPeer second;
    ASSERT_TRUE(ConnectTwo(view, port, first, second));
    view->OnClear();

    // Sends to all and to one; replies with quotes, commas, control codes and Korean.
    struct Step
    {
        int client; // -1: sent to every client; else sent by (or to, when chosen) that client
        bool sent;
        QByteArray bytes;
    };
    const Step session[] = {
        {-1, true, "HELLO\r"},
        {0, false, "a,\"quoted\"\r\n"},
        {1, false, QString("온도 25\x01").toUtf8()},
        {1, true, "ONLY1"},
        {0, false, "x\ty"},
        {1, false, "\r\nline"},
    };
    qint64 received = 0;
    for (const Step& step : session) {
        if (step.sent) {
            view->Link()->ChoosePeer(step.client);
            view->OnChar(QString::fromUtf8(step.bytes));
        } else {
            (step.client == 0 ? first : second).Send(step.bytes);
            received += step.bytes.size();
            ASSERT_TRUE(WaitFor([&] { return view->Received() == received; }));
        }
    }
    view->Link()->ChoosePeer(-1);

    TempDir dir;
    const QString csv = dir.Path("session.csv");
    ASSERT_EQ(Export(view, csv, ExportKind::Csv), "");
    const QByteArray file = TempDir::Read(csv);
    ASSERT_TRUE(file.startsWith("\xEF\xBB\xBF"));
    bool whole = false;
    const std::vector<QStringList> rows = ReadCsv(file.mid(3), &whole);
    EXPECT_TRUE(whole) << "the last row ends with CR LF, no quote left open";
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0], QStringList({"time", "direction", "client", "hex", "text"}));
    // Rows may be split at times noted; joined, each step's bytes and mark come back.
    std::vector<Step> back;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const QStringList& row = rows[i];
        ASSERT_EQ(row.size(), 5);
        EXPECT_TRUE(
            row[0].isEmpty() ||
            QRegularExpression("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d$").match(row[0]).hasMatch())
            << row[0].toStdString();
        const bool sent = row[1] == "TX";
        EXPECT_TRUE(sent || row[1] == "RX");
        const int client = row[2].isEmpty() ? -1 : row[2].toInt();
        const QByteArray bytes = QByteArray::fromHex(row[3].toLatin1());
        if (!back.empty() && back.back().client == client && back.back().sent == sent)
            back.back().bytes += bytes;
        else
            back.push_back({client, sent, bytes});
    }
    ASSERT_EQ(back.size(), std::size(session));
    for (std::size_t i = 0; i < back.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(back[i].client, session[i].client);
        EXPECT_EQ(back[i].sent, session[i].sent);
        EXPECT_EQ(back[i].bytes, session[i].bytes);
    }
    EXPECT_TRUE(file.contains(",\"a,\"\"quoted\"\"<0D><0A>\"\r\n"));
    EXPECT_TRUE(file.contains(QString(",온도 25<01>\r\n").toUtf8()));

    // The hex dump and the text, of the selection only when there is one.
    const QString hex = dir.Path("session.txt");
    ASSERT_EQ(Export(view, hex, ExportKind::HexDump), "");
    const QList<QByteArray> lines = TempDir::Read(hex).split('\n');
    EXPECT_EQ(lines[0], "00000000  48 45 4C 4C 4F 0D 61 2C 22 71 75 6F 74 65 64 22  "
                        "|HELLO.a,\"quoted\"|");
    view->TextView()->SelectAll();
    const QString text = dir.Path("text.txt");
    ASSERT_EQ(Export(view, text, ExportKind::Text), "");
    EXPECT_TRUE(TempDir::Read(text).startsWith("HELLO\n[0] a,\"quoted\"\n[1] 온도 25"))
        << TempDir::Read(text).toStdString();
}

TEST_F(ServerClientsTest, AFailedExportSaysWhyAndLeavesTheOldFileWhole)
{
    CTARVENView* view = NewMonitor();
    const QByteArray big(300000, 'q');
    view->TextView()->TextWrite(reinterpret_cast<const unsigned char*>(big.constData()),
                                int(big.size()), kAttrReceived);
    TempDir dir;
    const QString path = dir.Path("old.csv");
    dir.Write("old.csv", "old content");
    // A disk that takes no more than 64 KiB of any file: the write fails part-way.
    rlimit previous = {};
    ::getrlimit(RLIMIT_FSIZE, &previous);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = previous;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const QString error = Export(view, path, ExportKind::HexDump);
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(TempDir::Read(path), "old content");
    EXPECT_EQ(QDir(dir.Root()).entryList(QDir::Files), QStringList("old.csv"))
        << "no temporary left";
    EXPECT_TRUE(m_messages.Starting("내보내지 못했습니다: ").contains("old.csv"));

    // A folder that does not exist: said, and nothing made.
    m_messages.texts.clear();
    EXPECT_FALSE(Export(view, dir.Path("none/new.csv"), ExportKind::Csv).isEmpty());
    EXPECT_FALSE(QFile::exists(dir.Path("none/new.csv")));
    EXPECT_EQ(m_messages.texts.size(), 1);
}

} // namespace
