#include "CMainFrame.h"

#include "CChildFrame.h"
#include "CCommandActions.h"
#include "CCommandKeys.h"
#include "CDocManager.h"
#include "CDocument.h"
#include "CEnvSettingsDlg.h"
#include "CEnvironment.h"
#include "CHelpWindow.h"
#include "CMdiClientWnd.h"
#include "CRecentFileList.h"
#include "CSizingControlBar.h"
#include "CWindowMenu.h"
#include "CommandIds.h"
#include "MessageBox.h"
#include "ShellConstants.h"
#include "ShellLog.h"
#include "WindowArrangement.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>

namespace {
const char* const kFixedPaneText = QT_TRANSLATE_NOOP("CMainFrame", "TARVEN 통신 모니터");
const char* const kManualFile = "manual/index.html";
} // namespace

CMainFrame::CMainFrame(const CDocManager& docs, DockingBars bars, QWidget* parent)
    : QMainWindow(parent), m_docs(docs), m_pActions(new CCommandActions(this)),
      m_pCommandKeys(new CCommandKeys(menuBar(), this)),
      m_pRecentFiles(new CRecentFileList(kRecentFileCount, this))
{
    setObjectName(QStringLiteral("tarven_class"));
    setWindowTitle(QStringLiteral("TARVEN"));
    setWindowIcon(QIcon(QStringLiteral(":/tarven.svg")));

    QSettings settings(kCompanyName, kApplicationName);
    m_pEnvironment = new CEnvironment(EnvSettings::Load(settings), this);
    connect(m_pEnvironment, &CEnvironment::changed, this, &CMainFrame::envSettingsChanged);
    RestoreGeometry(settings);
    CreateToolBar();
    CreateStatusBar();
    CreateDockingBars(bars);
    CSizingControlBar::GlobalLoadState(this, settings, kBarStateName);
    CreateMdiClient(settings);
    m_pRecentFiles->Load(settings);
    CreateMenus();
    InitActionsConnections();
    m_lampTimer.setObjectName(QString::number(ID_LAMP_TIMER));
    m_lampTimer.setInterval(kLampTimerMs);
}

CMainFrame::~CMainFrame()
{
    // The child windows go first, while the members their signals reach still exist.
    disconnect(m_pMdiClient, nullptr, this, nullptr);
    delete m_pMdiClient;
}

const EnvSettings& CMainFrame::Env() const
{
    return m_pEnvironment->Env();
}

QAction* CMainFrame::Action(int id) const
{
    return m_pActions->Action(id);
}

CommandRouting CMainFrame::Routing() const
{
    return {*m_pActions, *m_pMdiClient, *m_pCommandKeys};
}

void CMainFrame::RestoreGeometry(QSettings& settings)
{
    settings.beginGroup(kGroupTarven);
    const QRect saved = settings.value(kKeyMainWindowGeometry).toRect();
    const bool maximized = settings.value(kKeyMainWindowMaximized, false).toBool();
    settings.endGroup();
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens.append(screen->availableGeometry());
    const QRect placed = WindowArrangement::OntoScreens(saved, screens);
    if (placed.isNull()) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        const WindowArrangement::Placement placement = WindowArrangement::DefaultPlacement(
            QSize(kFrameWidthPx, kFrameHeightPx),
            screen != nullptr ? screen->availableGeometry()
                              : QRect(0, 0, kFrameWidthPx * 2, kFrameHeightPx * 2));
        setGeometry(placement.geometry);
        if (placement.maximized)
            setWindowState(windowState() | Qt::WindowMaximized);
        return;
    }
    setGeometry(placed);
    if (maximized)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void CMainFrame::SaveGeometry(QSettings& settings) const
{
    settings.beginGroup(kGroupTarven);
    settings.setValue(kKeyMainWindowGeometry, isMaximized() ? normalGeometry() : geometry());
    settings.setValue(kKeyMainWindowMaximized, isMaximized());
    settings.endGroup();
}

void CMainFrame::CreateToolBar()
{
    m_pToolBar = addToolBar(tr("도구 모음"));
    m_pToolBar->setObjectName(QString::number(ID_TOOLBAR));
    m_pToolBar->setIconSize(QSize(kToolbarIconPx, kToolbarIconPx));
    for (int id : CCommandActions::ToolbarLayout()) {
        if (id == 0)
            m_pToolBar->addSeparator();
        else
            m_pToolBar->addAction(Action(id));
    }
}

