// The tools a monitor window opens: the file transfer on its link and the checksum calculator.
#include "CTARVENView.h"

#include "CCheckSumDlg.h"
#include "CFileSendDlg.h"
#include "LinkWriter.h"

void CTARVENView::OnFileTransfer()
{
    // The dialog writes through the link until it closes, also when the link goes meanwhile.
    std::unique_ptr<CLinkWriter> writer = m_pLink->OpenTransfer();
    if (!writer)
        return;
    CFileSendDlg dialog(this, std::move(writer));
    dialog.exec();
}

void CTARVENView::OnCheckSum()
{
    CCheckSumDlg dialog(this);
    dialog.exec();
}
