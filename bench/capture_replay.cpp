// A capture replay at full speed into a visible replay window (offscreen): 64 MB of 80-byte
// lines in 64 KiB chunks, the 50,000-line limit reached. Prints the rate, the longest stall of
// the user-interface thread and whether every byte of the capture was written.
#include "CCaptureReplay.h"
#include "CMonitorWindow.h"
#include "CReplayWindow.h"
#include "CTARVENView.h"
#include "CTextViewCtrl.h"
#include "CaptureFormat.h"
#include "TermViewConstants.h"
#include "monitor_bench_support.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kChunkBytes = 64 * 1024;
constexpr int64_t kStartMs = 1'796'000'000'000;

QByteArray Lines(int bytes)
{
    QByteArray line("STATUS 한글 temperature=21.5 pressure=1013 flow=42 ok ");
    line += QByteArray(78 - line.size(), 'x') + "\r\n";
    QByteArray out;
    while (out.size() < bytes)
        out += line;
    return out.left(bytes);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int megabytes = 64;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--megabytes") == 0)
            megabytes = std::atoi(argv[i + 1]);
    QTemporaryDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath("config"));
    QApplication app(argc, argv);

    const QString path = dir.filePath("flood.tvn");
    const qint64 total = qint64(megabytes) * 1024 * 1024;
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 2;
        file.write(CaptureFormat::EncodeHeader(kStartMs));
        const QByteArray bytes = Lines(kChunkBytes);
        const QByteArray attrs(kChunkBytes, kAttrReceived);
        for (qint64 at = 0, i = 0; at < total; at += kChunkBytes, ++i)
            file.write(CaptureFormat::EncodeRecord(
                kStartMs + i, reinterpret_cast<const uint8_t*>(bytes.constData()),
                reinterpret_cast<const uint8_t*>(attrs.constData()), kChunkBytes));
    }

    CReplayWindow window;
    window.resize(1000, 700);
    if (window.Open(path) != CaptureStatus::Ok)
        return 2;
    window.show();
    QApplication::processEvents();
    CCaptureReplay* replay = window.Replay();
    CTextViewCtrl* view = window.Monitor()->View()->TextView();
    replay->SetSpeed(CCaptureReplay::Speed::Max);
    StallMeter stalls;
    QElapsedTimer clock;
    stalls.Start();
    clock.start();
    replay->Play();
    while (!replay->IsAtEnd())
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    QApplication::processEvents();
    QByteArray held;
    QByteArray attrs;
    view->GetBuffer(held, attrs);
    const qint64 written = held.size();
    const QByteArray tail = Lines(kChunkBytes).right(int(std::min<qint64>(written, kChunkBytes)));
    const bool intact = held.endsWith(tail);
    std::printf("replayed %d MB at full speed: %.2f s, %.1f MB/s, longest stall %.1f ms, "
                "view holds %lld bytes, last chunk %s\n",
                megabytes, seconds, double(total) / 1e6 / seconds, stalls.LongestMs(),
                static_cast<long long>(written), intact ? "intact" : "WRONG");
    return intact ? 0 : 1;
}
