// tslsim as a bench uses it: the real program serving reply rules to a Modbus master of
// pymodbus, a TSL script run by tslrun, TCP and UDP peers.
#include "ModbusSlave.h"
#include "SimOptions.h"
#include "TcpPeer.h"
#include "TslrunSupport.h"

#include <QFile>
#include <QProcess>
#include <QTcpSocket>
#include <QUdpSocket>
#include <sys/stat.h>

#include "CaptureCell.h"
#include "CaptureFormat.h"

namespace {

using namespace TslrunTest;

// Any slave's read of two holding registers is answered with 42 and 7, its address copied and
// its CRC appended; "AT" gets OK.
const char kRules[] = "# a Modbus RTU slave at every address\n"
                      "when ?? <03> ?? ?? <00><02> crc16 reply $1 <03><04><00><2A><00><07> crc16\n"
                      "when AT<0D> reply OK<0D><0A> after 1ms\n";

// A script that sends a Modbus request on its serial line and checks the answer byte for byte:
// SYNC 0 when it came, 1 when none did, 2 when another did.
std::string ModbusReadScript(const std::string& request, const std::string& answer)
{
    return "OPEN MEDIA RS232C\nOPEN PORT COM1\nDIM REPLY$ 64\nVAR N% 0\nVAR AT% 0\n"
           "VAR SENT% 0\nVAR WAITED% 0\n"
           "BEGIN:\nCMP SENT, 0\nJPNE RECEIVE\nOUT \"" +
           request +
           "\"\nMOVE SENT, 1\n"
           "RECEIVE:\nIN REPLY, N\nCMP N, 0\nJPNE CHECK\nINC WAITED\nSLEEP 10\n"
           "CMP WAITED, 500\nJPL END\nSYNC 1\nJP END\n"
           "CHECK:\nFIND REPLY, \"" +
           answer +
           "\", AT\nCMP AT, 0\nJPL FAIL\nSYNC 0\nJP END\n"
           "FAIL:\nSYNC 2\nEND:\n";
}

TEST(Tslsim, RulesOnAPtyAnswerAModbusMasterAndATslScriptUnderTheLinkName)
{
    TempDir dir;
    const QString rules = dir.Write("slave.rules", kRules);
    const QString link = dir.Path("modbus");
    Serving sim(TSLSIM_PATH, {"rules", rules, "--pty", "--link", link});
    const QString device = sim.FirstLine();
    ASSERT_TRUE(device.startsWith("/dev/pts/")) << sim.Errors();
    ASSERT_EQ(QFile::symLinkTarget(link), device);

    // A script through the link name: its request to slave 7, and the answer checked byte for
    // byte, its address copied and its CRC appended.
    const ScriptFile script(ModbusReadScript("<07><03><00><05><00><02><D4><6C>",
                                             "<07><03><04><00><2A><00><07><FC><39>"));
    const ProgramRun run = RunTslrun({"--sync-exit", "--port", link, Path(script)});
    EXPECT_EQ(run.status, 0) << run.out << run.err;

    // Bytes no rule answers are told, in the notation, on standard error.
    const int fd = open(link.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, "x<\x01", 3), 3);
    EXPECT_TRUE(sim.Said("no rule answers x<<<01>")) << sim.Errors();
    close(fd);

    // A master of pymodbus gets the values and a CRC it accepts.
    const QString read = ModbusMasterReads(link);
    if (read.contains("No module named 'pymodbus'"))
        GTEST_SKIP() << "pymodbus is not installed (tools/install-deps.sh installs it)";
    EXPECT_EQ(read, "[42, 7]");
}

