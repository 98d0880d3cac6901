#include "CPortSettingsDlg.h"

#include "DialogControls.h"
#include "Link.h"
#include "MessageBox.h"
#include "MonitorConstants.h"
#include "PortSettingsDlgIds.h"
#include "SerialDeviceList.h"
#include "TransportConstants.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace PortSettingsDlgIds;

namespace {

QComboBox* DropList(int id, const QStringList& items)
{
    auto* box = NameControl(new QComboBox, id);
    box->addItems(items);
    return box;
}

// Parses a dotted IPv4 address; an empty text is 0.0.0.0.
bool ParseAddress(const QString& text, uint32_t& address)
{
    if (text.trimmed().isEmpty()) {
        address = 0;
        return true;
    }
    bool ok = false;
    const QHostAddress host(text.trimmed());
    address = host.toIPv4Address(&ok);
    return ok && host.protocol() == QAbstractSocket::IPv4Protocol;
}

} // namespace

CPortSettingsDlg::CPortSettingsDlg(const LinkSettings& settings, QWidget* parent) : QDialog(parent)
{
    NameControl(this, IDD);
    setWindowTitle(tr("통신포트 설정"));
    CreateControls();
    InitActionsConnections();
    FillPortList();
    ShowSettings(settings);
}

void CPortSettingsDlg::CreateControls()
{
    auto* interfaceBox = new QGroupBox(QStringLiteral("Interface"));
    auto* interfaceLayout = new QHBoxLayout(interfaceBox);
    m_pInterface = new QButtonGroup(this);
    // One choice for every kind of link there is.
    for (const CLinkKind* kind : LinkKinds()) {
        auto* radio =
            NameControl(new QRadioButton(tr(kind->pszLabel)), InterfaceRadioId(kind->nInterface));
        m_pInterface->addButton(radio, kind->nInterface);
        interfaceLayout->addWidget(radio);
    }

    auto* serialBox = new QGroupBox(QStringLiteral("RS-232C"));
    auto* serialLayout = new QGridLayout(serialBox);
    m_pPortList = NameControl(new QListWidget, IDC_PORT_LIST);
    m_pPortList->setMinimumHeight(160);
    m_pPortName = NameControl(new QLineEdit, IDC_PORT_NAME);
    m_pPortName->setPlaceholderText(QStringLiteral("COM1, /dev/ttyUSB0"));
    // Shown slowest first; each entry keeps the index the settings store.
    m_pBaud = NameControl(new QComboBox, IDC_BAUD_RATE);
    for (int index : BaudIndicesAscending())
        m_pBaud->addItem(BaudRateLabel(index), index);
    m_pDataBits = DropList(IDC_DATA_BITS, {QStringLiteral("7 bit"), QStringLiteral("8 bit")});
    m_pParity = DropList(IDC_PARITY,
                         {QStringLiteral("NONE"), QStringLiteral("ODD"), QStringLiteral("EVEN")});
    m_pStopBits = DropList(IDC_STOP_BITS, {QStringLiteral("1 bit"), QStringLiteral("1.5 bit"),
                                           QStringLiteral("2 bit")});
    m_pFlowControl = DropList(IDC_FLOW_CONTROL,
                              {tr("없음"), QStringLiteral("RTS/CTS"), QStringLiteral("XON/XOFF")});
    m_pAutoReconnect = NameControl(new QCheckBox(tr("자동 재연결")), IDC_AUTO_RECONNECT);
    serialLayout->addWidget(new QLabel(tr("포트 리스트")), 0, 0, 1, 2);
    serialLayout->addWidget(m_pPortList, 1, 0, 1, 2);
    const std::pair<const char*, QWidget*> rows[] = {
        {QT_TRANSLATE_NOOP("CPortSettingsDlg", "통신포트"), m_pPortName},
        {QT_TRANSLATE_NOOP("CPortSettingsDlg", "전송속도"), m_pBaud},
        {QT_TRANSLATE_NOOP("CPortSettingsDlg", "데이타비트"), m_pDataBits},
        {QT_TRANSLATE_NOOP("CPortSettingsDlg", "패리티비트"), m_pParity},
        {QT_TRANSLATE_NOOP("CPortSettingsDlg", "정지비트"), m_pStopBits},
        {QT_TRANSLATE_NOOP("CPortSettingsDlg", "흐름제어"), m_pFlowControl}};
    int row = 2;
    for (const auto& [label, widget] : rows) {
        serialLayout->addWidget(new QLabel(tr(label)), row, 0);
        serialLayout->addWidget(widget, row++, 1);
    }
    serialLayout->addWidget(m_pAutoReconnect, row, 0, 1, 2);

    auto* socketBox = new QGroupBox(QStringLiteral("TCP/IP, UDP/IP"));
    auto* socketLayout = new QGridLayout(socketBox);
    auto* roleBox = new QGroupBox(QStringLiteral("Active"));
    auto* roleLayout = new QHBoxLayout(roleBox);
    m_pRole = new QButtonGroup(this);
    auto* client = NameControl(new QRadioButton(QStringLiteral("Client")), IDC_CLIENT);
    auto* server = NameControl(new QRadioButton(QStringLiteral("Server")), IDC_SERVER);
    m_pRole->addButton(client, LinkSettings::Client);
    m_pRole->addButton(server, LinkSettings::Server);
    roleLayout->addWidget(client);
    roleLayout->addWidget(server);
    m_pServerPort = NameControl(new QSpinBox, IDC_SERVER_PORT);
    m_pServerPort->setRange(kMinPortNumber, kMaxPortNumber);
    m_pServerIP = NameControl(new QLineEdit, IDC_SERVER_IP);
    static const QRegularExpression kDotted(QStringLiteral(
        "^(([01]?\\d?\\d|2[0-4]\\d|25[0-5])\\.){0,3}([01]?\\d?\\d|2[0-4]\\d|25[0-5])?$"));
    m_pServerIP->setValidator(new QRegularExpressionValidator(kDotted, m_pServerIP));
    m_pWelcomeFlag = NameControl(new QCheckBox(tr("서버에 접속시 메세지 전송")), IDC_WELCOME_FLAG);
    m_pWelcomeMsg = NameControl(new QLineEdit, IDC_WELCOME_MSG);
    m_pClientReconnect = NameControl(new QCheckBox(tr("자동 재연결")), IDC_CLIENT_RECONNECT);
    m_pWelcomeMsg->setMaxLength(kWelcomeMaxChars);
    // 0 lets the system choose a free port.
    m_pLocalPort = NameControl(new QSpinBox, IDC_LOCAL_PORT);
    m_pLocalPort->setRange(0, kMaxPortNumber);
    m_pLocalPort->setSpecialValueText(tr("자동"));
    m_pServerPortLabel = new QLabel;
    m_pServerIPLabel = new QLabel;
    socketLayout->addWidget(roleBox, 0, 0, 1, 2);
    socketLayout->addWidget(m_pServerPortLabel, 1, 0);
    socketLayout->addWidget(m_pServerPort, 1, 1);
    socketLayout->addWidget(m_pServerIPLabel, 2, 0);
    socketLayout->addWidget(m_pServerIP, 2, 1);
    socketLayout->addWidget(new QLabel(tr("로컬포트 (UDP)")), 3, 0);
    socketLayout->addWidget(m_pLocalPort, 3, 1);
    socketLayout->addWidget(m_pWelcomeFlag, 4, 0, 1, 2);
    socketLayout->addWidget(m_pWelcomeMsg, 5, 0, 1, 2);
    socketLayout->addWidget(m_pClientReconnect, 6, 0, 1, 2);
    socketLayout->setRowStretch(7, 1);

    auto* enterRow = new QHBoxLayout;
    m_pEnterKey = DropList(IDC_ENTER_KEY,
                           {QStringLiteral("CR"), QStringLiteral("LF"), QStringLiteral("CR+LF")});
    enterRow->addWidget(new QLabel(tr("Enter 키 전송")));
    enterRow->addWidget(m_pEnterKey);
    enterRow->addStretch(1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* columns = new QHBoxLayout;
    columns->addWidget(serialBox);
    columns->addWidget(socketBox);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(interfaceBox);
    layout->addLayout(columns);
    layout->addLayout(enterRow);
    layout->addWidget(buttons);
}

void CPortSettingsDlg::InitActionsConnections()
{
    connect(m_pInterface, &QButtonGroup::idClicked, this, &CPortSettingsDlg::ApplyInterfaceLayout);
    connect(m_pRole, &QButtonGroup::idClicked, this, &CPortSettingsDlg::ApplyRoleLayout);
    connect(m_pWelcomeFlag, &QCheckBox::clicked, this, &CPortSettingsDlg::OnWelcomeClicked);
    connect(m_pPortList, &QListWidget::currentRowChanged, this, &CPortSettingsDlg::OnPortSelected);
}

void CPortSettingsDlg::FillPortList()
{
    // The devices the system has come first, so an adapter is found without knowing its number.
    for (const SerialDeviceInfo& device : ListSerialDevices()) {
        const QString text =
            device.strDescription.isEmpty()
                ? device.strPath
                : device.strPath + QStringLiteral("  (") + device.strDescription + u')';
        auto* item = new QListWidgetItem(text, m_pPortList);
        item->setData(Qt::UserRole, device.strPath);
    }
    for (int number = 1; number <= kComPortCount; ++number) {
        auto* item = new QListWidgetItem(QStringLiteral("COM%1").arg(number), m_pPortList);
        item->setData(Qt::UserRole, item->text());
    }
}

void CPortSettingsDlg::ShowSettings(const LinkSettings& link)
{
    m_dwGivenServerIP = link.dwServerIP;
    if (QAbstractButton* kind = m_pInterface->button(link.nInterface))
        kind->setChecked(true);
    m_pRole->button(link.nActive)->setChecked(true);
    m_pBaud->setCurrentIndex(m_pBaud->findData(link.nBaudIndex));
    m_pDataBits->setCurrentIndex(link.nDataBitIndex);
    m_pParity->setCurrentIndex(link.nParityIndex);
    m_pStopBits->setCurrentIndex(link.nStopBitIndex);
    m_pFlowControl->setCurrentIndex(link.nFlowControl);
    m_pAutoReconnect->setChecked(link.bAutoReconnect);
    m_pClientReconnect->setChecked(link.bClientReconnect);
    m_pServerPort->setValue(link.nServerPort);
    m_pLocalPort->setValue(link.nLocalPort);
    m_pServerIP->setText(link.ServerAddressText());
    m_pWelcomeFlag->setChecked(link.bWelcomeFlag);
    m_pWelcomeMsg->setText(link.strWelcomeMsg);
    m_pEnterKey->setCurrentIndex(link.nEnterKey);
    m_bShowControlPanel = link.bShowControlPanel;
    SelectPort(link.strPortName);
    ApplyInterfaceLayout();
}

void CPortSettingsDlg::SelectPort(const QString& portName)
{
    for (int row = 0; row < m_pPortList->count(); ++row) {
        if (m_pPortList->item(row)
                ->data(Qt::UserRole)
                .toString()
                .compare(portName, Qt::CaseInsensitive) == 0) {
            m_pPortList->setCurrentRow(row);
            m_pPortList->scrollToItem(m_pPortList->item(row));
            break;
        }
    }
    // A typed path that is not in the list stays as it was typed.
    m_pPortName->setText(portName);
}

void CPortSettingsDlg::ApplyInterfaceLayout()
{
    // Each kind of link takes the settings it names; the others are greyed.
    const CLinkKind* kind = FindLinkKind(m_pInterface->checkedId());
    const unsigned fields = kind != nullptr ? kind->fields : 0;
    const bool serial = (fields & kLinkLine) != 0;
    const bool role = (fields & kLinkRole) != 0;
    const bool remote = (fields & kLinkRemote) != 0;
    for (QWidget* widget :
         {static_cast<QWidget*>(m_pPortList), static_cast<QWidget*>(m_pPortName),
          static_cast<QWidget*>(m_pBaud), static_cast<QWidget*>(m_pDataBits),
          static_cast<QWidget*>(m_pParity), static_cast<QWidget*>(m_pStopBits),
          static_cast<QWidget*>(m_pFlowControl), static_cast<QWidget*>(m_pAutoReconnect)})
        widget->setEnabled(serial);
    // A datagram link has no client or server side: it binds its own port and sends to the
    // remote, or back to whoever sent last when the remote address is empty.
    for (QAbstractButton* radio : m_pRole->buttons())
        radio->setEnabled(role);
    m_pLocalPort->setEnabled((fields & kLinkLocalPort) != 0);
    m_pServerPortLabel->setText(remote ? tr("원격포트") : tr("서버포트"));
    m_pServerIPLabel->setText(remote ? tr("원격 IP") : tr("서버 IP"));
    if (!role) {
        m_pServerPort->setEnabled(remote);
        m_pServerIP->setEnabled(remote);
        m_pWelcomeFlag->setEnabled(false);
        m_pWelcomeMsg->setEnabled(false);
        m_pClientReconnect->setEnabled(false);
        return;
    }
    ApplyRoleLayout();
}

void CPortSettingsDlg::ApplyRoleLayout()
{
    const bool server = m_pRole->checkedId() == LinkSettings::Server;
    m_pServerPort->setEnabled(true);
    m_pServerIP->setEnabled(!server);
    m_pWelcomeFlag->setEnabled(server);
    m_pWelcomeMsg->setEnabled(server && m_pWelcomeFlag->isChecked());
    m_pClientReconnect->setEnabled(!server);
}

void CPortSettingsDlg::OnWelcomeClicked()
{
    m_pWelcomeMsg->setEnabled(m_pWelcomeFlag->isChecked());
}

void CPortSettingsDlg::OnPortSelected()
{
    if (const QListWidgetItem* item = m_pPortList->currentItem())
        m_pPortName->setText(item->data(Qt::UserRole).toString());
}

LinkSettings CPortSettingsDlg::Settings() const
{
    LinkSettings link;
    link.strPortName = m_pPortName->text().trimmed();
    link.nBaudIndex = m_pBaud->currentData().toInt();
    link.nDataBitIndex = m_pDataBits->currentIndex();
    link.nParityIndex = m_pParity->currentIndex();
    link.nStopBitIndex = m_pStopBits->currentIndex();
    link.nFlowControl = m_pFlowControl->currentIndex();
    link.bAutoReconnect = m_pAutoReconnect->isChecked();
    link.bClientReconnect = m_pClientReconnect->isChecked();
    link.nInterface = m_pInterface->checkedId();
    link.nActive = m_pRole->checkedId();
    link.nServerPort = m_pServerPort->value();
    link.nLocalPort = m_pLocalPort->value();
    // An address the chosen kind does not use is not checked: a broken one keeps the old.
    if (!ParseAddress(m_pServerIP->text(), link.dwServerIP))
        link.dwServerIP = m_dwGivenServerIP;
    link.bWelcomeFlag = m_pWelcomeFlag->isChecked();
    link.strWelcomeMsg = m_pWelcomeMsg->text();
    link.bShowControlPanel = m_bShowControlPanel;
    link.nEnterKey = m_pEnterKey->currentIndex();
    return link;
}

void CPortSettingsDlg::accept()
{
    // Only what the chosen kind of link takes must be right.
    uint32_t address = 0;
    if (m_pPortName->isEnabled() && m_pPortName->text().trimmed().isEmpty()) {
        ShowMessage(tr("통신포트를 선택하거나 장치 경로를 입력하십시오."), QMessageBox::Warning,
                    QMessageBox::Ok, this);
        return;
    }
    if (m_pServerIP->isEnabled() && !ParseAddress(m_pServerIP->text(), address)) {
        ShowMessage(tr("서버 IP 주소가 올바르지 않습니다. (예: 192.168.0.10)"),
                    QMessageBox::Warning, QMessageBox::Ok, this);
        return;
    }
    QDialog::accept();
}
