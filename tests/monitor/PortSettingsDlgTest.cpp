#include "MonitorTestEnv.h"

#include "CPortSettingsDlg.h"
#include "Comm.h"
#include "DialogControls.h"
#include "Link.h"
#include "PortSettingsDlgIds.h"

#include <QAbstractButton>
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

// The dialog over the stored settings, as a monitor window opens it.
LinkSettings Stored()
{
    QSettings settings(kCompanyName, kApplicationName);
    return LinkSettings::Load(settings);
}

class PortSettingsDlgTest : public MonitorTest
{
protected:
    // Opens the port settings of a monitor window, makes the changes and confirms them, as the
    // user would; the window stores what the dialog hands back.
    void Confirm(const std::function<void(QDialog&)>& change)
    {
        CTARVENView* view = NewMonitor();
        bool accepted = false;
        m_onDialog = [&](QDialog* dialog) {
            change(*dialog);
            dialog->accept();
            accepted = dialog->result() == QDialog::Accepted;
        };
        view->OnPortSettings();
        m_onDialog = nullptr;
        EXPECT_TRUE(accepted);
        CloseMonitor(view);
    }
};

// The shown text of a line edit, combo box or list, or a spin box's value, as text.
QString Shown(QDialog& dialog, int id)
{
    QWidget* widget = dialog.findChild<QWidget*>(ControlName(id));
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        return edit->text();
    if (auto* box = qobject_cast<QComboBox*>(widget))
        return box->currentText();
    if (auto* list = qobject_cast<QListWidget*>(widget))
        return list->currentItem()->text();
    if (auto* spin = qobject_cast<QSpinBox*>(widget))
        return QString::number(spin->value());
    auto* button = qobject_cast<QAbstractButton*>(widget);
    return button != nullptr && button->isChecked() ? "on" : "off";
}

TEST_F(PortSettingsDlgTest, ShowsTheDefaultsWhenNothingIsStored)
{
    CPortSettingsDlg dialog(Stored());
    EXPECT_EQ(dialog.windowTitle(), "통신포트 설정");
    const std::pair<int, QString> shown[] = {
        {IDC_RS232C, "on"},         {IDC_PORT_NAME, "COM1"},
        {IDC_PORT_LIST, "COM1"},    {IDC_BAUD_RATE, "9600 bps"},
        {IDC_DATA_BITS, "8 bit"},   {IDC_PARITY, "NONE"},
        {IDC_STOP_BITS, "1 bit"},   {IDC_FLOW_CONTROL, "없음"},
        {IDC_AUTO_RECONNECT, "on"}, {IDC_LOCAL_PORT, "4096"},
        {IDC_CLIENT, "on"},         {IDC_SERVER_PORT, "4096"},
        {IDC_SERVER_IP, "0.0.0.0"}, {IDC_WELCOME_FLAG, "on"},
        {IDC_ENTER_KEY, "CR"},      {IDC_WELCOME_MSG, "Welcome to TARVEN server..."},
    };
    for (const auto& [id, text] : shown)
        EXPECT_EQ(Shown(dialog, id), text) << id;
    // A client's reconnect is off until asked for, and Tab reaches it after the welcome text.
    EXPECT_FALSE(Control<QCheckBox>(dialog, IDC_CLIENT_RECONNECT)->isChecked());
    QWidget* next = Control<QLineEdit>(dialog, IDC_WELCOME_MSG)->nextInFocusChain();
    while (next != nullptr && next->focusPolicy() == Qt::NoFocus)
        next = next->nextInFocusChain();
    EXPECT_EQ(next, Control<QCheckBox>(dialog, IDC_CLIENT_RECONNECT));
    EXPECT_EQ(Control<QComboBox>(dialog, IDC_FLOW_CONTROL)->count(), 3);
    EXPECT_EQ(Control<QSpinBox>(dialog, IDC_SERVER_PORT)->minimum(), 1);
    EXPECT_EQ(Control<QSpinBox>(dialog, IDC_SERVER_PORT)->maximum(), 65535);

    // The speeds run slowest first, whatever index the settings keep for each.
    QComboBox* rates = Control<QComboBox>(dialog, IDC_BAUD_RATE);
    ASSERT_EQ(rates->count(), 21);
    for (int row = 1; row < rates->count(); ++row) {
        EXPECT_LT(BaudRateAt(rates->itemData(row - 1).toInt()),
                  BaudRateAt(rates->itemData(row).toInt()))
            << rates->itemText(row).toStdString();
    }
    EXPECT_EQ(rates->itemText(15), "256,000 bps");

    // The COM names follow the system's own devices, all 255 of them.
    QListWidget* ports = Control<QListWidget>(dialog, IDC_PORT_LIST);
    EXPECT_EQ(ports->item(ports->count() - 1)->text(), "COM255");
}

// The radio of the loopback link, which registers itself like any other kind.
int Loopback()
{
    const CLinkKind* kind = FindLinkKindByName("loopback");
    return kind != nullptr ? InterfaceRadioId(kind->nInterface) : 0;
}

