#pragma once

#include <QString>

class CPrintTarget;
class CTextViewCtrl;
class QWidget;

// What the header of a printed monitor log names.
struct MonitorLogHeader
{
    QString strTitle; // the document's
    QString strPort;  // the link, as the status bar names it
    qint64 nReceived = 0;
};

// Asks where to print the log (a printer or a PDF file named after the title in folder) and
// prints it there.
void PrintMonitorLog(CTextViewCtrl& log, const MonitorLogHeader& header, const QString& folder,
                     QWidget* parent);
// Prints the log with its header on target; false, and the user told why over parent, when
// the document does not start or finish.
bool PrintMonitorLogTo(CPrintTarget& target, CTextViewCtrl& log, const MonitorLogHeader& header,
                       QWidget* parent);
