// Runs every TSL script under tests/data/scripts and compares what it prints with the
// expectations written in its comments:
//   ;! expect: TEXT    one printed line, in order (trailing blanks do not count)
//   ;! passes: N       passes to run (default 1)
//   ;! recv K: TEXT    bytes received for pass K, in the control-code notation
#include "LoadedScript.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

namespace {

struct Expectations
{
    int passes = 1;
    std::map<int, std::string> received;
    std::vector<std::string> lines;
};

std::string TrimRight(std::string text)
{
    text.erase(text.find_last_not_of(" \t\r\n") + 1);
    return text;
}

Expectations ReadExpectations(const std::string& path)
{
    Expectations expected;
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line)) {
        const size_t at = line.find(";! ");
        if (at == std::string::npos)
            continue;
        const std::string directive = line.substr(at + 3);
        const size_t colon = directive.find(": ");
        const std::string key = directive.substr(0, colon);
        const std::string value = colon == std::string::npos ? "" : directive.substr(colon + 2);
        if (key == "expect" || key == "expect:")
            expected.lines.push_back(TrimRight(value));
        else if (key == "passes")
            expected.passes = std::stoi(value);
        else if (key.rfind("recv ", 0) == 0)
            expected.received[std::stoi(key.substr(5))] = TrimRight(value);
    }
    return expected;
}

std::vector<std::string> ScriptPaths()
{
    std::vector<std::string> paths;
    for (const auto& entry : std::filesystem::directory_iterator(TSL_TEST_DATA "/scripts")) {
        if (entry.path().extension() == ".tsl")
            paths.push_back(entry.path().string());
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

class ScriptCases : public ::testing::TestWithParam<std::string>
{};

} // namespace

TEST_P(ScriptCases, PrintsWhatItsCommentsExpect)
{
    const Expectations expected = ReadExpectations(GetParam());
    ASSERT_FALSE(expected.lines.empty()) << "a script case must expect something";
    auto tsl = std::make_unique<CTSL>(nullptr, "");
    tsl->_CompileMainScript1(tsl->LoadScript(GetParam().c_str()));

    std::vector<std::string> printed;
    for (int pass = 1; pass <= expected.passes; ++pass) {
        std::vector<unsigned char> bytes(256);
        int length = 0;
        if (auto found = expected.received.find(pass); found != expected.received.end()) {
            length = CTSL::TranslateString(found->second.c_str(), bytes.data(),
                                           static_cast<int>(found->second.size()));
            ASSERT_GE(length, 0) << found->second;
        }
        ASSERT_EQ(tsl->Begin(bytes.data(), length), 0);
        for (std::string& line : TakePrinted(*tsl))
            printed.push_back(TrimRight(line));
    }
    EXPECT_EQ(printed, expected.lines);
}

INSTANTIATE_TEST_SUITE_P(Data, ScriptCases, ::testing::ValuesIn(ScriptPaths()),
                         [](const ::testing::TestParamInfo<std::string>& param) {
                             return std::filesystem::path(param.param).stem().string();
                         });
