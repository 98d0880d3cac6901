// Export of a 50 MB log: how long the window is held (the copy of the held bytes, on the
// user-interface thread) and how long each form takes to write (on the export's own thread).
#include "CTextViewCtrl.h"
#include "MonitorExport.h"
#include "TermViewConstants.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    constexpr int kLogBytes = 50 * 1024 * 1024;
    constexpr int kChunkBytes = 200;
    CTextViewCtrl view;
    view.SetTotalLineMax(10'000'000);
    QByteArray chunk(kChunkBytes - 2, 'x');
    chunk += "\r\n";
    QDateTime at = QDateTime::currentDateTime();
    for (int written = 0, i = 0; written < kLogBytes; written += kChunkBytes, ++i) {
        // Two clients taking turns, with a reply now and then, each a second apart: every
        // chunk is a record of its own.
        at = at.addMSecs(1000);
        view.TextWrite(reinterpret_cast<const unsigned char*>(chunk.constData()), kChunkBytes,
                       i % 5 == 4 ? kAttrSent : kAttrReceived, at, i % 2);
    }
    QTemporaryDir dir;
    const struct
    {
        const char* name;
        ExportKind kind;
    } kinds[] = {
        {"csv", ExportKind::Csv}, {"hexdump", ExportKind::HexDump}, {"text", ExportKind::Text}};
    for (const auto& kind : kinds) {
        QElapsedTimer held;
        held.start();
        const auto [from, to] = view.HeldRange();
        ExportSnapshot snapshot;
        snapshot.cells = view.Cells(from, to, &snapshot.start);
        snapshot.stamps = view.ArrivalStamps();
        snapshot.clients = view.ClientRuns();
        const qint64 heldMs = held.elapsed();
        QElapsedTimer writing;
        writing.start();
        std::atomic<bool> stop = false;
        const QString error = ExportToFile(snapshot, kind.kind, dir.filePath(kind.name), stop);
        std::printf("%-8s bytes %zu  window held %lld ms  written in %lld ms  %s\n", kind.name,
                    snapshot.cells.size(), static_cast<long long>(heldMs),
                    static_cast<long long>(writing.elapsed()),
                    error.isEmpty() ? "ok" : qPrintable(error));
    }
    return 0;
}
