// A monitor's automatic replies, answering a Modbus master at the far end of a real pty.
#include "LinkMonitorTest.h"

#include "CAutoReplyPanel.h"
#include "FileDialogChoice.h"
#include "TempDir.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>

#include <sys/stat.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

// CRC-16/MODBUS, low byte first, as a master checks an answer.
std::string WithCrc(std::string frame)
{
    unsigned crc = 0xFFFF;
    for (const unsigned char byte : frame) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) != 0 ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    frame += char(crc & 0xFF);
    frame += char(crc >> 8);
    return frame;
}

// What the far end of the pty got, waited for on the event loop the window answers from.
std::string FarEnd(const PtyPair& pty, std::size_t count, int timeoutMs = kEventWaitMs)
{
    std::string got;
    WaitFor(
        [&] {
            got += pty.Receive(count - got.size(), 1ms);
            return got.size() >= count;
        },
        timeoutMs);
    return got;
}

// Long enough for an answer that was coming; nothing waits after it, so no machine is too slow.
constexpr int kNothingMoreMs = 300;

const QString kModbusRules =
    QStringLiteral("# any slave's read of two holding registers\n"
                   "when ?? <03> ?? ?? <00><02> crc16 reply $1 <03><04><00><2A><00><07> crc16\n"
                   "\n"
                   "when AB reply AB\n");

class AutoReplyTest : public LinkMonitorTest
{
protected:
    // The view's panel shown; with rules given, applied and switched on.
    static CAutoReplyPanel* ShowPanel(CTARVENView* view, const QString& rules = {})
    {
        CMonitorWindow* window = WindowOf(view);
        window->OnToggleAutoReply();
        EXPECT_TRUE(window->IsAutoReplyShown());
        CAutoReplyPanel* panel = window->AutoReply();
        if (panel != nullptr && !rules.isEmpty()) {
            panel->SetRulesText(rules);
            EXPECT_TRUE(panel->Apply());
            panel->SetEnabled(true);
        }
        return panel;
    }

    static QString CountOf(CAutoReplyPanel* panel, int row)
    {
        panel->RefreshCounts();
        auto* table = panel->findChild<QTableWidget*>("AutoReplyRules");
        return table != nullptr && table->item(row, 3) != nullptr ? table->item(row, 3)->text()
                                                                  : QString();
    }
};

} // namespace

TEST_F(AutoReplyTest, RulesAnswerAModbusMasterOnAPtyUntilSwitchedOffAndNeverAnswerThemselves)
{
    TempDir dir;
    const QString rules = dir.Write("modbus.rules", kModbusRules.toUtf8());
    PtyPair pty;
    CTARVENView* view = OpenSerial(pty);
    CAutoReplyPanel* panel = ShowPanel(view);
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(panel->LoadFile(rules));
    EXPECT_EQ(QSettings(kCompanyName, kApplicationName).value("AutoReply/LastFile").toString(),
              rules);
    auto* table = panel->findChild<QTableWidget*>("AutoReplyRules");
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->item(0, 0)->text(), "2");
    EXPECT_EQ(table->item(0, 1)->text(), "?? <03> ?? ?? <00><02> crc16");
    EXPECT_EQ(table->item(0, 2)->text(), "$1 <03><04><00>*<00><07> crc16");
    EXPECT_EQ(table->item(1, 0)->text(), "4");
    EXPECT_EQ(CountOf(panel, 0), "0");

    // Not switched on yet: the request is shown and left alone.
    const std::string request = WithCrc({0x11, 0x03, 0x00, 0x6B, 0x00, 0x02});
    pty.Send(request);
    ASSERT_TRUE(WaitFor([&] { return view->Received() == 8; }));
    EXPECT_EQ(FarEnd(pty, 1, kNothingMoreMs), "");

    auto* enabled = panel->findChild<QCheckBox*>("AutoReplyEnabled");
    ASSERT_NE(enabled, nullptr);
    QTest::mouseClick(enabled, Qt::LeftButton);
    ASSERT_TRUE(panel->Replies().IsEnabled());
    // The request cut in two on the way, as a slow line hands it over.
    pty.Send(request.substr(0, 3));
    ASSERT_TRUE(WaitFor([&] { return view->Received() == 11; }));
    pty.Send(request.substr(3));
    const std::string answer = WithCrc({0x11, 0x03, 0x04, 0x00, 0x2A, 0x00, 0x07});
    EXPECT_EQ(FarEnd(pty, answer.size()), answer);
    EXPECT_EQ(CountOf(panel, 0), "1");
    // Sent as typed keys are: echoed with the sent attribute and counted.
    ASSERT_TRUE(WaitFor([&] { return view->Sent() == qint64(answer.size()); }));
    EXPECT_TRUE(Shown(*view).endsWith(QByteArray::fromStdString(answer)));
    EXPECT_EQ(Attributes(*view).right(int(answer.size())), QByteArray(int(answer.size()), '1'));
    // A request with a wrong CRC is no request.
    std::string damaged = request;
    damaged.back() ^= 1;
    pty.Send(damaged);
    ASSERT_TRUE(WaitFor([&] { return view->Received() == 24; }));
    EXPECT_EQ(FarEnd(pty, 1, kNothingMoreMs), "");

    // The answer is its own request again: echoed, but never read as received.
    pty.Send("AB");
    EXPECT_EQ(FarEnd(pty, 2), "AB");
    EXPECT_EQ(FarEnd(pty, 1, kNothingMoreMs), "");
    EXPECT_EQ(CountOf(panel, 1), "1");
    EXPECT_EQ(view->Received(), 26);

    // Switched off: nothing answers, the counts stay.
    QTest::mouseClick(enabled, Qt::LeftButton);
    ASSERT_FALSE(panel->Replies().IsEnabled());
    pty.Send(request + "AB");
    ASSERT_TRUE(WaitFor([&] { return view->Received() == 36; }));
    EXPECT_EQ(FarEnd(pty, 1, kNothingMoreMs), "");
    EXPECT_EQ(CountOf(panel, 0), "1");
    EXPECT_TRUE(m_messages.texts.isEmpty()) << m_messages.texts.join('\n').toStdString();
}

