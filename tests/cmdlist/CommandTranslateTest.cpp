#include "CommandTranslate.h"
#include "CTSL.h"
#include "TransmitText.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

// "123456789", whose checksums are published check values.
const QByteArray kCheck("123456789");

} // namespace

TEST(CommandTranslate, ChecksumTokensAppendTheChecksumOfEveryEncodedByteBeforeThem)
{
    const struct
    {
        QString text;
        QByteArray bytes;
        tsl::TextCodec codec = tsl::TextCodec::Utf8;
    } cases[] = {
        // CRC-16/MODBUS 0x4B37 low byte first; CRC-16/CCITT-FALSE 0x29B1 high byte first; CRC-32
        // 0xCBF43926 low byte first; the sums by hand: 0x31 + ... + 0x39 = 0x1DD.
        {"123456789<CRC16>", kCheck + QByteArray::fromHex("374b")},
        {"123456789<CRC16CCITT>", kCheck + QByteArray::fromHex("29b1")},
        {"123456789<CRC32>", kCheck + QByteArray::fromHex("2639f4cb")},
        {"123456789<SUM8>", kCheck + QByteArray::fromHex("dd")},
        {"123456789<XOR8>", kCheck + QByteArray::fromHex("31")},
        {"123456789<LRC>", kCheck + QByteArray::fromHex("23")},
        // A Modbus RTU request (read 10 holding registers of unit 1) and a Modbus ASCII LRC.
        {"<01><03><00><00><00><0A><CRC16>", QByteArray::fromHex("01030000000ac5cd")},
        {"<01><03><00><00><00><01><LRC>", QByteArray::fromHex("010300000001fb")},
        // From the start of the text, earlier checksums included; text may follow a token.
        {"AB<XOR8><SUM8>", QByteArray::fromHex("41420386")},
        {"<02>AB<03><XOR8><0D>", QByteArray::fromHex("0241420302") + '\r'},
        {"<CRC16>", QByteArray::fromHex("ffff")},
        {"<CRC32><CRC32>", QByteArray::fromHex("000000001cdf4421")},
        // Doubled brackets write the token's text itself.
        {"<<CRC16>>", "<CRC16>"},
        {"<<<LRC>", QByteArray("<") + char(0xC4)},
        // The checksums cover the bytes of the link's encoding.
        {QStringLiteral("한<XOR8>"), QByteArray::fromHex("c7d116"), tsl::TextCodec::Cp949},
        {QStringLiteral("한<XOR8>"), QByteArray::fromHex("ed959ce4")},
        {QStringLiteral("é<SUM8>"), QByteArray::fromHex("e9e9"), tsl::TextCodec::Latin1},
    };
    for (const auto& c : cases) {
        const CommandBytes command = TranslateCommandText(c.text, c.codec);
        EXPECT_FALSE(command.bMalformed) << c.text.toStdString();
        EXPECT_EQ(command.bytes.toHex(), c.bytes.toHex()) << c.text.toStdString();
    }

    // Only these names, upper case, closed at once; anything else stays wrong notation. Scripts
    // keep the plain notation, where every token is wrong.
    for (const char* text : {"<crc16>", "<Crc16>", "<CRC16", "A<CRC16 >", "<CRC>", "<CRC8>",
                             "<SUM16>", "<0G><CRC16>", "A><CRC16>", "<CRC16>>", "<LRC><0D"}) {
        const CommandBytes command = TranslateCommandText(text, tsl::TextCodec::Utf8);
        EXPECT_TRUE(command.bMalformed) << text;
        EXPECT_TRUE(command.bytes.isEmpty()) << text;
    }
    unsigned char script[16];
    EXPECT_EQ(CTSL::TranslateString("A<CRC16>", script, 8), -1);

    // A character the encoding lacks: nothing to send, and the character named.
    const CommandBytes lacking =
        TranslateCommandText(QStringLiteral("A😀<CRC16>"), tsl::TextCodec::Cp949);
    EXPECT_TRUE(lacking.bUnencodable);
    EXPECT_EQ(lacking.character, QStringLiteral("😀"));
    EXPECT_TRUE(lacking.bytes.isEmpty());
}

TEST(CommandTranslate, TextsWithoutTokensTranslateAsScriptsDo)
{
    // Random texts over the notation's characters: wherever the plain notation takes a text,
    // the row gives the same bytes, and it never writes more bytes than the text has.
    const std::string alphabet = "<<>>0DAFgCRUL1a6S8XM3 ";
    std::mt19937 random(20240611);
    for (int round = 0; round < 20000; ++round) {
        std::string text(random() % 12, ' ');
        for (char& c : text)
            c = alphabet[random() % alphabet.size()];
        const int length = static_cast<int>(text.size());
        unsigned char plain[16] = {};
        unsigned char row[16] = {};
        const int nPlain = CTSL::TranslateString(text.data(), plain, length);
        const int nRow = tsl::TranslateTransmitText(text.data(), row, length);
        ASSERT_LE(nRow, length) << text;
        if (nPlain >= 0) {
            ASSERT_EQ(nRow, nPlain) << text;
            ASSERT_EQ(std::string(reinterpret_cast<char*>(row), size_t(nRow)),
                      std::string(reinterpret_cast<char*>(plain), size_t(nPlain)))
                << text;
        }
    }
}
