// Serial receive path at a sustained rate: a writer thread feeds a pty master at a fixed byte
// rate; CRS232Ctrl's reader thread queues what the slave receives and announces each burst;
// a consumer on the Qt event loop drains the whole queue on each notice in batches of at most
// 2048 bytes, as a monitor window does. Reports throughput, bytes dropped and notices.
#include "CRS232Ctrl.h"
#include "TransportConstants.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <pty.h>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kBatchBytes = 2048;
constexpr int kPatternPeriod = 251; // prime, so a lost chunk always breaks the sequence
constexpr int kWriterTickMs = 1;

unsigned char PatternByte(uint64_t index)
{
    return static_cast<unsigned char>(index % kPatternPeriod);
}

// Drains the port's queue on every notice and checks the byte sequence.
class Consumer : public QObject
{
public:
    explicit Consumer(CRS232Ctrl& port) : m_port(port)
    {
        connect(port.Notifier(), &CSerialNotifier::received, this, &Consumer::OnReceived);
    }

    uint64_t received = 0;
    uint64_t sequenceBreaks = 0;
    uint64_t notices = 0;
    int largestFill = 0;

private:
    void OnReceived()
    {
        ++notices;
        CQueue& queue = m_port.m_queue;
        int left = queue.GetSize();
        largestFill = std::max(largestFill, left);
        unsigned char batch[kBatchBytes];
        while (left > 0) {
            int n = 0;
            while (n < kBatchBytes && n < left && queue.GetByte(&batch[n]))
                ++n;
            for (int i = 0; i < n; ++i) {
                if (batch[i] != PatternByte(m_nextIndex)) {
                    ++sequenceBreaks;
                    m_nextIndex = (batch[i] + 1) % kPatternPeriod; // resynchronise
                    continue;
                }
                ++m_nextIndex;
            }
            received += static_cast<uint64_t>(n);
            left -= n;
        }
    }

    CRS232Ctrl& m_port;
    uint64_t m_nextIndex = 0;
};

double CpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription("Serial receive throughput through a pseudo-terminal.");
    parser.addHelpOption();
    parser.addOption({"seconds", "How long the writer runs (default 30).", "seconds", "30"});
    parser.addOption({"rate", "Bytes per second written (default 1000000).", "bytes", "1000000"});
    parser.process(app);
    const int seconds = parser.value("seconds").toInt();
    const int64_t rate = parser.value("rate").toLongLong();
    if (seconds <= 0 || rate <= 0) {
        std::fprintf(stderr, "seconds and rate must be positive\n");
        return 2;
    }

    int master = -1;
    int slave = -1;
    char slaveName[128] = {};
    if (openpty(&master, &slave, slaveName, nullptr, nullptr) != 0) {
        std::perror("openpty");
        return 1;
    }
    ::close(slave);

    CRS232Ctrl port;
    Consumer consumer(port);
    if (!port.Open(slaveName, 921600, 8, NOPARITY, ONESTOPBIT)) {
        std::fprintf(stderr, "open %s failed: errno %u\n", slaveName, port.GetLastError());
        return 1;
    }

    std::atomic<uint64_t> written = 0;
    std::atomic<bool> writerDone = false;
    const double cpuStart = CpuSeconds();
    const Clock::time_point start = Clock::now();
    std::thread writer([&] {
        std::vector<unsigned char> block;
        const auto end = start + std::chrono::seconds(seconds);
        uint64_t index = 0;
        for (auto now = Clock::now(); now < end; now = Clock::now()) {
            const auto elapsedUs =
                std::chrono::duration_cast<std::chrono::microseconds>(now - start).count();
            const uint64_t due = uint64_t(elapsedUs) * uint64_t(rate) / 1000000u;
            block.clear();
            for (; index < due; ++index)
                block.push_back(PatternByte(index));
            size_t done = 0;
            while (done < block.size()) {
                const ssize_t put = ::write(master, block.data() + done, block.size() - done);
                if (put <= 0)
                    break;
                done += size_t(put);
            }
            written += done;
            std::this_thread::sleep_for(std::chrono::milliseconds(kWriterTickMs));
        }
        writerDone = true;
    });

    // After the writer stops, wait until the consumer has everything or nothing moves for 2 s.
    uint64_t lastReceived = 0;
    Clock::time_point lastProgress = Clock::now();
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &app, [&] {
        if (consumer.received != lastReceived) {
            lastReceived = consumer.received;
            lastProgress = Clock::now();
        }
        if (writerDone &&
            (consumer.received >= written || Clock::now() - lastProgress > std::chrono::seconds(2)))
            app.quit();
    });
    watch.start(50);
    app.exec();
    writer.join();
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    const double cpu = CpuSeconds() - cpuStart;
    port.Close();
    ::close(master);

    const uint64_t dropped = written - consumer.received;
    std::printf("serial_throughput: %d s at %lld B/s through %s\n", seconds, (long long)rate,
                slaveName);
    std::printf("  written        %llu bytes\n", (unsigned long long)written.load());
    std::printf("  received       %llu bytes\n", (unsigned long long)consumer.received);
    std::printf("  dropped        %llu bytes (target 0)\n", (unsigned long long)dropped);
    std::printf("  sequence breaks %llu\n", (unsigned long long)consumer.sequenceBreaks);
    std::printf("  throughput     %.3f MB/s\n", double(consumer.received) / elapsed / 1e6);
    std::printf("  notices        %llu (%.0f bytes each on average)\n",
                (unsigned long long)consumer.notices,
                consumer.notices ? double(consumer.received) / double(consumer.notices) : 0.0);
    std::printf("  largest fill   %d of %d bytes\n", consumer.largestFill, CQueue::kCapacity);
    std::printf("  process CPU    %.2f s (%.1f%% of one core)\n", cpu, 100.0 * cpu / elapsed);
    return dropped == 0 && consumer.sequenceBreaks == 0 ? 0 : 1;
}
