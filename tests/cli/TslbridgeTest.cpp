// tslbridge as a bench uses it: a pymodbus master and slave talking through it over two serial
// lines, logged and captured with their directions; its command line refused clearly.
#include "CCaptureReader.h"
#include "ModbusSlave.h"
#include "PtyEnds.h"
#include "RunProgram.h"
#include "TcpPeer.h"
#include "TempDir.h"
#include "TslrunSupport.h"

#include <gtest/gtest.h>

using namespace TslrunTest;

namespace {

const QString kTslbridge = QStringLiteral(TSLBRIDGE_PATH);

// The bytes of the capture recorded with attr, in order.
QByteArray CapturedAs(const QString& path, char attr)
{
    CCaptureReader reader;
    EXPECT_EQ(reader.Open(path), CaptureStatus::Ok);
    QByteArray bytes;
    CaptureRecord record;
    while (reader.Next(record)) {
        for (const Cell& cell : record.cells) {
            if (cell.attr == uint8_t(attr))
                bytes.append(char(cell.byte));
        }
    }
    EXPECT_EQ(reader.SkippedCount(), 0);
    return bytes;
}

} // namespace

TEST(Tslbridge, BadArgumentsAreRefusedWithTheReasonAndStatusTwo)
{
    const struct
    {
        QStringList arguments;
        const char* reason;
    } cases[] = {
        {{}, "give two link addresses"},
        {{"tcp:127.0.0.1:1"}, "give two link addresses"},
        {{"tcp-listen:1", "tcp-listen:2", "tcp-listen:3"}, "not 3"},
        {{"--frobnicate", "tcp-listen:1", "tcp-listen:2"}, "unknown option --frobnicate"},
        {{"tcp-listen:5000", "ftp:1"}, "B: \"ftp:1\" is no link address"},
        {{"tcp-listen:0.0.0.0:5000", "tcp:127.0.0.1:1"}, "give --listen-any"},
        {{"tcp-listen:192.0.2.1:5000", "tcp:127.0.0.1:1"}, "give --listen-any"},
        {{"tcp-listen:70000", "tcp:127.0.0.1:1"}, "not a port number"},
        {{"tcp-listen:5000", "tcp:127.0.0.1"}, "tcp: takes HOST:PORT"},
        {{"tcp-listen:5000", "tcp:host:0"}, "not a port number"},
        {{"udp:5000:192.0.2.1:6000", "tcp:127.0.0.1:1"}, "give --listen-any"},
        {{"udp:5000:host", "tcp:127.0.0.1:1"}, "udp: takes LOCALPORT"},
        {{"serial:", "tcp:127.0.0.1:1"}, "names no device"},
        {{"serial:/dev/ttyS0:8N1:115200", "tcp:127.0.0.1:1"}, "out of place"},
        {{"serial:/dev/ttyS0:10", "tcp:127.0.0.1:1"}, "is not a speed"},
        {{"--capture", "tcp-listen:5000", "tcp:127.0.0.1:1"}, "give two link addresses"},
        {{"tcp-listen:5000", "tcp:127.0.0.1:1", "--capture"}, "--capture takes a file"},
    };
    for (const auto& c : cases) {
        const ProgramRun run = RunProgram(kTslbridge, c.arguments);
        EXPECT_EQ(run.status, 2) << c.arguments.join(' ').toStdString();
        EXPECT_NE(run.err.find(c.reason), std::string::npos)
            << c.arguments.join(' ').toStdString() << ": " << run.err;
        EXPECT_TRUE(run.out.empty());
    }

    // A well-formed side that cannot be used is a failure of its own.
    const ProgramRun missing =
        RunProgram(kTslbridge, {"--no-reconnect", "serial:/dev/nonexistent-tty", "tcp-listen:1"});
    EXPECT_EQ(missing.status, 1) << missing.err;
    EXPECT_NE(missing.err.find("cannot open A"), std::string::npos) << missing.err;
    TempDir dir;
    const ProgramRun fifo =
        RunProgram(kTslbridge, {"--capture", "/dev/null",
                                "tcp-listen:" + QString::number(FreePort()), "tcp:127.0.0.1:1"});
    EXPECT_EQ(fifo.status, 1) << fifo.err;
    EXPECT_NE(fifo.err.find("not a regular file"), std::string::npos) << fifo.err;

    const ProgramRun help = RunProgram(kTslbridge, {"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* form : {"serial:DEVICE", "tcp-listen:", "tcp:HOST:PORT", "udp:LOCALPORT"})
        EXPECT_NE(help.out.find(form), std::string::npos) << form;
}

TEST(Tslbridge, AModbusMasterAndSlaveTalkThroughItLoggedAndCapturedWithTheirDirections)
{
    ModbusSlave slave;
    if (!slave.Skip().isEmpty())
        GTEST_SKIP() << slave.Skip().toStdString();
    ASSERT_FALSE(slave.Device().isEmpty()) << slave.Error().toStdString();
    NullModem cable;
    TempDir dir;
    const QString capture = dir.Path("modbus.tvn");
    Serving bridge(TSLBRIDGE_PATH,
                   {"--log", "--capture", capture, "serial:" + slave.Device() + ":9600:8N1",
                    "serial:" + QString::fromStdString(cable.Second()) + ":9600"});
    ASSERT_TRUE(bridge.Said("B open")) << bridge.Errors();

    EXPECT_EQ(ModbusMasterReads(QString::fromStdString(cable.First())), "[4660, 1]");
    ASSERT_EQ(bridge.Stop(), 0) << bridge.Errors();

    // Read holding registers 0 and 1 of unit 1, and the answer 0x1234, 1 with its CRC.
    const QByteArray request = QByteArray::fromHex("010300000002C40B");
    const QByteArray answer = QByteArray::fromHex("010304123400017F45");
    EXPECT_TRUE(bridge.Said("A->B: 9 bytes received, 9 forwarded, 0 not forwarded"))
        << bridge.Errors();
    EXPECT_TRUE(bridge.Said("B->A: 8 bytes received, 8 forwarded, 0 not forwarded"))
        << bridge.Errors();
    EXPECT_EQ(CapturedAs(capture, kAttrBToA), request);
    EXPECT_EQ(CapturedAs(capture, kAttrAToB), answer);
    EXPECT_TRUE(CapturedAs(capture, kAttrSent).isEmpty());

    // One line per chunk: time, direction, count and the bytes in the notation.
    QString logged[2];
    for (const QString& line : bridge.Output().split('\n', Qt::SkipEmptyParts)) {
        const QStringList fields = line.split(' ');
        ASSERT_EQ(fields.size(), 5) << line.toStdString();
        const int direction = fields[2] == "A->B" ? 0 : 1;
        ASSERT_TRUE(fields[2] == "A->B" || fields[2] == "B->A") << line.toStdString();
        logged[direction] += fields[4];
    }
    EXPECT_EQ(logged[1], "<01><03><00><00><00><02><C4><0B>");
    EXPECT_EQ(logged[0], "<01><03><04><12>4<00><01><7F>E");
}

TEST(Tslbridge, AServerSideCountsWhatCameWhileNobodyWasConnected)
{
    OuterPty device;
    const quint16 port = FreePort();
    Serving bridge(TSLBRIDGE_PATH, {"serial:" + QString::fromStdString(device.Path()),
                                    "tcp-listen:" + QString::number(port)});
    ASSERT_TRUE(bridge.Said("B open")) << bridge.Errors();
    ASSERT_TRUE(bridge.Said("A open")) << bridge.Errors();
    ASSERT_EQ(::write(device.Master(), "lost", 4), 4);
    ASSERT_TRUE(bridge.Said("4 bytes A->B not forwarded: B has nobody connected"))
        << bridge.Errors();

    TcpPeer client = TcpPeer::Connect(port);
    // Its own notice: "nobody connected" above says "connected" too.
    ASSERT_TRUE(bridge.Said("B: 127.0.0.1:" + std::to_string(client.LocalPort()) + " connected"))
        << bridge.Errors();
    ASSERT_EQ(::write(device.Master(), "seen", 4), 4);
    EXPECT_EQ(client.Take(4), QByteArray("seen"));
    ASSERT_EQ(bridge.Stop(), 0);
    EXPECT_TRUE(bridge.Said("A->B: 8 bytes received, 4 forwarded, 4 not forwarded"))
        << bridge.Errors();
}
