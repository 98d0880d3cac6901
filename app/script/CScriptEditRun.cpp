// The run and stop commands of a script view, its output page and its watch window.
#include "CScriptEditView.h"

#include "CDecodeCtrl.h"
#include "CScriptDebugPane.h"
#include "CScriptDebugger.h"
#include "CScriptEditCtrl.h"
#include "CScriptEditDoc.h"
#include "CScriptOutputBar.h"
#include "CScriptWatchDlg.h"
#include "CTSL.h"
#include "CTSLSyntax.h"
#include "CWaitCursor.h"
#include "HostMessages.h"
#include "MessageBox.h"
#include "MessageLanguage.h"
#include "ScriptBreakpoints.h"
#include "ScriptConstants.h"
#include "ScriptFile.h"
#include "SyncNotify.h"
#include "SyntaxMessages.h"

#include <QApplication>
#include <QDir>
#include <QShortcut>
#include <QTemporaryFile>

#include <algorithm>

namespace {
// Lines of the output page end as the script's printed lines do.
const QString kLineEnd = QStringLiteral("\r\n");
} // namespace

CScriptEditView::~CScriptEditView()
{
    // The frame that listens to the view is already going.
    blockSignals(true);
    OnViewClosing();
}

CScriptOutputBar* CScriptEditView::OutputBar() const
{
    return m_pOutput.data();
}

void CScriptEditView::ClearOutput()
{
    if (CScriptOutputBar* bar = OutputBar())
        bar->ClearPage(m_pDocument->Title());
}

void CScriptEditView::AppendOutput(const QString& text)
{
    if (CScriptOutputBar* bar = OutputBar())
        bar->AppendText(m_pDocument->Title(), text);
}

QString CScriptEditView::RunFileName() const
{
    return m_pRunFile ? m_pRunFile->fileName() : QString();
}

void CScriptEditView::OnScriptRun()
{
    StartRun(false);
}

void CScriptEditView::StartRun(bool bStep)
{
    if (m_bRunning)
        return;
    m_pDocument->SetProgress(kProgressSaving);
    if (!SaveRunFile())
        return;
    m_pDocument->SetProgress(kProgressSaved);
    CWaitCursor wait;
    // The window a run that ended by itself left for reading goes with the next run, and so
    // does the verdict of the run before.
    DestroyWatch();
    m_lastSync.reset();
    ClearOutput();
    AppendOutput(tr("Compiling...") + kLineEnd);
    // The values of the last run's stop stay until this one may stop.
    const bool mayStop = bStep || !m_pEdit->Breakpoints().isEmpty();
    m_pDebugPane->setVisible(mayStop && m_pDebugPane->isVisible());
    m_pDebugPane->ShowRunning();
    if (!StartHost(bStep))
        return;
    AppendOutput(tr("Complete Compile...") + kLineEnd + tr("Running...") + kLineEnd);
    m_bRunning = true;
    m_pDocument->SetProgress(kProgressRunning);
    m_linkLost.invalidate();
    m_nLossPass = 0;
    m_runCheck.start();
    ShowWatchWindow();
    emit stateChanged();
}

bool CScriptEditView::SaveRunFile()
{
    // The run reads the bytes its file would hold, so quoted text goes out in the document's
    // encoding: CP949 from a Windows bench stays CP949 on the link.
    const ScriptFileText script{m_pEdit->GetText(), m_pDocument->Encoding()};
    const tsl::EncodedScript encoded = EncodeScriptFile(script);
    if (encoded.nUnencodable >= 0) {
        const auto [line, character] = UnencodableAt(script.text, encoded.nUnencodable);
        ShowMessage(tr("%1번째 줄의 '%2' 문자는 CP949로 나타낼 수 없어 스크립트를 실행하지 "
                       "않습니다.")
                        .arg(line)
                        .arg(character),
                    QMessageBox::Warning, QMessageBox::Ok, this);
        m_pEdit->SelectBytes(static_cast<long>(encoded.nUnencodable),
                             static_cast<long>(character.toUtf8().size()));
        m_pDocument->SetProgress(0);
        return false;
    }
    // A file of the run's own, readable by its owner only: two scripts started together never
    // run each other's text, and nobody else can put a file in its place.
    auto file = std::make_unique<QTemporaryFile>(
        QDir(QDir::tempPath()).filePath(QString::fromLatin1(kRunScriptPattern)));
    const QByteArray bytes = QByteArray::fromStdString(encoded.bytes);
    if (!file->open() || file->write(bytes) != bytes.size() || !file->flush()) {
        ShowMessage(tr("스크립트를 임시 파일에 저장할 수 없습니다.\n%1").arg(file->errorString()),
                    QMessageBox::Warning, QMessageBox::Ok, this);
        m_pDocument->SetProgress(0);
        return false;
    }
    file->close();
    m_pRunFile = std::move(file);
    return true;
}

