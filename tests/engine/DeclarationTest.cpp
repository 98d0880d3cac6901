#include "CTSLSyntax.h"
#include "LoadedScript.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace {

const char* const kDeclarations = "VAR COUNT% 10\n"
                                  "VAR B$ 300\n"
                                  "VAR X# 2.5\n"
                                  "VAR H% 0FFH\n"
                                  "DIM BUF$ 100\n"
                                  "DIM W% 10\n"
                                  "DIM D# 3\n"
                                  "EQU MSG \"Hello !!<0D><0A>\" // the template's text\n"
                                  "ASSIGN TAG \"Line 1\"\n"
                                  "\t  ; comment only\n"
                                  "BEGIN:\nEND:\n";

} // namespace

TEST(Declarations, EachDeclarationMakesOneRecord)
{
    auto tsl = CompileScript(kDeclarations);
    struct Case
    {
        const char* name;
        uint8_t kind;
        uint8_t elemType;
        int32_t size;
    };
    const Case cases[] = {
        {"COUNT", KIND_VAR, ELEM_LONG, 4},  {"B", KIND_VAR, ELEM_BYTE, 1},
        {"X", KIND_VAR, ELEM_DOUBLE, 8},    {"H", KIND_VAR, ELEM_LONG, 4},
        {"BUF", KIND_DIM, ELEM_BYTE, 100},  {"W", KIND_DIM, ELEM_LONG, 40},
        {"D", KIND_DIM, ELEM_DOUBLE, 24},   {"MSG", KIND_EQU, ELEM_BYTE, 16},
        {"TAG", KIND_ASSIGN, ELEM_BYTE, 6},
    };
    EXPECT_EQ(tsl->m_listVariable.size(), std::size(cases));
    for (const Case& c : cases) {
        const CVariableTable* var = tsl->FindVariableTable(c.name);
        ASSERT_NE(var, nullptr) << c.name;
        EXPECT_EQ(var->byKind, c.kind) << c.name;
        EXPECT_EQ(var->byElemType, c.elemType) << c.name;
        EXPECT_EQ(var->nSize, c.size) << c.name;
    }
    EXPECT_EQ(tsl->FindVariableTable("COUNT%"), nullptr) << "names lose their suffix";
    EXPECT_EQ(tsl->FindVariableTable("count"), nullptr) << "names are case-sensitive";
}

TEST(Declarations, RecordsStartWithTheDeclaredValues)
{
    auto tsl = CompileScript(kDeclarations);
    auto value = [&tsl](const char* name) {
        const CVariableTable* var = tsl->FindVariableTable(name);
        EXPECT_NE(var, nullptr) << name;
        return var ? var->value : decltype(var->value){};
    };
    EXPECT_EQ(value("COUNT").lValue, 10);
    EXPECT_EQ(value("B").byValue, 44) << "300 modulo 256";
    EXPECT_EQ(value("X").dValue, 2.5);
    EXPECT_EQ(value("H").lValue, 0) << "no hexadecimal in declarations";
    const unsigned char* buf = value("BUF").pBuffer;
    ASSERT_NE(buf, nullptr);
    EXPECT_TRUE(std::all_of(buf, buf + 100, [](unsigned char b) { return b == 0; }));
    EXPECT_STREQ(reinterpret_cast<char*>(value("MSG").pBuffer), "Hello !!<0D><0A>");
}

TEST(Declarations, ExportCopiesOnlyNamesDeclaredBefore)
{
    auto tsl = CompileScript("EXPORT X\nVAR X% 7\nEXPORT X\nBEGIN:\nEND:\n");
    ASSERT_EQ(tsl->m_listExport.size(), 1u);
    EXPECT_EQ(tsl->m_listExport[0]->byKind, KIND_VAR);
    EXPECT_EQ(tsl->m_listExport[0]->nSize, 4);
    EXPECT_EQ(tsl->m_listExport[0]->nValue, 7u);
}

TEST(Declarations, OversizedNamesAreCut)
{
    const std::string longName(40, 'N');
    auto tsl = CompileScript("VAR " + longName + "% 1\nBEGIN:\nEND:\n");
    EXPECT_NE(tsl->FindVariableTable(longName.substr(0, 31).c_str()), nullptr);
}

