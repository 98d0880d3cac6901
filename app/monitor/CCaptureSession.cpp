#include "CCaptureSession.h"

#include "CCaptureNameDlg.h"
#include "CTextViewCtrl.h"
#include "CWaitCursor.h"
#include "MessageBox.h"
#include "ShellConstants.h"

#include <QDir>
#include <QFileDialog>
#include <QSettings>

namespace {

const char* const kCaptureCaption = QT_TRANSLATE_NOOP("CCaptureSession", "갈무리파일");

} // namespace

CCaptureSession::CCaptureSession(CTextViewCtrl* textView, QWidget* parent)
    : QObject(parent), m_pTextView(textView), m_pParent(parent)
{
    connect(m_pTextView, &CTextViewCtrl::captureFailed, this, &CCaptureSession::OnFailed);
}

QString CCaptureSession::Folder()
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

void CCaptureSession::Toggle(bool byTitle, const QString& title)
{
    m_bCapturing = !m_bCapturing;
    if (!m_bCapturing) {
        m_pTextView->GalmuriSave(false);
        emit stateChanged();
        return;
    }
    const QString folder = Folder();
    QString path;
    if (byTitle) {
        path = QDir(folder).filePath(title + QStringLiteral(".tvn"));
    } else {
        CCaptureNameDlg dialog(folder, m_pParent);
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
    emit stateChanged();
    // A capture that cannot start reports through OnFailed.
    m_pTextView->GalmuriSave(true, path);
}

void CCaptureSession::OnFailed(const QString& message)
{
    m_bCapturing = false;
    emit stateChanged();
    ShowMessage(tr("갈무리를 할 수 없습니다.\n%1").arg(message), QMessageBox::Critical,
                QMessageBox::Ok, m_pParent, tr(kCaptureCaption));
}

void CCaptureSession::Choose()
{
    if (m_bCapturing)
        return;
    const QString path = QFileDialog::getOpenFileName(m_pParent, QString(), Folder(),
                                                      QStringLiteral("TARVEN Files (*.TVN *.tvn)"));
    if (!path.isEmpty())
        Show(path);
}

int CCaptureSession::Show(const QString& path)
{
    const auto onShown = [this, path] {
        m_strShown = path;
        emit shown();
        // Everything whole is shown; the user learns that something was not.
        if (const int skipped = m_pTextView->GetSkippedRecords(); skipped > 0)
            ShowMessage(tr("손상된 기록 %1개를 건너뛰었습니다").arg(skipped), QMessageBox::Warning,
                        QMessageBox::Ok, m_pParent, tr(kCaptureCaption));
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
            [onShown](bool done) {
                if (done)
                    onShown();
            },
            Qt::SingleShotConnection);
        return result;
    }
    if (result == 0) {
        onShown();
        return result;
    }
    // The user chose the file and is told why nothing is shown.
    const CaptureStatus status = result == -2   ? CaptureStatus::NotCapture
                                 : result == -3 ? CaptureStatus::UnsupportedVersion
                                                : CaptureStatus::Unreadable;
    ShowMessage(ErrorText(status, path), QMessageBox::Critical, QMessageBox::Ok, m_pParent,
                tr(kCaptureCaption));
    return result;
}

QString CCaptureSession::ErrorText(CaptureStatus status, const QString& path)
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