void CMainFrame::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QString::number(ID_STATUSBAR));
    // Caps, Num and Scroll Lock panes keep their place; the platform does not tell us the
    // lock states, so they stay dimmed.
    for (const char* text : {"CAP", "NUM", "SCRL"}) {
        auto* pane = new QLabel(QString::fromLatin1(text), bar);
        pane->setEnabled(false);
        bar->addPermanentWidget(pane);
    }
    auto* fixed = new QLabel(tr(kFixedPaneText), bar);
    fixed->setObjectName(QStringLiteral("32856"));
    bar->addPermanentWidget(fixed);
}

void CMainFrame::CreateDockingBars(DockingBars bars)
{
    setDockOptions(dockOptions() | QMainWindow::AllowNestedDocks);
    // Docking makes the bars the frame's.
    m_pScriptOutputBar =
        bars.pScriptOutput != nullptr ? bars.pScriptOutput : new CSizingControlBar(this);
    m_pScriptOutputBar->Create(tr("스크립트 출력창"), this, QSize(kBarWidthPx, kBarHeightPx), true,
                               ID_SCRIPT_OUTPUT_BAR, Qt::BottomDockWidgetArea);
    m_pCmdListBar = bars.pCmdList != nullptr ? bars.pCmdList : new CSizingControlBar(this);
    m_pCmdListBar->Create(tr("송신 메세지창"), this, QSize(kBarWidthPx, kBarHeightPx), true,
                          ID_CMDLIST_BAR, Qt::TopDockWidgetArea);
}

void CMainFrame::CreateMdiClient(QSettings& settings)
{
    m_pMdiClient = new CMdiClientWnd(this);
    m_pMdiClient->setObjectName(QStringLiteral("MDIClient"));
    setCentralWidget(m_pMdiClient);
    m_pMdiClient->LoadSettings(settings);
    m_pMdiClient->SetBkColour(kMdiBackgroundColour);
    if (m_pMdiClient->FileName().isEmpty())
        m_pMdiClient->SetPicture(QPixmap(QStringLiteral(":/background.svg")));
}

QMenu* CMainFrame::NewMenu(const QString& title, const QList<int>& ids)
{
    auto* menu = new QMenu(title, this);
    for (int id : ids) {
        if (id == 0)
            menu->addSeparator();
        else
            menu->addAction(Action(id));
    }
    return menu;
}

QMenu* CMainFrame::NewFileMenu(const QList<int>& extraIds)
{
    QMenu* menu = NewMenu(
        tr("파일(&F)"),
        QList<int>{ID_FILE_NEW_TVN, ID_FILE_NEW_SCRIPT, ID_FILE_OPEN, ID_BRIDGE_OPEN} + extraIds);
    menu->addSeparator();
    menu->addActions(m_pRecentFiles->Actions());
    menu->addSeparator();
    menu->addAction(Action(ID_APP_EXIT));
    return menu;
}

