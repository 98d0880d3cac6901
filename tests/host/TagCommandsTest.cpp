// GET and PUT against a table that tsltable made, as another program on the bench would, and
// against the faults other programs and users can cause while the script runs.
#include "CSharedMemory.h"
#include "LoadedScript.h"
#include "NamedSemaphore.h"
#include "RunProgram.h"
#include "TagTableTestSupport.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace TagTableTest;

namespace {

std::string Tsltable(const QStringList& arguments)
{
    const ProgramRun run = RunProgram(TSLTABLE_PATH, arguments);
    EXPECT_EQ(run.status, 0) << run.err;
    return QByteArray::fromStdString(run.out).trimmed().toStdString();
}

// A table and tags with names no other run uses; all removed at the end.
class TagTable : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString name = QString::fromStdString(table);
        Tsltable({name, "create"});
        for (const auto& [tag, type, length] :
             {std::tuple{"B", "byte", "1"}, std::tuple{"I2", "int", "2"},
              std::tuple{"I4", "int", "4"}, std::tuple{"F", "float", "4"},
              std::tuple{"T", "text", "8"}})
            Tsltable({name, "add", Tag(tag), type, length});
        Tsltable({name, "set", Tag("B"), "200"});
        Tsltable({name, "set", Tag("I2"), "-2"});
        Tsltable({name, "set", Tag("I4"), "70000"});
        Tsltable({name, "set", Tag("F"), "1.5"});
        Tsltable({name, "set", Tag("T"), "ready"});
    }
    void TearDown() override
    {
        Tsltable({QString::fromStdString(table), "remove"});
        for (const char* tag : {"B", "I2", "I4", "F", "T"})
            CNamedSemaphore::Remove(Tag(tag).toStdString() + "_Event");
    }
    QString Tag(const char* tag) const { return QString::fromStdString(prefix) + tag; }
    std::string Get(const char* tag)
    {
        return Tsltable({QString::fromStdString(table), "get", Tag(tag)});
    }

    const std::string prefix = "t" + std::to_string(getpid()) + "_";
    const std::string table = "tarven-tag-test-" + std::to_string(getpid());
};

} // namespace

TEST_F(TagTable, GetReadsEveryTypeAndPutWritesEveryType)
{
    const std::string declarations =
        "ASSIGN TB \"" + prefix + "B\"\nASSIGN TI2 \"" + prefix + "I2\"\nASSIGN TI4 \"" + prefix +
        "I4\"\nASSIGN TF \"" + prefix + "F\"\nASSIGN TT \"" + prefix +
        "T\"\n"
        "ASSIGN NONE \"" +
        prefix +
        "missing\"\n"
        "VAR B$ 0\nVAR L% 99\nVAR W% 0\nVAR D# 0\nVAR K% 7\nVAR X# 2.5\nDIM TEXT$ 9\nDIM RAW$ 4\n";
    ScriptFile file(declarations + "BEGIN:\n"
                                   "GET B, TB\nPRINT B\n"
                                   "GET L, TI2\nPRINT L\n"
                                   "GET W, TI4\nPRINT W\n"
                                   "GET D, TF\nPRINT D, H\n"
                                   "GET TEXT, TT, 8\nPRINT TEXT\n"
                                   "GET RAW, TI4\nPRINT RAW, H\n"
                                   "GET K, NONE\nPRINT K\n"
                                   "PUT TB, 300\nPUT TI2, 65537\nPUT TI4, -5\nPUT TF, X\n"
                                   "PUT TT, \"go on\", 5\nPUT TI4, \"12\", 2\n"
                                   "END:\n");
    CTSL tsl(nullptr, table);
    ASSERT_EQ(tsl.GetTableError(), "");
    tsl._CompileMainScript1(tsl.LoadScript(file.Path().c_str()));
    ASSERT_EQ(tsl.Begin(nullptr, 0), 0);
    EXPECT_EQ(TakePrinted(tsl),
              (std::vector<std::string>{"-56", "-2", "70000", "1", "ready", "70 11 01 ", "7"}));
    EXPECT_EQ(Get("B"), "44");
    EXPECT_EQ(Get("I2"), "1") << "65537 in two bytes is 01 00";
    EXPECT_EQ(Get("F"), "2.5");
    EXPECT_EQ(Get("T"), "go on");
    EXPECT_EQ(Get("I4"), "12") << "a quoted text reads as the number it writes";
}

TEST(TagTableName, ABadTableNameFailsTheRunWithAReason)
{
    CTSL tsl(nullptr, "bad/name");
    EXPECT_NE(tsl.GetTableError(), "");
}

