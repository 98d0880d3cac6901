#include "LinkSettings.h"

#include "Link.h"
#include "SerialDeviceList.h"
#include "SerialPortName.h"
#include "ShellConstants.h"

#include <QCoreApplication>

#include <QHostAddress>
#include <QSettings>
#include <algorithm>
#include <array>

namespace {

constexpr std::array kBaudRates = {110,    300,    600,    1200,   2400,    4800,    9600,
                                   14400,  19200,  38400,  56000,  57600,   115200,  128000,
                                   256000, 230400, 460800, 921600, 1000000, 2000000, 3000000};
constexpr int kDataBitsOfIndex[] = {7, 8};
constexpr int kParityCount = 3;
constexpr int kStopBitCount = 3;
constexpr int kEnterKeyCount = 3;
const char* const kEnterTexts[] = {"\r", "\n", "\r\n"};
constexpr char kParityLetters[] = {'N', 'O', 'E'};
const char* const kStopBitTexts[] = {"1", "1.5", "2"};
constexpr int kFlowControlCount = 3; // none, RTS/CTS, XON/XOFF

// The stored index when it names an entry of a list of count, else the default.
int IndexOrDefault(const QVariant& stored, int count, int fallback)
{
    bool ok = false;
    const int index = stored.toInt(&ok);
    return ok && index >= 0 && index < count ? index : fallback;
}

// A stored port number as it is, in range or not; the fallback when absent or not a number.
int PortOrDefault(const QVariant& stored, int fallback)
{
    bool ok = false;
    const int port = stored.toInt(&ok);
    return ok ? port : fallback;
}

} // namespace

int BaudRateCount()
{
    return int(kBaudRates.size());
}

int BaudRateAt(int index)
{
    return kBaudRates.at(std::size_t(index));
}

QString BaudRateLabel(int index)
{
    // The list writes rates of five digits and more with thousands separators.
    QString digits = QString::number(BaudRateAt(index));
    if (digits.size() > 4) {
        for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
            digits.insert(at, u',');
    }
    return digits + QStringLiteral(" bps");
}

QList<int> BaudIndicesAscending()
{
    QList<int> indices;
    for (int index = 0; index < BaudRateCount(); ++index)
        indices.append(index);
    std::sort(indices.begin(), indices.end(),
              [](int a, int b) { return BaudRateAt(a) < BaudRateAt(b); });
    return indices;
}

LinkSettings LinkSettings::Load(QSettings& settings)
{
    const LinkSettings defaults;
    LinkSettings link;
    settings.beginGroup(kGroupTarven);
    link.strPortName = settings.value("PortName", defaults.strPortName).toString().trimmed();
    if (link.strPortName.isEmpty())
        link.strPortName = defaults.strPortName;
    link.nBaudIndex =
        IndexOrDefault(settings.value("BaudRate"), BaudRateCount(), defaults.nBaudIndex);
    link.nDataBitIndex = IndexOrDefault(settings.value("DataBit"), 2, defaults.nDataBitIndex);
    link.nParityIndex =
        IndexOrDefault(settings.value("ParityBit"), kParityCount, defaults.nParityIndex);
    link.nStopBitIndex =
        IndexOrDefault(settings.value("StopBit"), kStopBitCount, defaults.nStopBitIndex);
    // Absent in settings written before flow control existed: none, as those links ran.
    link.nFlowControl =
        IndexOrDefault(settings.value("FlowControl"), kFlowControlCount, defaults.nFlowControl);
    // Any interface a kind of link has registered; the default otherwise.
    bool known = false;
    link.nInterface = settings.value("Interface", defaults.nInterface).toInt(&known);
    if (!known || FindLinkKind(link.nInterface) == nullptr)
        link.nInterface = defaults.nInterface;
    link.nActive = IndexOrDefault(settings.value("Active"), 2, defaults.nActive);
    // A stored port outside 1..65535 is kept as it is, so that opening the link reports it
    // instead of quietly using another port.
    link.nServerPort = PortOrDefault(settings.value("ServerPort"), defaults.nServerPort);
    link.nLocalPort = PortOrDefault(settings.value("LocalPort"), link.nServerPort);
    link.bAutoReconnect =
        settings.value("AutoReconnect", int(defaults.bAutoReconnect)).toInt() != 0;
    link.bClientReconnect =
        settings.value("ClientReconnect", int(defaults.bClientReconnect)).toInt() != 0;
    // Kept as a signed 32-bit value; addresses from 128.0.0.0 on read back negative.
    link.dwServerIP = uint32_t(settings.value("ServerIP", 0).toLongLong() & 0xFFFFFFFF);
    link.bWelcomeFlag = settings.value("WelcomeFlag", int(defaults.bWelcomeFlag)).toInt() != 0;
    link.strWelcomeMsg = settings.value("WelcomeMsg", defaults.strWelcomeMsg).toString();
    link.bShowControlPanel =
        settings.value("ShowControlPanel", int(defaults.bShowControlPanel)).toInt() != 0;
    link.nEnterKey = IndexOrDefault(settings.value("EnterKey"), kEnterKeyCount, defaults.nEnterKey);
    settings.endGroup();
    return link;
}

