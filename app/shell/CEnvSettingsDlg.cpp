#include "CEnvSettingsDlg.h"

#include "CBoundedSpinBox.h"
#include "CColorPicker.h"
#include "DialogControls.h"
#include "EnvSettingsDlgIds.h"
#include "MessageBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

using namespace EnvSettingsDlgIds;

namespace {

// Control ids, kept as object names, and the colour slot each picker edits.
struct PickerRow
{
    int id;
    const char* label;
    EnvSettings::Colour slot;
};

const PickerRow kSentPickers[] = {
    {IDC_TEXT_OUT, QT_TRANSLATE_NOOP("CEnvSettingsDlg", "TEXT 전경"), EnvSettings::TextOut},
    {IDC_BK_TEXT_OUT, QT_TRANSLATE_NOOP("CEnvSettingsDlg", "TEXT 배경"), EnvSettings::BkTextOut},
    {IDC_CONTROL_OUT, QT_TRANSLATE_NOOP("CEnvSettingsDlg", "제어문자 전경"),
     EnvSettings::ControlOut},
    {IDC_BK_CONTROL_OUT, QT_TRANSLATE_NOOP("CEnvSettingsDlg", "제어문자 배경"),
     EnvSettings::BkControlOut},
};
const PickerRow kReceivedPickers[] = {
    {IDC_TEXT_IN, QT_TRANSLATE_NOOP("CEnvSettingsDlg", "TEXT 전경"), EnvSettings::TextIn},
    {IDC_BK_TEXT_IN, QT_TRANSLATE_NOOP("CEnvSettingsDlg", "TEXT 배경"), EnvSettings::BkTextIn},
    {IDC_CONTROL_IN, QT_TRANSLATE_NOOP("CEnvSettingsDlg", "제어문자 전경"), EnvSettings::ControlIn},
    {IDC_BK_CONTROL_IN, QT_TRANSLATE_NOOP("CEnvSettingsDlg", "제어문자 배경"),
     EnvSettings::BkControlIn},
};
const PickerRow kBackgroundPicker = {IDC_BK, QT_TRANSLATE_NOOP("CEnvSettingsDlg", "TARVEN 바탕색"),
                                     EnvSettings::Bk};

// In the order of TextEncoding's values.
const char* const kEncodingNames[kTextEncodingCount] = {
    QT_TRANSLATE_NOOP("CEnvSettingsDlg", "자동"), "UTF-8", "CP949", "Latin-1"};

} // namespace

