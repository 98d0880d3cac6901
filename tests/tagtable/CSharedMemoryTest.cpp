#include "CSharedMemory.h"
#include "CSharedMemoryGuard.h"
#include "CSharedMemoryTag.h"
#include "TagTableTestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <semaphore.h>
#include <thread>

using namespace SharedTable;
using namespace TagTableTest;
using Bytes = std::vector<unsigned char>;

namespace {

bool Add(CSharedMemory& table, const std::string& name, const Bytes& value)
{
    return table.AddValue(name, value.data(), uint32_t(value.size()));
}

Bytes Get(CSharedMemory& table, const std::string& name)
{
    uint32_t size = 0;
    if (!table.GetValue(name, nullptr, size))
        return {};
    Bytes value(size);
    table.GetValue(name, value.data(), size);
    return value;
}

} // namespace

TEST(CSharedMemory, ANewTableIsSharedByItsCreatorAndEveryLaterOpener)
{
    ScopedTable scoped("new");
    CSharedMemory creator(scoped.name, kDefaultSizeBytes);
    ASSERT_TRUE(creator.IsInitialised()) << creator.GetErrorText();
    EXPECT_TRUE(creator.IsCreator());
    EXPECT_EQ(creator.GetSize(), 10485760u);
    EXPECT_EQ(ReadObject(scoped.name, 0, 8), (Bytes{0, 0, 0, 0, 0x00, 0x00, 0xA0, 0x00}));
    struct stat status
    {};
    ASSERT_EQ(stat(("/dev/shm/" + scoped.name).c_str(), &status), 0);
    EXPECT_EQ(status.st_size, 0xA00000);
    EXPECT_EQ(status.st_mode & 0777, 0600u) << "owner only";
    EXPECT_TRUE(SemaphoreExists(scoped.name + "_Sync"));
    std::vector<CSharedMemory::Value> values;
    EXPECT_TRUE(creator.ListValues(values));
    EXPECT_TRUE(values.empty());

    ASSERT_TRUE(Add(creator, "first", Bytes{1, 2, 3}));
    bool calledUnlocked = false;
    // The callback runs with the table lock released: a look-up inside it must not wait.
    CSharedMemory opener(scoped.name, 4096, [&](CSharedMemory& self) {
        uint32_t size = 0;
        calledUnlocked = self.GetValue("first", nullptr, size) && size == 3;
    });
    ASSERT_TRUE(opener.IsInitialised()) << opener.GetErrorText();
    EXPECT_TRUE(calledUnlocked);
    EXPECT_FALSE(opener.IsCreator());
    EXPECT_EQ(opener.GetSize(), kDefaultSizeBytes) << "the creator's size word wins";
    EXPECT_EQ(Get(opener, "first"), (Bytes{1, 2, 3}));
    ASSERT_TRUE(Add(opener, "second", Bytes{9}));
    EXPECT_EQ(Get(creator, "second"), Bytes{9});
    EXPECT_EQ(ReadObject(scoped.name, 0, 4), Le32(2));

    CSharedMemory existing(scoped.name, 0, {}, CSharedMemory::OpenMode::OpenExisting);
    EXPECT_FALSE(existing.IsInitialised()) << "a size below the head is refused even to openers";
    CSharedMemory reader(scoped.name, kBlockHeadBytes, {}, CSharedMemory::OpenMode::OpenExisting);
    EXPECT_EQ(Get(reader, "second"), Bytes{9});
}

TEST(CSharedMemory, EmptyObjectOfACreatorThatDiedIsTakenOver)
{
    ScopedTable abandoned("abandoned");
    ASSERT_TRUE(MakeObject(abandoned.name, 0, {}));
    CSharedMemory taken(abandoned.name, 2048, {}, CSharedMemory::OpenMode::OpenExisting);
    ASSERT_TRUE(taken.IsInitialised()) << taken.GetErrorText();
    EXPECT_TRUE(taken.IsCreator());
    EXPECT_EQ(ReadObject(abandoned.name, 0, 8), (Bytes{0, 0, 0, 0, 0x00, 0x08, 0, 0}));
}

