#include "CFileSendDlg.h"

#include "CWaitCursor.h"
#include "DialogControls.h"
#include "FileListing.h"
#include "FileSendDlgIds.h"
#include "MessageBox.h"
#include "SystemErrorText.h"
#include "ToolsConstants.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QStorageInfo>
#include <QVBoxLayout>

#include <cerrno>
#include <climits>
#include <iterator>

using namespace FileSendDlgIds;

namespace {

const char* const kFileTypes[] = {
    QT_TRANSLATE_NOOP("CFileSendDlg", "All files (*.*)"),
    QT_TRANSLATE_NOOP("CFileSendDlg", "Binary files (*.bin)"),
    QT_TRANSLATE_NOOP("CFileSendDlg", "Intel HEX files (*.hex)"),
    QT_TRANSLATE_NOOP("CFileSendDlg", "Motorola S-record files (*.s19 *.srec *.mot)"),
    QT_TRANSLATE_NOOP("CFileSendDlg", "Text files (*.txt)"),
};

const char* const kSendingText =
    QT_TRANSLATE_NOOP("CFileSendDlg", "지금 전송중입니다. 잠시만 기다려 주십시요..");
const char* const kAskText = QT_TRANSLATE_NOOP("CFileSendDlg", "'%1' 파일을 전송하시겠습니까?");
const char* const kNotFoundText = QT_TRANSLATE_NOOP("CFileSendDlg", "파일을 찾을수가 없습니다 !!");
const char* const kCompletedText = QT_TRANSLATE_NOOP("CFileSendDlg", "전송이 완료되었습니다.");
const char* const kCancelledText = QT_TRANSLATE_NOOP("CFileSendDlg", "전송이 취소 되었습니다 !!!.");
const char* const kFailedText =
    QT_TRANSLATE_NOOP("CFileSendDlg", "파일전송에 실패했습니다 !!\n%1\n(%2 / %3 Bytes 전송)");
const char* const kProgressText = QT_TRANSLATE_NOOP("CFileSendDlg", "%1 / %2 Bytes");
const char* const kWaitingText =
    QT_TRANSLATE_NOOP("CFileSendDlg", "전송 대기중... (%1 Bytes 남음)");
const char* const kNotSendableText =
    QT_TRANSLATE_NOOP("CFileSendDlg", "일반 파일만 전송할 수 있습니다.\n%1");
const char* const kNoPathText = QT_TRANSLATE_NOOP("CFileSendDlg", "경로를 찾을 수 없습니다.\n%1");

// A progress bar counts in int: files beyond that are shown in coarser steps.
int ProgressShift(qint64 total)
{
    int shift = 0;
    while ((total >> shift) > INT_MAX)
        ++shift;
    return shift;
}

QString FailureReason(CFileSendWorker::Outcome outcome, int error, int stallSec)
{
    if (outcome == CFileSendWorker::Outcome::ReadFailed)
        return QCoreApplication::translate("CFileSendDlg", "파일을 읽을 수 없습니다.");
    switch (error) {
    case ETIMEDOUT:
        return QCoreApplication::translate("CFileSendDlg",
                                           "상대편이 %1초 동안 데이터를 받지 않았습니다.")
            .arg(stallSec);
    case EPIPE:
    case ECONNRESET:
        return QCoreApplication::translate("CFileSendDlg", "상대편이 연결을 끊었습니다.");
    case EBADF:
    case ENOTSOCK:
        return QCoreApplication::translate("CFileSendDlg", "링크가 닫혔습니다.");
    case ENOTCONN:
        return QCoreApplication::translate("CFileSendDlg", "연결된 상대편이 없습니다.");
    case EIO:
        return QCoreApplication::translate("CFileSendDlg", "장치와의 연결이 끊어졌습니다.");
    default:
        break;
    }
    return SystemErrorText(error);
}

// The mounted volumes whose roots are folders, root first: they stand for the drive letters.
QStringList VolumeRoots()
{
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        if (volume.isValid() && volume.isReady() && QFileInfo(root).isDir() &&
            !roots.contains(root))
            roots.append(root);
    }
    roots.removeAll(QStringLiteral("/"));
    roots.sort();
    roots.prepend(QStringLiteral("/"));
    return roots;
}

