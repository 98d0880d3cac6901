#include "VerifyScript.h"

#include "CTSLSyntax.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>

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
    QTemporaryDir dir;
    if (!dir.isValid())
        throw std::runtime_error("no temporary folder");
    const std::string path = dir.filePath("script.tsl").toStdString();
    std::ofstream(path, std::ios::binary) << text;
    return VerifyFile(path);
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

void ExpectMessages(const std::vector<MessageCase>& cases, bool inMain)
{
    for (const MessageCase& c : cases) {
        SCOPED_TRACE(c.input);
        EXPECT_EQ(VerifyScript(inMain ? WithDeclarations(c.input) : c.input), c.messages);
    }
}
