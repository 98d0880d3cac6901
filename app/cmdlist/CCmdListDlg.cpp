#include "CCmdListDlg.h"

#include "CCmdListGrid.h"
#include "CRowRepeater.h"
#include "CSendTarget.h"
#include "CmdListConstants.h"
#include "CommandFile.h"
#include "CommandSend.h"
#include "MessageBox.h"
#include "RepeatFile.h"
#include "ShellConstants.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QLineEdit>
#include <QPointer>
#include <QSettings>

namespace {

const char* const kBadNotation =
    QT_TRANSLATE_NOOP("CCmdListDlg", "전송하려는 데이타 형식에 오류가 있습니다.");
const char* const kUnsendable = QT_TRANSLATE_NOOP(
    "CCmdListDlg", "전송 %1의 '%2' 문자는 %3(으)로 보낼 수 없어 보내지 않았습니다.");
const char* const kSaveFailed = QT_TRANSLATE_NOOP("CCmdListDlg", "파일 저장에 실패하였습니다...");
const char* const kDamaged = QT_TRANSLATE_NOOP("CCmdListDlg", "명령 파일이 손상되었습니다: %1\n%2");
const char* const kOverwrite =
    QT_TRANSLATE_NOOP("CCmdListDlg", "%1 파일이 이미 있습니다.\n바꾸시겠습니까?");
const char* const kRepeatsDamaged = QT_TRANSLATE_NOOP(
    "CCmdListDlg", "반복 설정 파일이 손상되어 반복 설정 없이 불러왔습니다: %1\n%2");
const char* const kRepeatsNotSaved =
    QT_TRANSLATE_NOOP("CCmdListDlg", "반복 설정 파일 저장에 실패하였습니다: %1");
const char* const kUnencodable = QT_TRANSLATE_NOOP(
    "CCmdListDlg", "전송 %1의 글자 중에 명령 파일에 쓸 수 없는 글자가 있어 저장하지 않았습니다.");

QString SettingsKey()
{
    return QStringLiteral("%1/%2").arg(kGroupCmdList, kKeyLastFileName);
}

QString LastFileName()
{
    return QSettings(kCompanyName, kApplicationName).value(SettingsKey()).toString();
}

} // namespace

CCmdListDlg::CCmdListDlg(TargetSource targetSource, QWidget* parent)
    : QWidget(parent), m_targetSource(std::move(targetSource))
{
    // A font name, kept in Korean: the program's substitution maps it.
    setFont(QFont(QStringLiteral("굴림"), 9));
    m_pFileName = new QLineEdit(this);
    m_pFileName->setObjectName(QString::number(kFileNameBoxId));
    m_pFileName->setReadOnly(true);
    m_pGridFrame = new QFrame(this);
    m_pGridFrame->setObjectName(QString::number(kGridFrameId));
    m_pGridFrame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    m_pGrid = new CCmdListGrid(this);
    m_pRepeater = new CRowRepeater(*m_pGrid, this);

    // A click or a menu command returns at once; the panel acts on it afterwards.
    connect(m_pGrid, &CCmdListGrid::sendRequested, this, &CCmdListDlg::OnSendRequest,
            Qt::QueuedConnection);
    connect(m_pGrid, &CCmdListGrid::repeatToggled, this, &CCmdListDlg::OnRepeatToggled,
            Qt::QueuedConnection);
    connect(m_pGrid, &CCmdListGrid::commandRequested, this, &CCmdListDlg::OnCommand,
            Qt::QueuedConnection);
    connect(m_pGrid, &CCmdListGrid::periodChanged, m_pRepeater, &CRowRepeater::OnPeriodChanged);
    // Told once the repeat that met the wrong notation has stopped.
    connect(m_pRepeater, &CRowRepeater::refused, this, &CCmdListDlg::ShowRefused,
            Qt::QueuedConnection);
    QMetaObject::invokeMethod(
        this,
        [this] {
            const QString last = LastFileName();
            if (!last.isEmpty())
                LoadFile(last);
        },
        Qt::QueuedConnection);
}

void CCmdListDlg::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_pFileName->setGeometry(0, 0, width(), kFileNameBoxHeightPx);
    const QRect frame(0, kFileNameBoxHeightPx, width(), height() - kFileNameBoxHeightPx);
    m_pGridFrame->setGeometry(frame);
    m_pGrid->setGeometry(frame.adjusted(1, 1, -2, -2));
}

void CCmdListDlg::OnSendRequest(int row, const QString& text)
{
    m_strSendText = text;
    CSendTarget* target = Target();
    // A window whose link is down takes nothing: nothing is sent, echoed or counted.
    if (target != nullptr)
        ShowRefused(row, SendCommandText(*target, text));
}

void CCmdListDlg::OnRepeatToggled(int row)
{
    if (m_pGrid->IsRepeating(row))
        m_pRepeater->Stop(row);
    else
        m_pRepeater->Start(row, Target());
}

void CCmdListDlg::OnSendSequence()
{
    m_pRepeater->StartSequence(m_pGrid->SelectedRows(), Target());
}

CSendTarget* CCmdListDlg::Target() const
{
    return m_targetSource ? m_targetSource() : nullptr;
}

