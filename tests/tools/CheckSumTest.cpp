#include "CheckSum.h"
#include "CCheckSumDlg.h"
#include "CheckSumDlgIds.h"
#include "DialogControls.h"

#include "ToolsTestSupport.h"

#include <QButtonGroup>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

const QString kFormatError = QStringLiteral("입력된 문자열 데이터 형식에 오류가 있습니다.");

struct CheckSumCase
{
    const char* input;
    CheckSumMethod method;
    const char* hex;
    const char* dec;
};

CheckSumTexts Compute(const QString& input, CheckSumMethod method)
{
    const std::optional<QByteArray> bytes = CheckSumInputBytes(input);
    EXPECT_TRUE(bytes.has_value()) << input.toStdString();
    const QByteArray data = bytes.value_or(QByteArray());
    return FormatCheckSum(method,
                          CalcCheckSum(method, reinterpret_cast<const unsigned char*>(data.data()),
                                       static_cast<int>(data.size())));
}

} // namespace

TEST(CheckSum, EveryMethodReducesKnownInputs)
{
    const CheckSumCase cases[] = {
        {"", CheckSumMethod::Crc16, "0000ffff", "00065535"},
        {"", CheckSumMethod::Crc16Ccitt, "0000ffff", "00065535"},
        {"<01><02><03>", CheckSumMethod::Xor, "00000000", "00000000"},
        {"<01><02><03>", CheckSumMethod::And, "00000000", "00000000"},
        {"<01><02><03>", CheckSumMethod::Or, "00000003", "00000003"},
        {"<01><02><03>", CheckSumMethod::Sum, "00000006", "00000006"},
        {"<FF><FF>", CheckSumMethod::Sum, "fffffffe", "-0000002"},
        {"<FF><FF>", CheckSumMethod::Xor, "00000000", "00000000"},
        {"<FF><FF>", CheckSumMethod::And, "000000ff", "00000255"},
        {"<FF><FF>", CheckSumMethod::Or, "000000ff", "00000255"},
        {"<80>", CheckSumMethod::Sum, "ffffff80", "-0000128"},
        {"<7f><01>", CheckSumMethod::Sum, "00000080", "00000128"},
        {"<F0><3C>", CheckSumMethod::And, "00000030", "00000048"},
        {"AB", CheckSumMethod::Xor, "00000003", "00000003"},
        // CRC-16/MODBUS reference values.
        {"123456789", CheckSumMethod::Crc16, "00004b37", "00019255"},
        {"<01><03><00><00><00><0A>", CheckSumMethod::Crc16, "0000cdc5", "00052677"},
        // Line breaks are not data; doubled brackets are.
        {"<01>\n<02>\r\n<03>", CheckSumMethod::Sum, "00000006", "00000006"},
        {"<<>>", CheckSumMethod::Sum, "0000007a", "00000122"},
        // The checksums of the command rows' tokens: published check values of 123456789, the
        // sums by hand (0x31 + ... + 0x39 = 0x1DD), and a Modbus ASCII request's LRC.
        {"123456789", CheckSumMethod::Crc16Ccitt, "000029b1", "00010673"},
        {"123456789", CheckSumMethod::Crc32, "cbf43926", "3421780262"},
        {"123456789", CheckSumMethod::Sum8, "000000dd", "00000221"},
        {"123456789", CheckSumMethod::Xor8, "00000031", "00000049"},
        {"123456789", CheckSumMethod::Lrc, "00000023", "00000035"},
        {"<01><03><00><00><00><01>", CheckSumMethod::Lrc, "000000fb", "00000251"},
        {"<FF><FF>", CheckSumMethod::Sum8, "000000fe", "00000254"},
        {"<FF><01>", CheckSumMethod::Lrc, "00000000", "00000000"},
        {"<00>", CheckSumMethod::Crc32, "d202ef8d", "3523407757"},
    };
    for (const CheckSumCase& c : cases) {
        const CheckSumTexts texts = Compute(QString::fromUtf8(c.input), c.method);
        EXPECT_EQ(texts.hex, QLatin1String(c.hex)) << c.input << " method " << int(c.method);
        EXPECT_EQ(texts.dec, QLatin1String(c.dec)) << c.input << " method " << int(c.method);
    }
    // Every other method reduces no bytes to zero.
    for (const CheckSumMethod method :
         {CheckSumMethod::Xor, CheckSumMethod::And, CheckSumMethod::Or, CheckSumMethod::Sum,
          CheckSumMethod::Crc32, CheckSumMethod::Sum8, CheckSumMethod::Xor8, CheckSumMethod::Lrc}) {
        const CheckSumTexts texts = Compute(QString(), method);
        EXPECT_EQ(texts.hex, QStringLiteral("00000000")) << int(method);
        EXPECT_EQ(texts.dec, QStringLiteral("00000000")) << int(method);
    }
}

