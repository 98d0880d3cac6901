#include "CFileSendDlg.h"

#include "CWaitCursor.h"
#include "DialogControls.h"
#include "FileListing.h"
#include "FileSendDlgIds.h"
#include "MessageBox.h"
#include "SystemErrorText.h"
#include "ToolsConstants.h"
#include "TransferMonitor.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QStorageInfo>
#include <QTimer>
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

const char* const kProtocols[kTransferProtocolCount] = {
    QT_TRANSLATE_NOOP("CFileSendDlg", "없음(일반)"), "XMODEM", "XMODEM-1K", "YMODEM", "ZMODEM"};
const char* const kReceiveAskText =
    QT_TRANSLATE_NOOP("CFileSendDlg", "%1(으)로 '%2' 폴더에 파일을 받으시겠습니까?");
const char* const kOverwriteText =
    QT_TRANSLATE_NOOP("CFileSendDlg", "'%1' 파일이 이미 있습니다. 덮어쓰시겠습니까?");
const char* const kReceivedText = QT_TRANSLATE_NOOP("CFileSendDlg", "파일을 받았습니다.\n%1");
const char* const kRateText = QT_TRANSLATE_NOOP("CFileSendDlg", "%1 Bytes, %2 KB/s");
const char* const kRateOfText = QT_TRANSLATE_NOOP("CFileSendDlg", "%1 / %2 Bytes, %3 KB/s");
// How long closing waits for a cancelled program before it is killed outright.
constexpr int kProtocolCloseWaitMs = 10000;

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
                           const FileSendSettings& settings, CTransferMonitor* monitor)
    : QDialog(parent), m_pWriter(std::move(writer)), m_pMonitor(monitor),
      m_nStallSec(settings.nStallSec)
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

    auto* modeRow = new QHBoxLayout;
    m_pProtocolBox = new QComboBox(this);
    NameControl(m_pProtocolBox, IDC_PROTOCOL);
    for (const char* protocol : kProtocols)
        m_pProtocolBox->addItem(tr(protocol));
    // A protocol answers the peer, so it needs the bytes the link receives.
    m_pProtocolBox->setEnabled(m_pMonitor != nullptr);
    m_pProtocolBox->setCurrentIndex(m_pMonitor != nullptr ? settings.nProtocol : 0);
    m_pDirection = new QComboBox(this);
    NameControl(m_pDirection, IDC_DIRECTION);
    m_pDirection->addItems({tr("보내기"), tr("받기")});
    m_pLineDelay = new QSpinBox(this);
    NameControl(m_pLineDelay, IDC_LINE_DELAY);
    m_pByteDelay = new QSpinBox(this);
    NameControl(m_pByteDelay, IDC_BYTE_DELAY);
    for (QSpinBox* delay : {m_pLineDelay, m_pByteDelay}) {
        delay->setRange(0, kMaxSendDelayMs);
        delay->setSuffix(QStringLiteral(" ms"));
        delay->setToolTip(tr("흐름 제어가 없는 장치를 위한 일반 전송의 지연 (0 = 없음)"));
    }
    m_pLineDelay->setValue(settings.nLineDelayMs);
    m_pByteDelay->setValue(settings.nByteDelayMs);
    const std::pair<const char*, QWidget*> modes[] = {
        {QT_TRANSLATE_NOOP("CFileSendDlg", "프로토콜"), m_pProtocolBox},
        {QT_TRANSLATE_NOOP("CFileSendDlg", "방향"), m_pDirection},
        {QT_TRANSLATE_NOOP("CFileSendDlg", "줄 지연"), m_pLineDelay},
        {QT_TRANSLATE_NOOP("CFileSendDlg", "바이트 지연"), m_pByteDelay}};
    for (const auto& [text, control] : modes) {
        auto* label = new QLabel(tr(text), this);
        label->setBuddy(control);
        modeRow->addWidget(label);
        modeRow->addWidget(control);
    }
    modeRow->addStretch();
    layout->addLayout(modeRow);

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
    connect(m_pProtocolBox, &QComboBox::currentIndexChanged, this,
            &CFileSendDlg::OnProtocolChanged);
    connect(m_pDirection, &QComboBox::currentIndexChanged, this, &CFileSendDlg::OnProtocolChanged);

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
    return FileSendSettings{m_strFolder, m_nStallSec, m_pProtocolBox->currentIndex(),
                            m_pLineDelay->value(), m_pByteDelay->value()};
}

CFileSendDlg::~CFileSendDlg()
{
    m_worker.Cancel();
    m_worker.Wait();
    if (m_pTransfer != nullptr && m_pTransfer->IsRunning() && m_pMonitor != nullptr)
        m_pMonitor->Release();
    m_pTransfer.reset();
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
    OnProtocolChanged();
}

TransferProtocol CFileSendDlg::Protocol() const
{
    return static_cast<TransferProtocol>(m_pProtocolBox->currentIndex());
}

bool CFileSendDlg::IsReceiving() const
{
    return Protocol() != TransferProtocol::Plain && m_pDirection->currentIndex() == 1;
}