TEST_F(TagTable, ARemovedTableIsToldOnceAndTheTableMadeAnewIsUsed)
{
    const QString name = QString::fromStdString(table);
    ScriptFile file("ASSIGN TI4 \"" + prefix + "I4\"\nASSIGN TB \"" + prefix +
                    "B\"\nVAR L% 0\nVAR N% 0\n"
                    "BEGIN:\nGET L, TI4\nPRINT L\nINC N\nPUT TB, N\nEND:\n");
    CTSL tsl(nullptr, table);
    ASSERT_EQ(tsl.GetTableError(), "");
    tsl._CompileMainScript1(tsl.LoadScript(file.Path().c_str()));
    const auto pass = [&] {
        EXPECT_EQ(tsl.Begin(nullptr, 0), 0);
        return TakePrinted(tsl);
    };
    using Lines = std::vector<std::string>;
    EXPECT_EQ(pass(), Lines{"70000"});
    EXPECT_EQ(tsl.m_notices.Take(), Lines{});

    std::string last = "70000";
    int passes = 1;
    for (const char* value : {"1000", "1001"}) {
        Tsltable({name, "remove"});
        EXPECT_EQ(pass(), Lines{last}) << "nothing is read from the old table";
        ++passes;
        Tsltable({name, "create"});
        Tsltable({name, "add", Tag("I4"), "int", "4"});
        Tsltable({name, "add", Tag("B"), "byte", "1"});
        Tsltable({name, "set", Tag("I4"), value});
        EXPECT_EQ(pass(), Lines{value});
        EXPECT_EQ(pass(), Lines{value});
        passes += 2;
        EXPECT_EQ(Get("B"), std::to_string(passes)) << "PUT writes the new table";
        EXPECT_EQ(tsl.m_notices.Take(), Lines{"태그 테이블 삭제됨: " + table})
            << "each removal told once";
        last = value;
    }
}

TEST(TagTableSquat, ARunningScriptRefusesObjectsNotItsUsersAloneAndGoesOn)
{
    const std::string pid = std::to_string(getpid());
    const std::string i4 = "sqI4" + pid, b = "sqB" + pid;
    const struct
    {
        std::string suffix; // after the table's name; "_Event" goes after the tag's
        bool semaphore;
    } objects[] = {{"", false}, {"_Sync", true}, {"_Sync_2", true}, {"_Event", true}};
    using Lines = std::vector<std::string>;
    for (const Squatter& squatter : Squatters()) {
        for (const auto& object : objects) {
            ScopedTable scoped("squat");
            const auto makeTable = [&](int32_t value) {
                CSharedMemory made(scoped.name, 4096);
                ASSERT_TRUE(AddTag(made, i4, CSharedMemoryTag::kInteger, 4));
                ASSERT_TRUE(AddTag(made, b, CSharedMemoryTag::kByte, 1));
                ASSERT_TRUE(made.SetValue(i4, &value, 4, 4));
            };
            makeTable(70000);
            ScriptFile file("TABLE_NAME \"" + scoped.name + "\"\nASSIGN TI4 \"" + i4 +
                            "\"\nASSIGN TB \"" + b +
                            "\"\nVAR L% 0\nVAR N% 0\nBEGIN:\nGET L, TI4\nPRINT L\nINC N\n"
                            "PUT TB, N\nEND:\n");
            CTSL tsl(nullptr, scoped.name);
            ASSERT_EQ(tsl.GetTableError(), "");
            tsl._CompileMainScript1(tsl.LoadScript(file.Path().c_str()));
            ASSERT_EQ(tsl.Begin(nullptr, 0), 0);
            ASSERT_EQ(TakePrinted(tsl), Lines{"70000"});

            // The squatter's object takes the place of the event, or of a part of the table
            // made anew after a removal.
            const bool event = object.suffix == "_Event";
            Lines told;
            if (event) {
                CNamedSemaphore::Remove(b + "_Event");
            } else {
                int error = 0;
                std::string message;
                ASSERT_TRUE(CSharedMemory::Remove(scoped.name, error, message)) << message;
                told.push_back("태그 테이블 삭제됨: " + scoped.name);
            }
            const PlantedObject squat((event ? b : scoped.name) + object.suffix, object.semaphore,
                                      squatter);
            const std::string& planted = squat.file;
            ASSERT_FALSE(planted.empty());
            if (object.suffix == "_Sync") {
                ASSERT_TRUE(MakeObject(scoped.name, 4096, {0, 0, 0, 0, 0, 0x10, 0, 0}));
            }
            if (object.suffix == "_Sync_2")
                makeTable(1000);
            const std::string where = std::string(squatter.who) + " " + planted;

            for (int round = 0; round < 2; ++round) {
                ASSERT_EQ(tsl.Begin(nullptr, 0), 0) << where;
                EXPECT_EQ(TakePrinted(tsl), Lines{"70000"})
                    << where << ": read only from a table that is this user's alone";
                const Lines notices = tsl.m_notices.Take();
                if (round > 0) {
                    EXPECT_EQ(notices, Lines{}) << where << ": told once";
                    continue;
                }
                ASSERT_EQ(notices.size(), told.size() + 1) << where;
                EXPECT_EQ(Lines(notices.begin(), notices.begin() + told.size()), told) << where;
                EXPECT_EQ(notices.back().rfind("태그 테이블 사용 불가: ", 0), 0) << notices.back();
                EXPECT_NE(notices.back().find(
                              "refused " + std::string(object.semaphore ? "semaphore " : "table ") +
                              planted + ": it "),
                          std::string::npos)
                    << notices.back();
            }
            if (event) {
                CSharedMemory reader(scoped.name, 4096);
                std::vector<unsigned char> value(SharedTable::kTagHeadBytes + 1);
                uint32_t size = uint32_t(value.size());
                ASSERT_TRUE(reader.GetValue(b, value.data(), size));
                EXPECT_EQ(value.back(), 1) << "a PUT whose event is refused writes nothing";
            }
            CNamedSemaphore::Remove(i4 + "_Event");
        }
    }
}
