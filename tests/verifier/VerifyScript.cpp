#include "VerifyScript.h"

#include "CTSLSyntax.h"
#include "TempDir.h"

std::vector<std::string> VerifyFile(const std::string& path)
{
    CTSLSyntax syntax(nullptr);
    const int lines = syntax.LoadScript(path.c_str());
    syntax._CompileMainScript1(lines);
    syntax._VerifyMainScript();
    return syntax.m_arrErrors;
}

std::vector<std::string> VerifyScript(const std::string& text)
{
    return VerifyFile(ScriptFile(text).Path());
}

std::string WithDeclarations(const std::string& mainLine)
{
    return "DIM BUF$ 10\n"
           "DIM W% 4\n"
           "VAR X% 0\n"
           "VAR D# 0\n"
           "EQU MSG \"Hi\"\n"
           "ASSIGN TAG \"T1\"\n"
           "BEGIN:\n" +
           mainLine +
           "\n"
           "END:\n";
}

void ExpectMessages(const std::vector<MessageCase>& cases, Place place)
{
    for (const MessageCase& c : cases) {
        SCOPED_TRACE(c.input);
        const std::string text = place == Place::Main           ? WithDeclarations(c.input)
                                 : place == Place::Declarations ? c.input + "BEGIN:\nEND:\n"
                                                                : c.input;
        EXPECT_EQ(VerifyScript(text), c.messages);
    }
}

void ExpectValid(const std::vector<std::string>& inputs, Place place)
{
    std::vector<MessageCase> cases;
    for (const std::string& input : inputs)
        cases.push_back({input, {}});
    ExpectMessages(cases, place);
}