TEST(Tslsim, TcpClientsAreAnsweredEachOnTheirOwnAndUdpAnswersGoToTheSender)
{
    TempDir dir;
    const QString rules = dir.Write("at.rules", kRules);
    const quint16 port = FreePort();
    Serving sim(TSLSIM_PATH,
                {"rules", rules, "--listen", QString::number(port), "--unmatched", "<15>"});

    QTcpSocket first;
    QTcpSocket second;
    ASSERT_TRUE(PollUntil([&] {
        first.abort();
        first.connectToHost(QHostAddress::LocalHost, port);
        return first.waitForConnected(100);
    }));
    second.connectToHost(QHostAddress::LocalHost, port);
    ASSERT_TRUE(second.waitForConnected(5000));
    // Halves of one request from each client, crossed: each client's matcher holds its own.
    first.write("A");
    first.flush();
    second.write("A");
    second.flush();
    first.write("T\r");
    second.write("T\rzz");
    QByteArray a;
    QByteArray b;
    ASSERT_TRUE(PollUntil([&] {
        first.waitForReadyRead(5);
        second.waitForReadyRead(5);
        a += first.readAll();
        b += second.readAll();
        return a.size() >= 4 && b.size() >= 5;
    }));
    EXPECT_EQ(a, "OK\r\n");
    EXPECT_EQ(b, "OK\r\n\x15"); // the unmatched answer follows when the line goes quiet
    EXPECT_TRUE(sim.Said("no rule answers zz")) << sim.Errors();

    QUdpSocket peer;
    ASSERT_TRUE(peer.bind(QHostAddress::LocalHost, 0));
    const quint16 udpPort = FreePort();
    Serving udp(TSLSIM_PATH, {"rules", rules, "--udp", "127.0.0.1:" + QString::number(udpPort)});
    QByteArray answer;
    ASSERT_TRUE(PollUntil([&] {
        peer.writeDatagram("AT\r", QHostAddress::LocalHost, udpPort);
        peer.waitForReadyRead(50);
        while (peer.hasPendingDatagrams()) {
            answer.resize(int(peer.pendingDatagramSize()));
            peer.readDatagram(answer.data(), answer.size());
        }
        return !answer.isEmpty();
    }));
    EXPECT_EQ(answer, "OK\r\n");
}

// A capture of three exchanges, the way a monitor records them: a record per chunk, the sent
// bytes and the device's answers told apart by their attributes.
QByteArray RecordedSession()
{
    QByteArray file = CaptureFormat::EncodeHeader(1000);
    const auto record = [&](int64_t ms, const QByteArray& bytes, char attr) {
        const QByteArray attrs(bytes.size(), attr);
        file += CaptureFormat::EncodeRecord(ms, reinterpret_cast<const uint8_t*>(bytes.data()),
                                            reinterpret_cast<const uint8_t*>(attrs.data()),
                                            uint32_t(bytes.size()));
    };
    record(1000, "hello\r\n", kAttrReceived); // a greeting answers nothing
    record(2000, "AT\r", kAttrSent);
    record(2003, "OK\r\n", kAttrReceived);
    record(3000, "AT+V", kAttrSent);
    record(3001, "?\r", kAttrSent);
    record(3020, "V1", kAttrReceived);
    record(3021, ".2\r\n", kAttrReceived);
    record(4000, "AT\r", kAttrSent);
    record(4001, "OK again\r\n", kAttrReceived);
    return file;
}

// Sends each request on a pty and collects what comes back until it is all there.
std::string Ask(const QString& device, const std::vector<std::string>& requests,
                std::size_t expected)
{
    const int fd = open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    EXPECT_GE(fd, 0);
    std::string got;
    for (const std::string& request : requests) {
        EXPECT_EQ(write(fd, request.data(), request.size()), ssize_t(request.size()));
        const std::size_t before = got.size();
        PollUntil([&] {
            char buffer[256];
            const ssize_t n = read(fd, buffer, sizeof buffer);
            if (n > 0)
                got.append(buffer, std::size_t(n));
            return got.size() > before && got.back() == '\n';
        });
    }
    close(fd);
    EXPECT_EQ(got.size(), expected) << got;
    return got;
}

TEST(Tslsim, ARecordedSessionAnswersInTurnOrByLookupWithRulesBeforeIt)
{
    TempDir dir;
    const QString session = dir.Write("bench.tvn", RecordedSession());
    {
        Serving sim(TSLSIM_PATH, {"serve", session, "--pty", "--speed", "max"});
        const QString device = sim.FirstLine();
        // In turn, and over again: the first request after the last exchange starts it anew.
        EXPECT_EQ(Ask(device, {"AT\r", "AT+V?\r", "AT\r", "AT\r"}, 24),
                  "OK\r\nV1.2\r\nOK again\r\nOK\r\n");
    }
    const QString rules = dir.Write("first.rules", "when AT+V?<0D> reply V9<0D><0A>\n");
    Serving sim(TSLSIM_PATH, {"serve", session, "--lookup", "--rules", rules, "--pty"});
    const QString device = sim.FirstLine();
    // Any request, its most recent answer; the rule comes before the session.
    EXPECT_EQ(Ask(device, {"AT+V?\r", "AT\r", "AT\r"}, 24), "V9\r\nOK again\r\nOK again\r\n");
}