TEST(CSharedMemory, GetValueAndSetValueReportTheirErrorCodes)
{
    ScopedTable scoped("errors");
    CSharedMemory table(scoped.name, 4096);
    ASSERT_TRUE(AddTag(table, "tag", CSharedMemoryTag::kInteger, 4));
    CSharedMemory closed("", 4096);
    const Bytes data(64, 0x11);
    uint32_t size = 0;

    struct Case
    {
        const char* what;
        CSharedMemory& object;
        std::function<bool()> call;
        int error;
    };
    const Case cases[] = {
        {"get, table not open", closed, [&] { return closed.GetValue("tag", nullptr, size); },
         4312},
        {"set, table not open", closed, [&] { return closed.SetValue("tag", data.data(), 4, 4); },
         4312},
        {"get, unknown tag", table, [&] { return table.GetValue("nope", nullptr, size); }, 2},
        {"set, unknown tag", table, [&] { return table.SetValue("nope", data.data(), 4, 4); }, 2},
        {"set, malformed UTF-8", table, [&] { return table.SetValue("\xff", data.data(), 4, 4); },
         2},
        {"set, size 0", table, [&] { return table.SetValue("tag", data.data(), 4, 0); }, 24},
        {"set, more than the value", table,
         [&] { return table.SetValue("tag", data.data(), 4, 41); }, 8},
        {"set, more than the data", table, [&] { return table.SetValue("tag", data.data(), 4, 5); },
         8},
        {"set, data before the value", table,
         [&] { return table.SetValue("tag", data.data(), 41, 4); }, 8},
    };
    const Bytes before = ReadObject(scoped.name, 0, 4096);
    for (const Case& c : cases) {
        EXPECT_FALSE(c.call()) << c.what;
        EXPECT_EQ(c.object.GetLastError(), c.error) << c.what;
        EXPECT_FALSE(c.object.GetErrorText().empty()) << c.what;
    }
    EXPECT_EQ(ReadObject(scoped.name, 0, 4096), before) << "no refused call wrote anything";

    Bytes buffer(39);
    size = uint32_t(buffer.size());
    EXPECT_FALSE(table.GetValue("tag", buffer.data(), size));
    EXPECT_EQ(table.GetLastError(), 122);
    EXPECT_EQ(size, 40u) << "the size needed comes back";
    buffer.resize(40);
    EXPECT_TRUE(table.GetValue("tag", buffer.data(), size));
}

TEST(CSharedMemory, EntriesAndTagValuesAreLaidOutLittleEndian)
{
    ScopedTable scoped("layout");
    CSharedMemory table(scoped.name, 4096);
    ASSERT_TRUE(AddTag(table, "온도", CSharedMemoryTag::kInteger, 4));
    ASSERT_TRUE(AddTag(table, "B", CSharedMemoryTag::kText, 300));
    const int32_t value = -2;
    ASSERT_TRUE(table.SetValue("온도", &value, 4, 4));

    EXPECT_EQ(ReadObject(scoped.name, 0, 8), (Bytes{2, 0, 0, 0, 0x00, 0x10, 0, 0}));
    const Bytes entry = ReadObject(scoped.name, 8, 84 + 40);
    Bytes name(80, 0);
    name[0] = 0x28, name[1] = 0xC6, name[2] = 0xC4, name[3] = 0xB3; // U+C628 U+B3C4
    EXPECT_EQ(Bytes(entry.begin(), entry.begin() + 80), name);
    EXPECT_EQ(Bytes(entry.begin() + 80, entry.begin() + 84), Le32(40));
    Bytes head(36, 0);
    head[32] = 2, head[33] = 4;
    EXPECT_EQ(Bytes(entry.begin() + 84, entry.begin() + 120), head);
    EXPECT_EQ(Bytes(entry.begin() + 120, entry.end()), (Bytes{0xFE, 0xFF, 0xFF, 0xFF}));

    const Bytes next = ReadObject(scoped.name, 8 + 124, 84 + 36);
    EXPECT_EQ(next[0], 'B');
    EXPECT_EQ(next[1], 0);
    EXPECT_EQ(Bytes(next.begin() + 80, next.begin() + 84), Le32(336));
    EXPECT_EQ(next[84 + 32], 4);
    EXPECT_EQ(next[84 + 33], 0x2C) << "300 = 0x012C, low byte first";
    EXPECT_EQ(next[84 + 34], 0x01);

    CSharedMemoryTag tag;
    EXPECT_TRUE(CSharedMemoryTag::Read(next.data() + 84, 336, tag));
    EXPECT_EQ(tag.nType, 4);
    EXPECT_EQ(tag.nDataLength, 300);
    EXPECT_FALSE(CSharedMemoryTag::Read(next.data() + 84, 335, tag)) << "data cut short";
    EXPECT_FALSE(CSharedMemoryTag::Read(next.data() + 84, 35, tag)) << "head cut short";
    CNamedSemaphore::Remove("온도_Event");
}

