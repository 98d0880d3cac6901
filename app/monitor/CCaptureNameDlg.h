#pragma once

#include <QDialog>

class QLineEdit;

// Asks for the name of a new capture file ("갈무리 저장파일 이름") in the capture folder.
class CCaptureNameDlg : public QDialog
{
    Q_OBJECT

public:
    CCaptureNameDlg(const QString& folder, QWidget* parent);

    QString FileName() const;

    void accept() override;

private:
    QLineEdit* m_pFileName = nullptr;
};