bool CFileSendDlg::IsBusy() const
{
    return m_worker.IsRunning() || (m_pTransfer != nullptr && m_pTransfer->IsRunning());
}

void CFileSendDlg::OnProtocolChanged()
{
    // Only a protocol receives; only a plain send is paced. Nothing changes while one runs.
    const bool idle = !IsBusy();
    const bool plain = Protocol() == TransferProtocol::Plain;
    if (plain && m_pDirection->currentIndex() != 0) {
        const QSignalBlocker quiet(m_pDirection);
        m_pDirection->setCurrentIndex(0);
    }
    m_pProtocolBox->setEnabled(idle && m_pMonitor != nullptr);
    m_pDirection->setEnabled(idle && !plain);
    m_pLineDelay->setEnabled(idle && plain);
    m_pByteDelay->setEnabled(idle && plain);
    m_pSendButton->setText(IsReceiving() ? tr("받기") : tr("전송"));
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
    if (IsBusy()) {
        ShowMessage(tr(kSendingText), QMessageBox::Warning, QMessageBox::Ok, this);
        return;
    }
    if (m_pWriter == nullptr)
        return;
    if (IsReceiving()) {
        ReceiveByProtocol();
        return;
    }
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

    if (Protocol() != TransferProtocol::Plain) {
        m_nProtocolTotal = QFileInfo(path).size();
        StartProtocol(ProtocolCommandFor(Protocol(), TransferDirection::Send, m_strFileName),
                      m_strFolder,
                      tr("%1 보내기 '%2'").arg(m_pProtocolBox->currentText(), m_strFileName));
        return;
    }
    const CWaitCursor wait;
    m_pSendButton->setEnabled(false);
    m_pCancelButton->setEnabled(true);
    m_pSizeLabel->clear();
    m_bCancelled = false;
    m_pWriter->BeginTransfer(std::chrono::seconds(m_nStallSec));
    m_worker.Start(path, m_pWriter.get(), {m_pLineDelay->value(), m_pByteDelay->value()});
    OnProtocolChanged();
}

void CFileSendDlg::ReceiveByProtocol()
{
    const QString protocol = m_pProtocolBox->currentText();
    QString name;
    bool overwrite = false;
    if (Protocol() == TransferProtocol::Xmodem || Protocol() == TransferProtocol::Xmodem1K) {
        // XMODEM carries no name: the user gives one.
        bool ok = false;
        name = QInputDialog::getText(
                   this, tr("받기"), tr("받을 파일 이름:"), QLineEdit::Normal,
                   m_strFileName.isEmpty() ? QStringLiteral("xmodem.bin") : m_strFileName, &ok)
                   .trimmed();
        if (!ok || name.isEmpty())
            return;
        if (name.contains(QLatin1Char('/')) || name == QLatin1String("..") ||
            name == QLatin1String(".")) {
            ShowMessage(tr(kNoPathText).arg(name), QMessageBox::Warning, QMessageBox::Ok, this);
            return;
        }
        const QFileInfo target(m_strFolder + name);
        if (target.exists() || target.isSymLink()) {
            if (!target.isFile() ||
                ShowMessage(tr(kOverwriteText).arg(target.filePath()), QMessageBox::Question,
                            QMessageBox::Yes | QMessageBox::No, this) != QMessageBox::Yes)
                return;
            overwrite = true;
        }
    } else if (ShowMessage(tr(kReceiveAskText).arg(protocol, m_strFolder), QMessageBox::Question,
                           QMessageBox::Yes | QMessageBox::No, this) != QMessageBox::Yes) {
        return;
    }
    m_nProtocolTotal = -1;
    StartProtocol(ProtocolCommandFor(Protocol(), TransferDirection::Receive, name, overwrite),
                  m_strFolder, tr("%1 받기 '%2'").arg(protocol, m_strFolder + name));
}

bool CFileSendDlg::StartProtocol(const ProtocolCommand& command, const QString& folder,
                                 const QString& what)
{
    m_pTransfer.reset();
    m_pTransfer = std::make_unique<CProtocolTransfer>(m_pWriter.get());
    connect(m_pTransfer.get(), &CProtocolTransfer::progress, this,
            &CFileSendDlg::OnProtocolProgress);
    connect(m_pTransfer.get(), &CProtocolTransfer::finished, this,
            &CFileSendDlg::OnProtocolFinished);
    connect(m_pTransfer.get(), &CProtocolTransfer::sent, this,
            [this](const QByteArray& bytes) { m_pMonitor->RecordSent(bytes); });
    m_pWriter->BeginTransfer(std::chrono::seconds(m_nStallSec));
    QString error;
    {
        const CWaitCursor wait;
        if (!m_pTransfer->Start(command, folder, error)) {
            m_pTransfer.reset();
            ShowMessage(error, QMessageBox::Warning, QMessageBox::Ok, this);
            return false;
        }
    }
    CProtocolTransfer* transfer = m_pTransfer.get();
    m_pMonitor->Divert([transfer](const QByteArray& bytes) { transfer->Feed(bytes); });
    m_strProtocolWhat = what;
    m_pMonitor->Notice(tr("파일 전송 시작: %1").arg(what));
    m_bCancelled = false;
    m_protocolClock.start();
    m_pSendButton->setEnabled(false);
    m_pCancelButton->setEnabled(true);
    OnProtocolChanged();
    OnProtocolProgress(0, m_nProtocolTotal, QString());
    return true;
}

