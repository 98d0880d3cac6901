#include "CScriptEditDoc.h"

#include "CMdiChildFrame.h"
#include "CRecentFileList.h"
#include "CScriptEditCtrl.h"
#include "CScriptEditView.h"
#include "MessageBox.h"
#include "ScriptBreakpoints.h"
#include "ScriptConstants.h"

#include <QDate>
#include <QFileDialog>
#include <QFileInfo>

bool CScriptEditDoc::OnOpenDocument(const QString& path)
{
    ScriptFileText file;
    QString error;
    if (!ReadScriptFile(path, file, error)) {
        SetOpenError(error);
        return false;
    }
    m_opened = std::move(file);
    return true;
}

void CScriptEditDoc::SetTitle(const QString& title)
{
    const QString shown = PathName().isEmpty() ? title : PathName();
    CDocument::SetTitle(shown);
    if (shown == m_strReportedTitle)
        return;
    // The new page comes first, then the old one goes, so a script always has one.
    emit titleAdded(shown);
    if (!m_strReportedTitle.isEmpty())
        emit titleRemoved(m_strReportedTitle);
    m_strReportedTitle = shown;
}

void CScriptEditDoc::AttachView(CScriptEditView* view)
{
    m_pView = view;
    if (m_opened) {
        m_encoding = m_opened->encoding;
        view->Edit()->SetFileText(PathName(), m_opened->text);
        view->Edit()->SetBreakpoints(ScriptBreakpoints::Load(PathName()));
        m_opened.reset();
    } else {
        view->OnNewScript(QDate::currentDate());
    }
    SetModifiedFlag(false);
}

void CScriptEditDoc::SetModifiedFlag(bool modified)
{
    if (modified == m_bModified)
        return;
    m_bModified = modified;
    emit modifiedChanged(modified);
}

bool CScriptEditDoc::OnSaveDocument(const QString& path)
{
    ScriptFileText file{m_pView->Edit()->GetText(), m_encoding};
    tsl::EncodedScript encoded = EncodeScriptFile(file);
    if (encoded.nUnencodable >= 0) {
        if (!AskSaveAsUtf8(path, file.text, encoded.nUnencodable))
            return false;
        file.encoding = tsl::ScriptEncoding::Utf8;
        encoded = EncodeScriptFile(file);
    }
    QString error;
    if (!WriteScriptFile(path, QByteArray::fromStdString(encoded.bytes), error)) {
        // The text stays as it is and the document stays changed: nothing is lost.
        ShowMessage(tr("'%1' 파일을 저장할 수 없습니다.\n%2").arg(path, error),
                    QMessageBox::Warning, QMessageBox::Ok, Frame());
        return false;
    }
    m_encoding = file.encoding;
    m_pView->Edit()->SetSavePoint();
    SetModifiedFlag(false);
    // The breakpoints moved with their lines as the text changed: the file keeps them as they
    // stand now.
    ScriptBreakpoints::Save(path, m_pView->Edit()->Breakpoints());
    return true;
}

bool CScriptEditDoc::AskSaveAsUtf8(const QString& path, const QByteArray& text,
                                   qsizetype offset) const
{
    const auto [line, character] = UnencodableAt(text, offset);
    const QMessageBox::StandardButton answer =
        ShowMessage(tr("'%1' 파일은 CP949로 저장되는데, %2번째 줄의 '%3' 문자는 CP949로 저장할 "
                       "수 없습니다.\nUTF-8로 저장하시겠습니까? 취소하면 저장하지 않습니다.")
                        .arg(path)
                        .arg(line)
                        .arg(character),
                    QMessageBox::Question, QMessageBox::Yes | QMessageBox::Cancel, Frame());
    if (answer == QMessageBox::Yes)
        return true;
    // Show the character, so the user can change it.
    m_pView->Edit()->SelectBytes(static_cast<long>(offset),
                                 static_cast<long>(character.toUtf8().size()));
    return false;
}

bool CScriptEditDoc::OnFileSave()
{
    return PathName().isEmpty() ? SaveAs(Title()) : DoSave(PathName());
}

bool CScriptEditDoc::OnFileSaveAs()
{
    return SaveAs(PathName().isEmpty() ? QString() : QFileInfo(PathName()).absolutePath());
}

bool CScriptEditDoc::SaveAs(const QString& proposed)
{
    const QString path = AskSavePath(proposed);
    return !path.isEmpty() && DoSave(path);
}

bool CScriptEditDoc::DoSave(const QString& path)
{
    if (!OnSaveDocument(path))
        return false;
    // The document takes a new path only once the file is written there.
    if (QFileInfo(path).absoluteFilePath() != PathName()) {
        SetPathName(path);
        if (m_pRecentFiles != nullptr)
            m_pRecentFiles->Add(PathName());
    }
    return true;
}

QString CScriptEditDoc::AskSavePath(const QString& proposed) const
{
    QFileDialog dialog(Frame(), tr("다른 이름으로 저장"), proposed, tr(kScriptFilter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QString::fromLatin1(kScriptSuffix));
    const bool accepted = dialog.exec() == QDialog::Accepted;
    // Without a window manager the keyboard does not come back by itself.
    m_pView->window()->activateWindow();
    m_pView->Edit()->setFocus();
    return accepted ? dialog.selectedFiles().value(0) : QString();
}

bool CScriptEditDoc::SaveModified()
{
    if (!m_bModified)
        return true;
    const QString name = Title().isEmpty() ? tr("제목 없음") : Title();
    switch (ShowMessage(tr("'%1' 파일의 변경 내용을 저장하시겠습니까?").arg(name),
                        QMessageBox::Warning,
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, Frame())) {
    case QMessageBox::Yes:
        return OnFileSave();
    case QMessageBox::No:
        SetModifiedFlag(false);
        return true;
    default:
        return false;
    }
}

void CScriptEditDoc::OnCloseDocument()
{
    if (!m_strReportedTitle.isEmpty())
        emit titleRemoved(m_strReportedTitle);
    m_strReportedTitle.clear();
}
