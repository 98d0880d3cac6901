#include "FileSendSettings.h"

#include <QSettings>

#include <algorithm>

FileSendSettings FileSendSettings::Load(QSettings& settings)
{
    const FileSendSettings defaults;
    FileSendSettings values;
    values.strFolder = settings.value("FileSendFolder", defaults.strFolder).toString();
    bool number = false;
    const int stall = settings.value("TransferStallSec", defaults.nStallSec).toInt(&number);
    values.nStallSec =
        number ? std::clamp(stall, kMinTransferStallSec, kMaxTransferStallSec) : defaults.nStallSec;
    return values;
}

void FileSendSettings::Save(QSettings& settings) const
{
    settings.setValue("FileSendFolder", strFolder);
    settings.setValue("TransferStallSec", nStallSec);
}