CEnvSettingsDlg::CEnvSettingsDlg(const EnvSettings& env, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(tr("TARVEN 환경설정"));
    NameControl(this, IDD);

    auto* layout = new QVBoxLayout(this);
    m_pEcho = AddCheck(IDC_ECHO, tr("송신문자 Echo기능"), env.bEcho);
    layout->addWidget(m_pEcho);

    auto* lineRow = new QHBoxLayout;
    m_pMaxLine = new CBoundedSpinBox(this);
    NameControl(m_pMaxLine, IDC_MAX_LINE);
    m_pMaxLine->setRange(kMinMaxLine, kMaxMaxLine);
    m_pMaxLine->setValue(env.nMaxLine);
    auto* lineLabel = new QLabel(tr("최대 라인버퍼 크기"), this);
    lineLabel->setBuddy(m_pMaxLine);
    lineRow->addWidget(lineLabel);
    lineRow->addWidget(m_pMaxLine);
    layout->addLayout(lineRow);

    m_pGalmuri =
        AddCheck(IDC_GALMURI_FILE_CREATE, tr("갈무리 파일 자동설정"), env.bGalmuriFileCreate);
    m_pNullCheck = AddCheck(IDC_NULL_CHECK, tr("NULL 문자수신 표시"), env.bNullCheck);
    layout->addWidget(m_pGalmuri);
    layout->addWidget(m_pNullCheck);

    QStringList encodings;
    for (const char* name : kEncodingNames)
        encodings.append(tr(name));
    m_pEncoding = AddChoice(layout, IDC_RECV_ENCODING, tr("수신문자 인코딩"), encodings);
    m_pEncoding->setCurrentIndex(static_cast<int>(env.encoding));

    // Each language named in its own words, so that a user who cannot read the other finds it.
    m_pLanguage = AddChoice(layout, IDC_LANGUAGE, tr("언어"),
                            {tr("시스템 설정에 따름"),
                             QStringLiteral("한국어"), // kept in Korean: its own name
                             QStringLiteral("English")});
    m_pLanguage->setItemData(1, QStringLiteral("ko"));
    m_pLanguage->setItemData(2, QStringLiteral("en"));
    m_pLanguage->setCurrentIndex(std::max(0, m_pLanguage->findData(env.strLanguage)));
    m_pLanguage->setToolTip(
        tr("화면과 스크립트 메시지의 언어입니다. TARVEN을 다시 시작하면 바뀝니다."));

    auto addGroup = [&](const QString& title, const PickerRow(&rows)[4]) {
        auto* group = new QGroupBox(title, this);
        auto* form = new QFormLayout(group);
        for (const PickerRow& row : rows) {
            const QString label = tr(row.label);
            m_pickers[row.slot] = AddPicker(row.id, label, env.colours[row.slot]);
            form->addRow(label, m_pickers[row.slot]);
        }
        layout->addWidget(group);
    };
    addGroup(tr("송신문자색상"), kSentPickers);
    addGroup(tr("수신문자색상"), kReceivedPickers);

    auto* background = new QFormLayout;
    const QString backgroundLabel = tr(kBackgroundPicker.label);
    m_pickers[kBackgroundPicker.slot] =
        AddPicker(kBackgroundPicker.id, backgroundLabel, env.colours[kBackgroundPicker.slot]);
    background->addRow(backgroundLabel, m_pickers[kBackgroundPicker.slot]);
    layout->addLayout(background);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(kIdOk);
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(kIdCancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CEnvSettingsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CEnvSettingsDlg::reject);
    layout->addWidget(buttons);
    KeepTitleWhole(this);
}

QComboBox* CEnvSettingsDlg::AddChoice(QBoxLayout* layout, int id, const QString& label,
                                      const QStringList& items)
{
    auto* row = new QHBoxLayout;
    auto* box = new QComboBox(this);
    NameControl(box, id);
    box->addItems(items);
    auto* text = new QLabel(label, this);
    text->setBuddy(box);
    row->addWidget(text);
    row->addWidget(box);
    layout->addLayout(row);
    return box;
}

QCheckBox* CEnvSettingsDlg::AddCheck(int id, const QString& label, bool checked)
{
    auto* box = new QCheckBox(label, this);
    NameControl(box, id);
    box->setChecked(checked);
    return box;
}

CColorPicker* CEnvSettingsDlg::AddPicker(int id, const QString& label, COLORREF colour)
{
    auto* picker = new CColorPicker(this);
    NameControl(picker, id);
    picker->setAccessibleName(label);
    picker->SetColour(colour);
    return picker;
}

EnvSettings CEnvSettingsDlg::Settings() const
{
    EnvSettings env;
    env.bEcho = m_pEcho->isChecked();
    env.nMaxLine = m_pMaxLine->value();
    env.bGalmuriFileCreate = m_pGalmuri->isChecked();
    env.bNullCheck = m_pNullCheck->isChecked();
    env.encoding = static_cast<TextEncoding>(m_pEncoding->currentIndex());
    env.strLanguage = m_pLanguage->currentData().toString();
    for (int slot = 0; slot < EnvSettings::ColourCount; ++slot)
        env.colours[slot] = m_pickers[slot]->GetColour();
    return env;
}

void CEnvSettingsDlg::accept()
{
    // Every number field, with what to say when it holds no number of its range: the typed
    // text stays, and the dialog with it.
    const std::pair<CBoundedSpinBox*, const char*> fields[] = {
        {m_pMaxLine, QT_TR_NOOP("최대 라인버퍼 크기는 %1에서 %2 사이의 정수를 입력하십시오.")},
    };
    for (const auto& [field, refusal] : fields) {
        if (field->InRange())
            continue;
        ShowMessage(tr(refusal).arg(field->minimum()).arg(field->maximum()), QMessageBox::Warning,
                    QMessageBox::Ok, this);
        field->SelectForMending();
        return;
    }
    for (const auto& field : fields)
        field.first->interpretText();
    QDialog::accept();
}
