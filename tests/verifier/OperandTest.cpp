// The verifier's operand evaluation: kinds, validity verdicts of names and elements, index
// expressions with names valued 0, and digit strings.
#include "CTSLSyntax.h"
#include "TempDir.h"

#include <cstring>

namespace {

class VerifierOperands : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const ScriptFile file("DIM BUF$ 10\nDIM IDX% 4\nVAR I% 3\nEQU MSG \"Hi\"\n"
                              "ASSIGN TAG \"T\"\nBEGIN:\nEND:\n");
        m_syntax._CompileMainScript1(m_syntax.LoadScript(file.Path().c_str()));
        ASSERT_TRUE(m_syntax.m_arrErrors.empty());
    }

    int ErrorOf(const char* operand)
    {
        int error = 99;
        m_syntax.GetBufferValue(operand, error);
        return error;
    }

    CTSLSyntax m_syntax{nullptr};
};

} // namespace

TEST_F(VerifierOperands, VariableTypeIsTheKindOfTheNamePart)
{
    const struct
    {
        const char* operand;
        int kind;
    } cases[] = {
        {"BUF", KIND_DIM},    {"I", KIND_VAR},       {"MSG", KIND_EQU},  {"TAG", KIND_ASSIGN},
        {"BUF[3]", KIND_DIM}, {"BUF[-9]", KIND_DIM}, {"I[2]", KIND_VAR}, {"Q", -1},
        {"Q[1]", -1},         {"buf", -1},           {"", -1},           {"[1]", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(m_syntax.GetVariableType(c.operand), c.kind) << c.operand;
}

TEST_F(VerifierOperands, BufferValueReportsUnknownNamesAndNegativeIndices)
{
    const struct
    {
        const char* operand;
        int error;
    } cases[] = {
        {"I", 0},         {"BUF", 0},        {"BUF[1]", 0},      {"BUF[I+1]", 0},
        {"BUF[1+I]", 0},  {"BUF[I-1+2]", 0}, {"BUF[IDX[0]]", 0}, {"BUF[i]", 0},
        {"BUF[]", 0},     {"BUF[-0.5]", 0},  {"I[5]", 0},        {"BUF[-1]", -1},
        {"BUF[1-2]", -1}, {"BUF[I-1]", -1},  {"BUF[Q]", -1},     {"BUF[IDX[-1]]", -1},
        {"BUF[1", -1},    {"BUF[", -1},      {"Q", -1},          {"Q[1]", -1},
        {"", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ErrorOf(c.operand), c.error) << c.operand;
}

TEST_F(VerifierOperands, IndexExpressionsAddLeftToRightWithNamesAsZero)
{
    const struct
    {
        const char* operand;
        double value;
    } cases[] = {
        {"BUF[1+2]", 3}, {"BUF[5-2+1]", 4}, {"BUF[I+3]", 3}, {"BUF[-1]", -1},
        {"BUF[]", 0},    {"BUF[2.5]", 2.5}, {"BUF[i+4]", 4}, {"BUF[1--1]", 0},
    };
    for (const auto& c : cases) {
        int error = 0;
        EXPECT_EQ(m_syntax.CalcOperation(c.operand, std::strchr(c.operand, '['), error), c.value)
            << c.operand;
    }
}

TEST(VerifierIsNum, OnlyDecimalDigitsOrNothing)
{
    EXPECT_EQ(CTSLSyntax::IsNum(""), 1);
    EXPECT_EQ(CTSLSyntax::IsNum("0123456789"), 1);
    for (const char* text : {"12a", "-1", "1.5", " 1"})
        EXPECT_EQ(CTSLSyntax::IsNum(text), 0) << text;
}
