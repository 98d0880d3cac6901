// Searching a full terminal view (50,000 lines held) for the next match, as F3 in a monitor's
// find bar does: every held byte is scanned and every match counted. Lines of 80 bytes (typical
// traffic) and of 1024 bytes (the longest a line gets), a pattern found on every line and
// spanning its line break, one found nowhere, and patterns found at nearly every byte. And how
// long a writer waits for the log while F3 searches it.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "CTextViewCtrl.h"

namespace {

constexpr int kLines = 50000;
// A line every so often from another thread while searching, as a fast link writes.
constexpr std::chrono::microseconds kWriteGap(200);

QByteArray Line(int lineBytes)
{
    QByteArray line("STATUS temperature=21.5 pressure=1013 flow=42 ok ");
    return line + QByteArray(lineBytes - 2 - line.size(), 'x') + "\r\n";
}

void Write(CTextViewCtrl& view, const QByteArray& bytes)
{
    view.TextWrite(reinterpret_cast<const unsigned char*>(bytes.constData()),
                   static_cast<int>(bytes.size()), kAttrReceived);
}

std::unique_ptr<CTextViewCtrl> FullView(int lineBytes)
{
    auto view = std::make_unique<CTextViewCtrl>();
    view->resize(1000, 700);
    view->SetTotalLineMax(kLines);
    view->show();
    const QByteArray traffic = Line(lineBytes).repeated(kLines);
    Write(*view, traffic);
    QApplication::processEvents();
    return view;
}

void FindNext(benchmark::State& state, const QByteArray& pattern)
{
    const auto view = FullView(static_cast<int>(state.range(0)));
    view->SetSearchPattern(pattern);
    SearchHit hit;
    for (auto _ : state) {
        hit = view->FindNext(true);
        benchmark::DoNotOptimize(hit);
    }
    state.counters["matches"] = static_cast<double>(hit.count);
    state.SetBytesProcessed(state.iterations() * state.range(0) * kLines);
}

void BM_FindOnEveryLine(benchmark::State& state)
{
    FindNext(state, "xx\r\nSTATUS");
}

void BM_FindNowhere(benchmark::State& state)
{
    FindNext(state, "pressure=9999");
}

void BM_FindEverywhere(benchmark::State& state)
{
    FindNext(state, "xxxx");
}

void BM_FindOneByte(benchmark::State& state)
{
    FindNext(state, "x");
}

void BM_WriteWhileFinding(benchmark::State& state)
{
    const int lineBytes = static_cast<int>(state.range(0));
    const auto view = FullView(lineBytes);
    view->SetSearchPattern("xx\r\nSTATUS");
    const QByteArray line = Line(lineBytes);
    std::atomic<bool> stop{false};
    std::chrono::steady_clock::duration longest{};
    std::thread writer([&] {
        while (!stop.load()) {
            const auto begin = std::chrono::steady_clock::now();
            Write(*view, line);
            longest = std::max(longest, std::chrono::steady_clock::now() - begin);
            std::this_thread::sleep_for(kWriteGap);
        }
    });
    for (auto _ : state)
        benchmark::DoNotOptimize(view->FindNext(true));
    stop = true;
    writer.join();
    state.counters["longest_write_ms"] = std::chrono::duration<double, std::milli>(longest).count();
}

BENCHMARK(BM_FindEverywhere)->Arg(80)->Arg(1024)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindOneByte)->Arg(80)->Arg(1024)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindOnEveryLine)->Arg(80)->Arg(1024)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindNowhere)->Arg(80)->Arg(1024)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteWhileFinding)->Arg(80)->Arg(1024)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
