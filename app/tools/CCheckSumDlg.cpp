#include "CCheckSumDlg.h"

#include "CheckSum.h"
#include "CheckSumDlgIds.h"
#include "DialogControls.h"
#include "MessageBox.h"
#include "ToolsConstants.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextCursor>
#include <QVBoxLayout>

using namespace CheckSumDlgIds;

namespace {

struct ResultRow
{
    int id;
    const char* label;
    int maxLength;
};

// Control ids, kept as object names, and the text limits of the four result fields.
constexpr ResultRow kHexRow = {IDC_HEX, "HEX", 80};
constexpr ResultRow kDecRow = {IDC_DEC, "DEC", 80};
constexpr ResultRow kBinRow = {IDC_BIN, "BIN", 255};
constexpr ResultRow kAsciiRow = {IDC_ASCII, "ASCII", 80};
// The seed methods fill the first row of radios, the token checksums the second.
constexpr int kMethodsPerRow = 5;

// A group box with the program's icon at its left, as each part of the dialog has.
QGroupBox* IconGroup(const QString& title, const QString& explanation, QLayout* content,
                     QWidget* parent)
{
    auto* group = new QGroupBox(title, parent);
    auto* row = new QHBoxLayout(group);
    auto* icon = new QLabel(group);
    icon->setPixmap(QIcon(QStringLiteral(":/tarven.svg")).pixmap(kCheckSumIconPx));
    icon->setAlignment(Qt::AlignTop);
    row->addWidget(icon);
    auto* column = new QVBoxLayout;
    auto* text = new QLabel(explanation, group);
    text->setWordWrap(true);
    column->addWidget(text);
    column->addLayout(content);
    row->addLayout(column, 1);
    return group;
}

} // namespace

CCheckSumDlg::CCheckSumDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("Check Sum 계산"));
    NameControl(this, IDD);
    auto* layout = new QVBoxLayout(this);

    m_pInput = new QPlainTextEdit(this);
    NameControl(m_pInput, IDC_INPUT);
    m_pInput->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_pInput->setTabChangesFocus(true);
    connect(m_pInput, &QPlainTextEdit::textChanged, this, &CCheckSumDlg::LimitInput);
    auto* inputBox = new QVBoxLayout;
    inputBox->addWidget(m_pInput);
    layout->addWidget(IconGroup(
        tr("데이터 입력"), tr("Check sum을 계산하기 위한 문자열을 입력합니다."), inputBox, this));

    auto* results = new QFormLayout;
    m_pHex = AddResult(kHexRow.id);
    m_pDec = AddResult(kDecRow.id);
    m_pBin = AddResult(kBinRow.id);
    m_pAscii = AddResult(kAsciiRow.id);
    for (const auto& [row, field] : {std::pair{kHexRow, m_pHex}, std::pair{kDecRow, m_pDec},
                                     std::pair{kBinRow, m_pBin}, std::pair{kAsciiRow, m_pAscii}}) {
        field->setMaxLength(row.maxLength);
        results->addRow(QString::fromLatin1(row.label), field);
    }
    layout->addWidget(IconGroup(tr("계산결과"),
                                tr("문자열을 적당한 계산방식에 의하여 계산한후 결과값을 "
                                   "16진수,10진수, 아스키,2진수\n형태로 표시합니다."),
                                results, this));

    m_pMethod = new QButtonGroup(this);
    auto* methods = new QGridLayout;
    const QStringList names = CheckSumMethodNames();
    for (int method = 0; method < static_cast<int>(names.size()); ++method) {
        auto* radio = new QRadioButton(names[method], this);
        NameControl(radio, IDC_XOR + method);
        m_pMethod->addButton(radio, method);
        methods->addWidget(radio, method / kMethodsPerRow, method % kMethodsPerRow);
    }
    m_pMethod->button(static_cast<int>(CheckSumMethod::Xor))->setChecked(true);
    layout->addWidget(IconGroup(
        tr("계산방식"), tr("데이터를 각각 1바이트씩 아래형태로 연산합니다."), methods, this));

    auto* buttons = new QHBoxLayout;
    auto* compute = new QPushButton(tr("계산"), this);
    compute->setObjectName(kIdOk);
    compute->setDefault(true);
    auto* close = new QPushButton(tr("닫기"), this);
    close->setObjectName(kIdCancel);
    connect(compute, &QPushButton::clicked, this, &CCheckSumDlg::accept);
    connect(close, &QPushButton::clicked, this, &CCheckSumDlg::reject);
    buttons->addStretch();
    buttons->addWidget(compute);
    buttons->addWidget(close);
    layout->addLayout(buttons);
}

QLineEdit* CCheckSumDlg::AddResult(int id)
{
    auto* field = new QLineEdit(this);
    NameControl(field, id);
    field->setReadOnly(true);
    field->setAlignment(Qt::AlignRight);
    return field;
}

void CCheckSumDlg::LimitInput()
{
    const qsizetype excess = m_pInput->toPlainText().size() - kCheckSumInputLimitChars;
    if (excess <= 0)
        return;
    // What overflows was just typed or pasted: it ends at the cursor.
    QTextCursor cursor = m_pInput->textCursor();
    const int end = cursor.position();
    const int start = std::max(0, end - static_cast<int>(excess));
    cursor.setPosition(start);
    cursor.setPosition(start + static_cast<int>(excess), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

void CCheckSumDlg::accept()
{
    const std::optional<QByteArray> bytes = CheckSumInputBytes(m_pInput->toPlainText());
    if (!bytes) {
        ShowMessage(tr("입력된 문자열 데이터 형식에 오류가 있습니다."), QMessageBox::Warning,
                    QMessageBox::Ok, this);
        return;
    }
    const auto method = static_cast<CheckSumMethod>(m_pMethod->checkedId());
    const int32_t r =
        CalcCheckSum(method, reinterpret_cast<const unsigned char*>(bytes->constData()),
                     static_cast<int>(bytes->size()));
    const CheckSumTexts texts = FormatCheckSum(method, r);
    m_pHex->setText(texts.hex);
    m_pDec->setText(texts.dec);
    m_pBin->setText(texts.bin);
    m_pAscii->setText(texts.ascii);
}
