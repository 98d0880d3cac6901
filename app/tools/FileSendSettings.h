#pragma once

#include "ToolsConstants.h"

#include <QString>

class QSettings;

// What the file transfer keeps in the settings: the folder it showed last ("FileSendFolder")
// and how long a link may take nothing before a transfer fails ("TransferStallSec", 1 to 600).
struct FileSendSettings
{
    QString strFolder; // empty: the root volume
    int nStallSec = kDefaultTransferStallSec;

    // Reads the values in the settings' current group; absent values take the defaults above,
    // a stall limit out of range the nearest limit.
    static FileSendSettings Load(QSettings& settings);
    void Save(QSettings& settings) const;

    bool operator==(const FileSendSettings&) const = default;
};
