#include "CCaptureNameDlg.h"

#include "CaptureNameDlgIds.h"
#include "DialogControls.h"
#include "MessageBox.h"
#include "MonitorConstants.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

CCaptureNameDlg::CCaptureNameDlg(const QString& folder, QWidget* parent) : QDialog(parent)
{
    NameControl(this, CaptureNameDlgIds::IDD);
    setWindowTitle(tr("갈무리 저장파일 이름"));
    m_pFileName = new QLineEdit(QStringLiteral("Galmuri001.tvn"));
    NameControl(m_pFileName, CaptureNameDlgIds::IDC_FILE_NAME);
    m_pFileName->setMaxLength(kCaptureNameMaxChars);
    m_pFileName->setMinimumWidth(m_pFileName->fontMetrics().averageCharWidth() *
                                 kCaptureNameFieldChars);
    m_pFileName->selectAll();
    auto* folderText = new QLabel(folder.left(kCaptureFolderMaxChars));
    NameControl(folderText, CaptureNameDlgIds::IDC_FOLDER);
    folderText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QFormLayout(this);
    layout->addRow(tr("파일 이름:"), m_pFileName);
    layout->addRow(tr("폴더:"), folderText);
    layout->addRow(buttons);
}

QString CCaptureNameDlg::FileName() const
{
    return m_pFileName->text().trimmed();
}

void CCaptureNameDlg::accept()
{
    if (FileName().isEmpty()) {
        ShowMessage(tr("갈무리 파일 이름을 입력하십시오."), QMessageBox::Warning, QMessageBox::Ok,
                    this);
        return;
    }
    QDialog::accept();
}
