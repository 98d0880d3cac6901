#include "MonitorTestEnv.h"

#include "CPortSettingsDlg.h"
#include "Comm.h"
#include "DialogControls.h"
#include "PortSettingsDlgIds.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSpinBox>

using namespace PortSettingsDlgIds;

namespace {

template <typename Widget> Widget* Control(QDialog& dialog, int id)
{
    auto* widget = dialog.findChild<Widget*>(ControlName(id));
    EXPECT_NE(widget, nullptr) << id;
    return widget;
}

} // namespace

using PortSettingsDlgTest = MonitorTest;

TEST_F(PortSettingsDlgTest, ShowsTheDefaultsWhenNothingIsStored)
{
    CPortSettingsDlg dialog(nullptr);
    EXPECT_EQ(dialog.windowTitle(), "통신포트 설정");
    EXPECT_TRUE(Control<QRadioButton>(dialog, IDC_RS232C)->isChecked());
    EXPECT_EQ(Control<QLineEdit>(dialog, IDC_PORT_NAME)->text(), "COM1");
    EXPECT_EQ(Control<QListWidget>(dialog, IDC_PORT_LIST)->currentItem()->text(), "COM1");
    EXPECT_EQ(Control<QComboBox>(dialog, IDC_BAUD_RATE)->currentText(), "9600 bps");
    EXPECT_EQ(Control<QComboBox>(dialog, IDC_DATA_BITS)->currentText(), "8 bit");
    EXPECT_EQ(Control<QComboBox>(dialog, IDC_PARITY)->currentText(), "NONE");
    EXPECT_EQ(Control<QComboBox>(dialog, IDC_STOP_BITS)->currentText(), "1 bit");
    EXPECT_EQ(Control<QComboBox>(dialog, IDC_FLOW_CONTROL)->currentText(), "없음");
    EXPECT_EQ(Control<QComboBox>(dialog, IDC_FLOW_CONTROL)->count(), 3);
    EXPECT_TRUE(Control<QCheckBox>(dialog, IDC_AUTO_RECONNECT)->isChecked());
    EXPECT_EQ(Control<QSpinBox>(dialog, IDC_LOCAL_PORT)->value(), 4096);
    EXPECT_TRUE(Control<QRadioButton>(dialog, IDC_CLIENT)->isChecked());
    EXPECT_EQ(Control<QSpinBox>(dialog, IDC_SERVER_PORT)->value(), 4096);
    EXPECT_EQ(Control<QSpinBox>(dialog, IDC_SERVER_PORT)->minimum(), 1);
    EXPECT_EQ(Control<QSpinBox>(dialog, IDC_SERVER_PORT)->maximum(), 65535);
    EXPECT_EQ(Control<QLineEdit>(dialog, IDC_SERVER_IP)->text(), "0.0.0.0");
    EXPECT_TRUE(Control<QCheckBox>(dialog, IDC_WELCOME_FLAG)->isChecked());
    EXPECT_EQ(Control<QLineEdit>(dialog, IDC_WELCOME_MSG)->text(), "Welcome to TARVEN server...");
    EXPECT_EQ(Control<QComboBox>(dialog, IDC_ENTER_KEY)->currentText(), "CR");

    // The speeds run slowest first, whatever index the settings keep for each.
    QComboBox* rates = Control<QComboBox>(dialog, IDC_BAUD_RATE);
    ASSERT_EQ(rates->count(), 21);
    for (int row = 1; row < rates->count(); ++row) {
        EXPECT_LT(BaudRateAt(rates->itemData(row - 1).toInt()),
                  BaudRateAt(rates->itemData(row).toInt()))
            << rates->itemText(row).toStdString();
    }
    EXPECT_EQ(rates->itemText(15), "256,000 bps");

    // The serial layout: serial controls on, socket controls off.
    EXPECT_TRUE(Control<QListWidget>(dialog, IDC_PORT_LIST)->isEnabled());
    EXPECT_TRUE(Control<QComboBox>(dialog, IDC_FLOW_CONTROL)->isEnabled());
    EXPECT_TRUE(Control<QCheckBox>(dialog, IDC_AUTO_RECONNECT)->isEnabled());
    EXPECT_FALSE(Control<QSpinBox>(dialog, IDC_LOCAL_PORT)->isEnabled());
    EXPECT_FALSE(Control<QRadioButton>(dialog, IDC_CLIENT)->isEnabled());
    EXPECT_FALSE(Control<QSpinBox>(dialog, IDC_SERVER_PORT)->isEnabled());
    EXPECT_FALSE(Control<QLineEdit>(dialog, IDC_WELCOME_MSG)->isEnabled());

    // The COM names follow the system's own devices, all 255 of them.
    QListWidget* ports = Control<QListWidget>(dialog, IDC_PORT_LIST);
    EXPECT_EQ(ports->item(ports->count() - 1)->text(), "COM255");
}

