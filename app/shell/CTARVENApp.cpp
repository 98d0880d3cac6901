#include "CTARVENApp.h"

#include "CChildFrame.h"
#include "CDocManager.h"
#include "CFileDialogColumns.h"
#include "CMdiClientWnd.h"
#include "CModalFocusKeeper.h"
#include "CProgramTitles.h"
#include "CRecentFileList.h"
#include "CSingleInstance.h"
#include "CSplashWnd.h"
#include "CTARVENDoc.h"
#include "CWaitCursor.h"
#include "CommandIds.h"
#include "MessageBox.h"
#include "ShellConstants.h"
#include "ShellLog.h"

#include <QAction>
#include <QCommandLineParser>
#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QSettings>
#include <QTimer>
#include <Qsci/qsciglobal.h>
#include <Qsci/qsciscintillabase.h>
#include <dlfcn.h>

CTARVENApp::CTARVENApp()
    : m_pSingleInstance(std::make_unique<CSingleInstance>()),
      m_pDocManager(std::make_unique<CDocManager>())
{}

CTARVENApp::~CTARVENApp()
{
    // Child windows hold documents that unregister from their types: close them first.
    m_pMainFrame.reset();
}

void CTARVENApp::InstallFontSubstitutions()
{
    // The fonts the windows ask for by their Windows names, kept in Korean.
    QFont::insertSubstitution(QStringLiteral("굴림"), QStringLiteral("NanumGothic"));
    // The fixed-pitch one, kept in Korean as well.
    QFont::insertSubstitution(QStringLiteral("굴림체"), QStringLiteral("NanumGothicCoding"));
}

void CTARVENApp::SetCommandFileOpener(CommandFileOpener opener)
{
    m_openCommandFile = std::move(opener);
}

namespace {

// A file that did not open, with the reason when one is known.
QString FailedFile(const QString& path, const QString& reason)
{
    return reason.isEmpty() ? path : QStringLiteral("%1: %2").arg(path, reason);
}

} // namespace

void CTARVENApp::AddCommandLineOptions(QCommandLineParser& parser)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOption(QCommandLineOption(QStringLiteral("nosplash"),
                                        QStringLiteral("Start without the splash picture.")));
    parser.addOption(QCommandLineOption(
        QStringLiteral("lang"),
        QStringLiteral("Language of the windows and of script messages: ko or en (default: the "
                       "Language setting, else the windows follow the system)."),
        QStringLiteral("ko|en")));
    parser.addPositionalArgument(
        QStringLiteral("files"),
        QStringLiteral("Scripts (.tsl), captures (.tvn) and command files (.tcf) to open."),
        QStringLiteral("[file...]"));
}

CTARVENApp::CommandLineInfo CTARVENApp::ParseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    AddCommandLineOptions(parser);
    parser.parse(arguments);
    CommandLineInfo info;
    info.bShowSplash = !parser.isSet(QStringLiteral("nosplash"));
    info.files = parser.positionalArguments();
    return info;
}

bool CTARVENApp::InitInstance(const QStringList& arguments)
{
    const CommandLineInfo info = ParseCommandLine(arguments);
    if (!ClaimInstance(info))
        return false;
    CreateMainFrame({});
    RegisterDocTemplates({});
    Start(info);
    return true;
}

bool CTARVENApp::ClaimInstance(const CommandLineInfo& info)
{
    if (!m_pSingleInstance->Claim(info.files))
        return false;
    // Every title bar names the program, once; file dialogs show their dates and sizes whole.
    QCoreApplication::instance()->installEventFilter(
        new CProgramTitles(QString::fromLatin1(kApplicationName), this));
    QCoreApplication::instance()->installEventFilter(new CFileDialogColumns(this));
    ReadEditorVersion();
    QSettings settings(kCompanyName, kApplicationName);
    m_history = SearchHistory::Load(settings);
    return true;
}

