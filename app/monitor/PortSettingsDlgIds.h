#pragma once

// Template and control ids of the port settings dialog (CPortSettingsDlg).
namespace PortSettingsDlgIds {
inline constexpr int IDD = 148;
// Interface radios: RS-232C, TCP/IP, UDP/IP, and one for each other kind of link.
inline constexpr int IDC_RS232C = 1020;
inline constexpr int IDC_TCPIP = 1021;
inline constexpr int IDC_UDPIP = 1028;
inline constexpr int IDC_OTHER_LINK_BASE = 1060;
// The radio of the link kind with this interface number.
inline constexpr int InterfaceRadioId(int nInterface)
{
    constexpr int kKnown[] = {IDC_RS232C, IDC_TCPIP, IDC_UDPIP};
    return nInterface >= 0 && nInterface < 3 ? kKnown[nInterface]
                                             : IDC_OTHER_LINK_BASE + nInterface;
}
inline constexpr int IDC_PORT_LIST = 1010;
inline constexpr int IDC_PORT_NAME = 1011;
inline constexpr int IDC_BAUD_RATE = 1050;
inline constexpr int IDC_DATA_BITS = 1051;
inline constexpr int IDC_PARITY = 1052;
inline constexpr int IDC_STOP_BITS = 1053;
// Role radios: client, server.
inline constexpr int IDC_CLIENT = 1022;
inline constexpr int IDC_SERVER = 1023;
// One spin box stands for the server port edit and its up-down control.
inline constexpr int IDC_SERVER_PORT = 1024;
inline constexpr int IDC_SERVER_IP = 1025;
inline constexpr int IDC_WELCOME_FLAG = 1026;
inline constexpr int IDC_WELCOME_MSG = 1027;
// What the Enter key sends: CR, LF or CR+LF.
inline constexpr int IDC_ENTER_KEY = 1054;
// Serial flow control: none, RTS/CTS, XON/XOFF.
inline constexpr int IDC_FLOW_CONTROL = 1055;
inline constexpr int IDC_AUTO_RECONNECT = 1056;
// The UDP link's own port.
inline constexpr int IDC_LOCAL_PORT = 1057;
inline constexpr int IDC_CLIENT_RECONNECT = 1058;
} // namespace PortSettingsDlgIds