TEST_F(AutoReplyTest, FaultyRulesAreNamedByLineAndColumnAndTheRulesInUseStay)
{
    PtyPair pty;
    CTARVENView* view = OpenSerial(pty);
    CAutoReplyPanel* panel = ShowPanel(view, QStringLiteral("when AB reply AB\n"));
    ASSERT_NE(panel, nullptr);
    pty.Send("AB");
    EXPECT_EQ(FarEnd(pty, 2), "AB");

    // Columns count characters, however many bytes the text before them takes.
    panel->SetRulesText(QStringLiteral("when CD reply CD\n"
                                       "when <01> reply <0G>\n"
                                       "when 가나 reply <0G>\n"
                                       "when <01> reply <06> after 61s\n"));
    EXPECT_FALSE(panel->Apply());
    EXPECT_EQ(panel->ErrorTexts(),
              (QStringList{"error : line 2, column 17, malformed control code",
                           "error : line 3, column 15, malformed control code",
                           "error : line 4, column 28, \"after\" takes a delay of at most 60 s, "
                           "such as 5ms"}));
    auto* errors = panel->findChild<QListWidget*>("AutoReplyErrors");
    ASSERT_NE(errors, nullptr);
    EXPECT_TRUE(errors->isVisible());
    // Choosing an error puts the cursor on it.
    errors->setCurrentRow(1);
    auto* text = panel->findChild<QPlainTextEdit*>("AutoReplyText");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->textCursor().blockNumber(), 2);
    EXPECT_EQ(text->textCursor().positionInBlock(), 14);
    EXPECT_TRUE(panel->StatusText().contains("적용하지 않았습니다"))
        << panel->StatusText().toStdString();

    // The rules in use answer as before, with their count; the faulty text's rule does not.
    pty.Send("CDAB");
    EXPECT_EQ(FarEnd(pty, 2), "AB");
    EXPECT_EQ(FarEnd(pty, 1, kNothingMoreMs), "");
    EXPECT_EQ(CountOf(panel, 0), "2");
    EXPECT_EQ(panel->Replies().Rules().size(), 1u);

    // A text the window's encoding cannot send is refused where the character stands.
    SetValue("RecvEncoding", 2);
    PtyPair second;
    CTARVENView* cp949 = OpenSerial(second, QStringLiteral("Tvn2"));
    CAutoReplyPanel* other = ShowPanel(cp949);
    ASSERT_NE(other, nullptr);
    other->SetRulesText(QStringLiteral("when A reply 가\nwhen B reply 😀\n"));
    EXPECT_FALSE(other->Apply());
    ASSERT_EQ(other->ErrorTexts().size(), 1);
    EXPECT_TRUE(other->ErrorTexts()[0].startsWith("error : line 2, column 14, "))
        << other->ErrorTexts()[0].toStdString();
    EXPECT_TRUE(other->Replies().Rules().empty());
}

