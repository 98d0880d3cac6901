// GET and PUT against a table that tsltable made, as another program on the bench would.
#include "CSharedMemory.h"
#include "LoadedScript.h"
#include "NamedSemaphore.h"
#include "RunProgram.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <unistd.h>

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
