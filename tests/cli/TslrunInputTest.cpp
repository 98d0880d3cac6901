// What tslrun does with inputs it cannot use: scripts it cannot read and links a script
// cannot have. Each ends at once with a reason and exit status 2.
#include "TslrunSupport.h"

#include <sys/stat.h>

using namespace TslrunTest;

TEST(TslrunInputs, ScriptsThatCannotBeReadExitTwoWithTheReason)
{
    TempDir dir;
    const QString fifo = dir.Path("script.fifo");
    ASSERT_EQ(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    const QString huge = dir.Write("huge.tsl", "; more than 64 MiB\n");
    ASSERT_EQ(truncate(huge.toLocal8Bit().constData(), 64 * 1024 * 1024 + 1), 0);
    const QString locked = dir.Write("locked.tsl", "BEGIN:\nEND:\n");
    ASSERT_EQ(chmod(locked.toLocal8Bit().constData(), 0), 0);

    const std::pair<QString, const char*> cases[] = {
        {dir.Root(), "it is a directory"}, {fifo, "it is a FIFO"},
        {"/dev/zero", "it is a device"},   {dir.Path("missing.tsl"), "No such file or directory"},
        {huge, "larger than 64 MiB"},      {locked, "Permission denied"},
    };
    for (const auto& [path, reason] : cases) {
        // Root reads any file, whatever its mode.
        if (path == locked && geteuid() == 0)
            continue;
        for (const char* mode : {"--check", "--echo"}) {
            const ProgramRun run = RunTslrun({mode, path});
            EXPECT_EQ(run.status, 2) << reason << " " << mode;
            EXPECT_EQ(run.err, "tslrun: cannot read script \"" + path.toStdString() +
                                   "\": " + reason + "\n");
            EXPECT_EQ(run.out, "");
        }
    }
}

TEST(TslrunInputs, AScriptThatNamesNoUsableLinkSaysWhichAndExitsTwo)
{
    const std::pair<std::string, const char*> cases[] = {
        {"VAR C% 0\nBEGIN:\nINC C\nEND:\n", "the script opens no link (no OPEN MEDIA line)"},
        {"OPEN MEDIA UDP\nOPEN IP 127.0.0.1\nBEGIN:\nEND:\n",
         "the script's UDP link names an address but no port"},
        {"OPEN MEDIA UDP\nBEGIN:\nEND:\n", "the script's UDP link names no port"},
    };
    for (const auto& [text, reason] : cases) {
        ScriptFile script(text);
        const ProgramRun run = RunTslrun({Path(script)});
        EXPECT_EQ(run.status, 2) << reason;
        EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
        EXPECT_LT(run.took, 10s);
        // A link given on the command line is all it needs.
        const ProgramRun echoed = RunTslrun({"--echo", "--passes", "1", Path(script)});
        EXPECT_EQ(echoed.status, 0) << echoed.err;
    }
}

TEST(TslrunInputs, DiagnosticsSpellOutControlBytesWhereverTheyGo)
{
    // A table name with an escape sequence is refused at its line, and never reaches the
    // terminal; a path from the command line is quoted with its escapes spelled out.
    ScriptFile script(TcpScript("", "TABLE_NAME \"\x1b[31m/x\"\n"));
    const ProgramRun table = RunTslrun({"--echo", Path(script)});
    EXPECT_EQ(table.status, 1);
    EXPECT_EQ((table.out + table.err).find('\x1b'), std::string::npos) << table.out;
    EXPECT_NE(table.out.find("'TABLE_NAME' 인수사용이"), std::string::npos) << table.out;

    const ProgramRun missing = RunTslrun({"--check", "no\x1b]0;title\x07.tsl"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("no<1B>]0;title<07>.tsl"), std::string::npos) << missing.err;
}
