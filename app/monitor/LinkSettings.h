#pragma once

#include <QList>
#include <QString>
#include <cstdint>

class QSettings;
struct CLinkKind;
struct LinkParams;

// The link values of a monitor window as the settings keep them: the serial values as list
// indices, the peer address as a 32-bit number with its first dotted part in the top byte.
struct LinkSettings
{
    // The interfaces the settings have always known; others are links that registered a kind
    // of their own (CLinkKind).
    enum Interface
    {
        Rs232c = 0,
        TcpIp = 1,
        UdpIp = 2
    };
    enum Role
    {
        Client = 0,
        Server = 1
    };
    // What the Enter key sends.
    enum EnterKey
    {
        EnterCr = 0,
        EnterLf = 1,
        EnterCrLf = 2
    };

    QString strPortName = QStringLiteral("COM1");
    int nBaudIndex = 6;    // 9600
    int nDataBitIndex = 1; // 8 bits
    int nParityIndex = 0;  // none
    int nStopBitIndex = 0; // one
    int nFlowControl = 0;  // 0 none, 1 RTS/CTS, 2 XON/XOFF (FLOW_* of the transports)
    int nInterface = Rs232c;
    int nActive = Client;
    int nServerPort = 4096;  // TCP: the server's port; UDP: the remote port
    uint32_t dwServerIP = 0; // TCP: the server's address; UDP: the remote, 0 = reply to sender
    // UDP: the port bound here (0: any free port). Absent, the remote port, as scripts do.
    int nLocalPort = 4096;
    // A serial device that goes away is opened again when it is back.
    bool bAutoReconnect = true;
    // A TCP client whose server goes away dials it again until it is back.
    bool bClientReconnect = false;
    bool bWelcomeFlag = true;
    QString strWelcomeMsg = QStringLiteral("Welcome to TARVEN server...");
    bool bShowControlPanel = true;
    int nEnterKey = EnterCr;

    // Reads the values of the "TARVEN" group; absent or unusable ones take the defaults above.
    static LinkSettings Load(QSettings& settings);
    // Writes the values the port settings dialog owns, in the order it writes them.
    void Save(QSettings& settings) const;

    // The kind of link the interface chooses; null for none.
    const CLinkKind* Kind() const;
    // The kind takes the settings named by the LinkField bit.
    bool Takes(unsigned field) const;
    // A serial line, with a device and modem lines.
    bool HasLine() const;
    // What the link of these settings opens.
    LinkParams Params() const;
    // A link to a remote without an address sends back to the last sender.
    bool RepliesToSender() const { return dwServerIP == 0; }
    // Converted serial values: bits per second, data bits, parity 0..2, stop bits 0..2.
    int BaudRate() const;
    int DataBits() const;
    int Parity() const { return nParityIndex; }
    int StopBits() const { return nStopBitIndex; }
    int FlowControl() const { return nFlowControl; }
    QString ServerAddressText() const;
    // The port name with the device it stands for: "COM7 → /dev/ttyS6"; a path as it is.
    QString PortLabel() const;
    // The line end the Enter key sends: "\r", "\n" or "\r\n".
    QString EnterText() const;
    // "RS-232C", "TCP/IP-Client", "TCP/IP-Server", "UDP/IP": the kind's label, with the role
    // where it has one.
    QString InterfaceText() const;
    // Port description of the status bar; connections counts the server's clients.
    QString PortDescription(int connections) const;

    bool operator==(const LinkSettings&) const = default;
};

// The speed list: the 15 rates of the settings' indices 0..14, then the faster ones.
int BaudRateCount();
int BaudRateAt(int index);
// "9600 bps", "115,200 bps", ...
QString BaudRateLabel(int index);
// The indices of the speed list, slowest rate first.
QList<int> BaudIndicesAscending();
