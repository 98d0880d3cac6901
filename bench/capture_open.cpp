// Opening a 50 MB capture file: one made so that every 8th byte looks like the start of a 1 MiB
// record (none whole), and a well-formed one of 80-byte lines in 64 KiB chunks. For each, five
// runs of: the reader alone, GalmuriShow (the read at once), and BeginGalmuriShow in a visible
// view with the 50,000-line limit until the file is shown, with the longest stall of the
// user-interface thread meanwhile.
#include "CCaptureReader.h"
#include "CTextViewCtrl.h"
#include "CaptureFormat.h"
#include "TermViewConstants.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

namespace {

constexpr int kRuns = 5;
constexpr int kChunkBytes = 64 * 1024;
constexpr int64_t kStartMs = 1'796'000'000'000;

bool WriteLookAlikes(const QString& path, qint64 total)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(CaptureFormat::EncodeHeader(kStartMs));
    QByteArray place;
    CaptureFormat::PutLE(place, (uint64_t{400} << 32) | CaptureFormat::kMaxRecordBytes, 8);
    const QByteArray block = place.repeated(kChunkBytes / 8);
    for (qint64 at = 0; at < total; at += block.size())
        file.write(block);
    return true;
}

bool WriteLines(const QString& path, qint64 total)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(CaptureFormat::EncodeHeader(kStartMs));
    QByteArray line("STATUS temperature=21.5 pressure=1013 flow=42 ok ");
    line += QByteArray(78 - line.size(), 'x') + "\r\n";
    const QByteArray bytes = line.repeated(kChunkBytes / line.size() + 1).left(kChunkBytes);
    const QByteArray attrs(kChunkBytes, kAttrReceived);
    // Two records make 2 * (2 * 64 KiB + 16) bytes: the file ends near total.
    for (qint64 at = 0, i = 0; at + 2 * kChunkBytes <= total; at += 2 * kChunkBytes + 16, ++i)
        file.write(CaptureFormat::EncodeRecord(
            kStartMs + i, reinterpret_cast<const uint8_t*>(bytes.constData()),
            reinterpret_cast<const uint8_t*>(attrs.constData()), kChunkBytes));
    return true;
}

struct Figures
{
    std::vector<double> values;
    void Add(double v) { values.push_back(v); }
    void Print(const char* what, const char* unit)
    {
        std::sort(values.begin(), values.end());
        std::printf("  %-34s min %8.1f  median %8.1f  max %8.1f %s\n", what, values.front(),
                    values[values.size() / 2], values.back(), unit);
    }
};

double ThreadCpuMs()
{
    timespec now = {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

double ReaderMs(const QString& path, int* skipped, qint64* cells, double* cpuMs)
{
    QElapsedTimer clock;
    clock.start();
    const double cpuStart = ThreadCpuMs();
    CCaptureReader reader;
    if (reader.Open(path) != CaptureStatus::Ok)
        std::exit(3);
    CaptureRecord record;
    *cells = 0;
    while (reader.Next(record))
        *cells += qint64(record.cells.size());
    *skipped = reader.SkippedCount();
    *cpuMs = ThreadCpuMs() - cpuStart;
    return double(clock.nsecsElapsed()) / 1e6;
}

void Measure(const char* name, const QString& path)
{
    std::printf("%s (%lld bytes)\n", name, static_cast<long long>(QFile(path).size()));
    Figures reader;
    Figures readerCpu;
    Figures atOnce;
    Figures aside;
    Figures stall;
    int skipped = 0;
    qint64 cells = 0;
    for (int run = 0; run < kRuns; ++run) {
        double cpuMs = 0;
        reader.Add(ReaderMs(path, &skipped, &cells, &cpuMs));
        readerCpu.Add(cpuMs);

        CTextViewCtrl view;
        view.SetTotalLineMax(50000);
        view.resize(1000, 700);
        view.show();
        QElapsedTimer clock;
        clock.start();
        if (view.GalmuriShow(path) != 0)
            std::exit(4);
        atOnce.Add(double(clock.nsecsElapsed()) / 1e6);
        view.Clear();
        QApplication::processEvents();

        // Read aside while a 5 ms timer measures how long the event loop is kept from it.
        int ended = 0;
        bool shown = false;
        QObject::connect(&view, &CTextViewCtrl::captureLoaded, [&](bool done) {
            ++ended;
            shown = done;
        });
        QTimer tick;
        tick.setTimerType(Qt::PreciseTimer);
        qint64 last = 0;
        qint64 longest = 0;
        QElapsedTimer ticks;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const qint64 now = ticks.nsecsElapsed();
            longest = std::max(longest, now - last);
            last = now;
        });
        clock.restart();
        ticks.start();
        tick.start(5);
        if (view.BeginGalmuriShow(path) != 1)
            std::exit(5);
        while (ended == 0)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        aside.Add(double(clock.nsecsElapsed()) / 1e6);
        stall.Add(double(longest) / 1e6);
        if (!shown)
            std::exit(6);
    }
    std::printf("  records' bytes %lld, damaged places skipped %d\n", static_cast<long long>(cells),
                skipped);
    reader.Print("reader alone", "ms");
    readerCpu.Print("reader alone, its thread's CPU time", "ms");
    atOnce.Print("GalmuriShow (at once)", "ms");
    aside.Print("BeginGalmuriShow until shown", "ms");
    stall.Print("longest event-loop stall meanwhile", "ms");
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int megabytes = 50;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--megabytes") == 0)
            megabytes = std::atoi(argv[i + 1]);
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const qint64 total = qint64(megabytes) * 1000 * 1000;
    const QString hostile = dir.filePath("look-alikes.tvn");
    const QString lines = dir.filePath("lines.tvn");
    if (!WriteLookAlikes(hostile, total) || !WriteLines(lines, total))
        return 2;
    Measure("Every 8th byte looks like a 1 MiB record", hostile);
    Measure("Well-formed, 80-byte lines in 64 KiB records", lines);
    return 0;
}
