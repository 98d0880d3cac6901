#include "CFileSendDlg.h"
#include "CSerialLink.h"
#include "FileSendDlgIds.h"
#include "ProtocolCommand.h"
#include "TransferMonitor.h"

#include "DialogControls.h"
#include "DialogDriver.h"
#include "PtyEnds.h"
#include "ToolsTestSupport.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSocketNotifier>
#include <QSpinBox>

#include <unistd.h>

namespace {

using namespace std::chrono_literals;

const QString kCompleted = QStringLiteral("전송이 완료되었습니다.");
const QString kCancelled = QStringLiteral("전송이 취소 되었습니다 !!!.");
const QString kReceived = QStringLiteral("파일을 받았습니다.");
constexpr qsizetype kMiB = 1 << 20;

// The monitor window's side of a transfer, over a real serial link: what the link receives is
// shown (kept here) unless a transfer diverts it.
class LinkMonitor : public CTransferMonitor
{
public:
    explicit LinkMonitor(CLink& link)
    {
        QObject::connect(&link, &CLink::received, &m_context, [this, &link] {
            QByteArray bytes;
            link.Take(bytes, 65536);
            if (m_sink)
                m_sink(bytes);
            else
                shown += bytes;
        });
    }
    void Divert(std::function<void(const QByteArray&)> sink) override { m_sink = std::move(sink); }
    void Release() override { m_sink = {}; }
    void RecordSent(const QByteArray& bytes) override { recordedSent += bytes.size(); }
    void Notice(const QString& text) override { notices.append(text); }
    bool Diverted() const { return bool(m_sink); }

    QByteArray shown;
    QStringList notices;
    qint64 recordedSent = 0;

private:
    QObject m_context;
    std::function<void(const QByteArray&)> m_sink;
};

// A protocol program at the far end of the line, working in a folder: the device the link
// opens is a pty whose master the program's input and output are joined to, byte for byte,
// the way a device at the other end of a cable would be.
class FarEnd
{
public:
    FarEnd(const OuterPty& line, const QString& folder, const QStringList& command)
        : m_fd(line.Master()), m_master(m_fd, QSocketNotifier::Read),
          m_room(m_fd, QSocketNotifier::Write)
    {
        m_room.setEnabled(false);
        QObject::connect(&m_master, &QSocketNotifier::activated, [this] {
            char buf[4096];
            ssize_t got = 0;
            while ((got = ::read(m_fd, buf, sizeof buf)) > 0)
                m_process.write(buf, got);
        });
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] {
            m_toLine += m_process.readAllStandardOutput();
            Flush();
        });
        QObject::connect(&m_room, &QSocketNotifier::activated, [this] { Flush(); });
        m_process.setWorkingDirectory(folder);
        m_process.setStandardErrorFile(QProcess::nullDevice());
        m_process.start(command.first(), command.mid(1));
        EXPECT_TRUE(m_process.waitForStarted());
    }
    ~FarEnd()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }
    bool Ended() const { return m_process.state() == QProcess::NotRunning; }
    int ExitCode() const { return m_process.exitCode(); }

private:
    void Flush()
    {
        while (!m_toLine.isEmpty()) {
            const ssize_t put = ::write(m_fd, m_toLine.constData(), size_t(m_toLine.size()));
            if (put <= 0)
                break;
            m_toLine.remove(0, put);
        }
        m_room.setEnabled(!m_toLine.isEmpty());
    }

    int m_fd;
    QSocketNotifier m_master;
    QSocketNotifier m_room;
    QProcess m_process;
    QByteArray m_toLine;
};

class ProtocolTransferTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        LinkParams params;
        params.strPortName = QString::fromStdString(m_line.Path());
        params.strDevice = params.strPortName;
        params.nBaud = 115200;
        m_link = std::make_shared<CSerialLink>(params);
        ASSERT_TRUE(m_link->Open());
        m_monitor = std::make_unique<LinkMonitor>(*m_link);
        m_dlg = std::make_unique<CFileSendDlg>(nullptr, MakeLinkWriter(m_link), FileSendSettings{},
                                               m_monitor.get());
        m_dlg->show();
        m_driver = std::make_unique<DialogDriver>(*m_dlg);
    }
    void TearDown() override
    {
        m_dlg.reset();
        m_link->Close();
    }

    QString Folder() const { return m_dir.Root() + QLatin1Char('/'); }
    QString FarFolder() const { return m_far.Root(); }

    void Choose(TransferProtocol protocol, TransferDirection direction)
    {
        Combo(FileSendDlgIds::IDC_PROTOCOL)->setCurrentIndex(int(protocol));
        Combo(FileSendDlgIds::IDC_DIRECTION)->setCurrentIndex(int(direction));
    }
    QComboBox* Combo(int id) const { return m_dlg->findChild<QComboBox*>(ControlName(id)); }
    void Send(const QString& name)
    {
        m_driver->Browse(Folder());
        m_driver->Click(m_driver->Entry(name));
        m_driver->Press(kIdOk);
    }
    bool Running() const { return m_driver->Button(kIdAbort)->isEnabled(); }
    QString SizeText() const { return m_driver->Label(FileSendDlgIds::IDC_SIZE_TEXT); }

    OuterPty m_line;
    TempDir m_dir;
    TempDir m_far;
    MessageCapture m_messages;
    std::shared_ptr<CSerialLink> m_link;
    std::unique_ptr<LinkMonitor> m_monitor;
    std::unique_ptr<CFileSendDlg> m_dlg;
    std::unique_ptr<DialogDriver> m_driver;
};

TEST_F(ProtocolTransferTest, AFileSentByProtocolArrivesByteExactAndTheMonitorShowsNoTraffic)
{
    const struct
    {
        TransferProtocol protocol;
        QStringList farCommand;
        QString farName;
    } cases[] = {
        {TransferProtocol::Xmodem1K, {"rx", "-c", "got.bin"}, "got.bin"},
        {TransferProtocol::Zmodem, {"rz", "-vv", "-b"}, "one.bin"},
        {TransferProtocol::Ymodem, {"rb", "-vv", "-b"}, "one.bin"},
    };
    const QByteArray contents = RandomBytes(kMiB);
    m_dir.Write(QStringLiteral("one.bin"), contents);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.farCommand.join(' ').toStdString());
        QFile::remove(m_far.Path(c.farName));
        m_monitor->shown.clear();
        m_monitor->notices.clear();
        m_messages.texts.clear();
        Choose(c.protocol, TransferDirection::Send);
        EXPECT_EQ(m_driver->Button(kIdOk)->text(), QStringLiteral("전송"));
        Send(QStringLiteral("one.bin"));
        ASSERT_TRUE(m_monitor->Diverted());
        // The receiver starts after the sender, as a user types its command at the far end.
        FarEnd far(m_line, FarFolder(), c.farCommand);
        ASSERT_TRUE(WaitFor([&] { return m_messages.Saw(kCompleted); }, 120000))
            << m_messages.texts.join('|').toStdString();
        ASSERT_TRUE(WaitFor([&] { return far.Ended(); }));
        EXPECT_EQ(far.ExitCode(), 0);
        EXPECT_TRUE(TempDir::Read(m_far.Path(c.farName)) == contents);
        // The protocol's bytes were the transfer's, not the window's; it was told twice.
        EXPECT_FALSE(m_monitor->Diverted());
        EXPECT_TRUE(m_monitor->shown.isEmpty());
        ASSERT_EQ(m_monitor->notices.size(), 2);
        EXPECT_TRUE(m_monitor->notices[1].contains(QStringLiteral("완료")));
        EXPECT_GE(m_monitor->recordedSent, contents.size());
        EXPECT_TRUE(SizeText().startsWith(QStringLiteral("%1 / %1 Bytes").arg(contents.size())))
            << SizeText().toStdString();
        EXPECT_FALSE(Running());
    }
}