TEST(CheckSum, CharacterAndBinaryTextsFollowTheValue)
{
    struct Case
    {
        int32_t r;
        CheckSumMethod method;
        const char* ascii;
        const char* bin;
    };
    const Case cases[] = {
        {0x41, CheckSumMethod::Xor, "0000000A", "00000000 00000000 00000000 01000001"},
        {0, CheckSumMethod::Sum, "0000000", "00000000 00000000 00000000 00000000"},
        {-2, CheckSumMethod::Sum, "0000000\xc3\xbe", "11111111 11111111 11111111 11111110"},
        {0x4B37, CheckSumMethod::Crc16, "00000007", "01001011 00110111"},
        {0xFFFF, CheckSumMethod::Crc16, "0000000\xc3\xbf", "11111111 11111111"},
        {0x29B1, CheckSumMethod::Crc16Ccitt, "0000000\xc2\xb1", "00101001 10110001"},
        {int32_t(0xCBF43926), CheckSumMethod::Crc32, "0000000&",
         "11001011 11110100 00111001 00100110"},
        {0x23, CheckSumMethod::Lrc, "0000000#", "00100011"},
        {0x31, CheckSumMethod::Xor8, "00000001", "00110001"},
        {0xDD, CheckSumMethod::Sum8, "0000000\xc3\x9d", "11011101"},
    };
    for (const Case& c : cases) {
        const CheckSumTexts texts = FormatCheckSum(c.method, c.r);
        EXPECT_EQ(texts.ascii, QString::fromUtf8(c.ascii)) << c.r;
        EXPECT_EQ(texts.bin, QLatin1String(c.bin)) << c.r;
    }
}

TEST(CheckSum, MalformedNotationGivesNoBytes)
{
    for (const char* input : {"<0D", "<0D0>", "<0G>", "A>B", "<>", "<1>", "<0D><0A"})
        EXPECT_FALSE(CheckSumInputBytes(QString::fromLatin1(input)).has_value()) << input;
    // Lower-case digits are codes too, and text beyond ASCII goes in as UTF-8.
    EXPECT_EQ(CheckSumInputBytes(u"A<0d>B"), QByteArray("A\rB"));
    EXPECT_EQ(CheckSumInputBytes(u"가"), QByteArray("\xea\xb0\x80"));
}

using namespace CheckSumDlgIds;

class CheckSumDlgTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_dlg.show();
        m_input = m_dlg.findChild<QPlainTextEdit*>(ControlName(CheckSumDlgIds::IDC_INPUT));
        m_compute = m_dlg.findChild<QPushButton*>(kIdOk);
        ASSERT_NE(m_input, nullptr);
        ASSERT_NE(m_compute, nullptr);
    }

    QString Field(int id) const
    {
        const auto* field = m_dlg.findChild<QLineEdit*>(ControlName(id));
        return field != nullptr ? field->text() : QStringLiteral("<missing>");
    }

    void Compute(const QString& input, int methodId)
    {
        m_input->setPlainText(input);
        QTest::mouseClick(m_dlg.findChild<QRadioButton*>(ControlName(methodId)), Qt::LeftButton);
        QTest::mouseClick(m_compute, Qt::LeftButton);
    }

    MessageCapture m_messages;
    CCheckSumDlg m_dlg{nullptr};
    QPlainTextEdit* m_input = nullptr;
    QPushButton* m_compute = nullptr;
};