void CFileSendDlg::OnProtocolProgress(qint64 bytes, qint64 total, const QString& file)
{
    Q_UNUSED(file)
    const qint64 done = std::max<qint64>(bytes, 0);
    if (total < 0)
        total = m_nProtocolTotal;
    const double seconds = std::max<qint64>(m_protocolClock.elapsed(), 1) / 1000.0;
    const QString rate = QString::number(double(done) / 1024.0 / seconds, 'f', 1);
    if (total >= 0) {
        const int shift = ProgressShift(total);
        m_pProgress->setRange(0, total > 0 ? static_cast<int>(total >> shift) : 1);
        m_pProgress->setValue(static_cast<int>(std::min(done, total) >> shift));
        m_pSizeLabel->setText(tr(kRateOfText).arg(done).arg(total).arg(rate));
    } else {
        // A receive learns the length only when the sender tells it (XMODEM never does).
        m_pProgress->setRange(0, 0);
        m_pSizeLabel->setText(tr(kRateText).arg(done).arg(rate));
    }
}

void CFileSendDlg::OnProtocolFinished(CProtocolTransfer::Outcome outcome, const QString& detail,
                                      int error)
{
    // The monitor shows traffic again from here on.
    if (m_pMonitor != nullptr) {
        m_pMonitor->Release();
        static const char* const kEnds[] = {
            QT_TRANSLATE_NOOP("CFileSendDlg", "완료"), QT_TRANSLATE_NOOP("CFileSendDlg", "실패"),
            QT_TRANSLATE_NOOP("CFileSendDlg", "취소"), QT_TRANSLATE_NOOP("CFileSendDlg", "실패"),
            QT_TRANSLATE_NOOP("CFileSendDlg", "실패")};
        m_pMonitor->Notice(tr("파일 전송 끝: %1 - %2 (보냄 %3, 받음 %4 Bytes)")
                               .arg(m_strProtocolWhat, tr(kEnds[static_cast<int>(outcome)]))
                               .arg(m_pTransfer->LinkBytesOut())
                               .arg(m_pTransfer->LinkBytesIn()));
    }
    if (m_pProgress->maximum() == 0)
        m_pProgress->setRange(0, 1);
    const bool cancelled = m_bCancelled || outcome == CProtocolTransfer::Outcome::Cancelled;
    ResetButtons();
    if (cancelled)
        return;
    QString reason;
    switch (outcome) {
    case CProtocolTransfer::Outcome::Completed:
        m_pProgress->setValue(m_pProgress->maximum());
        ShowMessage(m_nProtocolTotal < 0 ? tr(kReceivedText).arg(m_strFolder) : tr(kCompletedText),
                    QMessageBox::Information, QMessageBox::Ok, this);
        return;
    case CProtocolTransfer::Outcome::LinkFailed:
        reason = FailureReason(CFileSendWorker::Outcome::WriteFailed, error, m_nStallSec);
        break;
    case CProtocolTransfer::Outcome::Overrun:
        reason = tr("전송 프로그램이 받은 데이터를 읽지 않습니다.");
        break;
    default:
        reason = detail.isEmpty() ? tr("전송 프로그램이 오류로 끝났습니다.") : detail;
        break;
    }
    ShowMessage(tr(kFailedText)
                    .arg(reason, QString::number(m_pTransfer->LinkBytesOut()),
                         QString::number(m_nProtocolTotal)),
                QMessageBox::Warning, QMessageBox::Ok, this);
}

void CFileSendDlg::OnCancelSend()
{
    if (m_pTransfer != nullptr && m_pTransfer->IsRunning()) {
        m_bCancelled = true;
        m_pTransfer->Cancel();
        ShowMessage(tr(kCancelledText), QMessageBox::Information, QMessageBox::Ok, this);
        return;
    }
    if (m_worker.IsSending()) {
        m_worker.Cancel();
        m_bCancelled = true;
        ShowMessage(tr(kCancelledText), QMessageBox::Information, QMessageBox::Ok, this);
    }
    ResetButtons();
}

void CFileSendDlg::done(int result)
{
    if (m_pTransfer != nullptr && m_pTransfer->IsRunning()) {
        // The program is told to stop and given its short while; the link is the window's
        // again before the dialog goes.
        m_bCancelled = true;
        m_pTransfer->Cancel();
        QEventLoop loop;
        connect(m_pTransfer.get(), &CProtocolTransfer::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(kProtocolCloseWaitMs, &loop, &QEventLoop::quit);
        if (m_pTransfer->IsRunning())
            loop.exec();
        if (m_pTransfer->IsRunning() && m_pMonitor != nullptr)
            m_pMonitor->Release();
    }
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