TEST(Declarations, ArraysPastTheBoundsAreEmpty)
{
    // Nothing is allocated for a negative size or one past 256 MiB (2.4 GB here).
    auto tsl = CompileScript("DIM NEG$ -5\nDIM WIDE# 300000000\nDIM OVER$ 268435457\n"
                             "BEGIN:\nEND:\n");
    for (const char* name : {"NEG", "WIDE", "OVER"}) {
        const CVariableTable* var = tsl->FindVariableTable(name);
        ASSERT_NE(var, nullptr) << name;
        EXPECT_EQ(var->nSize, 0) << name;
        EXPECT_EQ(tsl->GetBufferPointer(name), nullptr) << name;
    }
}

TEST(Declarations, OpenLinesFillTheLinkRecord)
{
    CTSLSyntax syntax(nullptr);
    struct Case
    {
        const char* key;
        const char* value;
        int result;
    };
    const Case cases[] = {
        {"MEDIA", "SERIAL", -1},   {"MEDIA", "RS232C", 0},   {"MEDIA", "TCP", -2},
        {"BAUD_RATE", "9601", -1}, {"BAUD_RATE", "9600", 0}, {"BAUD_RATE", "9600", -2},
        {"DATA_BIT", "9", -1},     {"DATA_BIT", "08", 0},    {"PARITY_BIT", "none", -1},
        {"PARITY_BIT", "EVEN", 0}, {"STOP_BIT", "1.5", 0},   {"IP", "192.168.100.200.1234", -1},
        {"IP", "192.168.0.10", 0}, {"IP", "10.0.0.1", -2},   {"PORT", "COM123", -1},
        {"PORT", "COM12", 0},      {"SPEED", "9600", -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(syntax.CheckCom("OPEN", c.key, c.value), c.result) << c.key << " " << c.value;
    COMM comm;
    syntax.GetCom(&comm);
    EXPECT_EQ(int(comm.nMedia), MEDIA_RS232C);
    EXPECT_EQ(int(comm.nBaudRate), 6);
    EXPECT_EQ(int(comm.nDataBit), 1);
    EXPECT_EQ(int(comm.nParityBit), 2);
    EXPECT_EQ(int(comm.nStopBit), 1);
    EXPECT_STREQ(comm.szIP, "192.168.0.10");
    EXPECT_STREQ(comm.szPort, "COM12");

    CTSLSyntax fresh(nullptr);
    fresh.GetCom(&comm);
    EXPECT_EQ(int(comm.nMedia), 0);
    EXPECT_EQ(int(comm.nBaudRate), -1);
    EXPECT_EQ(comm.szPort[0], '\0');
}

TEST(Declarations, TableNameMustBeQuoted)
{
    CTSLSyntax quoted(nullptr);
    EXPECT_EQ(quoted.CheckTableName("TABLE_NAME", "\"PLANT_1\"", ""), 0);
    std::string name;
    EXPECT_EQ(quoted.GetTableName(name), 7);
    EXPECT_EQ(name, "PLANT_1");

    CTSLSyntax bare(nullptr);
    EXPECT_EQ(bare.CheckTableName("TABLE_NAME", "PLANT_1", ""), -1);
}

TEST(Declarations, TableNameIsGivenOnce)
{
    CTSLSyntax syntax(nullptr);
    ASSERT_EQ(syntax.CheckTableName("TABLE_NAME", "\"PLANT_1\"", ""), 0);
    EXPECT_EQ(syntax.CheckTableName("TABLE_NAME", "\"OTHER\"", ""), -2);
    std::string name;
    syntax.GetTableName(name);
    EXPECT_EQ(name, "PLANT_1");
}

TEST(Declarations, TableNamesMustNameASharedObject)
{
    struct Case
    {
        std::string name;
        int result;
    };
    // "sem.", the name and "_Sync_2" must fit a file name of 255 bytes.
    const Case cases[] = {
        {"\"\"", -1},
        {"\"A/B\"", -1},
        {"\"..\"", -1},
        {"\"" + std::string(245, 'T') + "\"", -1},
        {"\"" + std::string(244, 'T') + "\"", 0},
        {"\"PLANT_1\"", 0},
    };
    for (const Case& c : cases) {
        CTSLSyntax syntax(nullptr);
        EXPECT_EQ(syntax.CheckTableName("TABLE_NAME", c.name.c_str(), ""), c.result) << c.name;
    }
}

TEST(Declarations, ARefusedTableNameLeavesNoSharedObject)
{
    // "..", refused as a table name, would make a valid semaphore name with "_Sync_2" after it.
    const CTSL tsl(nullptr, "..");
    EXPECT_FALSE(tsl.GetTableError().empty());
    EXPECT_FALSE(std::filesystem::exists("/dev/shm/sem..._Sync_2"));
}
