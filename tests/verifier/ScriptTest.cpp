// Whole scripts: the editor's template and a script that uses every command pass; a file
// that cannot be read gives its message and the two section messages; hostile text is
// reported, never crashes.
#include "VerifyScript.h"

#include "CTSLSyntax.h"
#include "ScriptReader.h"
#include "TempDir.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::string kData = std::string(TSL_TEST_DATA) + "/verifier/";

} // namespace

TEST(VerifierScripts, TheEditorTemplateVerifies)
{
    CTSLSyntax syntax(nullptr);
    const std::string path = kData + "template.tsl";
    syntax._CompileMainScript1(syntax.LoadScript(path.c_str()));
    syntax._VerifyMainScript();
    EXPECT_EQ(syntax.m_arrErrors, std::vector<std::string>{});
    EXPECT_EQ(syntax.m_listCommand.size(), 3u);
}

TEST(VerifierScripts, TheEditorTemplateGivesItsLinkSettings)
{
    CTSLSyntax syntax(nullptr);
    const std::string path = kData + "template.tsl";
    syntax._CompileMainScript1(syntax.LoadScript(path.c_str()));
    COMM comm; // packed: fields are read by value
    syntax.GetCom(&comm);
    EXPECT_EQ(int{comm.nMedia}, 1);
    EXPECT_STREQ(comm.szIP, "127.0.0.1");
    EXPECT_STREQ(comm.szPort, "COM1");
    EXPECT_EQ(int{comm.nBaudRate}, 6);
    EXPECT_EQ(int{comm.nParityBit}, 0);
    EXPECT_EQ(int{comm.nDataBit}, 1);
    EXPECT_EQ(int{comm.nStopBit}, 0);
    EXPECT_EQ(int{comm.nFlowControl}, -1) << "no FLOW_CONTROL line: none, as before";
    EXPECT_EQ(int{comm.nLocalPort}, 0) << "no LOCAL_PORT line: the port's own number";
    std::string table;
    EXPECT_EQ(syntax.GetTableName(table), 0);
}

TEST(VerifierScripts, EveryCommandInItsValidFormsPasses)
{
    EXPECT_EQ(VerifyFile(kData + "every_command.tsl"), std::vector<std::string>{});
}

TEST(VerifierScripts, AMissingFileGivesExactlyThreeMessages)
{
    const TempDir dir;
    const std::string path = dir.Path("absent.tsl").toStdString();
    EXPECT_EQ(VerifyFile(path), (std::vector<std::string>{
                                    "error : '" + path + "' 파일을 읽을 수가 없습니다...",
                                    "error : line -1, 시작부분'BEGIN'을 찾을수 없습니다...",
                                    "error : line -1, 종료부분'END'를 찾을수 없습니다...",
                                }));
}

TEST(VerifierScripts, FilesThatAreNotRegularOrTooLargeAreUnreadable)
{
    const TempDir dir;
    const std::string fifo = dir.Path("fifo.tsl").toStdString();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string large = dir.Write("large.tsl", "BEGIN:\nEND:\n").toStdString();
    ASSERT_EQ(truncate(large.c_str(), static_cast<off_t>(tsl::kMaxScriptBytes) + 1), 0);
    // A FIFO with no writer would block a reader that opened it; a device, feed it for ever.
    for (const std::string& path :
         {dir.Root().toStdString(), fifo, large, std::string("/dev/zero")}) {
        const std::vector<std::string> messages = VerifyFile(path);
        ASSERT_FALSE(messages.empty()) << path;
        EXPECT_EQ(messages.front(), "error : '" + path + "' 파일을 읽을 수가 없습니다...");
        EXPECT_EQ(messages.size(), 3u) << path;
    }
}

TEST(VerifierScripts, AStoppedCheckDoesNotPass)
{
    const ScriptFile file("VAR X% 0\nBEGIN:\nINC X\nEND:\n");
    CRunFlag stopped(false);
    CTSLSyntax syntax(nullptr);
    syntax.SetRunFlag(&stopped);
    syntax._CompileMainScript1(syntax.LoadScript(file.Path().c_str()));
    syntax._VerifyMainScript();
    EXPECT_EQ(syntax.m_arrErrors, std::vector<std::string>{"error : 검사가 중단되었습니다..."});
}

TEST(VerifierScripts, EachFaultyLineCountsOnce)
{
    // Three faulty commands, one faulty declaration, one structure fault.
    const std::vector<std::string> messages = VerifyScript("VAR X% 1\n"
                                                           "DIM B$ 0\n"
                                                           "BEGIN:\n"
                                                           "ADD 5, X\n"
                                                           "MOVE B, Q\n"
                                                           "COPY Q, R, S\n"
                                                           "L:\n"
                                                           "L:\n"
                                                           "INC X\n"
                                                           "END:\n");
    EXPECT_EQ(messages.size(), 5u);
}

TEST(VerifierScripts, HostileTextIsReportedNotTrusted)
{
    const std::string longLine(1000, 'A');
    const std::string binary("\x01\x80\xff\"\x00\x7f[", 7);
    const std::string inputs[] = {
        "BEGIN:\n" + longLine + "\nEND:\n",
        "BEGIN:\nADD X,BUF[[[[[[[[[[[[[[\nEND:\n",
        "BEGIN:\nMOVE A[B[C[D[E[F]]]]],A[[]]\nEND:\n",
        "VAR A% 1\nBEGIN:\nADD A,A[A[A[A[A[A[A[A[A[A[A[A[A[A[A[A[A[-1]]]]]]]]]]]]]]]]]\nEND:\n",
        "BEGIN:\nPRINT \"" + longLine + "\nEND:\n",
        binary + "\nBEGIN:\n" + binary + " " + binary + "\nEND:\n",
        "DIM " + longLine + "$ 5\nBEGIN:\nEND:\n",
        "BEGIN:\nCOPY ,,,,,,,,\nJP\nEND:\n",
    };
    for (const std::string& input : inputs) {
        SCOPED_TRACE(input.substr(0, 60));
        const std::vector<std::string> messages = VerifyScript(input);
        EXPECT_FALSE(messages.empty());
    }
}
