#pragma once

#include <QObject>
#include <QString>

class CMonitorLink;
class CMonitorStatusBar;

// The line signals of a monitor's link: DTR and RTS as the user set them, a break, and the
// input lines CTS, DSR, DCD and RI in the status bar. Harmless where the link has none.
class CLineSignals : public QObject
{
    Q_OBJECT

public:
    CLineSignals(CMonitorLink* link, CMonitorStatusBar* status, QObject* parent = nullptr);

    void OnDtr();
    void OnRts();
    void OnBreak();
    // An open link whose device has modem lines.
    bool HasLineSignals() const;
    bool IsDtrOn() const { return m_bDtr; }
    bool IsRtsOn() const { return m_bRts; }
    // The four indicators as the link now allows; a replay names itself instead.
    void ShowLineState();

signals:
    // DTR or RTS changed, or the link came on-line: menus follow.
    void stateChanged();
    // A line command the device refused, for the terminal.
    void notice(const QString& text, char attribute);

private:
    void ArmLineSignals();
    void OnModemLines(unsigned status);
    // Flips a line the user sets (on: what it is now) through the link's setter.
    void ToggleLine(bool& on, int (CMonitorLink::*set)(bool), const QString& name);
    void ReportLineFailure(const QString& what, int error);

    CMonitorLink* m_pLink;
    CMonitorStatusBar* m_pStatus;
    bool m_bDtr = true; // raised, as opening a port leaves them
    bool m_bRts = true;
};
