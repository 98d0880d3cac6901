// Opening a big capture for replay: a capture of 80-byte lines in 64 KiB records 10 ms apart
// (400 MB unless --megabytes says otherwise), five runs of: one pass of the reader on the calling
// thread (what opening cost before the reading moved to threads, once for the length), then a
// visible replay window opened on it and played at ×1 until its length is known, with when Open
// returned, when the first chunk was shown, when the length was known, and the longest gap
// between ticks of a 5 ms timer meanwhile (the user interface kept from its events).
#include "CCaptureReader.h"
#include "CCaptureReplay.h"
#include "CReplayWindow.h"
#include "CTextViewCtrl.h"
#include "CaptureFormat.h"
#include "TermViewConstants.h"
#include "monitor_bench_support.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr int kRuns = 5;
constexpr int kChunkBytes = 64 * 1024;
constexpr int64_t kStartMs = 1'796'000'000'000;

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
    for (qint64 at = 0, i = 0; at < total; at += 2 * kChunkBytes + 16, ++i) {
        if (file.write(CaptureFormat::EncodeRecord(
                kStartMs + i * 10, reinterpret_cast<const uint8_t*>(bytes.constData()),
                reinterpret_cast<const uint8_t*>(attrs.constData()), kChunkBytes)) < 0)
            return false;
    }
    return true;
}

struct Figures
{
    std::vector<double> values;
    void Add(double v) { values.push_back(v); }
    void Print(const char* what)
    {
        std::sort(values.begin(), values.end());
        std::printf("  %-36s min %9.1f  median %9.1f  max %9.1f ms\n", what, values.front(),
                    values[values.size() / 2], values.back());
    }
};

double PassMs(const QString& path)
{
    QElapsedTimer clock;
    clock.start();
    CCaptureReader reader;
    if (reader.Open(path) != CaptureStatus::Ok)
        std::exit(3);
    CaptureRecord record;
    while (reader.Next(record)) {
    }
    return double(clock.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qint64 megabytes = 400;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--megabytes") == 0)
            megabytes = std::max(1, std::atoi(argv[i + 1]));
    }
    QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath("config"));
    QApplication app(argc, argv);
    const QString path = dir.filePath("lines.tvn");
    if (!WriteLines(path, megabytes << 20))
        return 2;
    std::printf("%lld bytes\n", static_cast<long long>(QFile(path).size()));
    Figures pass;
    Figures open;
    Figures first;
    Figures length;
    Figures stall;
    qint64 duration = 0;
    for (int run = 0; run < kRuns; ++run) {
        pass.Add(PassMs(path));
        CReplayWindow window;
        window.resize(1000, 700);
        window.show();
        QApplication::processEvents();
        StallMeter stalls;
        stalls.Start();
        QElapsedTimer clock;
        clock.start();
        if (window.Open(path) != CaptureStatus::Ok)
            return 4;
        open.Add(double(clock.nsecsElapsed()) / 1e6);
        window.Replay()->Play();
        double firstMs = -1;
        while (!window.Replay()->IsDurationKnown()) {
            QApplication::processEvents(QEventLoop::AllEvents, 20);
            if (firstMs < 0 && window.Monitor()->View()->TextView()->GetBufferSize() > 0)
                firstMs = double(clock.nsecsElapsed()) / 1e6;
        }
        length.Add(double(clock.nsecsElapsed()) / 1e6);
        first.Add(firstMs);
        stall.Add(stalls.LongestMs());
        duration = window.Replay()->Duration();
    }
    pass.Print("a pass on the calling thread");
    open.Print("Open returned");
    first.Print("first chunk shown");
    length.Print("length known");
    stall.Print("longest stall");
    std::printf("  length %lld ms of recorded time\n", static_cast<long long>(duration));
    return 0;
}
