#include "NamedSemaphore.h"
#include "CRunFlag.h"
#include "TagTableTestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <semaphore.h>
#include <sys/stat.h>
#include <sys/wait.h>

using namespace TagTableTest;

namespace {

// Unlinks the semaphore when the test ends.
struct ScopedSemaphore
{
    explicit ScopedSemaphore(const std::string& stem) : name(UniqueName(stem)) {}
    ~ScopedSemaphore() { CNamedSemaphore::Remove(name); }
    std::string name;
};

} // namespace

TEST(CNamedSemaphore, IsALockOfOneThatTimesOutInsteadOfWaitingForever)
{
    ScopedSemaphore scoped("lock");
    CNamedSemaphore first(scoped.name, 1);
    CNamedSemaphore second(scoped.name, 1);
    ASSERT_TRUE(first.IsOpen()) << first.GetErrorText();
    ASSERT_TRUE(second.IsOpen()) << second.GetErrorText();

    ASSERT_TRUE(first.Lock());
    EXPECT_FALSE(first.Lock()) << "the holder cannot take it twice";
    EXPECT_EQ(first.GetLastError(), EDEADLK);
    EXPECT_FALSE(second.Lock(50));
    EXPECT_EQ(second.GetLastError(), ETIMEDOUT);
    EXPECT_NE(second.GetErrorText().find("not released"), std::string::npos);

    first.Unlock();
    first.Unlock();
    second.Unlock();
    ASSERT_TRUE(second.Lock());
    EXPECT_FALSE(first.Lock(50)) << "extra unlocks did not raise the count past 1";
    second.Unlock();

    {
        CNamedSemaphoreLock held(first);
        EXPECT_TRUE(held.IsLocked());
        CNamedSemaphoreLock waiting(second, 50);
        EXPECT_FALSE(waiting.IsLocked());
    }
    CNamedSemaphoreLock again(second, 50);
    EXPECT_TRUE(again.IsLocked()) << "the scope gave the count back";
}

TEST(CNamedSemaphore, ClosingWhileHeldGivesTheCountBack)
{
    ScopedSemaphore scoped("close");
    CNamedSemaphore keeper(scoped.name, 1);
    {
        CNamedSemaphore holder(scoped.name, 1);
        ASSERT_TRUE(holder.Lock());
    }
    EXPECT_TRUE(keeper.Lock(1000));
}

TEST(CNamedSemaphore, AnEventIsSetOnceHoweverOftenItIsSignalled)
{
    ScopedSemaphore scoped("event");
    CNamedSemaphore event(scoped.name, 0);
    ASSERT_TRUE(event.IsOpen());
    EXPECT_FALSE(event.Lock(10)) << "a new event is not set";
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(event.Signal());
    EXPECT_TRUE(event.Lock(10));
    event.Unlock();
    EXPECT_TRUE(event.Lock(10)) << "Unlock gave back the one count";
}

TEST(CNamedSemaphore, RefusesNamesThatCannotNameASemaphore)
{
    for (const std::string& name : {std::string(), std::string("a/b"), std::string(252, 's')}) {
        CNamedSemaphore semaphore(name, 1);
        EXPECT_FALSE(semaphore.IsOpen()) << name;
        EXPECT_FALSE(semaphore.GetErrorText().empty());
        EXPECT_FALSE(semaphore.Lock());
        EXPECT_EQ(semaphore.GetLastError(), EBADF);
    }
}

TEST(CNamedSemaphore, RefusesSemaphoresOthersCouldTouchNamingTheirFile)
{
    ScopedSemaphore scoped("perm");
    {
        CNamedSemaphore made(scoped.name, 1);
    }
    const std::string file = "/dev/shm/sem." + scoped.name;
    for (const auto& [mode, reason] : {std::pair{0606, "writable"}, std::pair{0604, "readable"}}) {
        ASSERT_EQ(chmod(file.c_str(), mode_t(mode)), 0);
        CNamedSemaphore refused(scoped.name, 1);
        EXPECT_FALSE(refused.IsOpen());
        EXPECT_EQ(refused.GetLastError(), EACCES);
        EXPECT_NE(refused.GetErrorText().find("refused semaphore " + file + ": it is " + reason),
                  std::string::npos)
            << refused.GetErrorText();
    }
    ASSERT_EQ(chmod(file.c_str(), 0600), 0);
    EXPECT_TRUE(CNamedSemaphore(scoped.name, 1).IsOpen());
    ASSERT_EQ(truncate(file.c_str(), 0), 0);
    CNamedSemaphore empty(scoped.name, 1);
    EXPECT_FALSE(empty.IsOpen()) << "a post or wait on it would fault";
    EXPECT_NE(empty.GetErrorText().find(file + " is not a semaphore"), std::string::npos)
        << empty.GetErrorText();
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can hand a semaphore to another user";
    ASSERT_EQ(chown(file.c_str(), geteuid() + 99, 0), 0);
    CNamedSemaphore foreign(scoped.name, 1);
    EXPECT_FALSE(foreign.IsOpen());
    EXPECT_NE(foreign.GetErrorText().find(file + ": it belongs to another user"), std::string::npos)
        << foreign.GetErrorText();
}

TEST(CNamedSemaphore, ALockWhoseHolderDiedIsTakenOverAtOnce)
{
    ScopedSemaphore scoped("dead");
    const pid_t child = fork();
    if (child == 0) {
        CNamedSemaphore holder(scoped.name, 1);
        _exit(holder.Lock() ? 0 : 1); // dies holding it
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_EQ(WEXITSTATUS(status), 0);

    CNamedSemaphore waiter(scoped.name, 1);
    EXPECT_TRUE(waiter.Lock(60000)) << waiter.GetErrorText();
    EXPECT_EQ(waiter.GetDeadHolder(), child);
    waiter.Unlock();
    CNamedSemaphore next(scoped.name, 1);
    EXPECT_TRUE(next.Lock(0)) << "given back like any lock";
    EXPECT_EQ(next.GetDeadHolder(), 0);
}

TEST(CNamedSemaphore, ALockHeldWithoutAHolderRecordIsWaitedFor)
{
    ScopedSemaphore scoped("norecord");
    // A program that keeps no record: it might be alive, so its lock is never taken from it.
    sem_t* raw = sem_open(("/" + scoped.name).c_str(), O_CREAT, 0600, 1);
    ASSERT_NE(raw, SEM_FAILED);
    ASSERT_EQ(sem_wait(raw), 0);
    CNamedSemaphore waiter(scoped.name, 1);
    EXPECT_FALSE(waiter.Lock(100));
    EXPECT_EQ(waiter.GetLastError(), ETIMEDOUT);
    sem_post(raw);
    sem_close(raw);
}

TEST(CNamedSemaphore, AStoppedRunEndsItsWait)
{
    ScopedSemaphore scoped("stop");
    CNamedSemaphore holder(scoped.name, 1);
    ASSERT_TRUE(holder.Lock());
    CNamedSemaphore waiter(scoped.name, 1);
    CRunFlag run(false);
    EXPECT_FALSE(waiter.Lock(60000, &run));
    EXPECT_EQ(waiter.GetLastError(), ECANCELED);
}
