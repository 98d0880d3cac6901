#include "MonitorPrint.h"

#include "CPrintTarget.h"
#include "CTextViewCtrl.h"
#include "MessageBox.h"

#include <QCoreApplication>
#include <QDir>
#include <QPainter>
#include <QPrinter>

namespace {

struct MonitorPrint
{
    Q_DECLARE_TR_FUNCTIONS(MonitorPrint)
};

} // namespace

void PrintMonitorLog(CTextViewCtrl& log, const MonitorLogHeader& header, const QString& folder,
                     QWidget* parent)
{
    QPrinter printer(QPrinter::HighResolution);
    QString pdf;
    const QString suggested = QDir(folder).filePath(header.strTitle + QStringLiteral(".pdf"));
    switch (ExecPrintDialog(printer, parent, suggested, &pdf)) {
    case PrintChoice::Cancelled:
        return;
    case PrintChoice::Printer: {
        CPrintTarget target(printer);
        PrintMonitorLogTo(target, log, header, parent);
        return;
    }
    case PrintChoice::Pdf: {
        CPrintTarget target(pdf);
        PrintMonitorLogTo(target, log, header, parent);
        return;
    }
    }
}

bool PrintMonitorLogTo(CPrintTarget& target, CTextViewCtrl& log, const MonitorLogHeader& header,
                       QWidget* parent)
{
    const QString caption = MonitorPrint::tr("인쇄");
    QPainter painter;
    if (!target.Begin(painter, QStringLiteral("TARVEN"))) {
        ShowMessage(MonitorPrint::tr("인쇄를 시작할 수 없습니다.\n%1").arg(target.Error()),
                    QMessageBox::Critical, QMessageBox::Ok, parent, caption);
        return false;
    }
    log.SetPrint(&painter, target.Device(), header.strTitle, header.strPort,
                 QStringLiteral("%1 Bytes").arg(header.nReceived),
                 QStringLiteral("%1 Bytes").arg(log.GetBufferSize()));
    if (!target.End(painter)) {
        ShowMessage(MonitorPrint::tr("인쇄를 마치지 못했습니다.\n%1").arg(target.Error()),
                    QMessageBox::Critical, QMessageBox::Ok, parent, caption);
        return false;
    }
    return true;
}
