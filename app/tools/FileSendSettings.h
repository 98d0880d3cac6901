#pragma once

#include "ToolsConstants.h"

#include <QString>

class QSettings;

// What the file transfer keeps in the settings: the folder it showed last ("FileSendFolder"),
// how long a link may take nothing before a transfer fails ("TransferStallSec", 1 to 600), the
// protocol chosen last ("FileSendProtocol", 0 = plain) and the pauses of a plain send after
// each line feed and each byte ("FileSendLineDelayMs", "FileSendByteDelayMs", 0 = none), for
// devices without flow control.
struct FileSendSettings
{
    QString strFolder; // empty: the root volume
    int nStallSec = kDefaultTransferStallSec;
    int nProtocol = 0;
    int nLineDelayMs = 0;
    int nByteDelayMs = 0;

    // Reads the values in the settings' current group; absent values take the defaults above,
    // numbers out of range the nearest limit.
    static FileSendSettings Load(QSettings& settings);
    void Save(QSettings& settings) const;

    bool operator==(const FileSendSettings&) const = default;
};