void LinkSettings::Save(QSettings& settings) const
{
    settings.beginGroup(kGroupTarven);
    settings.setValue("PortName", strPortName);
    settings.setValue("BaudRate", nBaudIndex);
    settings.setValue("DataBit", nDataBitIndex);
    settings.setValue("ParityBit", nParityIndex);
    settings.setValue("StopBit", nStopBitIndex);
    settings.setValue("FlowControl", nFlowControl);
    settings.setValue("Interface", nInterface);
    settings.setValue("Active", nActive);
    settings.setValue("ServerPort", nServerPort);
    settings.setValue("ServerIP", qint32(dwServerIP));
    settings.setValue("LocalPort", nLocalPort);
    settings.setValue("AutoReconnect", int(bAutoReconnect));
    settings.setValue("ClientReconnect", int(bClientReconnect));
    settings.setValue("WelcomeFlag", int(bWelcomeFlag));
    settings.setValue("WelcomeMsg", strWelcomeMsg);
    settings.setValue("EnterKey", nEnterKey);
    settings.endGroup();
}

int LinkSettings::BaudRate() const
{
    return BaudRateAt(nBaudIndex);
}

int LinkSettings::DataBits() const
{
    return kDataBitsOfIndex[nDataBitIndex];
}

QString LinkSettings::ServerAddressText() const
{
    return QHostAddress(dwServerIP).toString();
}

const CLinkKind* LinkSettings::Kind() const
{
    return FindLinkKind(nInterface);
}

bool LinkSettings::Takes(unsigned field) const
{
    const CLinkKind* kind = Kind();
    return kind != nullptr && (kind->fields & field) != 0;
}

bool LinkSettings::HasLine() const
{
    return Takes(kLinkLine);
}

LinkParams LinkSettings::Params() const
{
    LinkParams params;
    params.nInterface = nInterface;
    params.strPortName = strPortName;
    // Through the device's stable name when it has one, so that a device pulled out and put
    // back is found again even when the system numbers it anew.
    params.strDevice = StableSerialPath(SerialDevicePath(strPortName));
    params.nBaud = BaudRate();
    params.nDataBits = DataBits();
    params.nParity = Parity();
    params.nStopBits = StopBits();
    params.nFlowControl = FlowControl();
    params.bAutoReconnect = Takes(kLinkLine) ? bAutoReconnect : bClientReconnect;
    params.bServer = nActive == Server;
    // A server's address is not used; a remote without one answers the last sender.
    params.strHost = Takes(kLinkRemote) && RepliesToSender() ? QString() : ServerAddressText();
    params.nPort = nServerPort;
    params.nLocalPort = nLocalPort;
    return params;
}

QString LinkSettings::PortLabel() const
{
    return SerialPortLabel(strPortName);
}

QString LinkSettings::EnterText() const
{
    return QString::fromLatin1(kEnterTexts[nEnterKey]);
}

QString LinkSettings::InterfaceText() const
{
    const CLinkKind* kind = Kind();
    if (kind == nullptr)
        return QString();
    const QString label = QCoreApplication::translate("CPortSettingsDlg", kind->pszLabel);
    // Only a link with a role has a client or server side.
    if (!Takes(kLinkRole))
        return label;
    return label + (nActive == Server ? QStringLiteral("-Server") : QStringLiteral("-Client"));
}

QString LinkSettings::PortDescription(int connections) const
{
    if (HasLine()) {
        return QStringLiteral("%1-%2-%3-%4-%5")
            .arg(strPortName)
            .arg(BaudRate())
            .arg(DataBits())
            .arg(QChar::fromLatin1(kParityLetters[nParityIndex]))
            .arg(QString::fromLatin1(kStopBitTexts[nStopBitIndex]));
    }
    if (Takes(kLinkLocalPort)) {
        const QString remote =
            RepliesToSender() ? QStringLiteral("*")
                              : QStringLiteral("%1 : %2").arg(ServerAddressText()).arg(nServerPort);
        return QStringLiteral("Port:%1 → %2").arg(nLocalPort).arg(remote);
    }
    if (!Takes(kLinkRole))
        return InterfaceText();
    if (nActive == Client)
        return QStringLiteral("%1 : %2").arg(ServerAddressText()).arg(nServerPort);
    return QStringLiteral("Port:%1 (%2)").arg(nServerPort).arg(connections);
}
