#include "CEnvSettingsDlg.h"
#include "CColorPicker.h"
#include "ShellConstants.h"
#include "ShellTestEnv.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

namespace {

template <typename T> T* Control(QWidget& dialog, int id)
{
    auto* control = dialog.findChild<T*>(QString::number(id));
    EXPECT_NE(control, nullptr) << id;
    return control;
}

void TypeMaxLine(QWidget& dialog, const QString& text)
{
    QSpinBox* spin = Control<QSpinBox>(dialog, 1002);
    spin->setFocus();
    spin->selectAll();
    QTest::keyClick(spin, Qt::Key_Delete);
    QTest::keyClicks(spin, text);
}

void ClickOk(QWidget& dialog)
{
    QTest::mouseClick(dialog.findChild<QPushButton*>("IDOK"), Qt::LeftButton);
}

} // namespace

using EnvSettingsTest = ShellTest;

TEST_F(EnvSettingsTest, AbsentValuesTakeTheDefaults)
{
    QSettings settings(kCompanyName, kApplicationName);
    const EnvSettings env = EnvSettings::Load(settings);
    EXPECT_TRUE(env.bEcho);
    EXPECT_EQ(env.nMaxLine, 50000);
    EXPECT_TRUE(env.bGalmuriFileCreate);
    EXPECT_TRUE(env.bNullCheck);
    const std::array<COLORREF, 9> colours = {0x000000, 0x000000, 0xFFFFFF, 0xFFFFFF, 0x000000,
                                             0x000000, 0x0000FF, 0x0000FF, 0x000000};
    EXPECT_EQ(env.colours, colours);
}

TEST_F(EnvSettingsTest, SavedValuesReadBackUnderTheirNames)
{
    EnvSettings env;
    env.bEcho = false;
    env.nMaxLine = 123456;
    env.bGalmuriFileCreate = false;
    env.bNullCheck = false;
    for (int slot = 0; slot < EnvSettings::ColourCount; ++slot)
        env.colours[slot] = 0x010101u * (slot + 1);
    QSettings settings(kCompanyName, kApplicationName);
    env.Save(settings);

    settings.beginGroup("TARVEN");
    EXPECT_EQ(settings.value("Echo").toInt(), 0);
    EXPECT_EQ(settings.value("MaxLine").toInt(), 123456);
    EXPECT_EQ(settings.value("GalmuriFileCreate").toInt(), 0);
    EXPECT_EQ(settings.value("NullCheckFlag").toInt(), 0);
    EXPECT_EQ(settings.value("clrBk").toUInt(), 0x010101u);
    EXPECT_EQ(settings.value("clrBkControlOut").toUInt(), 0x090909u);
    settings.endGroup();
    EXPECT_EQ(EnvSettings::Load(settings), env);
}

TEST_F(EnvSettingsTest, DamagedLineLimitIsBroughtIntoRange)
{
    QSettings settings(kCompanyName, kApplicationName);
    const std::pair<QVariant, int> cases[] = {{0, 1000},    {-5, 1000},         {999, 1000},
                                              {1000, 1000}, {2000000, 1000000}, {"junk", 1000}};
    for (const auto& [stored, expected] : cases) {
        settings.setValue("TARVEN/MaxLine", stored);
        EXPECT_EQ(EnvSettings::Load(settings).nMaxLine, expected)
            << stored.toString().toStdString();
    }
}

TEST_F(EnvSettingsTest, DialogShowsEveryControlWithItsLabelAndValue)
{
    EnvSettings env;
    env.bNullCheck = false;
    env.colours[EnvSettings::BkControlIn] = 0x00ABCDEF;
    CEnvSettingsDlg dialog(env);
    EXPECT_EQ(dialog.windowTitle(), "TARVEN 환경설정");
    EXPECT_EQ(Control<QCheckBox>(dialog, 1000)->text(), "송신문자 Echo기능");
    EXPECT_EQ(Control<QCheckBox>(dialog, 1005)->text(), "갈무리 파일 자동설정");
    EXPECT_EQ(Control<QCheckBox>(dialog, 1017)->text(), "NULL 문자수신 표시");
    EXPECT_FALSE(Control<QCheckBox>(dialog, 1017)->isChecked());
    QSpinBox* spin = Control<QSpinBox>(dialog, 1002);
    EXPECT_EQ(spin->value(), 50000);
    EXPECT_EQ(spin->minimum(), 1000);
    EXPECT_EQ(spin->maximum(), 1000000);

    QStringList labels;
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        labels << label->text();
    for (const char* label : {"최대 라인버퍼 크기", "TEXT 전경", "TEXT 배경", "제어문자 전경",
                              "제어문자 배경", "TARVEN 바탕색"})
        EXPECT_TRUE(labels.contains(QString::fromUtf8(label))) << label;
    QStringList groups;
    for (const QGroupBox* group : dialog.findChildren<QGroupBox*>())
        groups << group->title();
    EXPECT_EQ(groups, QStringList({"송신문자색상", "수신문자색상"}));

    // Ids 1080..1088 edit the sent, received and background colours in this order.
    const EnvSettings::Colour pickerSlots[] = {
        EnvSettings::TextOut,      EnvSettings::BkTextOut,   EnvSettings::ControlOut,
        EnvSettings::BkControlOut, EnvSettings::TextIn,      EnvSettings::BkTextIn,
        EnvSettings::ControlIn,    EnvSettings::BkControlIn, EnvSettings::Bk};
    for (int i = 0; i < 9; ++i) {
        CColorPicker* picker = Control<CColorPicker>(dialog, 1080 + i);
        EXPECT_EQ(picker->GetColour(), env.colours[pickerSlots[i]]) << 1080 + i;
        picker->SetColour(0x100000u + i);
    }
    EXPECT_EQ(dialog.Settings().colours[EnvSettings::Bk], 0x100008u);
    EXPECT_EQ(dialog.Settings().colours[EnvSettings::TextOut], 0x100000u);
    EXPECT_EQ(dialog.Settings().colours[EnvSettings::BkControlIn], 0x100007u);
}

TEST_F(EnvSettingsTest, DialogKeepsAnIncompleteLineLimitOpenAndAcceptsTheRange)
{
    struct Case
    {
        const char* typed;
        bool accepted;
        int value;
    };
    const Case cases[] = {
        {"999", false, 0},          {"", false, 0}, {"1000", true, 1000}, {"50000", true, 50000},
        {"1000000", true, 1000000},
    };
    for (const Case& c : cases) {
        m_messages.clear();
        CEnvSettingsDlg dialog{EnvSettings{}};
        dialog.show();
        TypeMaxLine(dialog, c.typed);
        ClickOk(dialog);
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.accepted) << c.typed;
        EXPECT_EQ(dialog.isVisible(), !c.accepted) << c.typed;
        if (c.accepted) {
            EXPECT_TRUE(m_messages.isEmpty());
            EXPECT_EQ(dialog.Settings().nMaxLine, c.value);
        } else {
            ASSERT_EQ(m_messages.size(), 1) << c.typed;
            EXPECT_TRUE(m_messages[0].contains("1000000")) << m_messages[0].toStdString();
        }
    }
}