bool CScriptEditView::StartHost(bool bStep)
{
    m_pDecode = new CDecodeCtrl;
    m_pDecode->Create(this, QRect(-1, -1, -1, -1), kDecodeCtrlId);
    m_pDecode->SetScriptName(QFile::encodeName(m_pRunFile->fileName()).constData());
    // Every run can be stopped: a debugger without breakpoints costs the script next to
    // nothing, and one set while it runs takes effect at once.
    const uint64_t run = ++m_nRun;
    m_pDebugger = std::make_unique<CScriptDebugger>([this, run](const CDebugStop& stop) {
        QMetaObject::invokeMethod(
            this, [this, run, stop] { OnDebugStop(run, stop); }, Qt::QueuedConnection);
    });
    const QList<int> breakpoints = m_pEdit->Breakpoints();
    m_pDebugger->SetBreakpoints({breakpoints.begin(), breakpoints.end()});
    if (bStep)
        m_pDebugger->BreakNext();
    m_pDecode->SetDebugHook(m_pDebugger.get());
    if (m_pDecode->VerifyScript() != 0) {
        const std::vector<std::string>& errors = m_pDecode->m_pSyntax->m_arrErrors;
        QString text;
        for (const std::string& error : errors)
            text += QString::fromStdString(error) + kLineEnd;
        text += kLineEnd + QString::asprintf(tsl::MessageText(tsl::msg::kErrorCount).c_str(),
                                             static_cast<int>(errors.size()));
        AppendOutput(text);
        FailRun();
        return false;
    }
    m_pDocument->SetProgress(kProgressVerified);
    if (m_pDecode->Run() != 0) {
        AppendOutput(tr("Failure Compile...") + kLineEnd + tr("Stopped...") + kLineEnd);
        // The text names the port; the system's reason follows, and a tag table that could
        // not be opened is told as such rather than as a port.
        QString message;
        if (m_pDecode->GetFailure() == CDecodeCtrl::RunFailure::Table)
            message = QString::fromStdString(m_pDecode->GetErrorText());
        else
            message = QString::asprintf(tsl::MessageText(tsl::msg::kPortOpenFailed).c_str(),
                                        m_pDecode->m_comm.szPort) +
                      QLatin1Char('\n') + QString::fromStdString(m_pDecode->GetErrorText());
        FailRun();
        ShowMessage(message, QMessageBox::Warning, QMessageBox::Ok, this);
        return false;
    }
    return true;
}

void CScriptEditView::ShowWatchWindow()
{
    m_pWatch = new CScriptWatchDlg(m_pDecode, m_pDocument->Title(), this);
    connect(m_pWatch, &CScriptWatchDlg::shownChanged, this, &CScriptEditView::stateChanged);
    // Over the view, no larger than it.
    const QRect area(mapToGlobal(QPoint(0, 0)), size());
    QRect place(area.topLeft(), m_pWatch->size());
    place.setRight(std::min(place.right(), area.right()));
    place.setBottom(std::min(place.bottom(), area.bottom()));
    m_pWatch->setGeometry(place);
    // The debugger's keys work where the script's output is read, too.
    const std::pair<QKeySequence, void (CScriptEditView::*)()> keys[] = {
        {QKeySequence(Qt::Key_F5), &CScriptEditView::OnScriptContinue},
        {QKeySequence(Qt::Key_F10), &CScriptEditView::OnScriptStep},
        {QKeySequence(Qt::SHIFT | Qt::Key_F5), &CScriptEditView::OnScriptStop},
    };
    for (const auto& [key, command] : keys) {
        connect(new QShortcut(key, m_pWatch), &QShortcut::activated, this, [this, command] {
            (this->*command)();
            emit stateChanged();
        });
    }
    m_pWatch->show();
}