TEST_F(AutoReplyTest, ADelayedReplyArrivesAndOneWhoseLinkClosedFirstIsNeverSent)
{
    PtyPair pty;
    CTARVENView* view = OpenSerial(pty);
    CAutoReplyPanel* panel =
        ShowPanel(view, QStringLiteral("when D reply late after 50ms\nwhen E reply now\n"));
    ASSERT_NE(panel, nullptr);

    // In the order of the requests: the answer without a delay waits for the one before it.
    pty.Send("DE");
    ASSERT_TRUE(WaitFor([&] { return view->Received() == 2; }));
    EXPECT_EQ(panel->Replies().Waiting(), 2);
    EXPECT_EQ(FarEnd(pty, 7), "latenow");
    EXPECT_EQ(panel->Replies().Waiting(), 0);

    pty.Send("D");
    ASSERT_TRUE(WaitFor([&] { return view->Received() == 3; }));
    ASSERT_EQ(panel->Replies().Waiting(), 1);
    view->OnPortClose();
    EXPECT_EQ(panel->Replies().Waiting(), 0);
    EXPECT_EQ(FarEnd(pty, 1, kNothingMoreMs), "");
    EXPECT_EQ(view->Sent(), 7);

    // New rules drop what waits for the old ones too, and their counts start again.
    view->OnPortOpen();
    ASSERT_TRUE(view->IsOnline());
    pty.Send("D");
    ASSERT_TRUE(WaitFor([&] { return panel->Replies().Waiting() == 1; }));
    EXPECT_EQ(CountOf(panel, 0), "3");
    ASSERT_TRUE(panel->Apply());
    EXPECT_EQ(panel->Replies().Waiting(), 0);
    EXPECT_EQ(CountOf(panel, 0), "0");
    EXPECT_EQ(FarEnd(pty, 1, kNothingMoreMs), "");
}

TEST_F(AutoReplyTest, OnALoopbackAReplyThatComesBackIsNotARequestAgain)
{
    CTARVENView* view = OpenLoopback();
    ASSERT_TRUE(view != nullptr && view->IsOnline());
    CAutoReplyPanel* panel = ShowPanel(view, QStringLiteral("when PING reply PING\n"));
    ASSERT_NE(panel, nullptr);

    // What is typed comes back and is answered once; the answer comes back and is shown only.
    ASSERT_EQ(view->Link()->Send("PI"), 2);
    ASSERT_EQ(view->Link()->Send("NG"), 2);
    ASSERT_TRUE(WaitFor([&] { return view->Received() == 8; }));
    RunEventsFor(kNothingMoreMs);
    EXPECT_EQ(view->Received(), 8);
    EXPECT_EQ(view->Sent(), 8);
    EXPECT_EQ(CountOf(panel, 0), "1");
    ASSERT_EQ(view->Link()->Send("PING"), 4);
    ASSERT_TRUE(WaitFor([&] { return view->Received() == 16; }));
    RunEventsFor(kNothingMoreMs);
    EXPECT_EQ(CountOf(panel, 0), "2");
}

TEST_F(AutoReplyTest, RuleFilesAreChosenInADialogAndOnlyRegularFilesAreRead)
{
    TempDir dir;
    CTARVENView* view = NewMonitor();
    CAutoReplyPanel* panel = ShowPanel(view);
    ASSERT_NE(panel, nullptr);
    panel->SetRulesText(kModbusRules);
    auto* save = panel->findChild<QPushButton*>("AutoReplySave");
    auto* load = panel->findChild<QPushButton*>("AutoReplyLoad");
    ASSERT_TRUE(save != nullptr && load != nullptr);
    m_onDialog = [&](QDialog* dialog) {
        ChooseFile(qobject_cast<QFileDialog*>(dialog), dir.Path("saved.rules"));
    };
    ASSERT_TRUE(WaitForDialog([&] { save->click(); }));
    EXPECT_EQ(TempDir::Read(dir.Path("saved.rules")), kModbusRules.toUtf8());

    // A CP949 file from an older bench reads as its text.
    const QString old = dir.Write("old.rules", QByteArray("# \xB0\xA1\nwhen A reply B\n"));
    m_onDialog = [&](QDialog* dialog) { ChooseFile(qobject_cast<QFileDialog*>(dialog), old); };
    ASSERT_TRUE(WaitForDialog([&] { load->click(); }));
    EXPECT_EQ(panel->RulesText(), "# 가\nwhen A reply B\n");
    EXPECT_EQ(panel->Replies().Rules().size(), 1u);
    EXPECT_EQ(QSettings(kCompanyName, kApplicationName).value("AutoReply/LastFile").toString(),
              old);

    // A FIFO is not waited for, a device not read, nor a file past the limit: the rules stay.
    const QString fifo = dir.Path("fifo.rules");
    ASSERT_EQ(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    const QString large = dir.Path("large.rules");
    ASSERT_EQ(truncate(dir.Write("large.rules", "when A reply B\n").toLocal8Bit().constData(),
                       CAutoReplyPanel::kMaxFileBytes + 1),
              0);
    for (const QString& path : {fifo, QStringLiteral("/dev/zero"), large}) {
        const int shown = int(m_messages.texts.size());
        EXPECT_FALSE(panel->LoadFile(path)) << path.toStdString();
        ASSERT_EQ(m_messages.texts.size(), shown + 1);
        EXPECT_TRUE(m_messages.texts.last().startsWith("규칙 파일을 읽지 못했습니다: " + path));
        EXPECT_EQ(panel->RulesText(), "# 가\nwhen A reply B\n");
    }
}