TEST_F(ProtocolTransferTest, AFileSentByZmodemFromTheFarEndIsReceivedIntoTheFolderShown)
{
    const QByteArray contents = RandomBytes(kMiB / 2) + QByteArray(1000, '\0');
    m_far.Write(QStringLiteral("from far.bin"), contents);
    // A file of that name is there already: it is kept, and the new one renamed.
    m_dir.Write(QStringLiteral("from far.bin"), "mine");
    Choose(TransferProtocol::Zmodem, TransferDirection::Receive);
    EXPECT_EQ(m_driver->Button(kIdOk)->text(), QStringLiteral("받기"));
    m_driver->Browse(Folder());
    m_driver->Press(kIdOk);
    ASSERT_TRUE(m_monitor->Diverted());
    FarEnd far(m_line, FarFolder(), {"sz", "-vv", "-b", "from far.bin"});
    ASSERT_TRUE(WaitFor([&] { return m_messages.Starting(kReceived).size() > 0; }, 120000))
        << m_messages.texts.join('|').toStdString();
    ASSERT_TRUE(WaitFor([&] { return far.Ended(); }));
    EXPECT_EQ(far.ExitCode(), 0);
    EXPECT_EQ(TempDir::Read(m_dir.Path(QStringLiteral("from far.bin"))), "mine");
    QStringList names = QDir(m_dir.Root()).entryList(QDir::Files);
    ASSERT_EQ(names.removeAll(QStringLiteral("from far.bin")), 1);
    ASSERT_EQ(names.size(), 1) << names.join(',').toStdString();
    EXPECT_TRUE(TempDir::Read(m_dir.Path(names[0])) == contents);
    EXPECT_TRUE(m_monitor->shown.isEmpty());
    EXPECT_FALSE(m_monitor->Diverted());
}

TEST_F(ProtocolTransferTest, ACancelledTransferLeavesBothSidesSane)
{
    m_dir.Write(QStringLiteral("big.bin"), RandomBytes(64 * kMiB));
    {
        FarEnd far(m_line, FarFolder(), {"rz", "-vv", "-b"});
        Choose(TransferProtocol::Zmodem, TransferDirection::Send);
        Send(QStringLiteral("big.bin"));
        ASSERT_TRUE(WaitFor([&] { return SizeText().section(' ', 0, 0).toLongLong() > 0; }))
            << SizeText().toStdString();
        m_driver->Press(kIdAbort);
        EXPECT_TRUE(m_messages.Saw(kCancelled));
        ASSERT_TRUE(WaitFor([&] { return !Running(); }));
        // The far end was told to give up, and did; gone, it reads nothing more off the line.
        ASSERT_TRUE(WaitFor([&] { return far.Ended(); }));
        EXPECT_NE(far.ExitCode(), 0);
    }
    EXPECT_FALSE(m_monitor->Diverted());
    ASSERT_EQ(m_monitor->notices.size(), 2);
    EXPECT_TRUE(m_monitor->notices[1].contains(QStringLiteral("취소")));
    EXPECT_FALSE(m_messages.Saw(kCompleted));

    // The line is the window's again both ways.
    m_monitor->shown.clear();
    ASSERT_EQ(::write(m_line.Master(), "ping", 4), 4);
    EXPECT_TRUE(WaitFor([&] { return m_monitor->shown.endsWith("ping"); }));
    ASSERT_TRUE(m_link->Write("k", 1, CLink::kOwnWait).status == WriteStatus::Written);
    QByteArray typed;
    EXPECT_TRUE(
        WaitFor([&] { return (typed += TakeFromMaster(m_line.Master(), 0)).endsWith('k'); }));
}

