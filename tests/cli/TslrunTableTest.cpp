// A script's shared tag table under the faults other programs can cause: a table cut short, a
// tag lock left by a run that died or held by a program that keeps no holder record, and names
// that must leave nothing behind.
#include "CSharedMemory.h"
#include "CSharedMemoryTag.h"
#include "NamedSemaphore.h"
#include "TagTableTestSupport.h"
#include "TslrunSupport.h"

#include <fcntl.h>
#include <semaphore.h>

using namespace TslrunTest;
using namespace TagTableTest;

namespace {

const char* const kTag = "TV";

// A table whose tag TV (an int of 4 bytes, 1234) lies past the first 4096 bytes of the block.
struct TableWithTag
{
    explicit TableWithTag(const std::string& stem) : scoped(stem), table(scoped.name, 1 << 20)
    {
        const std::vector<unsigned char> pad(60000, 0x20);
        EXPECT_TRUE(table.AddValue("pad", pad.data(), uint32_t(pad.size())));
        EXPECT_TRUE(AddTag(table, kTag, CSharedMemoryTag::kInteger, 4));
        const int32_t number = 1234;
        EXPECT_TRUE(table.SetValue(kTag, &number, 4, 4));
    }
    ~TableWithTag() { CNamedSemaphore::Remove(std::string(kTag) + "_Event"); }

    // A script that reads TV on every pass and prints it on the first.
    std::string Script() const
    {
        return TcpScript("GET V, TG\nCMP C, 0\nJPNE END\nPRINT V\nINC C\n",
                         "TABLE_NAME \"" + scoped.name + "\"\nASSIGN TG \"" + kTag +
                             "\"\nVAR V% 0\n");
    }

    ScopedTable scoped;
    CSharedMemory table;
};

} // namespace

TEST(TslrunTable, ATableCutShortUnderARunIsToldOnceAndNeverKillsIt)
{
    TableWithTag tagged("cut");
    const ScriptFile script(tagged.Script());
    SpawnedTslrun run({"--echo", "--seconds", "2", script.Path()});
    ASSERT_TRUE(run.out.WaitFor("1234\n")) << run.Errors();
    ASSERT_EQ(truncate(("/dev/shm/" + tagged.scoped.name).c_str(), 4096), 0);
    EXPECT_EQ(run.Wait(20s), 0) << "not killed by SIGBUS: " << run.Errors();
    EXPECT_EQ(Count(run.Errors(), "tslrun: 태그 테이블 손상: "), 1) << run.Errors();
}

TEST(TslrunTable, ATagLockLeftByARunThatDiedIsTakenOver)
{
    TableWithTag tagged("dead");
    const pid_t child = fork();
    if (child == 0) {
        CNamedSemaphore lock(tagged.scoped.name + "_Sync_2", 1);
        _exit(lock.Lock() ? 0 : 1); // dies holding it
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_EQ(WEXITSTATUS(status), 0);

    const ScriptFile script(tagged.Script());
    const ProgramRun run = RunTslrun({"--echo", "--passes", "1", Path(script)});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "1234\n");
    EXPECT_EQ(run.err, "");
    EXPECT_LT(run.took, 4s) << "a wait for the dead holder runs 5 s";
}

TEST(TslrunTable, ATagLockHeldWithoutARecordTimesOutOnceAndAStopEndsTheWait)
{
    TableWithTag tagged("held");
    // Another program holds the tag lock and keeps no holder record: it cannot be judged dead.
    const std::string lockName = "/" + tagged.scoped.name + "_Sync_2";
    sem_t* lock = sem_open(lockName.c_str(), O_CREAT, 0600, 1);
    ASSERT_NE(lock, SEM_FAILED);
    ASSERT_EQ(sem_wait(lock), 0);

    const ScriptFile script(tagged.Script());
    SpawnedTslrun run({"--echo", script.Path()});
    const auto told = [&] {
        return run.Errors().find("tslrun: 태그 잠금 시간초과: TV") != std::string::npos;
    };
    ASSERT_TRUE(PollUntil(told)) << run.Errors();
    // The script waits for the lock again: a stop ends that wait.
    const auto [status, took] = run.Stop(SIGTERM);
    EXPECT_EQ(status, 143);
    EXPECT_LT(took, 2s);
    EXPECT_EQ(Count(run.Errors(), "tslrun: 태그 잠금 시간초과: TV"), 1) << run.Errors();
    sem_post(lock);
    sem_close(lock);
}

TEST(TslrunTable, ATableThatCannotBeUsedLeavesNothingBehind)
{
    // A name the system refuses is refused at its line: nothing may be made for it, not even
    // a lock.
    const ScriptFile dots(TcpScript("", "TABLE_NAME \"..\"\n"));
    const ProgramRun refused = RunTslrun({"--echo", Path(dots)});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.out.find("'TABLE_NAME' 인수사용이"), std::string::npos) << refused.out;
    EXPECT_FALSE(Exists("/dev/shm/sem.._Sync_2"));
    EXPECT_FALSE(Exists("/dev/shm/sem.._Sync"));

    // A table this run makes goes again when its tag lock cannot be had (here: writable by
    // others, so refused).
    ScopedTable scoped("nolock");
    const std::string lockName = "/" + scoped.name + "_Sync_2";
    sem_t* lock = sem_open(lockName.c_str(), O_CREAT, 0600, 1);
    ASSERT_NE(lock, SEM_FAILED);
    sem_close(lock);
    ASSERT_EQ(chmod(("/dev/shm/sem." + scoped.name + "_Sync_2").c_str(), 0666), 0);
    const ScriptFile script(TcpScript("", "TABLE_NAME \"" + scoped.name + "\"\n"));
    const ProgramRun run = RunTslrun({"--echo", Path(script)});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("writable by other users"), std::string::npos) << run.err;
    EXPECT_FALSE(Exists("/dev/shm/" + scoped.name)) << "the table made for the run is gone";
    EXPECT_FALSE(Exists("/dev/shm/sem." + scoped.name + "_Sync"));
}