TEST(CSharedMemory, SetValueClearsTheDataAtTheEndOfTheValueAndSetsTheTagsEvent)
{
    ScopedTable scoped("set");
    const std::string tag = "tarven-test-tag-" + std::to_string(getpid());
    const std::string event = "/" + tag + "_Event";
    sem_unlink(event.c_str());
    CSharedMemory table(scoped.name, 4096);
    // A value of 50 bytes whose last 8 are the data, from a program that pads its head.
    ASSERT_TRUE(Add(table, tag, Bytes(50, 0xAA)));
    ASSERT_TRUE(Add(table, "after", Bytes(4, 0xBB)));

    ASSERT_TRUE(table.SetValue(tag, "hello", 8, 5));
    ASSERT_TRUE(table.SetValue(tag, "hi", 8, 2));
    Bytes expected(50, 0xAA);
    std::fill(expected.begin() + 42, expected.end(), 0);
    expected[42] = 'h', expected[43] = 'i';
    EXPECT_EQ(Get(table, tag), expected) << "the old text's tail is cleared too";
    EXPECT_EQ(Get(table, "after"), Bytes(4, 0xBB));

    // Every write sets the event, which stays set until taken.
    sem_t* posted = sem_open(event.c_str(), 0);
    ASSERT_NE(posted, SEM_FAILED) << "no event " << event;
    EXPECT_EQ(sem_trywait(posted), 0);
    EXPECT_EQ(sem_trywait(posted), -1) << "two writes set the event once";
    EXPECT_EQ(errno, EAGAIN);
    ASSERT_TRUE(table.SetValue(tag, "x", 8, 1));
    EXPECT_EQ(sem_trywait(posted), 0) << "a taken event is set again";
    sem_close(posted);
    sem_unlink(event.c_str());
}

TEST(CSharedMemory, DamagedEntriesEndTheWalkInsideTheBlock)
{
    ScopedTable scoped("corrupt");
    CSharedMemory table(scoped.name, 1024);
    ASSERT_TRUE(Add(table, "one", Bytes(10, 1)));
    ASSERT_TRUE(Add(table, "two", Bytes(10, 2)));
    const size_t secondSize = 8 + 94 + 80;
    struct Case
    {
        const char* what;
        size_t offset;
        Bytes bytes;
        size_t intact;
    };
    const Case cases[] = {
        {"size runs past the end", secondSize, Le32(1024 - 8 - 94 - 84 + 1), 1},
        {"size wraps around", secondSize, Le32(0xFFFFFFF0), 1},
        // Zeros read as empty entries of 84 bytes: nine fit after the two, the tenth does not.
        {"count far beyond the entries", 0, Le32(0xFFFFFFFF), 11},
        {"count beyond the zeros that fill the block", 0, Le32(12), 11},
    };
    for (const Case& c : cases) {
        const Bytes saved = ReadObject(scoped.name, c.offset, 4);
        ASSERT_TRUE(WriteObject(scoped.name, c.offset, c.bytes));
        std::vector<CSharedMemory::Value> values;
        EXPECT_FALSE(table.ListValues(values)) << c.what;
        EXPECT_EQ(values.size(), c.intact) << c.what;
        EXPECT_EQ(Get(table, "one"), Bytes(10, 1)) << c.what;
        uint32_t size = 0;
        EXPECT_EQ(table.GetValue("two", nullptr, size), c.intact > 1) << c.what;
        EXPECT_FALSE(table.GetValue("absent", nullptr, size)) << c.what;
        EXPECT_EQ(table.GetLastError(), kErrorNotFound) << c.what;
        EXPECT_FALSE(table.AddValue("three", "x", 1)) << c.what;
        EXPECT_EQ(table.GetLastError(), EINVAL) << c.what;
        ASSERT_TRUE(WriteObject(scoped.name, c.offset, saved));
    }
    EXPECT_TRUE(table.AddValue("three", "x", 1)) << "mended, the table takes entries again";
}

