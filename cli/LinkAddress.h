#pragma once

#include "Link.h"

#include <string>

// A link named on a command line ("a link address"), as tslbridge takes them:
//   serial:DEVICE[:BAUD[:FRAMING[:FLOW]]]   serial:/dev/ttyUSB0:115200:8N1,
//   serial:COM3:9600:7E1:rtscts tcp-listen:[ADDR:]PORT                  a TCP server, on 127.0.0.1
//   unless ADDR is given tcp:HOST:PORT                           a TCP client
//   udp:LOCALPORT[:REMOTEHOST:REMOTEPORT]   a UDP port; without a remote it answers the last sender
struct LinkAddressRules
{
    // Listening (a TCP server, a UDP port) on an address other than 127.0.0.1 is allowed.
    bool bListenAny = false;
    // A side that goes away, or does not open, is tried again.
    bool bReconnect = true;
};

// The params of text, or false with the reason in words.
bool ParseLinkAddress(const std::string& text, const LinkAddressRules& rules, LinkParams& params,
                      std::string& strError);

// The forms ParseLinkAddress takes, for a program's help.
std::string LinkAddressForms();