TEST(Tslsim, ASessionRecordedWithARealModbusSlaveAnswersTheSameScriptAndAMaster)
{
    ModbusSlave slave;
    if (!slave.Skip().isEmpty())
        GTEST_SKIP() << slave.Skip().toStdString();
    ASSERT_FALSE(slave.Device().isEmpty()) << slave.Error().toStdString();
    TempDir dir;
    const QString capture = dir.Path("modbus.tvn");
    // Holding registers 0 and 1 of unit 1: 0x1234 and 1.
    const ScriptFile script(ModbusReadScript("<01><03><00><00><00><02><C4><0B>",
                                             "<01><03><04><12><34><00><01><7F><45>"));
    const ProgramRun recorded =
        RunTslrun({"--sync-exit", "--capture", capture, "--port", slave.Device(), Path(script)});
    ASSERT_EQ(recorded.status, 0) << recorded.out << recorded.err;

    // The session, served on a pty of its own, answers the script as the slave did...
    const QString link = dir.Path("simulated");
    Serving sim(TSLSIM_PATH, {"serve", capture, "--pty", "--link", link});
    ASSERT_TRUE(sim.FirstLine().startsWith("/dev/pts/")) << sim.Errors();
    const ProgramRun served = RunTslrun({"--sync-exit", "--port", link, Path(script)});
    EXPECT_EQ(served.status, 0) << served.out << served.err << sim.Errors();
    // ...and a master reading the same registers gets the recorded values.
    EXPECT_EQ(ModbusMasterReads(link), "[4660, 1]");

    // The capture of a session that cannot be written is refused before any script runs.
    const ProgramRun refused = RunTslrun({"--capture", Path(script), "--port", link, Path(script)});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("holds something other than a capture"), std::string::npos)
        << refused.err;
}

TEST(Tslsim, FaultyRulesUnreadableFilesAndWrongArgumentsAreRefusedWithTheirReason)
{
    TempDir dir;
    const QString faulty = dir.Write("faulty.rules", "when <01> reply <06>\nwhen <0G> reply x\n"
                                                     "when ?? reply $2\n");
    const QString fifo = dir.Path("fifo.rules");
    ASSERT_EQ(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    const QString empty = dir.Write("empty.rules", "# nothing yet\n");
    const QString good = dir.Write("good.rules", kRules);
    const struct
    {
        QStringList arguments;
        int status;
        const char* says;
    } cases[] = {
        {{"rules", faulty, "--pty"},
         SimExit::kRuleErrors,
         "faulty.rules:2:6: malformed control code"},
        {{"rules", faulty, "--pty"}, SimExit::kRuleErrors, "faulty.rules:3:15: $2 names no"},
        {{"rules", empty, "--pty"}, SimExit::kRuleErrors, "holds no rule"},
        {{"rules", fifo, "--pty"}, SimExit::kUnusable, "it is a FIFO"},
        {{"rules", dir.Path("none.rules"), "--pty"}, SimExit::kUnusable, "No such file"},
        {{"rules", good, "--serial", dir.Path("no-tty")}, SimExit::kUnusable, "cannot open"},
        {{"rules", good, "--serial", good}, SimExit::kUnusable, "no serial line"},
        {{"rules", good}, SimExit::kUsage, "give one of them"},
        {{good, "--pty"}, SimExit::kUsage, "give 'rules' or 'serve' first"},
        {{"rules", good, "--pty", "--lookup"}, SimExit::kUsage, "unknown option --lookup"},
        {{"serve", good, "--pty"}, SimExit::kUnusable, "not a capture file"},
        {{"serve", "--pty"}, SimExit::kUsage, "no session given"},
        {{"rules", good, "--pty", "--listen", "5000"}, SimExit::kUsage, "give one of them"},
        {{"rules", good, "--listen", "70000"}, SimExit::kUsage, "PORT from 1 to 65535"},
        {{"rules", good, "--pty", "--speed", "2"}, SimExit::kUsage, "1, 10 or max"},
        {{"rules", good, "--pty", "--unmatched", "<1"}, SimExit::kUsage, "control-code notation"},
        {{"rules", good, "--listen", "5000", "--link", "x"}, SimExit::kUsage, "give it with --pty"},
        {{"rules", "--pty"}, SimExit::kUsage, "no rule file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const ProgramRun run = RunProgram(TSLSIM_PATH, c.arguments, 30000);
        EXPECT_EQ(run.status, c.status);
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    }
}

} // namespace