TEST(CSharedMemory, TheObjectsRealSizeBoundsALyingSizeWord)
{
    struct Case
    {
        const char* what;
        size_t objectSize;
        uint32_t sizeWord;
        bool opens;
        uint32_t blockSize;
    };
    const Case cases[] = {
        {"word claims more than the object", 4096, 0xA00000, true, 4096},
        {"word claims less than the object", 4096, 200, true, 200},
        {"word below the head", 4096, 7, false, 0},
        {"object below the head", 6, 4096, false, 0},
    };
    for (const Case& c : cases) {
        ScopedTable scoped("lying");
        Bytes head = Le32(1);
        const Bytes word = Le32(c.sizeWord);
        head.insert(head.end(), word.begin(), word.end());
        ASSERT_TRUE(MakeObject(scoped.name, c.objectSize, head)) << c.what;
        CSharedMemory table(scoped.name, kDefaultSizeBytes);
        EXPECT_EQ(table.IsInitialised(), c.opens) << c.what << ": " << table.GetErrorText();
        EXPECT_FALSE(table.IsCreator()) << c.what;
        if (!c.opens) {
            EXPECT_EQ(table.GetLastError(), EINVAL) << c.what;
            continue;
        }
        EXPECT_EQ(table.GetSize(), c.blockSize) << c.what;
        // One entry whose value would reach just past the block.
        Bytes entry(84, 0);
        entry[0] = 'x';
        const Bytes size = Le32(c.blockSize - 8 - 84 + 1);
        std::copy(size.begin(), size.end(), entry.begin() + 80);
        ASSERT_TRUE(WriteObject(scoped.name, 8, entry));
        uint32_t got = 0;
        EXPECT_FALSE(table.GetValue("x", nullptr, got)) << c.what;
        ASSERT_TRUE(WriteObject(scoped.name, 80 + 8, Le32(c.blockSize - 8 - 84)));
        EXPECT_TRUE(table.GetValue("x", nullptr, got)) << c.what;
        EXPECT_EQ(got, c.blockSize - 8 - 84) << c.what;
    }
}

TEST(CSharedMemory, BadTableAndTagNamesAreRefusedWithAReason)
{
    struct Case
    {
        std::string name;
        int error;
        const char* reason;
    };
    const Case cases[] = {
        {"", EINVAL, "is empty"},
        {"a/b", EINVAL, "must not contain '/'"},
        {"..", EINVAL, "not a valid name"},
        {std::string("a\0b", 3), EINVAL, "not a valid name"},
        {std::string(245, 'x'), ENAMETOOLONG, "too long"},
    };
    for (const Case& c : cases) {
        CSharedMemory table(c.name, 4096);
        EXPECT_FALSE(table.IsInitialised());
        EXPECT_EQ(table.GetLastError(), c.error) << c.reason;
        EXPECT_NE(table.GetErrorText().find(c.reason), std::string::npos) << table.GetErrorText();
        int error = 0;
        std::string message;
        EXPECT_FALSE(CSharedMemory::Remove(c.name, error, message));
        EXPECT_EQ(error, c.error) << c.reason;
    }
    ScopedTable longest("");
    longest.name += std::string(244 - longest.name.size(), 'y');
    CSharedMemory table(longest.name, 4096);
    ASSERT_TRUE(table.IsInitialised()) << "244 bytes leave room for sem. and _Sync_2";

    const struct
    {
        std::string tag;
        int error;
    } tags[] = {
        {"", EINVAL},
        {"\xc3\x28", EINVAL},
        {std::string(40, 'n'), ENAMETOOLONG},
        {std::string(20, 'n') + "\xf0\x9f\x98\x80" + std::string(18, 'n'), ENAMETOOLONG},
    };
    for (const auto& t : tags) {
        EXPECT_FALSE(table.AddValue(t.tag, "v", 1)) << t.tag;
        EXPECT_EQ(table.GetLastError(), t.error) << t.tag;
    }
    EXPECT_TRUE(table.AddValue(std::string(39, 'n'), "v", 1)) << "39 units and the NUL fit";
    EXPECT_FALSE(table.AddValue(std::string(39, 'n'), "v", 1));
    EXPECT_EQ(table.GetLastError(), EEXIST);
}