void CMainFrame::CreateMenus()
{
    QAction* toolbarToggle = m_pToolBar->toggleViewAction();
    toolbarToggle->setText(tr("도구 모음(&T)"));
    toolbarToggle->setObjectName(QString::number(ID_VIEW_TOOLBAR));
    QAction* statusToggle = new QAction(tr("상태 표시줄(&S)"), this);
    statusToggle->setObjectName(QString::number(ID_VIEW_STATUS_BAR));
    statusToggle->setCheckable(true);
    statusToggle->setChecked(true);
    connect(statusToggle, &QAction::toggled, statusBar(), &QWidget::setVisible);
    QAction* cmdListToggle = m_pCmdListBar->toggleViewAction();
    cmdListToggle->setText(tr("송신메세지 창"));
    cmdListToggle->setObjectName(QString::number(ID_VIEW_CMDLIST));
    QAction* outputToggle = m_pScriptOutputBar->toggleViewAction();
    outputToggle->setText(tr("SCRIPT 출력창"));
    outputToggle->setObjectName(QString::number(ID_VIEW_SCRIPT_OUTPUT));

    for (QAction* toggle : {toolbarToggle, statusToggle, cmdListToggle, outputToggle})
        m_pActions->Register(toggle);

    QMenu* viewMenu = new QMenu(tr("보기(&V)"), this);
    viewMenu->addActions({toolbarToggle, statusToggle, cmdListToggle, outputToggle});
    viewMenu->addSeparator();
    viewMenu->addActions({Action(ID_VIEW_SEND_LINE), Action(ID_VIEW_FIND),
                          Action(ID_VIEW_FIND_NEXT), Action(ID_VIEW_FIND_PREV),
                          Action(ID_VIEW_REPLAY), Action(ID_VIEW_PLOT),
                          Action(ID_VIEW_AUTO_REPLY)});
    viewMenu->addSeparator();
    viewMenu->addAction(Action(ID_ENV_SETTINGS));
    auto* windowMenu = new CWindowMenu(tr("창(&W)"), m_pMdiClient, this);
    windowMenu->addActions({Action(ID_WINDOW_CASCADE), Action(ID_WINDOW_TILE_HORZ)});
    QMenu* helpMenu = NewMenu(tr("도움말(&H)"), {ID_HELP_MANUAL, 0, ID_APP_ABOUT});

    // Item positions of the monitor popup are relied on by the monitor's context menu.
    m_pTvnMenu = NewMenu(tr("TVN(&T)"), {ID_PORT_OPEN,
                                         ID_PORT_CLOSE,
                                         ID_PORT_SETTINGS,
                                         0,
                                         ID_VIEW_CLEAR,
                                         ID_VIEW_PAUSE,
                                         0,
                                         ID_CAPTURE,
                                         ID_CAPTURE_SHOW,
                                         0,
                                         ID_VIEW_ASCII,
                                         ID_VIEW_HEX,
                                         ID_VIEW_CONTROL,
                                         0,
                                         ID_TVN_PRINT,
                                         0,
                                         ID_FILE_TRANSFER,
                                         ID_CHECKSUM,
                                         0,
                                         ID_VIEW_CONTROL_PANEL,
                                         0,
                                         ID_TVN_COPY,
                                         0,
                                         ID_VIEW_TIMESTAMP,
                                         0,
                                         ID_LINE_DTR,
                                         ID_LINE_RTS,
                                         ID_LINE_BREAK});
    QMenu* editMenu = NewMenu(
        tr("편집(&E)"), {ID_EDIT_UNDO, ID_EDIT_REDO, 0, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE,
                         ID_EDIT_CLEAR, ID_EDIT_CLEAR_ALL, 0, ID_EDIT_FIND, ID_EDIT_REPLACE});
    QMenu* scriptMenu = NewMenu(tr("SCRIPT"), {ID_SCRIPT_RUN, ID_SCRIPT_STOP, ID_SCRIPT_VERIFY, 0,
                                               ID_SCRIPT_CONTINUE, ID_SCRIPT_STEP,
                                               ID_SCRIPT_BREAKPOINT, 0, ID_SCRIPT_WATCH});

    m_menuBars[kMenuMain] = {NewFileMenu({}), viewMenu, helpMenu};
    m_menuBars[kMenuTvn] = {NewFileMenu({ID_FILE_CLOSE, 0, ID_FILE_EXPORT, ID_FILE_PRINT}),
                            viewMenu, m_pTvnMenu, windowMenu, helpMenu};
    m_menuBars[kMenuScript] = {NewFileMenu({ID_FILE_CLOSE, 0, ID_FILE_SAVE, ID_FILE_SAVE_AS}),
                               editMenu,
                               viewMenu,
                               scriptMenu,
                               windowMenu,
                               helpMenu};
    ShowMenuBar(kMenuMain);
}

void CMainFrame::ShowMenuBar(int menuId)
{
    if (menuId == m_nCurrentMenuId || !m_menuBars.contains(menuId))
        return;
    m_nCurrentMenuId = menuId;
    menuBar()->clear();
    for (QMenu* menu : m_menuBars.value(menuId))
        menuBar()->addMenu(menu);
    // A monitor's own Ctrl+O opens its port, as its accelerators come before the frame's.
    Action(ID_FILE_OPEN)
        ->setShortcut(menuId == kMenuTvn ? QKeySequence() : QKeySequence(Qt::CTRL | Qt::Key_O));
    // Searching traffic and replaying a capture are a monitor's: elsewhere their items hide and
    // leave their keys (the script editor's Ctrl+F) alone.
    for (const auto& [id, key] :
         {std::pair{ID_VIEW_FIND, QKeyCombination(Qt::CTRL | Qt::Key_F)},
          std::pair{ID_VIEW_FIND_NEXT, QKeyCombination(Qt::Key_F3)},
          std::pair{ID_VIEW_FIND_PREV, QKeyCombination(Qt::SHIFT | Qt::Key_F3)}}) {
        Action(id)->setVisible(menuId == kMenuTvn);
        Action(id)->setShortcut(menuId == kMenuTvn ? QKeySequence(key) : QKeySequence());
    }
    Action(ID_VIEW_REPLAY)->setVisible(menuId == kMenuTvn);
    Action(ID_VIEW_PLOT)->setVisible(menuId == kMenuTvn);
    Action(ID_VIEW_AUTO_REPLY)->setVisible(menuId == kMenuTvn);
    Action(ID_VIEW_SEND_LINE)->setVisible(menuId == kMenuTvn);
}

