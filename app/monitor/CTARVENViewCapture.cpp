// Capture files and printing of the monitor view.
#include "CTARVENView.h"

#include "CCaptureNameDlg.h"
#include "CDocument.h"
#include "CPrintTarget.h"
#include "CTextViewCtrl.h"
#include "CWaitCursor.h"
#include "MessageBox.h"
#include "ShellConstants.h"

#include <QDir>
#include <QFileDialog>
#include <QPainter>
#include <QPrinter>
#include <QSettings>

namespace {

const char* const kCaptureCaption = QT_TRANSLATE_NOOP("CTARVENView", "갈무리파일");
const char* const kPrintCaption = QT_TRANSLATE_NOOP("CTARVENView", "인쇄");

} // namespace

QString CTARVENView::CaptureFolder() const
{
    QSettings settings(kCompanyName, kApplicationName);
    const QString root = settings
                             .value(QStringLiteral("%1/RootPath").arg(kGroupTarven),
                                    QDir::homePath() + QStringLiteral("/TARVEN"))
                             .toString();
    // Each level is made when missing; a failure shows when the capture file cannot be made.
    QDir().mkdir(root);
    const QString folder = QDir(root).filePath(QStringLiteral("Galmuri"));
    QDir().mkdir(folder);
    return folder;
}

void CTARVENView::OnCapture()
{
    m_bCapturing = !m_bCapturing;
    if (!m_bCapturing) {
        m_pTextView->GalmuriSave(false);
        UpdateCounters();
        emit stateChanged();
        return;
    }
    const QString folder = CaptureFolder();
    QString path;
    if (CurrentEnv().bGalmuriFileCreate) {
        path = QDir(folder).filePath(DocumentTitle() + QStringLiteral(".tvn"));
    } else {
        CCaptureNameDlg dialog(folder, this);
        if (dialog.exec() != QDialog::Accepted) {
            m_bCapturing = false;
            emit stateChanged();
            return;
        }
        QString name = dialog.FileName();
        if (!name.contains(u'.'))
            name += QStringLiteral(".tvn");
        path = QDir(folder).filePath(name);
    }
    UpdateCounters();
    emit stateChanged();
    // A capture that cannot start reports through OnCaptureFailed.
    m_pTextView->GalmuriSave(true, path);
}

void CTARVENView::OnCaptureFailed(const QString& message)
{
    m_bCapturing = false;
    UpdateCounters();
    emit stateChanged();
    ShowMessage(tr("갈무리를 할 수 없습니다.\n%1").arg(message), QMessageBox::Critical,
                QMessageBox::Ok, this, tr(kCaptureCaption));
}

void CTARVENView::OnCaptureShow()
{
    if (m_bCapturing)
        return;
    const QString path = QFileDialog::getOpenFileName(this, QString(), CaptureFolder(),
                                                      QStringLiteral("TARVEN Files (*.TVN *.tvn)"));
    if (!path.isEmpty())
        ShowCaptureFile(path);
}

void CTARVENView::OnShowDocumentFile()
{
    if (m_pDocument != nullptr && !m_pDocument->PathName().isEmpty())
        ShowCaptureFile(m_pDocument->PathName());
}

int CTARVENView::ShowCaptureFile(const QString& path)
{
    const auto shown = [this, path] {
        m_strShownCapture = path;
        emit stateChanged();
        m_nReceived = m_pTextView->GetBufferSize();
        m_nLines = m_pTextView->GetLineSize();
        UpdateCounters();
        // Everything whole is shown; the user learns that something was not.
        if (const int skipped = m_pTextView->GetSkippedRecords(); skipped > 0)
            ShowMessage(tr("손상된 기록 %1개를 건너뛰었습니다").arg(skipped), QMessageBox::Warning,
                        QMessageBox::Ok, this, tr(kCaptureCaption));
    };
    int result = 0;
    {
        CWaitCursor wait;
        result = m_pTextView->BeginGalmuriShow(path);
    }
    if (result == 1) {
        // A big file is read meanwhile; the window stays free and the user may cancel.
        connect(
            m_pTextView, &CTextViewCtrl::captureLoaded, this,
            [shown](bool done) {
                if (done)
                    shown();
            },
            Qt::SingleShotConnection);
        return result;
    }
    if (result == 0) {
        shown();
        return result;
    }
    // The user chose the file and is told why nothing is shown.
    const CaptureStatus status = result == -2   ? CaptureStatus::NotCapture
                                 : result == -3 ? CaptureStatus::UnsupportedVersion
                                                : CaptureStatus::Unreadable;
    ShowMessage(CaptureErrorText(status, path), QMessageBox::Critical, QMessageBox::Ok, this,
                tr(kCaptureCaption));
    return result;
}

QString CTARVENView::CaptureErrorText(CaptureStatus status, const QString& path)
{
    switch (status) {
    case CaptureStatus::NotCapture:
        return tr("TARVEN 파일이 아닙니다.");
    case CaptureStatus::UnsupportedVersion:
        return tr("새 버전의 TARVEN에서 만든 갈무리 파일입니다.\n%1").arg(path);
    case CaptureStatus::Ok:
    case CaptureStatus::Unreadable:
        break;
    }
    return tr("갈무리 파일을 읽을 수 없습니다.\n%1").arg(path);
}

void CTARVENView::CountReplayed(qint64 received, qint64 sent)
{
    m_nReceived += received;
    m_nSent += sent;
    m_nLines = m_pTextView->GetLineSize();
    if (!m_statusTimer.isActive())
        m_statusTimer.start();
}

void CTARVENView::OnPrint()
{
    QPrinter printer(QPrinter::HighResolution);
    QString pdf;
    const QString suggested =
        QDir(CaptureFolder()).filePath(DocumentTitle() + QStringLiteral(".pdf"));
    switch (ExecPrintDialog(printer, this, suggested, &pdf)) {
    case PrintChoice::Cancelled:
        return;
    case PrintChoice::Printer: {
        CPrintTarget target(printer);
        PrintTo(target);
        return;
    }
    case PrintChoice::Pdf: {
        CPrintTarget target(pdf);
        PrintTo(target);
        return;
    }
    }
}

bool CTARVENView::PrintTo(CPrintTarget& target)
{
    QPainter painter;
    if (!target.Begin(painter, QStringLiteral("TARVEN"))) {
        ShowMessage(tr("인쇄를 시작할 수 없습니다.\n%1").arg(target.Error()), QMessageBox::Critical,
                    QMessageBox::Ok, this, tr(kPrintCaption));
        return false;
    }
    m_pTextView->SetPrint(&painter, target.Device(), DocumentTitle(), PortDescription(),
                          QStringLiteral("%1 Bytes").arg(m_nReceived),
                          QStringLiteral("%1 Bytes").arg(m_pTextView->GetBufferSize()));
    if (!target.End(painter)) {
        ShowMessage(tr("인쇄를 마치지 못했습니다.\n%1").arg(target.Error()), QMessageBox::Critical,
                    QMessageBox::Ok, this, tr(kPrintCaption));
        return false;
    }
    return true;
}
