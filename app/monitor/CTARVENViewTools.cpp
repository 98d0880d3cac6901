// The tools a monitor window opens: the file transfer on its link and the checksum calculator.
#include "CTARVENView.h"

#include "CCheckSumDlg.h"
#include "CFileSendDlg.h"
#include "LinkWriter.h"
#include "ShellConstants.h"

#include <QSettings>

void CTARVENView::OnFileTransfer()
{
    // The dialog writes through the link until it closes, also when the link goes meanwhile.
    std::unique_ptr<CLinkWriter> writer = m_pLink->OpenTransfer();
    if (!writer)
        return;
    QSettings settings(kCompanyName, kApplicationName);
    settings.beginGroup(kGroupTarven);
    CFileSendDlg dialog(this, std::move(writer), FileSendSettings::Load(settings));
    dialog.exec();
    // The next transfer opens where this one left.
    dialog.Settings().Save(settings);
}

void CTARVENView::OnCheckSum()
{
    CCheckSumDlg dialog(this);
    dialog.exec();
}