CMainFrame& CTARVENApp::CreateMainFrame(DockingBars bars)
{
    m_pMainFrame = std::make_unique<CMainFrame>(*m_pDocManager, bars);
    new CModalFocusKeeper(m_pMainFrame.get());
    InitActionsConnections();
    return *m_pMainFrame;
}

void CTARVENApp::RegisterDocTemplates(DocumentTypes types)
{
    if (!types.makeMonitorFrame)
        types.makeMonitorFrame = [](CDocument* doc) { return new CChildFrame(doc); };
    if (!types.makeScriptDocument)
        types.makeScriptDocument = [] { return new CDocument; };
    if (!types.makeScriptFrame)
        types.makeScriptFrame = [](CDocument* doc) { return new CMdiChildFrame(doc); };
    m_pDocManager->AddDocTemplate(std::make_unique<CDocTemplate>(
        kDocTypeTvn, CMainFrame::kMenuTvn, [] { return new CTARVENDoc; },
        std::move(types.makeMonitorFrame)));
    m_pDocManager->AddDocTemplate(std::make_unique<CDocTemplate>(
        kDocTypeScript, CMainFrame::kMenuScript, std::move(types.makeScriptDocument),
        std::move(types.makeScriptFrame)));
}

void CTARVENApp::Start(const CommandLineInfo& info)
{
    QStringList failed;
    QStringList commandFiles;
    for (const QString& file : info.files) {
        if (OpensInCommandList(file)) {
            commandFiles.append(file);
            continue;
        }
        QString reason;
        if (OpenDocumentFile(file, &reason) == nullptr)
            failed.append(FailedFile(file, reason));
    }

    if (info.bShowSplash && failed.isEmpty()) {
        m_pSplash =
            std::make_unique<CSplashWnd>(QPixmap(QStringLiteral(":/splash.svg")), kSplashMs);
        m_pSplash->Create();
    }
    m_pMainFrame->show();
    if (m_pSplash)
        m_pSplash->raise();
    // A file that cannot be opened does not end the program, which would lose the session for
    // a mistyped name: the window stays and the message names the files. Command files load
    // once the window shows, after the list has taken the file it had last, so that what the
    // list may have to tell comes over the window.
    if (!failed.isEmpty() || !commandFiles.isEmpty()) {
        QTimer::singleShot(0, m_pMainFrame.get(), [this, failed, commandFiles]() mutable {
            for (const QString& file : commandFiles) {
                QString reason;
                if (!OpenFile(file, &reason))
                    failed.append(FailedFile(file, reason));
            }
            if (!failed.isEmpty())
                ShowMessage(tr("파일을 열 수 없습니다.\n%1").arg(failed.join('\n')),
                            QMessageBox::Warning, QMessageBox::Ok, m_pMainFrame.get());
        });
    }
}

void CTARVENApp::ExitInstance()
{
    QSettings settings(kCompanyName, kApplicationName);
    m_history.Save(settings);
    m_history = {};
}

void CTARVENApp::ReadEditorVersion()
{
    m_strEditorVersion = QStringLiteral("%1.%2.%3.0")
                             .arg((QSCINTILLA_VERSION >> 16) & 0xFF)
                             .arg((QSCINTILLA_VERSION >> 8) & 0xFF)
                             .arg(QSCINTILLA_VERSION & 0xFF);
    m_strEditorProduct = QStringLiteral("QScintilla");
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void*>(&QsciScintillaBase::staticMetaObject), &info) != 0 &&
        info.dli_fname != nullptr) {
        m_strEditorPath = QFileInfo(QString::fromLocal8Bit(info.dli_fname)).canonicalFilePath();
    }
}

