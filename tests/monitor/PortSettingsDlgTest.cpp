#include "MonitorTestEnv.h"

#include "CPortSettingsDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSpinBox>

namespace {

template <typename Widget> Widget* Control(QDialog& dialog, int id)
{
    auto* widget = dialog.findChild<Widget*>(QString::number(id));
    EXPECT_NE(widget, nullptr) << id;
    return widget;
}

} // namespace

using PortSettingsDlgTest = MonitorTest;

TEST_F(PortSettingsDlgTest, ShowsTheDefaultsWhenNothingIsStored)
{
    CPortSettingsDlg dialog(nullptr);
    EXPECT_EQ(dialog.windowTitle(), "통신포트 설정");
    EXPECT_TRUE(Control<QRadioButton>(dialog, 1020)->isChecked());
    EXPECT_EQ(Control<QLineEdit>(dialog, 1011)->text(), "COM1");
    EXPECT_EQ(Control<QListWidget>(dialog, 1010)->currentItem()->text(), "COM1");
    EXPECT_EQ(Control<QComboBox>(dialog, 1050)->currentText(), "9600 bps");
    EXPECT_EQ(Control<QComboBox>(dialog, 1051)->currentText(), "8 bit");
    EXPECT_EQ(Control<QComboBox>(dialog, 1052)->currentText(), "NONE");
    EXPECT_EQ(Control<QComboBox>(dialog, 1053)->currentText(), "1 bit");
    EXPECT_TRUE(Control<QRadioButton>(dialog, 1022)->isChecked());
    EXPECT_EQ(Control<QSpinBox>(dialog, 1024)->value(), 4096);
    EXPECT_EQ(Control<QSpinBox>(dialog, 1024)->maximum(), 10000);
    EXPECT_EQ(Control<QLineEdit>(dialog, 1025)->text(), "0.0.0.0");
    EXPECT_TRUE(Control<QCheckBox>(dialog, 1026)->isChecked());
    EXPECT_EQ(Control<QLineEdit>(dialog, 1027)->text(), "Welcome to TARVEN server...");
    EXPECT_EQ(Control<QComboBox>(dialog, 1050)->count(), 21);

    // The serial layout: serial controls on, socket controls off.
    EXPECT_TRUE(Control<QListWidget>(dialog, 1010)->isEnabled());
    EXPECT_FALSE(Control<QRadioButton>(dialog, 1022)->isEnabled());
    EXPECT_FALSE(Control<QSpinBox>(dialog, 1024)->isEnabled());
    EXPECT_FALSE(Control<QLineEdit>(dialog, 1027)->isEnabled());

    // The COM names follow the system's own devices, all 255 of them.
    QListWidget* ports = Control<QListWidget>(dialog, 1010);
    EXPECT_EQ(ports->item(ports->count() - 1)->text(), "COM255");
}

TEST_F(PortSettingsDlgTest, LayoutsFollowTheInterfaceRoleAndWelcomeChoices)
{
    CPortSettingsDlg dialog(nullptr);
    Control<QRadioButton>(dialog, 1021)->click();
    EXPECT_FALSE(Control<QListWidget>(dialog, 1010)->isEnabled());
    EXPECT_FALSE(Control<QComboBox>(dialog, 1050)->isEnabled());
    EXPECT_TRUE(Control<QSpinBox>(dialog, 1024)->isEnabled());
    EXPECT_TRUE(Control<QLineEdit>(dialog, 1025)->isEnabled());
    EXPECT_FALSE(Control<QCheckBox>(dialog, 1026)->isEnabled()) << "client: no welcome";

    Control<QRadioButton>(dialog, 1023)->click();
    EXPECT_FALSE(Control<QLineEdit>(dialog, 1025)->isEnabled());
    EXPECT_TRUE(Control<QCheckBox>(dialog, 1026)->isEnabled());
    EXPECT_TRUE(Control<QLineEdit>(dialog, 1027)->isEnabled());
    Control<QCheckBox>(dialog, 1026)->click();
    EXPECT_FALSE(Control<QLineEdit>(dialog, 1027)->isEnabled());

    Control<QRadioButton>(dialog, 1028)->click();
    EXPECT_EQ(dialog.Settings().nInterface, LinkSettings::UdpIp);
    EXPECT_EQ(dialog.Settings().nActive, LinkSettings::Server);
    EXPECT_FALSE(dialog.Settings().bWelcomeFlag);
}

TEST_F(PortSettingsDlgTest, OkWritesTheValuesAndATypedDevicePathIsKept)
{
    {
        CPortSettingsDlg dialog(nullptr);
        Control<QListWidget>(dialog, 1010)
            ->setCurrentRow(Control<QListWidget>(dialog, 1010)->count() - 253); // COM3
        EXPECT_EQ(Control<QLineEdit>(dialog, 1011)->text(), "COM3");
        Control<QComboBox>(dialog, 1050)->setCurrentIndex(17); // 921,600 bps
        Control<QRadioButton>(dialog, 1021)->setChecked(true);
        Control<QLineEdit>(dialog, 1025)->setText("10.0.0.7");
        dialog.accept();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    QSettings settings(kCompanyName, kApplicationName);
    EXPECT_EQ(settings.value("TARVEN/PortName").toString(), "COM3");
    EXPECT_EQ(settings.value("TARVEN/BaudRate").toInt(), 17);
    EXPECT_EQ(settings.value("TARVEN/Interface").toInt(), 1);
    EXPECT_EQ(settings.value("TARVEN/ServerIP").toInt(), 0x0A000007);
    EXPECT_EQ(settings.value("TARVEN/WelcomeMsg").toString(), "Welcome to TARVEN server...");

    CPortSettingsDlg again(nullptr);
    EXPECT_EQ(Control<QLineEdit>(again, 1011)->text(), "COM3");
    EXPECT_EQ(Control<QComboBox>(again, 1050)->currentText(), "921,600 bps");
    Control<QLineEdit>(again, 1011)->setText("/dev/ttyUSB7");
    again.accept();
    settings.sync();
    EXPECT_EQ(settings.value("TARVEN/PortName").toString(), "/dev/ttyUSB7");

    // An empty port name or a broken address keeps the dialog open with a message.
    CPortSettingsDlg bad(nullptr);
    Control<QLineEdit>(bad, 1011)->clear();
    bad.accept();
    Control<QLineEdit>(bad, 1011)->setText("COM2");
    Control<QLineEdit>(bad, 1025)->setText("10.0.");
    bad.accept();
    EXPECT_NE(bad.result(), QDialog::Accepted);
    EXPECT_EQ(m_messages.texts.size(), 2);
}