void CScriptEditView::OnScriptContinue()
{
    if (!m_bRunning) {
        StartRun(false);
    } else if (m_bPaused && m_pDebugger && m_pDebugger->Continue()) {
        LeaveStop();
    }
}

void CScriptEditView::OnScriptStep()
{
    if (!m_bRunning) {
        StartRun(true);
    } else if (m_bPaused && m_pDebugger && m_pDebugger->Step()) {
        LeaveStop();
    }
}

void CScriptEditView::LeaveStop()
{
    m_bPaused = false;
    m_pEdit->ShowStopLine(0);
    m_pDebugPane->ShowRunning();
    emit stateChanged();
}

void CScriptEditView::OnToggleBreakpoint()
{
    m_pEdit->ToggleBreakpoint(CaretLine());
    OnBreakpointsChanged();
}

void CScriptEditView::OnBreakpointsChanged()
{
    const QList<int> lines = m_pEdit->Breakpoints();
    ScriptBreakpoints::Save(m_pDocument->PathName(), lines);
    if (m_pDebugger)
        m_pDebugger->SetBreakpoints({lines.begin(), lines.end()});
}

void CScriptEditView::OnDebugStop(uint64_t nRun, const CDebugStop& stop)
{
    // Only the stop the script still waits at: a later one, or the run going on, makes this
    // one old news.
    if (nRun != m_nRun || !m_pDebugger || !m_pDebugger->IsStopped())
        return;
    if (const std::optional<CDebugStop> last = m_pDebugger->LastStop();
        !last || last->nStop != stop.nStop)
        return;
    const bool arrived = !m_bPaused;
    m_bPaused = true;
    m_pEdit->ShowStopLine(stop.nLine);
    m_pDebugPane->ShowStop(stop);
    m_pDebugPane->show();
    // The user is at the program: the stopped line gets the keyboard, for the next key.
    if (arrived && QApplication::activeWindow() != nullptr) {
        window()->activateWindow();
        m_pEdit->setFocus();
    }
    emit stateChanged();
}

void CScriptEditView::OnScriptStop()
{
    StopRun(false);
}

void CScriptEditView::StopRun(bool bKeepWatch)
{
    m_bRunning = false;
    m_bPaused = false;
    {
        CWaitCursor wait;
        EndRun(bKeepWatch);
    }
    AppendOutput(kLineEnd + tr("Stopped...") + kLineEnd);
    m_pDocument->SetProgress(0);
    emit stateChanged();
}

void CScriptEditView::FailRun()
{
    EndRun(false);
    m_pDocument->SetProgress(0);
    emit stateChanged();
}

void CScriptEditView::DestroyWatch()
{
    if (m_pWatch) {
        disconnect(m_pWatch, nullptr, this, nullptr);
        m_pWatch->DestroyWindow();
    }
    m_pWatch = nullptr;
}

void CScriptEditView::EndRun(bool bKeepWatch)
{
    // The watch window lets go of the print queue before the host destroys it.
    m_runCheck.stop();
    if (m_pWatch && bKeepWatch)
        m_pWatch->OnCommand(WatchCommand::Stop);
    else
        DestroyWatch();
    if (m_pDecode != nullptr) {
        m_pDecode->Halt(); // joins the script thread, so its last notices are all there
        ShowRunNotices();
        m_pDecode->Stop(); // closes the link
        // A SYNC the script made before it stopped still tells its verdict.
        QCoreApplication::sendPostedEvents(this, CSyncNotifyEvent::Type());
    }
    delete m_pDecode;
    m_pDecode = nullptr;
    // The script thread is joined: nothing waits in the debugger any more.
    m_pDebugger.reset();
    m_bPaused = false;
    m_pEdit->ShowStopLine(0);
    m_pDebugPane->ShowEnded();
    m_pRunFile.reset();
}