TEST(CSharedMemory, ObjectsOfAnotherUserOrOpenToOthersAreRefused)
{
    struct Case
    {
        const char* what;
        mode_t mode;
        uid_t owner;
        const char* reason;
    };
    const uid_t stranger = geteuid() + 4321;
    const Case cases[] = {
        {"writable by all", 0666, geteuid(), "it is writable by other users (mode 0666)"},
        {"writable by the group", 0620, geteuid(), "it is writable by other users (mode 0620)"},
        {"readable by all", 0644, geteuid(), "it is readable by other users (mode 0644)"},
        {"usable by the group", 0610, geteuid(), "it is usable by other users (mode 0610)"},
        {"another user's", 0600, stranger, "it belongs to another user (uid "},
    };
    for (const Case& c : cases) {
        // Only root can hand an object to another user.
        if (c.owner != geteuid() && geteuid() != 0)
            continue;
        for (const char* tampered : {"", "_Sync"}) {
            ScopedTable table("owner");
            {
                CSharedMemory made(table.name, 4096);
            }
            const std::string file =
                (*tampered ? "/dev/shm/sem." : "/dev/shm/") + table.name + tampered;
            ASSERT_EQ(chmod(file.c_str(), c.mode), 0) << file;
            ASSERT_EQ(chown(file.c_str(), c.owner, c.owner), 0) << file;
            for (const auto mode :
                 {CSharedMemory::OpenMode::CreateOrOpen, CSharedMemory::OpenMode::OpenExisting}) {
                CSharedMemory refused(table.name, 4096, {}, mode);
                EXPECT_FALSE(refused.IsInitialised()) << c.what << " " << file;
                EXPECT_EQ(refused.GetLastError(), EACCES) << c.what << " " << file;
                const std::string named =
                    (*tampered ? "refused semaphore " : "refused table ") + file + ": ";
                EXPECT_NE(refused.GetErrorText().find(named + c.reason), std::string::npos)
                    << refused.GetErrorText();
            }
        }
    }
}

