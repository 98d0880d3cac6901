#pragma once

#include <QString>

// Device file behind a port name: a path starting with "/" is used as it is; "COMn" is looked up
// in the environment (TARVEN_COMn), then in the settings (PortMap/COMn), else /dev/ttyS<n-1>;
// any other bare name is taken from /dev. Shared by the serial port and the port settings.
QString SerialDevicePath(const QString& portName);
// How messages name a port: "COM7 → /dev/ttyS6" for a name that stands for a device, a path as
// it is.
QString SerialPortLabel(const QString& portName);
