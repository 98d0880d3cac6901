#include "FileSendSettings.h"

#include <QSettings>

#include "ProtocolCommand.h"

#include <algorithm>

namespace {

int Bounded(const QSettings& settings, const char* key, int fallback, int low, int high)
{
    bool number = false;
    const int value = settings.value(QLatin1String(key), fallback).toInt(&number);
    return number ? std::clamp(value, low, high) : fallback;
}

} // namespace

FileSendSettings FileSendSettings::Load(QSettings& settings)
{
    const FileSendSettings defaults;
    FileSendSettings values;
    values.strFolder = settings.value("FileSendFolder", defaults.strFolder).toString();
    values.nStallSec = Bounded(settings, "TransferStallSec", defaults.nStallSec,
                               kMinTransferStallSec, kMaxTransferStallSec);
    values.nProtocol = Bounded(settings, "FileSendProtocol", 0, 0, kTransferProtocolCount - 1);
    values.nLineDelayMs = Bounded(settings, "FileSendLineDelayMs", 0, 0, kMaxSendDelayMs);
    values.nByteDelayMs = Bounded(settings, "FileSendByteDelayMs", 0, 0, kMaxSendDelayMs);
    return values;
}

void FileSendSettings::Save(QSettings& settings) const
{
    settings.setValue("FileSendFolder", strFolder);
    settings.setValue("TransferStallSec", nStallSec);
    settings.setValue("FileSendProtocol", nProtocol);
    settings.setValue("FileSendLineDelayMs", nLineDelayMs);
    settings.setValue("FileSendByteDelayMs", nByteDelayMs);
}
