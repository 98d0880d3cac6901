#include "CEnvSettingsDlg.h"
#include "CColorPicker.h"
#include "DialogControls.h"
#include "EnvSettingsDlgIds.h"
#include "ShellConstants.h"
#include "ShellTestEnv.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

namespace {

template <typename T> T* Control(QWidget& dialog, int id)
{
    auto* control = dialog.findChild<T*>(ControlName(id));
    EXPECT_NE(control, nullptr) << id;
    return control;
}

} // namespace

using EnvSettingsTest = ShellTest;

TEST_F(EnvSettingsTest, ValuesPersistUnderTheirNamesAndDamagedOnesFallBack)
{
    QSettings settings(kCompanyName, kApplicationName);
    EnvSettings env = EnvSettings::Load(settings);
    EXPECT_EQ(env, EnvSettings{});
    EXPECT_TRUE(env.bEcho && env.bGalmuriFileCreate && env.bNullCheck);
    EXPECT_EQ(env.nMaxLine, 50000);
    const std::array<COLORREF, 9> colours = {0x000000, 0x000000, 0xFFFFFF, 0xFFFFFF, 0x000000,
                                             0x000000, 0x0000FF, 0x0000FF, 0x000000};
    EXPECT_EQ(env.colours, colours);

    env.bEcho = false;
    env.nMaxLine = 123456;
    env.bGalmuriFileCreate = false;
    env.bNullCheck = false;
    env.encoding = TextEncoding::Cp949;
    for (int slot = 0; slot < EnvSettings::ColourCount; ++slot)
        env.colours[slot] = 0x010101u * (slot + 1);
    env.Save(settings);
    // Earlier installations read these names.
    for (const auto& [key, value] : {std::pair{"Echo", 0u},
                                     {"MaxLine", 123456u},
                                     {"GalmuriFileCreate", 0u},
                                     {"NullCheckFlag", 0u},
                                     {"RecvEncoding", 2u},
                                     {"clrBk", 0x010101u},
                                     {"clrBkControlOut", 0x090909u}})
        EXPECT_EQ(settings.value(QString("TARVEN/") + key).toUInt(), value) << key;
    EXPECT_EQ(EnvSettings::Load(settings), env);

    const std::pair<QVariant, int> limits[] = {{0, 1000},    {-5, 1000},         {999, 1000},
                                               {1000, 1000}, {2000000, 1000000}, {"junk", 1000}};
    for (const auto& [stored, expected] : limits) {
        settings.setValue("TARVEN/MaxLine", stored);
        EXPECT_EQ(EnvSettings::Load(settings).nMaxLine, expected)
            << stored.toString().toStdString();
    }
    settings.setValue("TARVEN/RecvEncoding", 7);
    EXPECT_EQ(EnvSettings::Load(settings).encoding, TextEncoding::Auto);

    // The language: absent means the system's choice, and an unknown word counts as absent.
    EXPECT_FALSE(settings.contains("TARVEN/Language"));
    for (const auto& [stored, expected] : {std::pair{"en", "en"}, {"ko", "ko"}, {"fr", ""}}) {
        settings.setValue("TARVEN/Language", stored);
        EXPECT_EQ(EnvSettings::Load(settings).strLanguage, expected) << stored;
    }
    env.strLanguage.clear();
    env.Save(settings);
    EXPECT_FALSE(settings.contains("TARVEN/Language"));
}