TEST_F(CheckSumDlgTest, StartsEmptyWithXorComputesWithoutClosingAndTakes4096Characters)
{
    EXPECT_TRUE(m_input->toPlainText().isEmpty());
    EXPECT_TRUE(m_dlg.findChild<QRadioButton*>(ControlName(CheckSumDlgIds::IDC_XOR))->isChecked());
    for (int id : {IDC_HEX, IDC_DEC, IDC_BIN, IDC_ASCII})
        EXPECT_TRUE(Field(id).isEmpty()) << id;

    // Typed over two lines, computed as one.
    QTest::keyClicks(m_input, QStringLiteral("12345"));
    QTest::keyClick(m_input, Qt::Key_Return);
    QTest::keyClicks(m_input, QStringLiteral("6789"));
    QTest::mouseClick(m_dlg.findChild<QRadioButton*>(ControlName(CheckSumDlgIds::IDC_CRC16)),
                      Qt::LeftButton);
    QTest::mouseClick(m_compute, Qt::LeftButton);

    EXPECT_EQ(m_input->toPlainText(), QStringLiteral("12345\n6789"));
    EXPECT_EQ(Field(IDC_HEX), QStringLiteral("00004b37"));
    EXPECT_EQ(Field(IDC_DEC), QStringLiteral("00019255"));
    EXPECT_EQ(Field(IDC_BIN), QStringLiteral("01001011 00110111"));
    EXPECT_EQ(Field(IDC_ASCII), QStringLiteral("00000007"));
    EXPECT_TRUE(m_dlg.isVisible());
    EXPECT_TRUE(m_messages.texts.isEmpty());

    // The input takes at most 4096 characters.
    m_input->setPlainText(QString(4090, QLatin1Char('A')));
    m_input->moveCursor(QTextCursor::End);
    QTest::keyClicks(m_input, QStringLiteral("0123456789"));
    EXPECT_EQ(m_input->toPlainText(), QString(4090, QLatin1Char('A')) + QStringLiteral("012345"));
}

TEST_F(CheckSumDlgTest, EveryMethodHasItsRadioAndMalformedInputKeepsTheResults)
{
    const struct
    {
        int id;
        const char* label;
        const char* hex;
    } radios[] = {
        {IDC_XOR, "XOR", "00000031"},     {IDC_AND, "AND", "00000030"},
        {IDC_OR, "OR", "0000003f"},       {IDC_SUM, "SUM", "000001dd"},
        {IDC_CRC16, "CRC16", "00004b37"}, {IDC_CRC16CCITT, "CRC16CCITT", "000029b1"},
        {IDC_CRC32, "CRC32", "cbf43926"}, {IDC_SUM8, "SUM8", "000000dd"},
        {IDC_XOR8, "XOR8", "00000031"},   {IDC_LRC, "LRC", "00000023"},
    };
    for (const auto& radio : radios) {
        const auto* button = m_dlg.findChild<QRadioButton*>(ControlName(radio.id));
        ASSERT_NE(button, nullptr) << radio.label;
        EXPECT_EQ(button->text(), QLatin1String(radio.label));
        Compute(QStringLiteral("123456789"), radio.id);
        EXPECT_TRUE(button->isChecked()) << radio.label;
        EXPECT_EQ(std::ranges::count_if(m_dlg.findChildren<QRadioButton*>(),
                                        [](const QRadioButton* r) { return r->isChecked(); }),
                  1);
        EXPECT_EQ(Field(IDC_HEX), QLatin1String(radio.hex)) << radio.label;
    }
    EXPECT_TRUE(m_messages.texts.isEmpty());

    Compute(QStringLiteral("<FF><FF>"), IDC_SUM);
    ASSERT_EQ(Field(IDC_HEX), QStringLiteral("fffffffe"));
    Compute(QStringLiteral("<0D"), IDC_XOR);
    EXPECT_EQ(m_messages.texts, QStringList{kFormatError});
    EXPECT_EQ(Field(IDC_HEX), QStringLiteral("fffffffe"));
    EXPECT_EQ(Field(IDC_DEC), QStringLiteral("-0000002"));
    EXPECT_EQ(Field(IDC_BIN), QStringLiteral("11111111 11111111 11111111 11111110"));
    EXPECT_EQ(m_input->toPlainText(), QStringLiteral("<0D"));
}
