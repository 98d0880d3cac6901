#include "LoadedScript.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const char* const kDeclarations = "DIM W% 4\n"
                                  "DIM BUF$ 10\n"
                                  "DIM IDX$ 2\n"
                                  "DIM D# 2\n"
                                  "VAR I% 2\n"
                                  "VAR B$ 200\n"
                                  "VAR X# 2.5\n"
                                  "EQU MSG \"Hello\"\n"
                                  "ASSIGN TAG \"T1\"\n"
                                  "BEGIN:\n"
                                  "END:\n";

class Evaluation : public ::testing::Test
{
protected:
    void SetUp() override
    {
        tsl = CompileScript(kDeclarations);
        int32_t seven = 7;
        tsl->SetBufferValue("W[8]", 0, &seven, 4); // element 2: byte offset 8
        for (int i = 0; i < 10; ++i)
            tsl->GetBufferPointer("BUF")[i] = static_cast<unsigned char>(10 + i);
        tsl->GetBufferPointer("IDX")[0] = 5;
    }
    std::unique_ptr<CTSL> tsl;
};

} // namespace

TEST_F(Evaluation, ValuesOfNamesAndElements)
{
    struct Case
    {
        const char* operand;
        double value;
    };
    const Case cases[] = {
        {"W[2]", 7},        {"W", 0},       {"B", -56},       {"X", 2.5},
        {"I", 2},           {"I[5]", 2},    {"BUF[I+1]", 13}, {"BUF[1+I]", 13},
        {"BUF[I-1+2]", 13}, {"BUF[-1]", 0}, {"BUF[i]", 10},   {"BUF[IDX[0]]", 15},
        {"BUF[9]", 19},     {"BUF[10]", 0}, {"W[4]", 0},      {"BUF[99999999999]", 0},
        {"MSG", 0},         {"TAG", 0},     {"NOPE", 0},      {"BUF[I+1", 12},
        {"D[1]", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tsl->GetBufferValue(c.operand), c.value) << c.operand;
}

TEST_F(Evaluation, PointersAddressBytesWhateverTheElementType)
{
    unsigned char* w = tsl->GetBufferPointer("W");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(tsl->GetBufferPointer("W[2]"), w + 2);
    EXPECT_EQ(tsl->GetBufferPointer("W[15]"), w + 15);
    EXPECT_EQ(tsl->GetBufferPointer("W[16]"), nullptr) << "past the end";
    EXPECT_EQ(tsl->GetBufferPointer("W[-1]"), nullptr);
    EXPECT_EQ(tsl->GetBufferPointer("NOPE"), nullptr);
    EXPECT_STREQ(reinterpret_cast<char*>(tsl->GetBufferPointer("MSG")), "Hello");
    EXPECT_EQ(*reinterpret_cast<double*>(tsl->GetBufferPointer("X")), 2.5);

    EXPECT_EQ(tsl->GetVariableType("W[1]"), 1);
    EXPECT_EQ(tsl->GetVariableType("I"), 2);
    EXPECT_EQ(tsl->GetVariableType("MSG"), 3);
    EXPECT_EQ(tsl->GetVariableType("TAG"), 4);
    EXPECT_EQ(tsl->GetVariableType("NOPE"), -1);

    // A copy never runs past the end of its target.
    const unsigned char many[64] = {1, 2, 3};
    tsl->SetBufferValue("BUF[8]", 4, many, sizeof many);
    EXPECT_EQ(tsl->GetBufferValue("BUF[8]"), 1);
    EXPECT_EQ(tsl->GetBufferValue("BUF[9]"), 2);
    EXPECT_EQ(tsl->GetBufferValue("IDX[0]"), 5) << "the next array is untouched";
}

TEST_F(Evaluation, IndexExpressionsRunLeftToRight)
{
    const char* text = "BUF[I+I-1-IDX[0]+10]";
    EXPECT_EQ(tsl->CalcOperation(text, std::strchr(text, '[')), 2 + 2 - 1 - 5 + 10);
    text = "BUF[-1]";
    EXPECT_EQ(tsl->CalcOperation(text, std::strchr(text, '[')), -1);
    text = "BUF[2.5+1]";
    EXPECT_EQ(tsl->CalcOperation(text, std::strchr(text, '[')), 3.5);
}

TEST(EvaluationNumbers, HexadecimalAndBinary)
{
    EXPECT_EQ(CTSL::Hex2Dec("0FFH"), 255);
    EXPECT_EQ(CTSL::Hex2Dec("0FFFFFFFFH"), -1);
    EXPECT_EQ(CTSL::Hex2Dec("10H"), 16);
    EXPECT_EQ(CTSL::Hex2Dec("H"), 0);
    EXPECT_EQ(CTSL::Bin2Dec("1010B"), 10);
    EXPECT_EQ(CTSL::Bin2Dec("B"), 0);
    EXPECT_EQ(CTSL::GetCode16("0d"), 0x0D);
    EXPECT_EQ(CTSL::GetCode16("FF"), 0xFF);
    EXPECT_EQ(CTSL::GetCode16("!A"), 0x0A) << "only the second counts";
}

TEST(EvaluationNumbers, ControlCodeNotation)
{
    struct Case
    {
        const char* text;
        int result;
        const char* bytes;
    };
    const Case cases[] = {
        {"Hello !!<0D><0A>", 10, "Hello !!\r\n"},
        {"<<OK>>", 4, "<OK>"},
        {"A<0d>B", 3, "A\rB"},
        {"<41>", 1, "A"},
        {"", 0, ""},
        {"<0D", -1, nullptr},
        {"<0D0>", -1, nullptr},
        {"A>B", -1, nullptr},
        {"<0G>", -1, nullptr},
        {"<0>", -1, nullptr},
    };
    for (const Case& c : cases) {
        unsigned char out[64] = {};
        const int n = CTSL::TranslateString(c.text, out, static_cast<int>(std::strlen(c.text)));
        EXPECT_EQ(n, c.result) << c.text;
        if (c.bytes) {
            EXPECT_EQ(std::string(reinterpret_cast<char*>(out), n > 0 ? n : 0), c.bytes) << c.text;
        }
    }
}
