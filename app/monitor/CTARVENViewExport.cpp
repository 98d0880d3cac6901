// The export side of the monitor view: the held traffic, or the selection, written as text,
// a hex dump or CSV while the window goes on.
#include "CTARVENView.h"

#include "CMonitorStatusBar.h"
#include "CTextViewCtrl.h"
#include "MessageBox.h"
#include "MonitorExport.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>

namespace {

// How long the status bar says where an export went.
constexpr int kExportNoticeMs = 10000;

struct ExportChoice
{
    const char* filter;
    const char* suffix;
    ExportKind kind;
};

// The dialog's filters, in the order offered: the file's kind is the filter chosen.
constexpr ExportChoice kExportChoices[] = {
    {QT_TRANSLATE_NOOP("CTARVENView", "CSV (*.csv)"), "csv", ExportKind::Csv},
    {QT_TRANSLATE_NOOP("CTARVENView", "텍스트 (*.txt)"), "txt", ExportKind::Text},
    {QT_TRANSLATE_NOOP("CTARVENView", "16진 덤프 (*.txt)"), "txt", ExportKind::HexDump},
};

} // namespace

void CTARVENView::OnExport()
{
    if (IsExporting()) {
        ShowMessage(tr("내보내기가 아직 진행 중입니다."), QMessageBox::Information, QMessageBox::Ok,
                    this, tr("내보내기"));
        return;
    }
    QStringList filters;
    for (const ExportChoice& choice : kExportChoices)
        filters.append(tr(choice.filter));
    QFileDialog dialog(this, tr("내보내기"),
                       m_strExportFolder.isEmpty() ? QDir::homePath() : m_strExportFolder);
    dialog.setObjectName(QStringLiteral("ExportFile"));
    dialog.setNameFilters(filters);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    QPointer<QWidget> focused = QApplication::focusWidget();
    const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    // Without a window manager the keys would not come back on their own.
    window()->activateWindow();
    if (focused)
        focused->setFocus();
    if (!chosen)
        return;
    const qsizetype index = std::max<qsizetype>(filters.indexOf(dialog.selectedNameFilter()), 0);
    const ExportChoice& choice = kExportChoices[index];
    QString path = dialog.selectedFiles().constFirst();
    if (QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + QLatin1String(choice.suffix);
    m_strExportFolder = QFileInfo(path).absolutePath();
    ExportTo(path, choice.kind);
}

bool CTARVENView::ExportTo(const QString& path, ExportKind kind)
{
    if (IsExporting())
        return false;
    // The bytes are copied here, at once; the writing goes on while the traffic does.
    auto [from, to] = m_pTextView->SelectionRange();
    if (from == to)
        std::tie(from, to) = m_pTextView->HeldRange();
    ExportSnapshot snapshot;
    snapshot.cells = m_pTextView->Cells(from, to, &snapshot.start);
    snapshot.stamps = m_pTextView->ArrivalStamps();
    snapshot.clients = m_pTextView->ClientRuns();
    snapshot.encoding = m_pTextView->GetTextEncoding();
    snapshot.bShowControls = m_bControlCodes;
    snapshot.bShowTimes = m_pTextView->IsShowingArrivalStamps();
    m_pExport = std::make_unique<CExportJob>(std::move(snapshot), kind, path);
    connect(m_pExport.get(), &CExportJob::finished, this, [this](const QString& error) {
        const QString written = m_pExport->Path();
        m_pExport.reset();
        if (!error.isEmpty())
            ShowMessage(
                tr("내보내지 못했습니다: %1\n%2").arg(QDir::toNativeSeparators(written), error),
                QMessageBox::Warning, QMessageBox::Ok, this, tr("내보내기"));
        else
            m_pStatus->showMessage(tr("내보냈습니다: %1").arg(QDir::toNativeSeparators(written)),
                                   kExportNoticeMs);
        emit stateChanged();
        emit exportFinished(written, error);
    });
    m_pStatus->showMessage(tr("내보내는 중: %1").arg(QDir::toNativeSeparators(path)));
    m_pExport->Start();
    emit stateChanged();
    return true;
}
