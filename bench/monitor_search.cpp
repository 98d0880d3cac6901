// Searching a full terminal view (50,000 lines held) for the next match, as F3 in a monitor's
// find bar does: every held byte is scanned and every match counted. Lines of 80 bytes (typical
// traffic) and of 1024 bytes (the longest a line gets), a pattern found on every line and
// spanning its line break, and one found nowhere.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <memory>

#include "CTextViewCtrl.h"

namespace {

constexpr int kLines = 50000;

std::unique_ptr<CTextViewCtrl> FullView(int lineBytes)
{
    auto view = std::make_unique<CTextViewCtrl>();
    view->resize(1000, 700);
    view->SetTotalLineMax(kLines);
    view->show();
    QByteArray line("STATUS temperature=21.5 pressure=1013 flow=42 ok ");
    line += QByteArray(lineBytes - 2 - line.size(), 'x') + "\r\n";
    const QByteArray traffic = line.repeated(kLines);
    view->TextWrite(reinterpret_cast<const unsigned char*>(traffic.constData()),
                    static_cast<int>(traffic.size()), kAttrReceived);
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

BENCHMARK(BM_FindOnEveryLine)->Arg(80)->Arg(1024)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindNowhere)->Arg(80)->Arg(1024)->Unit(benchmark::kMillisecond);

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
