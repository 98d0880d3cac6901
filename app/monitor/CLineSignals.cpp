// The link says what it has: a serial line's reader watches the input lines and reports changes
// only, so an idle window costs next to nothing here; other links have none.
#include "CLineSignals.h"

#include "CMonitorLink.h"
#include "CMonitorStatusBar.h"
#include "SystemErrorText.h"
#include "TermViewConstants.h"
#include "TransportConstants.h"

CLineSignals::CLineSignals(CMonitorLink* link, CMonitorStatusBar* status, QObject* parent)
    : QObject(parent), m_pLink(link), m_pStatus(status)
{
    // Every time the link comes on-line it may be a new one (opened again after it was lost):
    // watch that one, with the user's DTR and RTS.
    connect(m_pLink, &CMonitorLink::onlineChanged, this, [this](bool online) {
        if (online)
            ArmLineSignals();
        emit stateChanged();
    });
    connect(m_pLink, &CMonitorLink::modemLinesChanged, this, &CLineSignals::OnModemLines);
}

bool CLineSignals::HasLineSignals() const
{
    return m_pLink->HasModemLines();
}

void CLineSignals::ArmLineSignals()
{
    if (!HasLineSignals())
        return;
    if (const int error = m_pLink->SetDtr(m_bDtr))
        ReportLineFailure(QStringLiteral("DTR"), error);
    if (const int error = m_pLink->SetRts(m_bRts))
        ReportLineFailure(QStringLiteral("RTS"), error);
    if (const int error = m_pLink->WatchModemLines(true))
        ReportLineFailure(QStringLiteral("CTS/DSR/DCD/RI"), error);
}

void CLineSignals::OnModemLines(unsigned status)
{
    // A report queued by a link that has since closed is old news.
    if (HasLineSignals())
        m_pStatus->SetModemLines(status);
}

void CLineSignals::ShowLineState()
{
    if (HasLineSignals()) {
        m_pStatus->SetModemLinesUnavailable(QString());
        return;
    }
    const bool serialOffline = m_pLink->Settings().HasLine() && !m_pLink->IsOnline();
    m_pStatus->SetModemLinesUnavailable(serialOffline ? QStringLiteral("OFF-LINE")
                                                      : tr("지원되지 않음"));
}

void CLineSignals::OnDtr()
{
    ToggleLine(m_bDtr, &CMonitorLink::SetDtr, QStringLiteral("DTR"));
}

void CLineSignals::OnRts()
{
    ToggleLine(m_bRts, &CMonitorLink::SetRts, QStringLiteral("RTS"));
}

void CLineSignals::ToggleLine(bool& on, int (CMonitorLink::*set)(bool), const QString& name)
{
    if (HasLineSignals()) {
        if (const int error = (m_pLink->*set)(!on))
            ReportLineFailure(name, error);
        else
            on = !on;
    }
    emit stateChanged();
}

void CLineSignals::OnBreak()
{
    if (!HasLineSignals())
        return;
    if (const int error = m_pLink->SendBreak(kBreakMs))
        ReportLineFailure(QStringLiteral("Break"), error);
}

void CLineSignals::ReportLineFailure(const QString& what, int error)
{
    emit notice(QStringLiteral("\r\n%1: %2 ...\r\n").arg(what, SystemErrorText(error)), kAttrSent);
}