void CCmdListDlg::ShowRefused(int row, const SendResult& result)
{
    QString text;
    if (result.outcome == SendOutcome::BadNotation) {
        text = tr(kBadNotation);
    } else if (result.outcome == SendOutcome::Unencodable) {
        const CSendTarget* target = Target();
        text = tr(kUnsendable)
                   .arg(row + 1)
                   .arg(result.character, QString::fromLatin1(tsl::CodecName(
                                              target ? target->Codec() : tsl::TextCodec::Utf8)));
    } else {
        return;
    }
    ShowMessage(text, QMessageBox::Warning, QMessageBox::Ok, this);
}

void CCmdListDlg::OnCommand(CmdListCommand id)
{
    switch (id) {
    case CmdListCommand::Load:
        OnLoadList();
        break;
    case CmdListCommand::Save:
        OnSaveList();
        break;
    case CmdListCommand::Clear:
        OnClearList();
        break;
    case CmdListCommand::SendSequence:
        OnSendSequence();
        break;
    case CmdListCommand::StopRepeats:
        m_pRepeater->StopAll();
        break;
    default:
        break;
    }
}

void CCmdListDlg::OnLoadList()
{
    const QString path = ChooseFile(false);
    if (!path.isEmpty())
        LoadFile(path);
}

void CCmdListDlg::OnSaveList()
{
    const QString path = ChooseFile(true);
    if (!path.isEmpty())
        SaveFile(path);
}

void CCmdListDlg::OnClearList()
{
    m_pRepeater->StopAll();
    m_pGrid->ClearTexts();
}

QString CCmdListDlg::CommandFolder()
{
    const QString root = QSettings(kCompanyName, kApplicationName)
                             .value(QStringLiteral("%1/%2").arg(kGroupTarven, kKeyRootPath),
                                    QDir::homePath() + QStringLiteral("/TARVEN"))
                             .toString();
    return QDir(root).filePath(QString::fromLatin1(kCommandFolder));
}

QString CCmdListDlg::ChooseFile(bool saving)
{
    const QString folder = CommandFolder();
    if (saving)
        QDir().mkpath(folder);
    QFileDialog dialog(this, QString(), folder, tr(kCommandFileFilter));
    dialog.setObjectName(saving ? QStringLiteral("SaveCommandFile")
                                : QStringLiteral("LoadCommandFile"));
    dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // A saved name gets its extension and the question about an existing file below, always
    // the same way; the dialog would add the extension only now and then.
    if (saving)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    else
        dialog.setDefaultSuffix(QString::fromLatin1(kCommandFileSuffix));
    const QString last = LastFileName();
    if (!last.isEmpty())
        dialog.selectFile(last);
    QPointer<QWidget> focused = QApplication::focusWidget();
    const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    // Without a window manager the keys would not come back on their own.
    window()->activateWindow();
    if (focused)
        focused->setFocus();
    if (!chosen)
        return QString();
    QString path = dialog.selectedFiles().constFirst();
    if (!saving)
        return path;
    if (QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + QLatin1String(kCommandFileSuffix);
    if (QFileInfo::exists(path) &&
        ShowMessage(tr(kOverwrite).arg(path), QMessageBox::Question,
                    QMessageBox::Yes | QMessageBox::No, this) != QMessageBox::Yes)
        return QString();
    return path;
}

bool CCmdListDlg::LoadFile(const QString& path, QString* unreadable)
{
    const CommandFileRead file = ReadCommandFile(path);
    switch (file.status) {
    case CommandFileRead::CannotOpen:
        if (unreadable != nullptr)
            *unreadable = file.reason;
        return false;
    case CommandFileRead::Damaged:
        // The list stays as it was: nothing of a half-read file is shown.
        ShowMessage(tr(kDamaged).arg(path, file.reason), QMessageBox::Warning, QMessageBox::Ok,
                    this);
        return false;
    case CommandFileRead::Loaded:
        break;
    }
    m_pRepeater->StopAll();
    m_pGrid->SetRows(file.rows);
    const RepeatFileRead repeats = ReadRepeatFile(path, file.rows);
    m_pGrid->SetPeriods(repeats.periods);
    Remember(path);
    if (repeats.status == RepeatFileRead::Damaged)
        ShowMessage(tr(kRepeatsDamaged).arg(RepeatFilePath(path), repeats.reason),
                    QMessageBox::Warning, QMessageBox::Ok, this);
    return true;
}

bool CCmdListDlg::SaveFile(const QString& path)
{
    const CommandRows rows = m_pGrid->Rows();
    const CommandFileWrite file = WriteCommandFile(path, rows);
    switch (file.status) {
    case CommandFileWrite::Unencodable:
        ShowMessage(tr(kUnencodable).arg(file.badRow + 1), QMessageBox::Warning, QMessageBox::Ok,
                    this);
        return false;
    case CommandFileWrite::Failed:
        ShowMessage(tr(kSaveFailed), QMessageBox::Warning, QMessageBox::Ok, this);
        return false;
    case CommandFileWrite::Saved:
        break;
    }
    Remember(path);
    // The command file is saved whatever becomes of its side file.
    if (!WriteRepeatFile(path, rows, m_pGrid->Periods()))
        ShowMessage(tr(kRepeatsNotSaved).arg(RepeatFilePath(path)), QMessageBox::Warning,
                    QMessageBox::Ok, this);
    return true;
}

void CCmdListDlg::Remember(const QString& path)
{
    QSettings(kCompanyName, kApplicationName).setValue(SettingsKey(), path);
    m_pFileName->setText(path);
}