TEST_F(PortSettingsDlgTest, LayoutsFollowTheInterfaceRoleAndWelcomeChoices)
{
    CPortSettingsDlg dialog(nullptr);
    Control<QRadioButton>(dialog, IDC_TCPIP)->click();
    EXPECT_FALSE(Control<QListWidget>(dialog, IDC_PORT_LIST)->isEnabled());
    EXPECT_FALSE(Control<QComboBox>(dialog, IDC_BAUD_RATE)->isEnabled());
    EXPECT_FALSE(Control<QComboBox>(dialog, IDC_FLOW_CONTROL)->isEnabled());
    EXPECT_FALSE(Control<QCheckBox>(dialog, IDC_AUTO_RECONNECT)->isEnabled());
    EXPECT_FALSE(Control<QSpinBox>(dialog, IDC_LOCAL_PORT)->isEnabled());
    EXPECT_TRUE(Control<QSpinBox>(dialog, IDC_SERVER_PORT)->isEnabled());
    EXPECT_TRUE(Control<QLineEdit>(dialog, IDC_SERVER_IP)->isEnabled());
    EXPECT_FALSE(Control<QCheckBox>(dialog, IDC_WELCOME_FLAG)->isEnabled()) << "client: no welcome";

    Control<QRadioButton>(dialog, IDC_SERVER)->click();
    EXPECT_FALSE(Control<QLineEdit>(dialog, IDC_SERVER_IP)->isEnabled());
    EXPECT_TRUE(Control<QCheckBox>(dialog, IDC_WELCOME_FLAG)->isEnabled());
    EXPECT_TRUE(Control<QLineEdit>(dialog, IDC_WELCOME_MSG)->isEnabled());
    Control<QCheckBox>(dialog, IDC_WELCOME_FLAG)->click();
    EXPECT_FALSE(Control<QLineEdit>(dialog, IDC_WELCOME_MSG)->isEnabled());

    // UDP: its own port and a remote to send to, no role and no welcome.
    Control<QRadioButton>(dialog, IDC_UDPIP)->click();
    EXPECT_EQ(dialog.Settings().nInterface, LinkSettings::UdpIp);
    EXPECT_EQ(dialog.Settings().nActive, LinkSettings::Server);
    EXPECT_FALSE(dialog.Settings().bWelcomeFlag);
    EXPECT_TRUE(Control<QSpinBox>(dialog, IDC_LOCAL_PORT)->isEnabled());
    EXPECT_TRUE(Control<QSpinBox>(dialog, IDC_SERVER_PORT)->isEnabled());
    EXPECT_TRUE(Control<QLineEdit>(dialog, IDC_SERVER_IP)->isEnabled());
    EXPECT_FALSE(Control<QRadioButton>(dialog, IDC_CLIENT)->isEnabled());
    EXPECT_FALSE(Control<QRadioButton>(dialog, IDC_SERVER)->isEnabled());
    EXPECT_FALSE(Control<QCheckBox>(dialog, IDC_WELCOME_FLAG)->isEnabled());
    EXPECT_FALSE(Control<QLineEdit>(dialog, IDC_WELCOME_MSG)->isEnabled());
    EXPECT_FALSE(Control<QComboBox>(dialog, IDC_FLOW_CONTROL)->isEnabled());
}

