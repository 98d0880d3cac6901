// Verifying a long script: a generated 10,000-line TSL file with a realistic mix of
// declarations, labels, commands and comments, loaded, compiled and checked as the script
// host does before every run.
#include "CTSLSyntax.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kTotalLines = 10000;
constexpr int kArrays = 300;
constexpr int kScalars = 400;
constexpr int kTexts = 200;
constexpr int kTags = 50;
constexpr int kLabelEvery = 15;

std::string Name(const char* prefix, int i)
{
    return prefix + std::to_string(i);
}

// The script's text; every line of it verifies.
std::string GenerateScript()
{
    std::mt19937 random(20070305);
    auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    std::vector<std::string> lines;
    lines.push_back("// generated benchmark script");
    lines.push_back("OPEN MEDIA TCP");
    lines.push_back("OPEN IP 127.0.0.1");
    lines.push_back("OPEN PORT 5000");
    lines.push_back("TABLE_NAME \"BENCH\"");
    for (int i = 0; i < kArrays; ++i)
        lines.push_back("DIM " + Name("BUFFER_", i) + "$ 128\t\t// receive buffer");
    for (int i = 0; i < kScalars; ++i)
        lines.push_back("VAR " + Name("COUNTER_", i) + (i % 3 == 0 ? "#" : "%") + " 0");
    for (int i = 0; i < kTexts; ++i)
        lines.push_back("EQU " + Name("TEXT_", i) + " \"STATUS " + std::to_string(i) +
                        "<0D><0A>\"");
    for (int i = 0; i < kTags; ++i)
        lines.push_back("ASSIGN " + Name("TAG_", i) + " \"PLANT.LEVEL" + std::to_string(i) + "\"");
    lines.push_back("");
    lines.push_back("BEGIN:");

    const int mainLines = kTotalLines - static_cast<int>(lines.size()) - 1;
    const int labels = mainLines / kLabelEvery + 1;
    auto array = [&] { return Name("BUFFER_", pick(kArrays)); };
    auto scalar = [&] { return Name("COUNTER_", pick(kScalars)); };
    auto text = [&] { return Name("TEXT_", pick(kTexts)); };
    auto tag = [&] { return Name("TAG_", pick(kTags)); };
    auto label = [&] { return Name("STEP_", pick(labels)); };
    int label_count = 0;
    for (int i = 0; i < mainLines; ++i) {
        if (i % kLabelEvery == 0) {
            lines.push_back(Name("STEP_", label_count++) + ":");
            continue;
        }
        std::string line;
        switch (pick(16)) {
        case 0:
            line = "IN " + array() + ", " + scalar();
            break;
        case 1:
            line = "OUT " + text() + "\t\t// request";
            break;
        case 2:
            line = "CMP " + scalar() + ", " + std::to_string(pick(100));
            break;
        case 3:
            line = "JPE " + label();
            break;
        case 4:
            line = "MOVE " + scalar() + ", " + array() + "[" + scalar() + "+1]";
            break;
        case 5:
            line = "ADD " + scalar() + ", 0FFH";
            break;
        case 6:
            line = "COPY " + array() + ", " + text() + ", 4";
            break;
        case 7:
            line = "CAT " + array() + ", \"OK\", " + scalar();
            break;
        case 8:
            line = "FIND " + array() + ", \"<0D><0A>\", " + scalar();
            break;
        case 9:
            line = "PRINTEX " + text() + ", T";
            break;
        case 10:
            line = "PRINT \"value, \", H";
            break;
        case 11:
            line = "CONV " + scalar() + ", " + array() + "[2], 3";
            break;
        case 12:
            line = "GET " + scalar() + ", " + tag();
            break;
        case 13:
            line = "PUT " + tag() + ", " + scalar();
            break;
        case 14:
            line = "JP " + label();
            break;
        default:
            line = "; a comment line";
            break;
        }
        lines.push_back("    " + line);
    }
    lines.push_back("END:");

    std::ostringstream out;
    for (const std::string& l : lines)
        out << l << '\n';
    return out.str();
}

void BM_VerifyScript(benchmark::State& state)
{
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("verify_script_" + std::to_string(getpid()) + ".tsl");
    {
        std::ofstream file(path, std::ios::binary);
        file << GenerateScript();
    }
    size_t commands = 0;
    for (auto _ : state) {
        CTSLSyntax syntax(nullptr);
        syntax._CompileMainScript1(syntax.LoadScript(path.c_str()));
        syntax._VerifyMainScript();
        if (!syntax.m_arrErrors.empty()) {
            state.SkipWithError(syntax.m_arrErrors.front().c_str());
            break;
        }
        commands = syntax.m_listCommand.size();
        benchmark::DoNotOptimize(commands);
    }
    state.counters["lines"] = kTotalLines;
    state.counters["commands"] = static_cast<double>(commands);
    std::filesystem::remove(path);
}
BENCHMARK(BM_VerifyScript)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
