// TextWrite throughput into a visible terminal view (offscreen), in text and hex mode, with the
// 50,000-line limit reached; and the memory the log takes for 50,000 lines of 80 bytes.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <malloc.h>
#include <memory>
#include <vector>

#include "CTextViewCtrl.h"

namespace {

constexpr int kLines = 50000;
constexpr int kLineBytes = 80;
constexpr int kBatchBytes = 2048; // what one receive notification of a monitor hands over

enum ViewMode
{
    kText,
    kTextWithControls,
    kHex,
};

// 80-byte lines of printable text with a CR LF, some Hangul and a control code.
std::vector<unsigned char> Traffic(std::size_t bytes)
{
    QByteArray line("\x02"
                    "STATUS 한글 temperature=21.5 pressure=1013 flow=42 ok ");
    line += QByteArray(kLineBytes - 2 - line.size(), 'x') + "\r\n";
    std::vector<unsigned char> out;
    while (out.size() < bytes)
        out.insert(out.end(), line.begin(), line.end());
    out.resize(bytes);
    return out;
}

std::unique_ptr<CTextViewCtrl> MakeView(ViewMode mode)
{
    auto view = std::make_unique<CTextViewCtrl>();
    view->resize(1000, 700);
    view->SetTotalLineMax(kLines);
    view->ControlReceive(mode == kTextWithControls);
    view->HexaView(mode == kHex);
    view->CaretShow(true);
    view->show();
    QApplication::processEvents();
    return view;
}

void Fill(CTextViewCtrl& view)
{
    const auto bytes = Traffic(static_cast<std::size_t>(kLines) * kLineBytes);
    view.TextWrite(bytes.data(), static_cast<int>(bytes.size()), kAttrReceived);
}

long PeakRssKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

// Heap the log takes for 50,000 lines of 80 bytes, per held byte (the line index included).
void BM_MemoryFor50000Lines(benchmark::State& state)
{
    for (auto _ : state) {
        const auto before = mallinfo2().uordblks;
        auto view = MakeView(kText);
        Fill(*view);
        const auto after = mallinfo2().uordblks;
        const int held = view->GetBufferSize();
        state.counters["held_bytes"] = held;
        state.counters["heap_MB"] = static_cast<double>(after - before) / (1 << 20);
        state.counters["heap_per_held_byte"] = static_cast<double>(after - before) / held;
        state.counters["peak_rss_MB"] = static_cast<double>(PeakRssKb()) / 1024;
    }
}
BENCHMARK(BM_MemoryFor50000Lines)->Iterations(1)->Unit(benchmark::kMillisecond);

// The monitor's way: one call per byte, a batch per notification, events in between.
void BM_TextWritePerByte(benchmark::State& state)
{
    const auto view = MakeView(static_cast<ViewMode>(state.range(0)));
    Fill(*view);
    const auto traffic = Traffic(1 << 20);
    std::size_t at = 0;
    for (auto _ : state) {
        for (int i = 0; i < kBatchBytes; ++i)
            view->TextWrite(traffic[(at + i) % traffic.size()], kAttrReceived);
        at += kBatchBytes;
        QApplication::processEvents();
    }
    state.SetBytesProcessed(state.iterations() * kBatchBytes);
}
BENCHMARK(BM_TextWritePerByte)->Arg(kText)->Arg(kTextWithControls)->Arg(kHex)->MinTime(2.0);

void BM_TextWriteBulk(benchmark::State& state)
{
    const auto view = MakeView(static_cast<ViewMode>(state.range(0)));
    Fill(*view);
    const auto traffic = Traffic(kBatchBytes);
    for (auto _ : state) {
        view->TextWrite(traffic.data(), kBatchBytes, kAttrReceived);
        QApplication::processEvents();
    }
    state.SetBytesProcessed(state.iterations() * kBatchBytes);
}
BENCHMARK(BM_TextWriteBulk)->Arg(kText)->Arg(kHex)->MinTime(2.0);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