TEST_F(EnvSettingsTest, DialogShowsTheValuesAndEachPickerEditsItsColour)
{
    EnvSettings env;
    env.bNullCheck = false;
    env.colours[EnvSettings::BkControlIn] = 0x00ABCDEF;
    CEnvSettingsDlg dialog(env);
    EXPECT_FALSE(Control<QCheckBox>(dialog, EnvSettingsDlgIds::IDC_NULL_CHECK)->isChecked());
    auto* encoding = Control<QComboBox>(dialog, EnvSettingsDlgIds::IDC_RECV_ENCODING);
    const QStringList encodings = {"자동", "UTF-8", "CP949", "Latin-1"};
    for (int i = 0; i < encodings.size(); ++i)
        EXPECT_EQ(encoding->itemText(i), encodings[i]);
    EXPECT_EQ(encoding->currentText(), "자동");
    encoding->setCurrentIndex(2);
    EXPECT_EQ(dialog.Settings().encoding, TextEncoding::Cp949);
    auto* language = Control<QComboBox>(dialog, EnvSettingsDlgIds::IDC_LANGUAGE);
    EXPECT_EQ(language->currentIndex(), 0);
    EXPECT_EQ(dialog.Settings().strLanguage, "");
    language->setCurrentIndex(2);
    EXPECT_EQ(language->currentText(), "English");
    EXPECT_EQ(dialog.Settings().strLanguage, "en");
    env.strLanguage = "ko";
    CEnvSettingsDlg korean(env);
    EXPECT_EQ(Control<QComboBox>(korean, EnvSettingsDlgIds::IDC_LANGUAGE)->currentText(), "한국어");
    QSpinBox* spin = Control<QSpinBox>(dialog, EnvSettingsDlgIds::IDC_MAX_LINE);
    EXPECT_EQ(spin->value(), 50000);
    EXPECT_EQ(spin->minimum(), 1000);
    EXPECT_EQ(spin->maximum(), 1000000);

    // The pickers edit the sent, received and background colours.
    using namespace EnvSettingsDlgIds;
    const std::pair<int, EnvSettings::Colour> pickers[] = {
        {IDC_TEXT_OUT, EnvSettings::TextOut},
        {IDC_BK_TEXT_OUT, EnvSettings::BkTextOut},
        {IDC_CONTROL_OUT, EnvSettings::ControlOut},
        {IDC_BK_CONTROL_OUT, EnvSettings::BkControlOut},
        {IDC_TEXT_IN, EnvSettings::TextIn},
        {IDC_BK_TEXT_IN, EnvSettings::BkTextIn},
        {IDC_CONTROL_IN, EnvSettings::ControlIn},
        {IDC_BK_CONTROL_IN, EnvSettings::BkControlIn},
        {IDC_BK, EnvSettings::Bk}};
    for (int i = 0; i < 9; ++i) {
        CColorPicker* picker = Control<CColorPicker>(dialog, pickers[i].first);
        EXPECT_EQ(picker->GetColour(), env.colours[pickers[i].second]) << pickers[i].first;
        picker->SetColour(0x100000u + i);
    }
    EXPECT_EQ(dialog.Settings().colours[EnvSettings::Bk], 0x100008u);
    EXPECT_EQ(dialog.Settings().colours[EnvSettings::TextOut], 0x100000u);
    EXPECT_EQ(dialog.Settings().colours[EnvSettings::BkControlIn], 0x100007u);
}

TEST_F(EnvSettingsTest, DialogRefusesANumberOutsideTheRangeHoweverItIsConfirmed)
{
    // How the user confirms: the keys go where the keyboard is, as a person's would.
    enum class Confirm
    {
        Enter,
        TabThenEnter,
        ClickOk,
        TabThenClickOk
    };
    struct Case
    {
        const char* typed;
        Confirm confirm;
        int accepted; // the value kept, or 0: refused
    };
    const Case cases[] = {
        {"500", Confirm::Enter, 0},
        {"500", Confirm::TabThenEnter, 0},
        {"500", Confirm::ClickOk, 0},
        {"500", Confirm::TabThenClickOk, 0},
        {"999", Confirm::Enter, 0},
        {"", Confirm::Enter, 0},
        {"", Confirm::TabThenClickOk, 0},
        {"2000000", Confirm::Enter, 0},
        {"9999999999", Confirm::TabThenEnter, 0},
        {"1000", Confirm::Enter, 1000},
        {"2000", Confirm::TabThenEnter, 2000},
        {"50000", Confirm::ClickOk, 50000},
        {"1000000", Confirm::TabThenClickOk, 1000000},
    };
    const auto key = [](int code) { QTest::keyClick(QApplication::focusWidget(), Qt::Key(code)); };
    for (const Case& c : cases) {
        SCOPED_TRACE(
            QStringLiteral("\"%1\", way %2").arg(c.typed).arg(int(c.confirm)).toStdString());
        m_messages.texts.clear();
        CEnvSettingsDlg dialog{EnvSettings{}};
        dialog.show();
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        auto* spin = Control<QSpinBox>(dialog, EnvSettingsDlgIds::IDC_MAX_LINE);
        spin->setFocus();
        spin->selectAll();
        QTest::keyClick(spin, Qt::Key_Delete);
        QTest::keyClicks(spin, c.typed);
        if (c.confirm == Confirm::TabThenEnter || c.confirm == Confirm::TabThenClickOk)
            key(Qt::Key_Tab);
        if (c.confirm == Confirm::Enter || c.confirm == Confirm::TabThenEnter)
            key(Qt::Key_Return);
        else
            QTest::mouseClick(dialog.findChild<QPushButton*>(kIdOk), Qt::LeftButton);
        if (c.accepted != 0) {
            EXPECT_EQ(dialog.result(), QDialog::Accepted);
            EXPECT_TRUE(m_messages.texts.isEmpty());
            EXPECT_EQ(dialog.Settings().nMaxLine, c.accepted);
            continue;
        }
        // Open, told the range, the text as typed and selected for mending.
        EXPECT_TRUE(dialog.isVisible());
        ASSERT_EQ(m_messages.texts.size(), 1);
        EXPECT_EQ(m_messages.texts[0],
                  "최대 라인버퍼 크기는 1000에서 1000000 사이의 정수를 입력하십시오.");
        EXPECT_EQ(spin->text(), c.typed);
        EXPECT_EQ(spin->findChild<QLineEdit*>()->selectedText(), c.typed);
        EXPECT_EQ(QApplication::focusWidget(), spin);
        // Mended, it is taken.
        QTest::keyClicks(spin, "3000");
        key(Qt::Key_Return);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.Settings().nMaxLine, 3000);
    }
}
