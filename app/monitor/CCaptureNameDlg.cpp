#include "CCaptureNameDlg.h"

#include "MessageBox.h"
#include "MonitorConstants.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

CCaptureNameDlg::CCaptureNameDlg(const QString& folder, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("143"));
    setWindowTitle(QStringLiteral("갈무리 저장파일 이름"));
    m_pFileName = new QLineEdit(QStringLiteral("Galmuri001.tvn"));
    m_pFileName->setObjectName(QStringLiteral("1006"));
    m_pFileName->setMaxLength(kCaptureNameMaxChars);
    m_pFileName->selectAll();
    auto* folderText = new QLabel(folder.left(kCaptureFolderMaxChars));
    folderText->setObjectName(QStringLiteral("1007"));
    folderText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("파일 이름:"), m_pFileName);
    layout->addRow(QStringLiteral("폴더:"), folderText);
    layout->addRow(buttons);
}

QString CCaptureNameDlg::FileName() const
{
    return m_pFileName->text().trimmed();
}

void CCaptureNameDlg::accept()
{
    if (FileName().isEmpty()) {
        ShowMessage(QStringLiteral("갈무리 파일 이름을 입력하십시오."), QMessageBox::Warning,
                    QMessageBox::Ok, this);
        return;
    }
    QDialog::accept();
}