QString WithSlash(const QString& folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

// The folder itself when it exists, else the nearest folder above it that does.
QString ExistingFolder(const QString& folder)
{
    QString path = QDir::cleanPath(folder);
    while (!QFileInfo(path).isDir() && path != QDir::rootPath())
        path = QFileInfo(path).path();
    return WithSlash(QFileInfo(path).isDir() ? path : QDir::rootPath());
}

QLabel* ValueLabel(int id, QWidget* parent)
{
    auto* label = new QLabel(parent);
    NameControl(label, id);
    label->setFrameShape(QFrame::StyledPanel);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

CFileSendDlg::CFileSendDlg(QWidget* parent, std::unique_ptr<CLinkWriter> writer,
                           const FileSendSettings& settings)
    : QDialog(parent), m_pWriter(std::move(writer)), m_nStallSec(settings.nStallSec)
{
    setWindowTitle(tr("파일전송"));
    NameControl(this, IDD);
    auto* layout = new QVBoxLayout(this);

    auto* browseRow = new QHBoxLayout;
    m_pDrive = new QComboBox(this);
    NameControl(m_pDrive, IDC_DRIVE);
    m_pFileType = new QComboBox(this);
    NameControl(m_pFileType, IDC_FILE_TYPE);
    auto* driveLabel = new QLabel(tr("드라이브"), this);
    driveLabel->setBuddy(m_pDrive);
    browseRow->addWidget(driveLabel);
    browseRow->addWidget(m_pDrive, 1);
    browseRow->addWidget(m_pFileType, 1);
    layout->addLayout(browseRow);

    auto* pathRow = new QHBoxLayout;
    m_pPath = new QLineEdit(this);
    NameControl(m_pPath, IDC_PATH);
    m_pPath->setToolTip(tr("폴더나 파일의 경로를 입력하고 Enter를 누르십시오."));
    m_pPath->installEventFilter(this);
    auto* pathLabel = new QLabel(tr("경로"), this);
    pathLabel->setBuddy(m_pPath);
    pathRow->addWidget(pathLabel);
    pathRow->addWidget(m_pPath, 1);
    layout->addLayout(pathRow);

    m_pFileList = new QListWidget(this);
    NameControl(m_pFileList, IDC_FILE_LIST);
    m_pFileList->setViewMode(QListView::ListMode);
    m_pFileList->setFlow(QListView::TopToBottom);
    m_pFileList->setWrapping(true);
    m_pFileList->setResizeMode(QListView::Adjust);
    m_pFileList->setIconSize(QSize(kFileListIconPx, kFileListIconPx));
    m_pFileList->setMinimumSize(kFileListMinWidthPx, kFileListMinHeightPx);
    layout->addWidget(m_pFileList, 1);

    auto* grid = new QGridLayout;
    m_pFolderLabel = ValueLabel(IDC_FOLDER, this);
    m_pFileNameLabel = ValueLabel(IDC_FILE_NAME, this);
    m_pSizeLabel = ValueLabel(IDC_SIZE_TEXT, this);
    m_pProgress = new QProgressBar(this);
    NameControl(m_pProgress, IDC_PROGRESS);
    m_pProgress->setRange(0, 1);
    m_pProgress->setValue(0);
    const std::pair<const char*, QWidget*> rows[] = {
        {QT_TRANSLATE_NOOP("CFileSendDlg", "파일경로"), m_pFolderLabel},
        {QT_TRANSLATE_NOOP("CFileSendDlg", "파일이름"), m_pFileNameLabel},
        {QT_TRANSLATE_NOOP("CFileSendDlg", "파일크기"), m_pSizeLabel},
        {QT_TRANSLATE_NOOP("CFileSendDlg", "전송진행"), m_pProgress}};
    for (int row = 0; row < static_cast<int>(std::size(rows)); ++row) {
        grid->addWidget(new QLabel(tr(rows[row].first), this), row, 0);
        grid->addWidget(rows[row].second, row, 1);
    }
    grid->setColumnStretch(1, 1);
    layout->addLayout(grid);

    auto* buttons = new QHBoxLayout;
    m_pSendButton = new QPushButton(tr("전송"), this);
    m_pSendButton->setObjectName(kIdOk);
    m_pSendButton->setDefault(true);
    m_pCancelButton = new QPushButton(tr("전송취소"), this);
    m_pCancelButton->setObjectName(kIdAbort);
    m_pCancelButton->setAutoDefault(false);
    m_pCloseButton = new QPushButton(tr("닫기"), this);
    m_pCloseButton->setObjectName(kIdCancel);
    m_pCloseButton->setAutoDefault(false);
    buttons->addStretch();
    buttons->addWidget(m_pSendButton);
    buttons->addWidget(m_pCancelButton);
    buttons->addWidget(m_pCloseButton);
    layout->addLayout(buttons);

    connect(m_pSendButton, &QPushButton::clicked, this, &CFileSendDlg::OnSend);
    connect(m_pCancelButton, &QPushButton::clicked, this, &CFileSendDlg::OnCancelSend);
    connect(m_pCloseButton, &QPushButton::clicked, this, &CFileSendDlg::reject);
    connect(m_pFileList, &QListWidget::itemClicked, this, &CFileSendDlg::OnItemSelected);
    connect(m_pFileList, &QListWidget::currentItemChanged, this, &CFileSendDlg::OnItemSelected);
    connect(m_pFileList, &QListWidget::itemDoubleClicked, this, &CFileSendDlg::OnItemDoubleClicked);
    connect(&m_worker, &CFileSendWorker::started, this, &CFileSendDlg::OnSendStarted);
    connect(&m_worker, &CFileSendWorker::progress, this, &CFileSendDlg::OnSendProgress);
    connect(&m_worker, &CFileSendWorker::finished, this, &CFileSendDlg::OnSendFinished);

    ResetButtons();
    for (const char* type : kFileTypes)
        m_pFileType->addItem(tr(type));
    m_pFileType->setCurrentIndex(m_nFileTypeIndex);
    FillDriveBox();
    // Connected only now, so that filling the boxes does not fill the list several times.
    connect(m_pDrive, &QComboBox::currentIndexChanged, this, &CFileSendDlg::OnDriveChanged);
    connect(m_pFileType, &QComboBox::currentIndexChanged, this, &CFileSendDlg::OnFileTypeChanged);
    SetFolder(settings.strFolder.isEmpty() ? m_strFolder : ExistingFolder(settings.strFolder));
}

FileSendSettings CFileSendDlg::Settings() const
{
    return FileSendSettings{m_strFolder, m_nStallSec};
}

CFileSendDlg::~CFileSendDlg()
{
    m_worker.Cancel();
    m_worker.Wait();
}

void CFileSendDlg::FillDriveBox()
{
    const QIcon driveIcon = QFileIconProvider().icon(QFileIconProvider::Drive);
    for (const QString& root : VolumeRoots())
        m_pDrive->addItem(driveIcon, root, WithSlash(root));
    if (m_nDriveIndex == -1)
        m_nDriveIndex = 0; // the root volume
    m_pDrive->setCurrentIndex(m_nDriveIndex);
    m_strFolder = m_pDrive->currentData().toString();
}

void CFileSendDlg::FillFileList()
{
    m_pFileList->clear();
    m_pFolderLabel->setText(m_strFolder);
    QFileIconProvider icons;
    const QIcon folderIcon = icons.icon(QFileIconProvider::Folder);
    for (const FileEntry& entry : ListFolder(m_strFolder, m_pFileType->currentText())) {
        const bool file =
            entry.value == kEntryFileAttribute || entry.value == kEntryDeviceAttribute;
        const QIcon icon = file ? icons.icon(QFileInfo(m_strFolder + entry.name)) : folderIcon;
        auto* item = new QListWidgetItem(icon, entry.text, m_pFileList);
        item->setData(Qt::UserRole, entry.value);
        item->setData(Qt::UserRole + 1, entry.name);
        if (entry.value == kEntryDeviceAttribute) {
            // A device has no end to send up to: shown, so that nothing seems missing, but greyed.
            item->setFlags(item->flags() & ~(Qt::ItemIsEnabled | Qt::ItemIsSelectable));
            item->setToolTip(tr("장치나 파이프는 전송할 수 없습니다."));
        }
    }
}

void CFileSendDlg::SetFolder(const QString& folder)
{
    m_strFolder = folder;
    SetFileName(QString());
    // The drive box follows: the volume that holds the folder, the deepest one that does.
    int volume = 0;
    for (int i = 0; i < m_pDrive->count(); ++i) {
        const QString root = m_pDrive->itemData(i).toString();
        if (folder.startsWith(root) && root.size() >= m_pDrive->itemData(volume).toString().size())
            volume = i;
    }
    const QSignalBlocker quiet(m_pDrive);
    m_pDrive->setCurrentIndex(volume);
    m_nDriveIndex = volume;
    FillFileList();
}

void CFileSendDlg::SetFileName(const QString& name)
{
    m_strFileName = name;
    m_pFileNameLabel->setText(name);
    ShowPath();
}

void CFileSendDlg::ShowPath()
{
    m_pPath->setText(m_strFolder + m_strFileName);
}

void CFileSendDlg::OnPathEntered()
{
    const QString typed = m_pPath->text().trimmed();
    if (typed.isEmpty()) {
        ShowPath();
        return;
    }
    const QFileInfo info(QDir(m_strFolder).absoluteFilePath(typed));
    if (info.isDir()) {
        SetFolder(WithSlash(info.absoluteFilePath()));
        return;
    }
    if (!info.exists() && !info.isSymLink()) {
        ShowMessage(tr(kNoPathText).arg(typed), QMessageBox::Warning, QMessageBox::Ok, this);
        return;
    }
    // A file: its folder is shown with it chosen, and it is offered for sending.
    SetFolder(WithSlash(info.absolutePath()));
    if (!info.isFile()) {
        ShowMessage(tr(kNotSendableText).arg(info.absoluteFilePath()), QMessageBox::Warning,
                    QMessageBox::Ok, this);
        return;
    }
    for (int i = 0; i < m_pFileList->count(); ++i) {
        if (m_pFileList->item(i)->data(Qt::UserRole + 1).toString() == info.fileName())
            m_pFileList->setCurrentRow(i);
    }
    SetFileName(info.fileName());
    if (m_pSendButton->isEnabled())
        OnSend();
}

bool CFileSendDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_pPath && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            OnPathEntered();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CFileSendDlg::ResetButtons()
{
    m_pSendButton->setEnabled(m_pWriter != nullptr);
    m_pCancelButton->setEnabled(false);
}

void CFileSendDlg::OnDriveChanged(int index)
{
    m_nDriveIndex = index;
    SetFolder(m_pDrive->itemData(index).toString());
}

void CFileSendDlg::OnFileTypeChanged(int index)
{
    m_nFileTypeIndex = index;
    FillFileList();
}

void CFileSendDlg::OnItemSelected(QListWidgetItem* item)
{
    if (item == nullptr || item->data(Qt::UserRole).toInt() != kEntryFileAttribute)
        return;
    // The name on disk, not the shown one: names differ by case on this system.
    SetFileName(item->data(Qt::UserRole + 1).toString());
}

void CFileSendDlg::OnItemDoubleClicked(QListWidgetItem* item)
{
    const int value = item->data(Qt::UserRole).toInt();
    const QString name = item->data(Qt::UserRole + 1).toString();
    switch (value) {
    case kEntryUp:
        SetFolder(ParentFolder(m_strFolder));
        break;
    case kEntryRoot:
        SetFolder(m_strFolder);
        break;
    case kEntryFolderAttribute:
        SetFolder(m_strFolder + name + QLatin1Char('/'));
        break;
    case kEntryFileAttribute:
        OnItemSelected(item);
        OnSend();
        break;
    default:
        break;
    }
}

void CFileSendDlg::OnSend()
{
    if (m_worker.IsRunning()) {
        ShowMessage(tr(kSendingText), QMessageBox::Warning, QMessageBox::Ok, this);
        return;
    }
    if (m_pWriter == nullptr)
        return;
    const QString path = m_strFolder + m_strFileName;
    if (m_strFileName.isEmpty()) {
        ShowMessage(tr(kNotFoundText), QMessageBox::Warning, QMessageBox::Ok, this);
        return;
    }
    if (QFileInfo::exists(path) && !QFileInfo(path).isFile()) {
        ShowMessage(tr(kNotSendableText).arg(path), QMessageBox::Warning, QMessageBox::Ok, this);
        return;
    }
    if (ShowMessage(tr(kAskText).arg(path), QMessageBox::Question,
                    QMessageBox::Yes | QMessageBox::No, this) != QMessageBox::Yes)
        return;

    const CWaitCursor wait;
    m_pSendButton->setEnabled(false);
    m_pCancelButton->setEnabled(true);
    m_pSizeLabel->clear();
    m_bCancelled = false;
    m_pWriter->BeginTransfer(std::chrono::seconds(m_nStallSec));
    m_worker.Start(path, m_pWriter.get());
}

void CFileSendDlg::OnCancelSend()
{
    if (m_worker.IsSending()) {
        m_worker.Cancel();
        m_bCancelled = true;
        ShowMessage(tr(kCancelledText), QMessageBox::Information, QMessageBox::Ok, this);
    }
    ResetButtons();
}

void CFileSendDlg::done(int result)
{
    OnCancelSend();
    if (m_worker.IsRunning()) {
        // The worker ends at its next block boundary, at most one write time-out away.
        const CWaitCursor wait;
        m_worker.Wait();
    }
    m_bCancelled = true; // a closed dialog reports nothing more
    QDialog::done(result);
}

void CFileSendDlg::OnSendStarted(qint64 total)
{
    const int shift = ProgressShift(total);
    // An empty file gets one step, so the bar shows done instead of busy.
    m_pProgress->setRange(0, total > 0 ? static_cast<int>(total >> shift) : 1);
    m_pProgress->setValue(0);
    m_pSizeLabel->setText(tr(kProgressText).arg(0).arg(total));
}

void CFileSendDlg::OnSendProgress(qint64 sent, qint64 pending, qint64 total)
{
    // The bar counts what was delivered, so it is full only when the peer has everything.
    m_pProgress->setValue(static_cast<int>((sent - pending) >> ProgressShift(total)));
    if (sent == total && pending > 0)
        m_pSizeLabel->setText(tr(kWaitingText).arg(pending));
    else
        m_pSizeLabel->setText(tr(kProgressText).arg(sent).arg(total));
}

void CFileSendDlg::OnSendFinished(CFileSendWorker::Outcome outcome, qint64 sent, qint64 total,
                                  int error)
{
    if (outcome != CFileSendWorker::Outcome::NotFound)
        OnSendProgress(sent, 0, total);
    if (m_bCancelled || outcome == CFileSendWorker::Outcome::Cancelled)
        return;
    ResetButtons();
    switch (outcome) {
    case CFileSendWorker::Outcome::Completed:
        m_pProgress->setValue(m_pProgress->maximum());
        ShowMessage(tr(kCompletedText), QMessageBox::Information, QMessageBox::Ok, this);
        break;
    case CFileSendWorker::Outcome::NotFound:
        ShowMessage(tr(kNotFoundText), QMessageBox::Warning, QMessageBox::Ok, this);
        break;
    default:
        ShowMessage(tr(kFailedText)
                        .arg(FailureReason(outcome, error, m_nStallSec), QString::number(sent),
                             QString::number(total)),
                    QMessageBox::Warning, QMessageBox::Ok, this);
        break;
    }
}
