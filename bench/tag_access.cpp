// The cost of one GET from the shared tag table, and of the check, made before each GET and PUT,
// that the table was not removed under the script: a table of 20 tags, the one read last.
#include "CSharedMemory.h"
#include "CSharedMemoryTag.h"
#include "CTSL.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kTags = 20;

const std::string& TableName()
{
    static const std::string name = "tarven-bench-tags-" + std::to_string(getpid());
    return name;
}

std::string TagName(int i)
{
    return "PLANT.LEVEL" + std::to_string(i);
}

// Makes the table once; it goes when the program ends.
CSharedMemory& Table()
{
    static CSharedMemory table(TableName(), SharedTable::kDefaultSizeBytes);
    static const bool filled = [] {
        for (int i = 0; i < kTags; ++i) {
            const std::vector<unsigned char> value =
                CSharedMemoryTag{CSharedMemoryTag::kInteger, 4}.MakeValue();
            table.AddValue(TagName(i), value.data(), uint32_t(value.size()));
        }
        return true;
    }();
    (void)filled;
    return table;
}

void BM_GetValue(benchmark::State& state)
{
    CSharedMemory& table = Table();
    std::vector<unsigned char> value(SharedTable::kTagHeadBytes + 4);
    for (auto _ : state) {
        uint32_t size = uint32_t(value.size());
        benchmark::DoNotOptimize(table.GetValue(TagName(kTags - 1), value.data(), size));
    }
}
BENCHMARK(BM_GetValue);

void BM_RemovalCheck(benchmark::State& state)
{
    CSharedMemory& table = Table();
    for (auto _ : state)
        benchmark::DoNotOptimize(table.IsRemoved());
}
BENCHMARK(BM_RemovalCheck);

// One pass of a script whose only command is a GET: the tag lock, two look-ups under the table
// lock (size, then value), the removal check and the interpreter around them.
void BM_ScriptGet(benchmark::State& state)
{
    Table();
    const std::string path = "/tmp/tarven-bench-get-" + std::to_string(getpid()) + ".tsl";
    std::ofstream(path) << "ASSIGN TG \"" << TagName(kTags - 1)
                        << "\"\nVAR L% 0\nBEGIN:\nGET L, TG\nEND:\n";
    CTSL tsl(nullptr, TableName());
    tsl._CompileMainScript1(tsl.LoadScript(path.c_str()));
    std::remove(path.c_str());
    for (auto _ : state)
        benchmark::DoNotOptimize(tsl.Begin(nullptr, 0));
}
BENCHMARK(BM_ScriptGet);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    int error = 0;
    std::string message;
    CSharedMemory::Remove(TableName(), error, message);
    for (int i = 0; i < kTags; ++i)
        CNamedSemaphore::Remove(TagName(i) + SharedTable::kEventSuffix);
    return 0;
}
