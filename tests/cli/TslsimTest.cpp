// tslsim as a bench uses it: the real program serving reply rules to a Modbus master of
// pymodbus, a TSL script run by tslrun, TCP and UDP peers.
#include "SimOptions.h"
#include "TslrunSupport.h"

#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>
#include <sys/stat.h>

namespace {

using namespace TslrunTest;

// Any slave's read of two holding registers is answered with 42 and 7, its address copied and
// its CRC appended; "AT" gets OK.
const char kRules[] = "# a Modbus RTU slave at every address\n"
                      "when ?? <03> ?? ?? <00><02> crc16 reply $1 <03><04><00><2A><00><07> crc16\n"
                      "when AT<0D> reply OK<0D><0A> after 1ms\n";

ProgramRun RunTslsim(const QStringList& arguments)
{
    return RunProgram(TSLSIM_PATH, arguments, 30000);
}

// tslsim serving until the test ends; its standard error is kept.
class Served
{
public:
    explicit Served(const QStringList& arguments)
    {
        m_process.start(TSLSIM_PATH, arguments);
        EXPECT_TRUE(m_process.waitForStarted());
    }
    ~Served()
    {
        m_process.terminate();
        EXPECT_TRUE(m_process.waitForFinished(10000));
        EXPECT_EQ(m_process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(m_process.exitCode(), 0) << Errors();
    }
    Served(const Served&) = delete;
    Served& operator=(const Served&) = delete;

    QString FirstLine()
    {
        PollUntil([&] {
            m_process.waitForReadyRead(10);
            return m_process.canReadLine();
        });
        return QString::fromUtf8(m_process.readLine()).trimmed();
    }
    std::string Errors()
    {
        m_process.setReadChannel(QProcess::StandardError);
        m_process.waitForReadyRead(10);
        m_process.setReadChannel(QProcess::StandardOutput);
        m_errors += m_process.readAllStandardError().toStdString();
        return m_errors;
    }

private:
    QProcess m_process;
    std::string m_errors;
};

QString SystemPython()
{
    // Debian's pymodbus belongs to the system's Python, which another python3 may not see.
    return QFile::exists("/usr/bin/python3") ? QStringLiteral("/usr/bin/python3")
                                             : QStringLiteral("python3");
}

TEST(Tslsim, RulesOnAPtyAnswerAModbusMasterAndATslScriptUnderTheLinkName)
{
    TempDir dir;
    const QString rules = dir.Write("slave.rules", kRules);
    const QString link = dir.Path("modbus");
    Served sim({rules, "--pty", "--link", link});
    const QString device = sim.FirstLine();
    ASSERT_TRUE(device.startsWith("/dev/pts/")) << sim.Errors();
    ASSERT_EQ(QFile::symLinkTarget(link), device);

    // A master of pymodbus reads slave 7 through the link name and gets the values and a CRC
    // it accepts.
    QProcess master;
    master.start(SystemPython(),
                 {"-c",
                  "import sys\n"
                  "try:\n"
                  "    from pymodbus.client import ModbusSerialClient\n"
                  "except ImportError:\n"
                  "    print('skip'); sys.exit(0)\n"
                  "c = ModbusSerialClient(port=sys.argv[1], baudrate=9600, timeout=2)\n"
                  "c.connect()\n"
                  "r = c.read_holding_registers(5, 2, slave=7)\n"
                  "print(getattr(r, 'registers', r))\n",
                  link});
    ASSERT_TRUE(master.waitForFinished(30000));
    const QString read = QString::fromUtf8(master.readAllStandardOutput()).trimmed();
    if (read == "skip")
        GTEST_SKIP() << "pymodbus is not installed (tools/install-deps.sh installs it)";
    EXPECT_EQ(read, "[42, 7]") << master.readAllStandardError().toStdString();

    // The same device answers a script: its request, and the answer checked byte for byte.
    const ScriptFile script("OPEN MEDIA RS232C\nOPEN PORT COM1\nDIM REPLY$ 64\nVAR N% 0\n"
                            "VAR AT% 0\nVAR SENT% 0\nVAR WAITED% 0\n"
                            "BEGIN:\n"
                            "CMP SENT, 0\nJPNE RECEIVE\n"
                            "OUT \"<07><03><00><05><00><02><D4><6C>\"\nMOVE SENT, 1\n"
                            "RECEIVE:\nIN REPLY, N\nCMP N, 0\nJPNE CHECK\nINC WAITED\nSLEEP 10\n"
                            "CMP WAITED, 500\nJPL END\nSYNC 1\nJP END\n"
                            "CHECK:\nFIND REPLY, \"<07><03><04><00><2A><00><07><FC><39>\", AT\n"
                            "CMP AT, 0\nJPL FAIL\nSYNC 0\nJP END\nFAIL:\nSYNC 2\nEND:\n");
    const ProgramRun run = RunTslrun({"--sync-exit", "--port", link, Path(script)});
    EXPECT_EQ(run.status, 0) << run.out << run.err;

    // Bytes no rule answers are told, in the notation, on standard error.
    const int fd = open(link.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, "x<\x01", 3), 3);
    EXPECT_TRUE(PollUntil([&] {
        return sim.Errors().find("no rule answers x<<<01>") != std::string::npos;
    })) << sim.Errors();
    close(fd);
}

TEST(Tslsim, TcpClientsAreAnsweredEachOnTheirOwnAndUdpAnswersGoToTheSender)
{
    TempDir dir;
    const QString rules = dir.Write("at.rules", kRules);
    QTcpServer finder; // finds a free port for the server

    ASSERT_TRUE(finder.listen(QHostAddress::LocalHost));
    const quint16 port = finder.serverPort();
    finder.close();
    Served sim({rules, "--listen", QString::number(port), "--unmatched", "<15>"});

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
    EXPECT_TRUE(PollUntil([&] {
        return sim.Errors().find("no rule answers zz") != std::string::npos;
    })) << sim.Errors();

    QTcpServer udpFinder;
    ASSERT_TRUE(udpFinder.listen(QHostAddress::LocalHost));
    QUdpSocket peer;
    ASSERT_TRUE(peer.bind(QHostAddress::LocalHost, 0));
    const quint16 udpPort = udpFinder.serverPort();
    udpFinder.close();
    Served udp({rules, "--udp", "127.0.0.1:" + QString::number(udpPort)});
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
        {{faulty, "--pty"}, SimExit::kRuleErrors, "faulty.rules:2:6: malformed control code"},
        {{faulty, "--pty"}, SimExit::kRuleErrors, "faulty.rules:3:15: $2 names no"},
        {{empty, "--pty"}, SimExit::kRuleErrors, "holds no rule"},
        {{fifo, "--pty"}, SimExit::kUnusable, "it is a FIFO"},
        {{dir.Path("none.rules"), "--pty"}, SimExit::kUnusable, "No such file"},
        {{good, "--serial", dir.Path("no-tty")}, SimExit::kUnusable, "cannot open"},
        {{good, "--serial", good}, SimExit::kUnusable, "no serial line"},
        {{good}, SimExit::kUsage, "give one of them"},
        {{good, "--pty", "--listen", "5000"}, SimExit::kUsage, "give one of them"},
        {{good, "--listen", "70000"}, SimExit::kUsage, "PORT from 1 to 65535"},
        {{good, "--pty", "--speed", "2"}, SimExit::kUsage, "1, 10 or max"},
        {{good, "--pty", "--unmatched", "<1"}, SimExit::kUsage, "control-code notation"},
        {{good, "--listen", "5000", "--link", "x"}, SimExit::kUsage, "give it with --pty"},
        {{"--pty"}, SimExit::kUsage, "no rule file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const ProgramRun run = RunTslsim(c.arguments);
        EXPECT_EQ(run.status, c.status);
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    }
}

} // namespace