void CTARVENApp::InitActionsConnections()
{
    CMainFrame* frame = m_pMainFrame.get();
    connect(frame->Action(ID_FILE_NEW_TVN), &QAction::triggered, this,
            [this] { OnFileNew(kDocTypeTvn); });
    connect(frame->Action(ID_FILE_NEW_SCRIPT), &QAction::triggered, this,
            [this] { OnFileNew(kDocTypeScript); });
    connect(frame->Action(ID_FILE_OPEN), &QAction::triggered, this, &CTARVENApp::OnFileOpen);
    connect(frame->Action(ID_APP_ABOUT), &QAction::triggered, this, &CTARVENApp::OnAppAbout);
    connect(frame->RecentFiles(), &CRecentFileList::openRequested, this,
            &CTARVENApp::OpenAndReport);
    // Queued: opening may show a message, which must not run inside the socket's handler.
    connect(m_pSingleInstance.get(), &CSingleInstance::activationRequested, this,
            &CTARVENApp::RaiseMainFrame, Qt::QueuedConnection);
}

void CTARVENApp::RaiseMainFrame(const QStringList& files)
{
    qCInfo(lcShell) << "another copy asked this one to come forward";
    if (m_pMainFrame->isMinimized())
        m_pMainFrame->showNormal();
    m_pMainFrame->show();
    m_pMainFrame->raise();
    m_pMainFrame->activateWindow();
    for (const QString& file : files)
        OpenAndReport(file);
}

CDocument* CTARVENApp::OnFileNew(const QString& docName)
{
    CDocTemplate* docTemplate = m_pDocManager->FindTemplate(docName);
    if (docTemplate == nullptr) {
        ShowMessage(tr("%1 템플리트를 찾을수가 없습니다.").arg(docName), QMessageBox::Warning,
                    QMessageBox::Ok, m_pMainFrame.get());
        return nullptr;
    }
    return docTemplate->OpenDocumentFile(QString(), m_pMainFrame->MdiClient());
}

void CTARVENApp::OnFileOpen()
{
    const QString path =
        QFileDialog::getOpenFileName(m_pMainFrame.get(), QString(), QString(),
                                     tr("Script Files (*.Tsl *.tsl *.TSL);;"
                                        "TARVEN Files (*.TVN *.tvn);;"
                                        "TARVEN Command Files (*.TCF *.tcf);;All Files (*)"));
    if (!path.isEmpty())
        OpenAndReport(path);
}

void CTARVENApp::OpenAndReport(const QString& path)
{
    QString reason;
    if (!OpenFile(path, &reason)) {
        ShowMessage(tr("파일을 열 수 없습니다.\n%1").arg(FailedFile(path, reason)),
                    QMessageBox::Warning, QMessageBox::Ok, m_pMainFrame.get());
    }
}

bool CTARVENApp::OpensInCommandList(const QString& path) const
{
    return m_openCommandFile &&
           QFileInfo(path).suffix().compare(QLatin1String("TCF"), Qt::CaseInsensitive) == 0;
}

bool CTARVENApp::OpenFile(const QString& path, QString* error)
{
    if (OpensInCommandList(path))
        return m_openCommandFile(path, error);
    return OpenDocumentFile(path, error) != nullptr;
}

CDocument* CTARVENApp::OpenDocumentFile(const QString& path, QString* error)
{
    const bool script = path.right(3).toUpper() == QLatin1String("TSL");
    CDocTemplate* docTemplate = m_pDocManager->FindTemplate(script ? kDocTypeScript : kDocTypeTvn);
    if (docTemplate == nullptr)
        return nullptr;
    CWaitCursor wait;
    CDocument* document = docTemplate->OpenDocumentFile(path, m_pMainFrame->MdiClient(), error);
    if (document != nullptr)
        m_pMainFrame->RecentFiles()->Add(path);
    return document;
}

void CTARVENApp::OnAppAbout()
{
    ShowMessage(
        tr("TARVEN %1\n\n직렬 통신(RS-232C)과 TCP/IP 장비를 위한 통신 "
           "모니터와 TSL 스크립트 실행기입니다.\n\n편집기: %2 %3")
            .arg(QCoreApplication::applicationVersion(), m_strEditorProduct, m_strEditorVersion),
        QMessageBox::Information, QMessageBox::Ok, m_pMainFrame.get());
}
