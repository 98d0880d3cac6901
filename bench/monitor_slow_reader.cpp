// A monitor window's server repeats a 60,000-byte row every 10 ms, as a repeating command-list
// row does, to a TCP client that reads about 1 MB/s. After the given time the sending stops and
// the client reads what is left. Reports the rows the client got whole, the rows it got cut
// (must be 0), the rows the window dropped and counted, the notices it showed, and the bytes
// lost without a word (sent less received less counted: must be 0); and the longest stall of
// the user-interface thread.
#include "CMonitorLink.h"
#include "monitor_bench_support.h"

#include <QCommandLineParser>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kRowBytes = 60000;
constexpr int kRepeatMs = 10;
constexpr int kReadBytes = 16 * 1024; // the client reads this much ...
constexpr int kReadPauseMs = 16;      // ... this often: about 1 MB/s

QByteArray Row(qint64 i)
{
    QByteArray row(kRowBytes, char('a' + i % 26));
    const QByteArray number = QByteArray::number(i).rightJustified(10, '0') + ';';
    row.replace(0, number.size(), number);
    row[kRowBytes - 1] = '\n';
    return row;
}

// The slow client: counts whole rows and rows that are not (cut, glued or out of order).
struct Reader
{
    std::atomic<bool> draining = false; // read at full speed from now on
    std::atomic<bool> stop = false;
    std::atomic<qint64> bytes = 0;
    qint64 wholeRows = 0;
    qint64 badRows = 0;

    void Run(quint16 port)
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            ::close(fd);
            return;
        }
        const timeval tick{0, 100 * 1000};
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tick, sizeof tick);
        QByteArray pending;
        qint64 last = -1;
        std::vector<char> buf(256 * 1024);
        while (!stop) {
            const size_t want = draining ? buf.size() : size_t(kReadBytes);
            const ssize_t got = ::recv(fd, buf.data(), want, 0);
            if (got == 0)
                break;
            if (got > 0) {
                bytes += got;
                pending.append(buf.data(), got);
                qsizetype at = 0;
                for (; pending.size() - at >= kRowBytes; at += kRowBytes) {
                    const qint64 number = pending.mid(at, 10).toLongLong();
                    const bool whole = number > last && pending.mid(at, kRowBytes) == Row(number);
                    whole ? ++wholeRows : ++badRows;
                    last = std::max(last, number);
                }
                pending.remove(0, at);
            }
            if (!draining)
                std::this_thread::sleep_for(std::chrono::milliseconds(kReadPauseMs));
        }
        if (!pending.isEmpty())
            ++badRows;
        ::close(fd);
    }
};

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({"seconds", "How long the row repeats (default 30).", "s", "30"});
    parser.process(app);
    const qint64 sendMs = parser.value("seconds").toLongLong() * 1000;

    const quint16 port = FreeLoopbackPort();
    BenchMonitor monitor({{"Interface", 1}, {"Active", 1}, {"ServerPort", port}, {"Echo", 0}});
    CTARVENView* view = monitor.View();
    CMonitorLink* link = view->Link();
    view->OnPortOpen();
    if (!view->IsOnline()) {
        std::fprintf(stderr, "the monitor could not listen on port %u\n", port);
        return 2;
    }
    qint64 notices = 0;
    QObject::connect(link, &CMonitorLink::notice, [&](const QString& text) {
        if (text.contains(QStringLiteral("보내지 못한 바이트")))
            ++notices;
    });

    Reader reader;
    std::thread client([&] { reader.Run(port); });
    QElapsedTimer wait;
    wait.start();
    while (link->ConnectionCount() == 0 && wait.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);

    StallMeter stalls;
    stalls.Start();
    qint64 rows = 0;
    QTimer repeat;
    repeat.setTimerType(Qt::PreciseTimer);
    QObject::connect(&repeat, &QTimer::timeout, [&] { link->Send(Row(rows++)); });
    QElapsedTimer clock;
    clock.start();
    repeat.start(kRepeatMs);
    while (clock.elapsed() < sendMs)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    repeat.stop();
    const double longestStallMs = stalls.LongestMs();

    // The client takes the rest at full speed; the notice of the last burst comes meanwhile.
    reader.draining = true;
    const qint64 expected = (rows - link->UnsentSends()) * kRowBytes;
    QElapsedTimer drain;
    drain.start();
    while ((reader.bytes < expected || drain.elapsed() < 2 * kBurstQuietMs) &&
           drain.elapsed() < 60000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    view->OnPortClose();
    reader.stop = true;
    client.join();

    const qint64 lost = rows * kRowBytes - reader.bytes - link->UnsentBytes();
    std::printf("rows sent %lld in %.1f s: received whole %lld, received cut %lld, "
                "dropped and counted %lld (%lld bytes, %lld notices)\n",
                static_cast<long long>(rows), double(sendMs) / 1000,
                static_cast<long long>(reader.wholeRows), static_cast<long long>(reader.badRows),
                static_cast<long long>(link->UnsentSends()),
                static_cast<long long>(link->UnsentBytes()), static_cast<long long>(notices));
    std::printf("bytes lost unreported %lld, longest user-interface stall %.1f ms\n",
                static_cast<long long>(lost), longestStallMs);
    return lost == 0 && reader.badRows == 0 ? 0 : 1;
}
