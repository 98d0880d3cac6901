// The tools a monitor window opens: the file transfer on its link and the checksum calculator.
#include "CTARVENView.h"

#include "CCheckSumDlg.h"
#include "CClientSock.h"
#include "CFileSendDlg.h"
#include "CRS232Ctrl.h"
#include "CServerSock.h"
#include "LinkWriter.h"

std::unique_ptr<CLinkWriter> CTARVENView::MakeLinkWriter()
{
    if (!m_bOnline)
        return nullptr;
    if (m_pSerial)
        return MakeSerialLinkWriter(*m_pSerial);
    if (m_pClient)
        return MakeClientLinkWriter(*m_pClient);
    if (m_pServer)
        return MakeServerLinkWriter(*m_pServer);
    return nullptr;
}

void CTARVENView::OnFileTransfer()
{
    std::unique_ptr<CLinkWriter> writer = MakeLinkWriter();
    if (!writer)
        return;
    m_bTransferring = true;
    {
        CFileSendDlg dialog(this, std::move(writer));
        dialog.exec();
    }
    m_bTransferring = false;
    m_pParkedSerial.reset();
    if (m_pParkedClient)
        m_pParkedClient.release()->deleteLater();
}

void CTARVENView::OnCheckSum()
{
    CCheckSumDlg dialog(this);
    dialog.exec();
}