TEST_F(PortSettingsDlgTest, LayoutsFollowTheInterfaceRoleAndWelcomeChoices)
{
    ASSERT_NE(Loopback(), 0);
    CPortSettingsDlg shown(Stored());
    EXPECT_EQ(Control<QAbstractButton>(shown, Loopback())->text(), "루프백");
    CPortSettingsDlg dialog(Stored());
    const int controls[] = {IDC_PORT_LIST,  IDC_BAUD_RATE,    IDC_FLOW_CONTROL, IDC_AUTO_RECONNECT,
                            IDC_LOCAL_PORT, IDC_CLIENT,       IDC_SERVER,       IDC_SERVER_PORT,
                            IDC_SERVER_IP,  IDC_WELCOME_FLAG, IDC_WELCOME_MSG};
    // Each click and the controls enabled after it, in the order above.
    const struct
    {
        int click;
        const char* enabled;
    } steps[] = {
        {0, "11110000000"},                // serial: serial controls on, socket controls off
        {IDC_TCPIP, "00000111100"},        // client: no welcome
        {IDC_SERVER, "00000111011"},       // server: no address to connect to
        {IDC_WELCOME_FLAG, "00000111010"}, // no welcome, no text
        {IDC_UDPIP, "00001001100"},        // UDP: its own port and a remote, no role, no welcome
        {Loopback(), "00000000000"},       // loopback: nothing to set
        {IDC_UDPIP, "00001001100"},
    };
    for (const auto& step : steps) {
        if (step.click != 0)
            Control<QAbstractButton>(dialog, step.click)->click();
        QString enabled;
        for (int id : controls)
            enabled += Control<QWidget>(dialog, id)->isEnabled() ? '1' : '0';
        EXPECT_EQ(enabled, step.enabled) << "after " << step.click;
    }
    EXPECT_EQ(dialog.Settings().nInterface, LinkSettings::UdpIp);
    EXPECT_EQ(dialog.Settings().nActive, LinkSettings::Server);
    EXPECT_FALSE(dialog.Settings().bWelcomeFlag);
}

TEST_F(PortSettingsDlgTest, OkWritesTheValuesAndATypedDevicePathIsKept)
{
    Confirm([](QDialog& dialog) {
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
    });
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

    CPortSettingsDlg again(Stored());
    EXPECT_EQ(Control<QComboBox>(again, IDC_FLOW_CONTROL)->currentText(), "RTS/CTS");
    EXPECT_FALSE(Control<QCheckBox>(again, IDC_AUTO_RECONNECT)->isChecked());
    EXPECT_EQ(Control<QSpinBox>(again, IDC_LOCAL_PORT)->value(), 65535);
    EXPECT_EQ(Control<QLineEdit>(again, IDC_PORT_NAME)->text(), "COM3");
    EXPECT_EQ(Control<QComboBox>(again, IDC_BAUD_RATE)->currentText(), "921,600 bps");
    EXPECT_EQ(Control<QComboBox>(again, IDC_ENTER_KEY)->currentText(), "CR+LF");
    Confirm([](QDialog& dialog) {
        Control<QLineEdit>(dialog, IDC_PORT_NAME)->setText("/dev/ttyUSB7");
    });
    settings.sync();
    EXPECT_EQ(settings.value("TARVEN/PortName").toString(), "/dev/ttyUSB7");
    // The loopback is stored by its interface number, and chosen again from it.
    Confirm([](QDialog& dialog) { Control<QAbstractButton>(dialog, Loopback())->click(); });
    settings.sync();
    EXPECT_EQ(settings.value("TARVEN/Interface").toInt(), Stored().nInterface);
    EXPECT_EQ(Stored().Kind(), FindLinkKindByName("loopback"));
    CPortSettingsDlg loopback(Stored());
    EXPECT_TRUE(Control<QAbstractButton>(loopback, Loopback())->isChecked());

    // An empty port name or a broken address keeps the dialog open with a message.
    CPortSettingsDlg bad(Stored());
    Control<QAbstractButton>(bad, IDC_RS232C)->click();
    Control<QLineEdit>(bad, IDC_PORT_NAME)->clear();
    bad.accept();
    Control<QLineEdit>(bad, IDC_PORT_NAME)->setText("COM2");
    Control<QAbstractButton>(bad, IDC_TCPIP)->click();
    Control<QAbstractButton>(bad, IDC_CLIENT)->click();
    Control<QLineEdit>(bad, IDC_SERVER_IP)->setText("10.0.");
    bad.accept();
    EXPECT_NE(bad.result(), QDialog::Accepted);
    EXPECT_EQ(m_messages.texts.size(), 2);
    // What the chosen kind does not take is not checked, and a broken address stores nothing.
    Control<QLineEdit>(bad, IDC_PORT_NAME)->clear();
    Control<QAbstractButton>(bad, Loopback())->click();
    bad.accept();
    EXPECT_EQ(bad.result(), QDialog::Accepted);
    EXPECT_EQ(m_messages.texts.size(), 2);
    EXPECT_EQ(bad.Settings().dwServerIP, Stored().dwServerIP);
}
