#pragma once

#include "CFileSendWorker.h"
#include "CProtocolTransfer.h"
#include "FileSendSettings.h"
#include "LinkWriter.h"

#include <QDialog>
#include <QString>

#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QProgressBar;
class QPushButton;
class QSpinBox;
class CTransferMonitor;

// The file transfer dialog: a small file browser over the mounted volumes with a path the user
// may type, and the chosen file sent over the monitor's link with progress and cancel: its raw
// bytes (paced for devices without flow control when asked), or by XMODEM, YMODEM or ZMODEM,
// which can also receive into the folder shown. Without a writer (no open link) nothing can
// be sent; without a monitor to take the received bytes no protocol can run.
class CFileSendDlg : public QDialog
{
    Q_OBJECT

public:
    // Opens at the settings' folder (or the nearest one that still exists).
    CFileSendDlg(QWidget* parent, std::unique_ptr<CLinkWriter> writer,
                 const FileSendSettings& settings = {}, CTransferMonitor* monitor = nullptr);
    ~CFileSendDlg() override;

    // The settings with the folder shown now, to be kept for the next time.
    FileSendSettings Settings() const;

    // Closing stops a running transfer and waits for its worker.
    void done(int result) override;

protected:
    // Enter in the path field goes to the path typed; it does not press "전송" as well.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillDriveBox();
    void FillFileList();
    // Shows a folder; the chosen file name goes with the folder it was chosen in.
    void SetFolder(const QString& folder);
    void SetFileName(const QString& name);
    void ShowPath();
    void OnPathEntered();
    void ResetButtons();

    void OnDriveChanged(int index);
    void OnFileTypeChanged(int index);
    void OnItemSelected(QListWidgetItem* item);
    void OnItemDoubleClicked(QListWidgetItem* item);
    void OnSend();
    void OnCancelSend();
    void OnProtocolChanged();

    TransferProtocol Protocol() const;
    bool IsReceiving() const;
    bool IsBusy() const;
    // Runs the protocol's program on the link; false when it did not start (the user was told).
    bool StartProtocol(const ProtocolCommand& command, const QString& folder, const QString& what);
    void ReceiveByProtocol();
    void OnProtocolProgress(qint64 bytes, qint64 total, const QString& file);
    void OnProtocolFinished(CProtocolTransfer::Outcome outcome, const QString& detail, int error);

    void OnSendStarted(qint64 total);
    void OnSendProgress(qint64 sent, qint64 pending, qint64 total);
    void OnSendFinished(CFileSendWorker::Outcome outcome, qint64 sent, qint64 total, int error);

    std::unique_ptr<CLinkWriter> m_pWriter;
    // Declared after the writer, so that it ends its thread before the writer goes.
    CFileSendWorker m_worker;
    CTransferMonitor* m_pMonitor = nullptr;
    std::unique_ptr<CProtocolTransfer> m_pTransfer;
    QElapsedTimer m_protocolClock;
    qint64 m_nProtocolTotal = -1; // the sent file's length; -1 while receiving
    QString m_strProtocolWhat;    // what the start notice said, for the end notice

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
    QLineEdit* m_pPath = nullptr;
    QComboBox* m_pProtocolBox = nullptr;
    QComboBox* m_pDirection = nullptr;
    QSpinBox* m_pLineDelay = nullptr;
    QSpinBox* m_pByteDelay = nullptr;

    int m_nDriveIndex = -1;
    QString m_strFolder = QStringLiteral("/");
    QString m_strFileName;
    int m_nFileTypeIndex = 0;
    int m_nStallSec = kDefaultTransferStallSec;
    // The user cancelled the running transfer, so its end is not reported.
    bool m_bCancelled = false;
};
