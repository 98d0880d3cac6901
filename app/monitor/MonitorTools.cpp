#include "MonitorTools.h"

#include "CCheckSumDlg.h"
#include "CFileSendDlg.h"
#include "CMonitorLink.h"
#include "LinkWriter.h"
#include "ShellConstants.h"

#include <QSettings>

void RunFileTransfer(CMonitorLink& link, QWidget* parent)
{
    // The dialog writes through the link until it closes, also when the link goes meanwhile.
    std::unique_ptr<CLinkWriter> writer = link.OpenTransfer();
    if (!writer)
        return;
    QSettings settings(kCompanyName, kApplicationName);
    settings.beginGroup(kGroupTarven);
    CFileSendDlg dialog(parent, std::move(writer), FileSendSettings::Load(settings));
    dialog.exec();
    // The next transfer opens where this one left.
    dialog.Settings().Save(settings);
}

void RunCheckSum(QWidget* parent)
{
    CCheckSumDlg dialog(parent);
    dialog.exec();
}