TEST_F(ProtocolTransferTest, WithoutLrzszTheUserIsToldWhichPackageToInstallAndNothingStarts)
{
    m_dir.Write(QStringLiteral("one.bin"), "abc");
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", m_dir.Root().toLocal8Bit());
    for (const TransferDirection direction :
         {TransferDirection::Send, TransferDirection::Receive}) {
        m_messages.texts.clear();
        Choose(TransferProtocol::Zmodem, direction);
        if (direction == TransferDirection::Send)
            Send(QStringLiteral("one.bin"));
        else
            m_driver->Press(kIdOk);
        const QString told = m_messages.Starting(
            direction == TransferDirection::Send ? QStringLiteral("'sz'") : QStringLiteral("'rz'"));
        EXPECT_TRUE(told.contains(QStringLiteral("lrzsz 패키지를 설치하십시오")))
            << m_messages.texts.join('|').toStdString();
        EXPECT_FALSE(m_monitor->Diverted());
        EXPECT_TRUE(m_monitor->notices.isEmpty());
        EXPECT_FALSE(Running());
        EXPECT_TRUE(m_driver->Button(kIdOk)->isEnabled());
    }
    qputenv("PATH", path);
}

TEST(ProtocolCommand, EachProtocolRunsItsProgramAndProgressLinesAreRead)
{
    using P = TransferProtocol;
    constexpr auto kSend = TransferDirection::Send;
    constexpr auto kReceive = TransferDirection::Receive;
    const struct
    {
        TransferProtocol protocol;
        TransferDirection direction;
        QString file;
        bool overwrite;
        QString expected; // the program and its arguments
    } commands[] = {
        {P::Xmodem, kSend, "a", false, "sx -vv -b -- a"},
        {P::Xmodem1K, kSend, "-a", false, "sx -vv -b -k -- -a"},
        {P::Ymodem, kSend, "a", false, "sb -vv -b -k -- a"},
        {P::Zmodem, kSend, "a", false, "sz -vv -b -- a"},
        {P::Xmodem, kReceive, "x", false, "rx -vv -b -c -- x"},
        {P::Xmodem1K, kReceive, "x", true, "rx -vv -b -c -y -- x"},
        {P::Ymodem, kReceive, "", false, "rb -vv -b -R -E"},
        {P::Zmodem, kReceive, "", false, "rz -vv -b -R -E"},
    };
    for (const auto& c : commands) {
        const ProtocolCommand command =
            ProtocolCommandFor(c.protocol, c.direction, c.file, c.overwrite);
        EXPECT_EQ(QStringList{command.program} + command.arguments, c.expected.split(' '));
    }
    EXPECT_TRUE(ProtocolCommandFor(TransferProtocol::Plain, TransferDirection::Send, "a")
                    .program.isEmpty());

    const struct
    {
        QString line;
        qint64 bytes;
        qint64 total;
        QString file;
    } lines[] = {
        {"Bytes Sent:   9216/ 300000   BPS:2460829  ETA 00:00", 9216, 300000, ""},
        {"Bytes received:  286720/ 300000   BPS:67131341 ETA 00:00", 286720, 300000, ""},
        {"Bytes Sent: 300032   BPS:298098", 300032, -1, ""},
        {"Xmodem sectors/kbytes sent:  16/ 2k", 2048, -1, ""},
        {"Sending: f.bin", -1, -1, "f.bin"},
        {"Receiving: my file.bin", -1, -1, "my file.bin"},
        {"Sending f.bin, 2343 blocks: Give your local XMODEM receive command now.", -1, -1,
         "f.bin"},
        {"Transfer incomplete", -1, -1, ""},
        {QString(600, 'x'), -1, -1, ""},
    };
    for (const auto& l : lines) {
        const ProtocolProgress progress = ParseProtocolProgress(l.line);
        EXPECT_EQ(progress.nBytes, l.bytes) << l.line.toStdString();
        EXPECT_EQ(progress.nTotal, l.total) << l.line.toStdString();
        EXPECT_EQ(progress.strFile, l.file) << l.line.toStdString();
    }
}

} // namespace