TEST_F(PortSettingsDlgTest, OkWritesTheValuesAndATypedDevicePathIsKept)
{
    {
        CPortSettingsDlg dialog(nullptr);
        Control<QListWidget>(dialog, IDC_PORT_LIST)
            ->setCurrentRow(Control<QListWidget>(dialog, IDC_PORT_LIST)->count() - 253); // COM3
        EXPECT_EQ(Control<QLineEdit>(dialog, IDC_PORT_NAME)->text(), "COM3");
        QComboBox* rates = Control<QComboBox>(dialog, IDC_BAUD_RATE);
        rates->setCurrentIndex(rates->findText("921,600 bps"));
        Control<QComboBox>(dialog, IDC_ENTER_KEY)->setCurrentIndex(LinkSettings::EnterCrLf);
        Control<QComboBox>(dialog, IDC_FLOW_CONTROL)->setCurrentIndex(FLOW_RTSCTS);
        Control<QCheckBox>(dialog, IDC_AUTO_RECONNECT)->click();
        Control<QSpinBox>(dialog, IDC_LOCAL_PORT)->setValue(65535);
        Control<QRadioButton>(dialog, IDC_TCPIP)->setChecked(true);
        Control<QLineEdit>(dialog, IDC_SERVER_IP)->setText("10.0.0.7");
        Control<QSpinBox>(dialog, IDC_SERVER_PORT)->setValue(20108); // past the old cap of 10000
        dialog.accept();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    QSettings settings(kCompanyName, kApplicationName);
    EXPECT_EQ(settings.value("TARVEN/PortName").toString(), "COM3");
    EXPECT_EQ(settings.value("TARVEN/BaudRate").toInt(), 17);
    EXPECT_EQ(settings.value("TARVEN/EnterKey").toInt(), 2);
    EXPECT_EQ(settings.value("TARVEN/Interface").toInt(), 1);
    EXPECT_EQ(settings.value("TARVEN/ServerIP").toInt(), 0x0A000007);
    EXPECT_EQ(settings.value("TARVEN/ServerPort").toInt(), 20108);
    EXPECT_EQ(settings.value("TARVEN/WelcomeMsg").toString(), "Welcome to TARVEN server...");
    EXPECT_EQ(settings.value("TARVEN/FlowControl").toInt(), 1);
    EXPECT_EQ(settings.value("TARVEN/AutoReconnect").toInt(), 0);
    EXPECT_EQ(settings.value("TARVEN/LocalPort").toInt(), 65535);

    CPortSettingsDlg again(nullptr);
    EXPECT_EQ(Control<QComboBox>(again, IDC_FLOW_CONTROL)->currentText(), "RTS/CTS");
    EXPECT_FALSE(Control<QCheckBox>(again, IDC_AUTO_RECONNECT)->isChecked());
    EXPECT_EQ(Control<QSpinBox>(again, IDC_LOCAL_PORT)->value(), 65535);
    EXPECT_EQ(Control<QLineEdit>(again, IDC_PORT_NAME)->text(), "COM3");
    EXPECT_EQ(Control<QComboBox>(again, IDC_BAUD_RATE)->currentText(), "921,600 bps");
    EXPECT_EQ(Control<QComboBox>(again, IDC_ENTER_KEY)->currentText(), "CR+LF");
    Control<QLineEdit>(again, IDC_PORT_NAME)->setText("/dev/ttyUSB7");
    again.accept();
    settings.sync();
    EXPECT_EQ(settings.value("TARVEN/PortName").toString(), "/dev/ttyUSB7");

    // An empty port name or a broken address keeps the dialog open with a message.
    CPortSettingsDlg bad(nullptr);
    Control<QLineEdit>(bad, IDC_PORT_NAME)->clear();
    bad.accept();
    Control<QLineEdit>(bad, IDC_PORT_NAME)->setText("COM2");
    Control<QLineEdit>(bad, IDC_SERVER_IP)->setText("10.0.");
    bad.accept();
    EXPECT_NE(bad.result(), QDialog::Accepted);
    EXPECT_EQ(m_messages.texts.size(), 2);
}
