#pragma once

#include <QString>

// Device file behind a port name: a path starting with "/" is used as it is; "COMn" is looked up
// in the environment (TARVEN_COMn), then in the settings (PortMap/COMn), else /dev/ttyS<n-1>;
// any other bare name is taken from /dev. Shared by the serial port and the port settings.
QString SerialDevicePath(const QString& portName);
