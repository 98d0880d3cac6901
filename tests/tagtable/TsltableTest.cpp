#include "CSharedMemoryTag.h"
#include "EventLoopWait.h"
#include "RunProgram.h"
#include "TagTableTestSupport.h"

#include <fstream>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <tuple>

using namespace TagTableTest;

namespace {

// True while the process sleeps in a futex wait, as a semaphore wait does.
bool IsWaitingOnALock(qint64 pid)
{
    std::ifstream syscall("/proc/" + std::to_string(pid) + "/syscall");
    std::string number;
    syscall >> number;
    return number == std::to_string(SYS_futex);
}

ProgramRun Tsltable(const std::vector<std::string>& args)
{
    QStringList arguments;
    for (const std::string& arg : args)
        arguments << QString::fromStdString(arg);
    return RunProgram(TSLTABLE_PATH, arguments);
}

} // namespace

// A table with one tag of each type and length. Tag names carry the process id: each write
// sets "/<tag>_Event", shared machine-wide; the events go with the table.
struct ToolTable
{
    ToolTable() : table("tool")
    {
        const ProgramRun create = Tsltable({table.name, "create"});
        EXPECT_EQ(create.status, 0) << create.err;
        created = create.out;
        for (const auto& [tag, type, length] : tags) {
            const ProgramRun run = Tsltable({table.name, "add", tag, type, length});
            EXPECT_EQ(run.status, 0) << tag << ": " << run.err;
        }
    }
    ~ToolTable()
    {
        for (const auto& tag : tags)
            CNamedSemaphore::Remove(std::get<0>(tag) + "_Event");
    }

    ScopedTable table;
    std::string created; // what create told
    const std::string pid = std::to_string(getpid());
    const std::string b = "b" + pid, i2 = "i2" + pid, i4 = "i4" + pid, f = "f" + pid, t = "t" + pid;
    const std::vector<std::tuple<std::string, std::string, std::string>> tags = {
        {b, "byte", "1"}, {i2, "int", "2"}, {i4, "int", "4"}, {f, "float", "4"}, {t, "text", "12"}};
};

