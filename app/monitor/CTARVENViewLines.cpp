// Line signals of a serial link: DTR and RTS as the user set them, a break, and the input lines
// CTS, DSR, DCD and RI in the status bar. The port's reader thread watches the input lines and
// reports changes only, so an idle window costs next to nothing here.
#include "CTARVENView.h"

#include "CMonitorStatusBar.h"
#include "CRS232Ctrl.h"
#include "SystemErrorText.h"
#include "TermViewConstants.h"

void CTARVENView::InitLineConnections()
{
    // Every time the link comes on-line its port may be a new one (opened again after it was
    // lost): watch that one, with the user's DTR and RTS.
    connect(m_pLink.get(), &CMonitorLink::onlineChanged, this, [this](bool online) {
        if (online)
            ArmLineSignals();
        emit stateChanged();
    });
}

bool CTARVENView::HasLineSignals() const
{
    const CRS232Ctrl* port = m_pLink->SerialPort();
    return m_pLink->IsOnline() && port != nullptr && port->bsHasModemLines() != 0;
}

void CTARVENView::ArmLineSignals()
{
    if (!HasLineSignals())
        return;
    CRS232Ctrl* port = m_pLink->SerialPort();
    connect(port->Notifier(), &CSerialNotifier::modemLinesChanged, this, &CTARVENView::OnModemLines,
            Qt::UniqueConnection);
    if (!port->bsSetDtr(m_bDtr ? 1 : 0))
        ReportLineFailure(QStringLiteral("DTR"), int(port->GetLastError()));
    if (!port->bsSetRts(m_bRts ? 1 : 0))
        ReportLineFailure(QStringLiteral("RTS"), int(port->GetLastError()));
    if (!port->bsWatchModemLines(1))
        ReportLineFailure(QStringLiteral("CTS/DSR/DCD/RI"), int(port->GetLastError()));
}

void CTARVENView::OnModemLines(unsigned status)
{
    // A report queued by a port that has since closed is old news.
    if (HasLineSignals())
        m_pStatus->SetModemLines(status);
}

void CTARVENView::ShowLineState()
{
    if (HasLineSignals()) {
        m_pStatus->SetModemLinesUnavailable(QString());
        return;
    }
    const bool serialOffline = !m_pLink->Settings().IsSocket() && !m_pLink->IsOnline();
    m_pStatus->SetModemLinesUnavailable(serialOffline ? QStringLiteral("OFF-LINE")
                                                      : tr("지원되지 않음"));
}

void CTARVENView::OnDtr()
{
    ToggleLine(m_bDtr, &CRS232Ctrl::bsSetDtr, QStringLiteral("DTR"));
}

void CTARVENView::OnRts()
{
    ToggleLine(m_bRts, &CRS232Ctrl::bsSetRts, QStringLiteral("RTS"));
}

void CTARVENView::ToggleLine(bool& on, int (CRS232Ctrl::*set)(int), const QString& name)
{
    if (HasLineSignals()) {
        CRS232Ctrl* port = m_pLink->SerialPort();
        if ((port->*set)(on ? 0 : 1))
            on = !on;
        else
            ReportLineFailure(name, int(port->GetLastError()));
    }
    emit stateChanged();
}

void CTARVENView::OnBreak()
{
    if (!HasLineSignals())
        return;
    CRS232Ctrl* port = m_pLink->SerialPort();
    if (!port->bsSendBreak(kBreakMs))
        ReportLineFailure(QStringLiteral("Break"), int(port->GetLastError()));
}

void CTARVENView::ReportLineFailure(const QString& what, int error)
{
    WriteNotice(QStringLiteral("\r\n%1: %2 ...\r\n").arg(what, SystemErrorText(error)), kAttrSent);
}
