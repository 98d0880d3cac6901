#include "CommandFile.h"
#include "CmdListConstants.h"
#include "LittleEndianBytes.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

TEST(CommandFileTest, ReadsAHandWrittenFileWithEveryLengthFormAndKoreanText)
{
    const QByteArray word(300, 'W');
    const QByteArray longText(70000, 'L');
    const QByteArray file = Le32(3)
                            // 1-byte lengths; "모뎀 확인" in code page 949.
                            + "\x0a"
                              "AT<0D><0A>" +
                            "\x09" +
                            QByteArray::fromHex("b8f0b5a920c8aec0ce")
                            // 0xFF and a 16-bit length.
                            + "\xff" + Le16(300) + word +
                            QByteArray(1, '\0')
                            // 0xFF, 0xFFFF and a 32-bit length; "똠" exists only in 949.
                            + "\xff" + Le16(0xFFFF) + Le32(70000) + longText + "\x02" +
                            QByteArray::fromHex("8c63");
    QString reason;
    const std::optional<CommandRows> rows = ParseCommandFile(file, &reason);
    ASSERT_TRUE(rows) << reason.toStdString();
    const CommandRows expected = {{"AT<0D><0A>", QStringLiteral("모뎀 확인")},
                                  {QString::fromLatin1(word), QString()},
                                  {QString::fromLatin1(longText), QStringLiteral("똠")}};
    EXPECT_EQ(*rows, expected);

    // Written again, it is the same file byte for byte.
    EXPECT_EQ(SerializeCommandFile(*rows, nullptr), file);

    // UTF-8 made by hand is read too.
    const QByteArray korean = QStringLiteral("한").toUtf8();
    EXPECT_EQ(
        ParseCommandFile(Le32(1) + char(korean.size()) + korean + QByteArray(1, '\0'), nullptr),
        CommandRows({{QStringLiteral("한"), QString()}}));
}

TEST(CommandFileTest, LengthPrefixesChangeFormAtTheirLimits)
{
    const struct
    {
        int length;
        QByteArray prefix;
    } cases[] = {
        {0, QByteArray::fromHex("00")},
        {254, QByteArray::fromHex("fe")},
        {255, QByteArray::fromHex("ffff00")},
        {65533, QByteArray::fromHex("fffdff")},
        {65534, QByteArray::fromHex("ffffff"
                                    "feff0000")},
        {100000, QByteArray::fromHex("ffffff"
                                     "a0860100")},
    };
    for (const auto& c : cases) {
        const CommandRows rows = {{QString(c.length, QLatin1Char('x')), QString()}};
        const std::optional<QByteArray> bytes = SerializeCommandFile(rows, nullptr);
        ASSERT_TRUE(bytes);
        EXPECT_EQ(bytes->mid(4, c.prefix.size()), c.prefix) << c.length;
        EXPECT_EQ(bytes->size(), 4 + c.prefix.size() + c.length + 1) << c.length;
        EXPECT_EQ(ParseCommandFile(*bytes, nullptr), rows) << c.length;
    }
}

TEST(CommandFileTest, DamagedFilesAreRefusedWithAReason)
{
    const struct
    {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"empty file", QByteArray()},
        {"count cut short", QByteArray::fromHex("0100")},
        {"negative count", Le32(0xFFFFFFFF) + QByteArray(2, '\0')},
        {"count beyond what the bytes hold", Le32(2) + QByteArray(3, '\0')},
        {"string past the end", Le32(1) + "\x05"
                                          "abc"},
        {"16-bit length cut", Le32(1) + "\xff\x10"},
        {"16-bit string past the end", Le32(1) + "\xff" + Le16(300) + "abc"},
        {"32-bit length past the end", Le32(1) + "\xff" + Le16(0xFFFF) + Le32(0xFFFFFFF0) + "ab"},
        {"neither 949 nor UTF-8", Le32(1) + "\x01\x80\x00"},
        {"more rows than a list holds",
         Le32(kMaxCommandRows + 1) + QByteArray(2 * (kMaxCommandRows + 1), '\0')},
    };
    for (const auto& c : cases) {
        QString reason;
        EXPECT_FALSE(ParseCommandFile(c.bytes, &reason)) << c.name;
        EXPECT_FALSE(reason.isEmpty()) << c.name;
    }
}

TEST(CommandFileTest, EveryExampleCommandFileLoadsAndIsWrittenBackUnchanged)
{
    const QDir examples(QStringLiteral(EXAMPLES_DIR));
    const QStringList files = examples.entryList({"*.tcf", "*.TCF"}, QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString& name : files) {
        const CommandFileRead file = ReadCommandFile(examples.filePath(name));
        ASSERT_EQ(file.status, CommandFileRead::Loaded)
            << name.toStdString() << ": " << file.reason.toStdString();
        EXPECT_EQ(file.rows.size(), kCmdListRows) << name.toStdString();
        QFile original(examples.filePath(name));
        ASSERT_TRUE(original.open(QIODevice::ReadOnly));
        EXPECT_EQ(SerializeCommandFile(file.rows, nullptr), original.readAll())
            << name.toStdString();
    }
}