TEST(Tsltable, ATableIsMadeOnceFilledListedAndRemovedWithItsTagsEvents)
{
    const ToolTable tool;
    const std::string& name = tool.table.name;
    EXPECT_EQ(tool.created, "created table \"" + name + "\" (10485760 bytes)\n");
    ProgramRun run = Tsltable({name, "create"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "table \"" + name + "\" already exists (10485760 bytes)\n");

    // get gives back what set wrote, for every type.
    const struct
    {
        std::string tag, value, shown;
    } values[] = {
        {tool.b, "200", "200"},
        {tool.i2, "-32768", "-32768"},
        {tool.i4, "+2147483647", "2147483647"},
        {tool.f, "-1.5e3", "-1500"},
        {tool.t, "long text!", "long text!"},
        {tool.t, "short", "short"},
        {tool.t, "a\tb", "a\tb"},
    };
    for (const auto& v : values) {
        run = Tsltable({name, "set", v.tag, v.value});
        EXPECT_EQ(run.status, 0) << v.tag << ": " << run.err;
        run = Tsltable({name, "get", v.tag});
        EXPECT_EQ(run.status, 0) << v.tag << ": " << run.err;
        EXPECT_EQ(run.out, v.shown + "\n");
    }
    // The bytes the tool wrote: a 2-byte int, low byte first, at the end of its value.
    const std::vector<unsigned char> i2Value = ReadObject(name, 8 + 84 + 37 + 84 + 36, 2);
    EXPECT_EQ(i2Value, (std::vector<unsigned char>{0x00, 0x80}));

    // list shows one tag a line.
    run = Tsltable({name, "list"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, tool.b + "\tbyte\t1\t200\n" + tool.i2 + "\tint\t2\t-32768\n" + tool.i4 +
                           "\tint\t4\t2147483647\n" + tool.f + "\tfloat\t4\t-1500\n" + tool.t +
                           "\ttext\t12\ta<09>b\n");

    ASSERT_TRUE(SemaphoreExists(tool.b + "_Event"));
    run = Tsltable({name, "remove"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "removed table \"" + name + "\"\n");
    EXPECT_FALSE(SemaphoreExists(tool.b + "_Event"));
    run = Tsltable({name, "list"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "tsltable: no table named \"" + name + "\"\n");
}

TEST(Tsltable, ControlBytesInNamesAndValuesReachNoTerminal)
{
    ScopedTable table("escape");
    const std::string tag = "a\tb\x1b[2J" + std::to_string(getpid());
    {
        CSharedMemory memory(table.name, 4096);
        ASSERT_TRUE(AddTag(memory, tag, CSharedMemoryTag::kText, 8));
        ASSERT_TRUE(memory.SetValue(tag, "x\x1b]0;\x07", 8, 6));
    }
    const std::string shown = "a<09>b<1B>[2J" + std::to_string(getpid());
    ProgramRun run = Tsltable({table.name, "list"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, shown + "\ttext\t8\tx<1B>]0;<07>\n") << "one field each, one line";

    run = Tsltable({table.name, "get", tag});
    EXPECT_EQ(run.out, "x\x1b]0;\x07\n") << "the value itself for a pipe";

    run = Tsltable({table.name, "get", tag + "\x1b[31m"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.find('\x1b'), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(shown + "<1B>[31m"), std::string::npos) << run.err;
    CNamedSemaphore::Remove(tag + "_Event");
}

TEST(Tsltable, ReportsEachMistakeOnStandardErrorWithExitStatus1)
{
    ScopedTable table("toolerr");
    const std::string& name = table.name;
    const std::string missing = UniqueName("none");
    ASSERT_EQ(Tsltable({name, "create"}).status, 0);
    for (const auto& add : std::vector<std::vector<std::string>>{
             {"b", "byte", "1"}, {"i", "int", "2"}, {"f", "float", "4"}, {"t", "text", "3"}})
        ASSERT_EQ(Tsltable({name, "add", add[0], add[1], add[2]}).status, 0);
    ScopedTable full("toolfull");
    {
        CSharedMemory small(full.name, 200);
    }
    // 8 + 84 + 36 + 72 = 200 fills it exactly.
    ASSERT_EQ(Tsltable({full.name, "add", "x", "text", "72"}).status, 0);

    const struct
    {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{}, "tsltable: no table name given\nTry 'tsltable --help'\n"},
        {{name}, "tsltable: no command given\nTry 'tsltable --help'\n"},
        {{name, "drop"}, "unknown command or wrong number of arguments: \"drop\""},
        {{name, "get"}, "wrong number of arguments"},
        {{missing, "get", "b"}, "no table named \"" + missing + "\""},
        {{missing, "add", "b", "byte", "1"}, "no table named"},
        {{missing, "remove"}, "no table named"},
        {{"a/b", "create"}, "table name \"a/b\" must not contain '/'"},
        {{"", "create"}, "table name is empty"},
        {{std::string(300, 'x'), "create"}, "table name is too long"},
        {{name, "get", "nope"}, "no tag named \"nope\""},
        {{name, "set", "nope", "1"}, "no tag named \"nope\""},
        {{name, "add", "x", "word", "1"}, "unknown type \"word\""},
        {{name, "add", "x", "byte", "2"}, "a byte tag is 1 byte long"},
        {{name, "add", "x", "int", "3"}, "an int tag is 2 or 4 bytes long"},
        {{name, "add", "x", "float", "8"}, "a float tag is 4 bytes long"},
        {{name, "add", "x", "text", "0"}, "a text tag is 1 to 65535 bytes long"},
        {{name, "add", "x", "text", "many"}, "is not a whole number"},
        {{name, "add", "x", "text", "20000000"}, "1 to 65535"},
        {{name, "add", "b", "byte", "1"}, "tag \"b\" already exists"},
        {{name, "add", std::string(40, 'n'), "byte", "1"}, "is too long"},
        {{name, "set", "b", "256"}, "does not fit a byte tag"},
        {{name, "set", "b", "-1"}, "does not fit a byte tag"},
        {{name, "set", "i", "32768"}, "does not fit an int tag of 2 bytes"},
        {{name, "set", "i", "1.5"}, "does not fit an int tag"},
        {{name, "set", "f", "1e40"}, "does not fit a float tag"},
        {{name, "set", "f", "abc"}, "does not fit a float tag"},
        {{name, "set", "t", "four"}, "(4 bytes) does not fit a text tag of 3 bytes"},
        {{full.name, "add", "y", "byte", "1"}, "does not fit: 0 bytes left"},
    };
    for (const auto& c : cases) {
        const ProgramRun run = Tsltable(c.args);
        EXPECT_EQ(run.status, 1) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty()) << run.out;
    }
    EXPECT_EQ(Tsltable({name, "get", "b"}).out, "0\n") << "no refused write changed a value";
}

TEST(Tsltable, HelpListsTheCommandsAndDashDashEndsTheOptions)
{
    const ProgramRun help = Tsltable({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("add TAG TYPE LENGTH"), std::string::npos);

    ScopedTable table("dash");
    const std::string dashed = "-" + table.name;
    EXPECT_EQ(Tsltable({dashed, "create"}).status, 1) << "read as an option";
    EXPECT_EQ(Tsltable({"--", dashed, "create"}).status, 0);
    EXPECT_EQ(Tsltable({"--", dashed, "remove"}).status, 0);
}

TEST(Tsltable, SetWaitsForTheTagLockThatAScriptHolds)
{
    ScopedTable table("toollock");
    const std::string tag = "lock" + std::to_string(getpid());
    CSharedMemory memory(table.name, 4096);
    ASSERT_TRUE(AddTag(memory, tag, CSharedMemoryTag::kByte, 1));

    CNamedSemaphore tagLock(table.name + "_Sync_2", 1);
    ASSERT_TRUE(tagLock.Lock());
    QProcess process;
    process.start(TSLTABLE_PATH,
                  {QString::fromStdString(table.name), "set", QString::fromStdString(tag), "7"});
    ASSERT_TRUE(process.waitForStarted());
    ASSERT_TRUE(WaitFor([&] { return IsWaitingOnALock(process.processId()); }))
        << "set does not wait for the tag lock";
    std::vector<unsigned char> read(SharedTable::kTagHeadBytes + 1); // a byte tag
    uint32_t size = uint32_t(read.size());
    ASSERT_TRUE(memory.GetValue(tag, read.data(), size)) << "the table lock stays free";
    EXPECT_EQ(read.back(), 0);

    tagLock.Unlock();
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    ASSERT_TRUE(memory.GetValue(tag, read.data(), size));
    EXPECT_EQ(read.back(), 7);
    CNamedSemaphore::Remove(tag + "_Event");
}

TEST(Tsltable, SetTakesOverATagLockWhoseHolderDied)
{
    const ToolTable tool;
    const pid_t child = fork();
    if (child == 0) {
        CNamedSemaphore lock(tool.table.name + "_Sync_2", 1);
        _exit(lock.Lock() ? 0 : 1); // a run killed while it held the lock
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_EQ(WEXITSTATUS(status), 0);
    for (int i = 0; i < 2; ++i) {
        const ProgramRun run = Tsltable({tool.table.name, "set", tool.b, "9"});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_LT(run.took, std::chrono::seconds(4)) << "a wait for the dead holder runs 5 s";
    }
    EXPECT_EQ(Tsltable({tool.table.name, "get", tool.b}).out, "9\n");
}

TEST(Tsltable, RefusesEveryObjectOfTheTableThatIsNotThisUsersAlone)
{
    const std::string tag = "sq" + std::to_string(getpid());
    const struct
    {
        std::string suffix; // after the table's name; "_Event" goes after the tag's
        bool semaphore;
        bool tableUsable; // create and add still work: they never touch the object
        bool readable;    // get still works
    } objects[] = {
        {"", false, false, false},
        {"_Sync", true, false, false},
        {"_Sync_2", true, true, false},
        {"_Event", true, true, true},
    };
    for (const Squatter& squatter : Squatters()) {
        for (const auto& object : objects) {
            ScopedTable table("squat");
            const std::string name = (object.suffix == "_Event" ? tag : table.name) + object.suffix;
            const PlantedObject planted(name, object.semaphore, squatter);
            const std::string& file = planted.file;
            ASSERT_FALSE(file.empty()) << name;
            const std::string where = std::string(squatter.who) + " " + file;
            const std::string refused =
                (object.semaphore ? "refused semaphore " : "refused table ") + file + ": it ";
            const auto expect = [&](const std::vector<std::string>& args, bool works) {
                const ProgramRun run = Tsltable(args);
                EXPECT_EQ(run.status, works ? 0 : 1) << args[1] << ", " << where << ": " << run.err;
                if (!works) {
                    EXPECT_EQ(run.err.rfind("tsltable: ", 0), 0u) << run.err;
                    EXPECT_NE(run.err.find(refused), std::string::npos)
                        << args[1] << ", " << where << ": " << run.err;
                }
                return run;
            };
            expect({table.name, "create"}, object.tableUsable);
            // A table made by hand, so that each command meets the squatted lock.
            if (object.suffix == "_Sync") {
                ASSERT_TRUE(MakeObject(table.name, 4096, {0, 0, 0, 0, 0, 0x10, 0, 0}));
            }
            expect({table.name, "add", tag, "byte", "1"}, object.tableUsable);
            expect({table.name, "set", tag, "5"}, false);
            const ProgramRun got = expect({table.name, "get", tag}, object.readable);
            if (object.readable) {
                EXPECT_EQ(got.out, "0\n") << "a refused set wrote nothing; " << where;
            }
        }
    }
}
