#pragma once

#include "CFileSendWorker.h"
#include "LinkWriter.h"

#include <QDialog>
#include <QString>

#include <memory>

class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QProgressBar;
class QPushButton;

// The file transfer dialog: a small file browser over the mounted volumes, and the raw bytes of
// the chosen file sent over the monitor's link with progress and cancel. Without a writer (no
// open link) nothing can be sent.
class CFileSendDlg : public QDialog
{
    Q_OBJECT

public:
    CFileSendDlg(QWidget* parent, std::unique_ptr<CLinkWriter> writer);
    ~CFileSendDlg() override;

    // Closing stops a running transfer and waits for its worker.
    void done(int result) override;

private:
    void FillDriveBox();
    void FillFileList();
    void SetFolder(const QString& folder);
    void ResetButtons();

    void OnDriveChanged(int index);
    void OnFileTypeChanged(int index);
    void OnItemSelected(QListWidgetItem* item);
    void OnItemDoubleClicked(QListWidgetItem* item);
    void OnSend();
    void OnCancelSend();

    void OnSendStarted(qint64 total);
    void OnSendProgress(qint64 sent, qint64 total);
    void OnSendFinished(CFileSendWorker::Outcome outcome, qint64 sent, qint64 total, int error);

    std::unique_ptr<CLinkWriter> m_pWriter;
    // Declared after the writer, so that it ends its thread before the writer goes.
    CFileSendWorker m_worker;

    QPushButton* m_pCancelButton = nullptr;
    QPushButton* m_pCloseButton = nullptr;
    QPushButton* m_pSendButton = nullptr;
    QProgressBar* m_pProgress = nullptr;
    QComboBox* m_pFileType = nullptr;
    QListWidget* m_pFileList = nullptr;
    QComboBox* m_pDrive = nullptr;
    QLabel* m_pFolderLabel = nullptr;
    QLabel* m_pFileNameLabel = nullptr;
    QLabel* m_pSizeLabel = nullptr;

    int m_nDriveIndex = -1;
    QString m_strFolder = QStringLiteral("/");
    QString m_strFileName;
    int m_nFileTypeIndex = 0;
    // The user cancelled the running transfer, so its end is not reported.
    bool m_bCancelled = false;
};