QString CScriptEditView::RunLinkFailure() const
{
    const std::string loss = m_pDecode->GetLinkLoss();
    if (!loss.empty())
        return QString::fromStdString(tsl::MessageText(tsl::msg::kLinkLost) + loss);
    // A connection that was refused leaves the script nothing to talk to: it is told, not run
    // on in silence.
    if (const std::string& refused = m_pDecode->GetConnectFailure(); !refused.empty())
        return QString::asprintf(tsl::MessageText(tsl::msg::kConnectFailed).c_str(),
                                 m_pDecode->m_strHost.c_str(), m_pDecode->m_nPort, refused.c_str());
    return {};
}

void CScriptEditView::ShowRunNotices()
{
    // What the script met on its way (a serial write cut, a tag lock that timed out, a tag
    // table removed) is told on its page, each once, as tslrun tells it.
    if (CTSL* tsl = m_pDecode ? m_pDecode->m_pTSL.get() : nullptr) {
        for (const std::string& notice : tsl->m_notices.Take())
            AppendOutput(QString::fromStdString(notice) + kLineEnd);
    }
}

void CScriptEditView::CheckRunEnd()
{
    if (m_pDecode == nullptr)
        return;
    ShowRunNotices();
    bool ended = m_pDecode->IsFinished();
    const QString failure = RunLinkFailure();
    if (!ended && !failure.isEmpty()) {
        // What arrived before the loss still reaches the script: the run ends once a pass
        // has taken the last of it, or after a grace period.
        if (!m_linkLost.isValid())
            m_linkLost.start();
        if (m_nLossPass == 0 && m_pDecode->m_queue.GetSize() == 0)
            m_nLossPass = m_pDecode->GetPassCount() + 1;
        ended = (m_nLossPass != 0 && m_pDecode->GetPassCount() >= m_nLossPass) ||
                m_linkLost.hasExpired(kLinkLossGraceMs);
    }
    if (!ended)
        return;
    if (!failure.isEmpty())
        AppendOutput(kLineEnd + failure);
    // The last printed lines stay readable: the watch window keeps them until the next run.
    StopRun(true);
}

void CScriptEditView::OnScriptWatch()
{
    if (!m_pWatch)
        return;
    m_pWatch->setVisible(!m_pWatch->isVisible());
    if (m_pWatch->isVisible())
        m_pWatch->raise();
    emit stateChanged();
}

void CScriptEditView::customEvent(QEvent* event)
{
    const auto* notice = dynamic_cast<const CSyncNotifyEvent*>(event);
    // Only the run under way speaks: a host of an earlier run was stopped with its notices.
    if (notice == nullptr || m_bClosing || m_pDecode == nullptr ||
        notice->Notify()->hwndFrom != m_pDecode)
        return;
    // The script still waits its second, as it always did here: bench scripts may pace their
    // steps on it. The record is shared, so reading it is safe whenever this runs.
    const TSL_SYNC_NOTIFY& sync = *notice->Notify();
    const QString text =
        sync.text.empty() ? QString::number(sync.value) : QString::fromStdString(sync.text);
    const bool pass = std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c == u'0'; });
    m_lastSync = SyncVerdict{text, pass};
    AppendOutput(m_lastSync->Line() + kLineEnd);
    emit stateChanged();
}

void CScriptEditView::OnViewClosing()
{
    m_bClosing = true;
    if (m_pDecode == nullptr && !m_pWatch)
        return;
    CWaitCursor wait;
    m_bRunning = false;
    m_bPaused = false;
    EndRun(false);
}

void CScriptEditView::GoToLine(int line)
{
    const long position = static_cast<long>(
        m_pEdit->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line - 1));
    if (position >= 0)
        m_pEdit->SelectBytes(position, 0);
    m_pEdit->setFocus();
}

int CScriptEditView::CaretLine() const
{
    const long position =
        static_cast<long>(m_pEdit->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS));
    return static_cast<int>(
               m_pEdit->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, position)) +
           1;
}

int CScriptEditView::CaretColumn() const
{
    const long position =
        static_cast<long>(m_pEdit->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS));
    return static_cast<int>(m_pEdit->SendScintilla(QsciScintillaBase::SCI_GETCOLUMN, position)) + 1;
}