TEST(CSharedMemory, WritersInManyThreadsLoseNoEntry)
{
    ScopedTable scoped("threads");
    constexpr int kThreads = 4;
    constexpr int kEach = 50;
    {
        CSharedMemory made(scoped.name, kDefaultSizeBytes);
    }
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            CSharedMemory table(scoped.name, kDefaultSizeBytes);
            for (int i = 0; i < kEach; ++i) {
                const uint32_t value = uint32_t(t * 1000 + i);
                table.AddValue("t" + std::to_string(t) + "-" + std::to_string(i), &value, 4);
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    CSharedMemory table(scoped.name, kDefaultSizeBytes);
    std::vector<CSharedMemory::Value> values;
    ASSERT_TRUE(table.ListValues(values));
    EXPECT_EQ(values.size(), size_t(kThreads * kEach));
    for (int t = 0; t < kThreads; ++t) {
        for (int i = 0; i < kEach; ++i)
            EXPECT_EQ(Get(table, "t" + std::to_string(t) + "-" + std::to_string(i)),
                      Le32(uint32_t(t * 1000 + i)));
    }
}

TEST(CSharedMemory, RemoveUnlinksTheTableItsLocksAndItsTagsEvents)
{
    const std::string name = UniqueName("remove");
    const std::string tag = "removed-tag-" + std::to_string(getpid());
    {
        CSharedMemory table(name, 4096);
        ASSERT_TRUE(AddTag(table, tag, CSharedMemoryTag::kByte, 1));
        ASSERT_TRUE(table.SetValue(tag, "x", 1, 1));
        CNamedSemaphore tagLock(name + kTagLockSuffix, 1);
        ASSERT_TRUE(tagLock.Lock());
    }
    // A table kept open across the removal sees its name lead nowhere, then to another table.
    CSharedMemory kept(name, 4096);
    EXPECT_FALSE(kept.IsRemoved());
    const std::string records = "/dev/shm/tsl-lock-owners." + std::to_string(geteuid()) + "/";
    ASSERT_TRUE(SemaphoreExists(tag + "_Event"));
    ASSERT_TRUE(Exists(records + name + "_Sync_2"));
    int error = 0;
    std::string message;
    EXPECT_TRUE(CSharedMemory::Remove(name, error, message)) << message;
    EXPECT_FALSE(SemaphoreExists(name + "_Sync"));
    EXPECT_FALSE(SemaphoreExists(name + "_Sync_2"));
    EXPECT_FALSE(SemaphoreExists(tag + "_Event"));
    EXPECT_FALSE(Exists(records + name + "_Sync"));
    EXPECT_FALSE(Exists(records + name + "_Sync_2"));
    EXPECT_TRUE(ReadObject(name, 0, 1).empty());
    EXPECT_TRUE(kept.IsRemoved());
    {
        CSharedMemory anew(name, 4096);
        EXPECT_FALSE(anew.IsRemoved());
        EXPECT_TRUE(kept.IsRemoved()) << "the same name, another object";
    }
    EXPECT_TRUE(CSharedMemory::Remove(name, error, message)) << message;
    EXPECT_FALSE(CSharedMemory::Remove(name, error, message));
    EXPECT_EQ(error, kErrorNotFound);

    // Looking up a table that is gone creates nothing.
    CSharedMemory missing(name, kDefaultSizeBytes, {}, CSharedMemory::OpenMode::OpenExisting);
    EXPECT_FALSE(missing.IsInitialised());
    EXPECT_EQ(missing.GetLastError(), kErrorNotFound);
    EXPECT_NE(missing.GetErrorText().find("no table named"), std::string::npos);
    EXPECT_FALSE(SemaphoreExists(name + "_Sync"));
    EXPECT_TRUE(ReadObject(name, 0, 1).empty());
}

TEST(CSharedMemory, ATableCutShortIsDamagedAndTouchedNoMore)
{
    ScopedTable scoped("shrunk");
    CSharedMemory table(scoped.name, 65536);
    ASSERT_TRUE(Add(table, "pad", Bytes(8000, 1)));
    ASSERT_TRUE(Add(table, "far", Bytes(4, 2)));
    const int fd = shm_open(("/" + scoped.name).c_str(), O_RDWR, 0);
    ASSERT_EQ(ftruncate(fd, 4096), 0);
    close(fd);

    uint32_t size = 0;
    const std::function<bool()> calls[] = {
        [&] { return table.GetValue("far", nullptr, size); },
        [&] { return table.GetValue("pad", nullptr, size); },
        [&] { return table.SetValue("far", "x", 4, 1); },
        [&] { return table.AddValue("new", "x", 1); },
        [&] {
            std::vector<CSharedMemory::Value> values;
            return table.ListValues(values);
        },
    };
    for (const auto& call : calls) {
        EXPECT_FALSE(call());
        EXPECT_TRUE(table.IsDamaged());
        EXPECT_EQ(table.GetLastError(), EINVAL);
        EXPECT_NE(table.GetErrorText().find("is damaged"), std::string::npos)
            << table.GetErrorText();
    }
}

TEST(CSharedMemoryGuard, AFaultInsideTheMappingEndsTheAccessInsteadOfTheProgram)
{
    const int fd = memfd_create("guard", MFD_CLOEXEC);
    ASSERT_EQ(ftruncate(fd, 8192), 0);
    auto* view = static_cast<volatile unsigned char*>(
        mmap(nullptr, 8192, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0));
    ASSERT_NE(view, MAP_FAILED);
    ASSERT_EQ(ftruncate(fd, 4096), 0); // as truncate(1) by another program
    for (int round = 0; round < 3; ++round) {
        unsigned char seen = 1;
        EXPECT_TRUE(CSharedMemoryGuard::Run(const_cast<unsigned char*>(view), 8192,
                                            [&] { seen = view[100]; }));
        EXPECT_EQ(seen, 0);
        EXPECT_FALSE(CSharedMemoryGuard::Run(const_cast<unsigned char*>(view), 8192,
                                             [&] { view[5000] = 7; }))
            << "round " << round;
    }
    munmap(const_cast<unsigned char*>(view), 8192);
    close(fd);
}