void CMainFrame::OnSubWindowActivated(QMdiSubWindow* window)
{
    const auto* frame = qobject_cast<CMdiChildFrame*>(window);
    const CDocTemplate* docTemplate = frame != nullptr ? frame->Document()->Template() : nullptr;
    ShowMenuBar(docTemplate != nullptr ? docTemplate->MenuId() : kMenuMain);
}

void CMainFrame::InitActionsConnections()
{
    connect(m_pMdiClient, &QMdiArea::subWindowActivated, this, &CMainFrame::OnSubWindowActivated);
    connect(&m_lampTimer, &QTimer::timeout, this, &CMainFrame::OnLampTimer);
    connect(Action(ID_ENV_SETTINGS), &QAction::triggered, this, &CMainFrame::OnEnvSettings);
    connect(Action(ID_HELP_MANUAL), &QAction::triggered, this, &CMainFrame::OnHelp);
    connect(Action(ID_APP_EXIT), &QAction::triggered, this, &QWidget::close);
    connect(Action(ID_FILE_CLOSE), &QAction::triggered, m_pMdiClient,
            &QMdiArea::closeActiveSubWindow);
    connect(Action(ID_WINDOW_CASCADE), &QAction::triggered, m_pMdiClient,
            &CMdiClientWnd::CascadeSubWindows);
    connect(Action(ID_WINDOW_TILE_HORZ), &QAction::triggered, m_pMdiClient,
            &CMdiClientWnd::TileSubWindows);
}

void CMainFrame::OnEnvSettings()
{
    QSettings settings(kCompanyName, kApplicationName);
    const EnvSettings before = EnvSettings::Load(settings);
    CEnvSettingsDlg dialog(before, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    dialog.Settings().Save(settings);
    settings.sync();
    ReloadEnvSettings();
    if (dialog.Settings().strLanguage != before.strLanguage)
        ShowMessage(tr("언어는 TARVEN을 다시 시작하면 바뀝니다."), QMessageBox::Information,
                    QMessageBox::Ok, this);
}

void CMainFrame::ReloadEnvSettings()
{
    QSettings settings(kCompanyName, kApplicationName);
    m_pEnvironment->Set(EnvSettings::Load(settings));
}

void CMainFrame::WakeLampTimer()
{
    if (!m_lampTimer.isActive())
        m_lampTimer.start();
}

void CMainFrame::OnLampTimer()
{
    m_lampTimer.stop();
    for (CChildFrame* frame : MonitorFrames()) {
        frame->SetSendLamp(0);
        frame->SetReceiveLamp(0);
    }
}

QList<CChildFrame*> CMainFrame::MonitorFrames() const
{
    QList<CChildFrame*> frames;
    for (const auto& docTemplate : m_docs.Templates()) {
        if (docTemplate->DocName() != QLatin1String(kDocTypeTvn))
            continue;
        for (CDocument* document : docTemplate->Documents()) {
            if (auto* frame = qobject_cast<CChildFrame*>(document->Frame()))
                frames.append(frame);
        }
    }
    return frames;
}

QStringList CMainFrame::ManualCandidates()
{
    const QDir programDir(QCoreApplication::applicationDirPath());
    return {programDir.filePath(QString::fromLatin1(kManualFile)),
            programDir.filePath(QStringLiteral("../share/tarven/") + kManualFile)};
}

void CMainFrame::OnHelp()
{
    for (const QString& candidate : ManualCandidates()) {
        if (!QFileInfo(candidate).isFile())
            continue;
        const QString manual = QFileInfo(candidate).canonicalFilePath();
        if (QDesktopServices::openUrl(QUrl::fromLocalFile(manual)))
            return;
        // A desktop without a program for web pages: the manual shows in a window of ours.
        if (m_pHelpWindow.isNull())
            m_pHelpWindow = new CHelpWindow(this);
        m_pHelpWindow->ShowManual(manual);
        return;
    }
    // No box over a missing manual; the status bar and the log say why F1 showed nothing.
    statusBar()->showMessage(tr("사용 설명서를 찾을 수 없습니다."), kStatusMessageMs);
    qCWarning(lcShell) << "no manual found in" << ManualCandidates();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    QSettings settings(kCompanyName, kApplicationName);
    CSizingControlBar::GlobalSaveState(this, settings, kBarStateName);
    SaveGeometry(settings);
    m_pRecentFiles->Save(settings);
    m_pMdiClient->closeAllSubWindows();
    if (!m_pMdiClient->subWindowList().isEmpty()) {
        event->ignore();
        return;
    }
    m_lampTimer.stop();
    event->accept();
}
