#include "CBridgeWindow.h"

#include "CCaptureSession.h"
#include "CEnvironment.h"
#include "CFindBar.h"
#include "CPortSettingsDlg.h"
#include "CTextViewCtrl.h"
#include "ColorRef.h"
#include "MessageBox.h"
#include "ShellConstants.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QSettings>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

constexpr int kStatusIntervalMs = 100;
// Where each side's settings are kept between windows.
const char* const kSideGroups[2] = {"Bridge/A", "Bridge/B"};

QString StateText(const CLink* link)
{
    if (link == nullptr)
        return CBridgeWindow::tr("닫힘");
    switch (link->GetState()) {
    case CLink::State::Open:
        return link->PeerCount() > 0 ? CBridgeWindow::tr("열림 (%1 접속)").arg(link->PeerCount())
                                     : CBridgeWindow::tr("열림");
    case CLink::State::Opening:
        return CBridgeWindow::tr("연결 중");
    case CLink::State::Waiting:
        return CBridgeWindow::tr("기다리는 중");
    case CLink::State::Closed:
        break;
    }
    return CBridgeWindow::tr("닫힘");
}

} // namespace

CBridgeWindow::CBridgeWindow(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("BridgeWindow"));
    QSettings settings(kCompanyName, kApplicationName);
    for (const CBridge::Side side : {CBridge::A, CBridge::B}) {
        settings.beginGroup(QString::fromLatin1(kSideGroups[side]));
        m_sides[side] = LinkSettings::Load(settings);
        settings.endGroup();
    }
    CreateControls();
    InitActionsConnections();
    ApplyEnvironment(EnvSettings());
    UpdateActions();
    UpdateStatus();
}

CBridgeWindow::~CBridgeWindow()
{
    // The view's capture ends with the view; the links first, so nothing is written meanwhile.
    if (m_pBridge)
        m_pBridge->disconnect(this);
    m_pBridge.reset();
}

void CBridgeWindow::CreateControls()
{
    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("BridgeToolBar"));
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const auto add = [&](const QString& text, const char* name, bool checkable = false) {
        QAction* action = bar->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        action->setCheckable(checkable);
        return action;
    };
    m_pSettingsA = add(tr("A 설정..."), "BridgeSettingsA");
    m_pSettingsB = add(tr("B 설정..."), "BridgeSettingsB");
    m_pStart = add(tr("시작"), "BridgeStart");
    m_pStop = add(tr("정지"), "BridgeStop");
    bar->addSeparator();
    m_pClear = add(tr("지우기"), "BridgeClear");
    m_pHex = add(tr("HEX"), "BridgeHex", true);
    m_pStamps = add(tr("시간 표시"), "BridgeStamps", true);
    bar->addSeparator();
    m_pCapture = add(tr("갈무리"), "BridgeCapture", true);
    m_pReplay = add(tr("재생..."), "BridgeReplay");
    m_pFind = add(tr("찾기"), "BridgeFind");
    m_pFindNext = new QAction(this);

    m_pView = new CTextViewCtrl(this);
    m_pView->setObjectName(QStringLiteral("BridgeView"));
    m_pView->ControlReceive(true);
    m_pView->ShowArrivalStamps(true);
    m_pStamps->setChecked(true);
    m_pFindBar = new CFindBar(m_pView, this);
    // The frame's own find keys belong to the monitors: the view keeps them for this window.
    m_pView->installEventFilter(this);

    // Which colour is which direction, in the colours themselves.
    auto* statusRow = new QHBoxLayout;
    statusRow->setContentsMargins(4, 2, 4, 2);
    for (const CBridge::Direction direction : {CBridge::AToB, CBridge::BToA}) {
        auto* legend = new QLabel(CBridge::DirectionName(direction), this);
        legend->setObjectName(direction == CBridge::AToB ? QStringLiteral("BridgeLegendAToB")
                                                         : QStringLiteral("BridgeLegendBToA"));
        legend->setContentsMargins(6, 0, 6, 0);
        legend->setAutoFillBackground(true);
        m_legend[direction] = legend;
        statusRow->addWidget(legend);
    }
    m_pStatus = new QLabel(this);
    m_pStatus->setObjectName(QStringLiteral("BridgeStatus"));
    m_pStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_pStatus->setWordWrap(true);
    statusRow->addWidget(m_pStatus, 1);
    // What a side told last, on a line of its own: a reason is never cut off.
    m_pNotice = new QLabel(this);
    m_pNotice->setObjectName(QStringLiteral("BridgeNotice"));
    m_pNotice->setContentsMargins(4, 0, 4, 2);
    m_pNotice->setWordWrap(true);
    m_pNotice->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(m_pView, 1);
    layout->addWidget(m_pFindBar);
    layout->addLayout(statusRow);
    layout->addWidget(m_pNotice);
    m_pFindBar->hide();
    setFocusProxy(m_pView);
}

void CBridgeWindow::InitActionsConnections()
{
    connect(m_pSettingsA, &QAction::triggered, this, [this] { ChooseSide(CBridge::A); });
    connect(m_pSettingsB, &QAction::triggered, this, [this] { ChooseSide(CBridge::B); });
    connect(m_pStart, &QAction::triggered, this, &CBridgeWindow::Start);
    connect(m_pStop, &QAction::triggered, this, &CBridgeWindow::Stop);
    connect(m_pClear, &QAction::triggered, m_pView, &CTextViewCtrl::Clear);
    connect(m_pHex, &QAction::toggled, this, &CBridgeWindow::SetHexView);
    connect(m_pStamps, &QAction::toggled, this, &CBridgeWindow::SetTimeStamps);
    connect(m_pCapture, &QAction::triggered, this, &CBridgeWindow::OnCaptureToggled);
    connect(m_pReplay, &QAction::triggered, this, &CBridgeWindow::OnReplay);
    connect(m_pFind, &QAction::triggered, m_pFindBar, &CFindBar::Open);
    connect(m_pFindNext, &QAction::triggered, m_pFindBar, [this] { m_pFindBar->FindNext(true); });
    connect(m_pView, &CTextViewCtrl::captureFailed, this, [this](const QString& message) {
        UpdateActions();
        ShowMessage(message, QMessageBox::Warning, QMessageBox::Ok, this);
    });
    m_statusTimer.setSingleShot(true);
    connect(&m_statusTimer, &QTimer::timeout, this, &CBridgeWindow::UpdateStatus);
}

bool CBridgeWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_pView ||
        (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress))
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    QAction* action = key->matches(QKeySequence::Find)       ? m_pFind
                      : key->matches(QKeySequence::FindNext) ? m_pFindNext
                                                             : nullptr;
    if (action == nullptr)
        return QWidget::eventFilter(watched, event);
    event->accept();
    if (event->type() == QEvent::KeyPress)
        action->trigger();
    return true;
}

void CBridgeWindow::SetEnvironment(const CEnvironment* environment)
{
    if (m_pEnvironment != nullptr)
        disconnect(m_pEnvironment, nullptr, this, nullptr);
    m_pEnvironment = environment;
    if (environment == nullptr)
        return;
    ApplyEnvironment(environment->Env());
    connect(environment, &CEnvironment::changed, this, &CBridgeWindow::ApplyEnvironment);
}

void CBridgeWindow::ApplyEnvironment(const EnvSettings& env)
{
    m_pView->SetTotalLineMax(env.nMaxLine);
    m_pView->SetColor(env.colours.data());
    m_pView->SetTextEncoding(env.encoding);
    // A→B is drawn as sent bytes are, B→A as received ones.
    const int text[2] = {EnvSettings::TextOut, EnvSettings::TextIn};
    const int back[2] = {EnvSettings::BkTextOut, EnvSettings::BkTextIn};
    for (const CBridge::Direction direction : {CBridge::AToB, CBridge::BToA}) {
        QPalette palette = m_legend[direction]->palette();
        palette.setColor(QPalette::WindowText, ColourFromRef(env.colours[size_t(text[direction])]));
        palette.setColor(QPalette::Window, ColourFromRef(env.colours[size_t(back[direction])]));
        m_legend[direction]->setPalette(palette);
    }
}

void CBridgeWindow::SetSide(CBridge::Side side, const LinkSettings& settings)
{
    m_sides[side] = settings;
    QSettings store(kCompanyName, kApplicationName);
    store.beginGroup(QString::fromLatin1(kSideGroups[side]));
    settings.Save(store);
    store.endGroup();
    if (IsRunning()) {
        Stop();
        Start();
    }
    UpdateStatus();
}

bool CBridgeWindow::ChooseSide(CBridge::Side side)
{
    CPortSettingsDlg dialog(m_sides[side], this);
    dialog.setWindowTitle(tr("통신포트 설정 - %1").arg(CBridge::SideName(side)));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    SetSide(side, dialog.Settings());
    return true;
}

void CBridgeWindow::ChooseAndStart()
{
    if (ChooseSide(CBridge::A) && ChooseSide(CBridge::B))
        Start();
}

bool CBridgeWindow::Start()
{
    if (IsRunning())
        return true;
    m_pBridge.reset();
    LinkParams params[2] = {m_sides[CBridge::A].Params(), m_sides[CBridge::B].Params()};
    LinkPtr links[2] = {MakeLink(params[0]), MakeLink(params[1])};
    if (links[0] == nullptr || links[1] == nullptr) {
        ShowMessage(tr("이 종류의 링크는 열 수 없습니다."), QMessageBox::Warning, QMessageBox::Ok,
                    this);
        return false;
    }
    m_pBridge = std::make_unique<CBridge>(std::move(links[0]), std::move(links[1]));
    connect(m_pBridge.get(), &CBridge::chunk, this, &CBridgeWindow::OnChunk);
    connect(m_pBridge.get(), &CBridge::sideNotice, this,
            [this](CBridge::Side, const QString& text) {
                m_strNotice = text;
                m_pNotice->setText(text);
            });
    const auto later = [this] {
        if (!m_statusTimer.isActive())
            m_statusTimer.start(kStatusIntervalMs);
    };
    connect(m_pBridge.get(), &CBridge::countsChanged, this, later);
    connect(m_pBridge.get(), &CBridge::heldBack, this, later);
    connect(m_pBridge.get(), &CBridge::sideStateChanged, this, later);
    QString error;
    const bool started = m_pBridge->Start(&error);
    UpdateActions();
    UpdateStatus();
    if (!started)
        ShowMessage(tr("브리지를 시작하지 못했습니다.\n%1").arg(error), QMessageBox::Warning,
                    QMessageBox::Ok, this);
    return started;
}

void CBridgeWindow::Stop()
{
    if (m_pBridge)
        m_pBridge->Stop();
    UpdateActions();
    UpdateStatus();
}

void CBridgeWindow::OnChunk(CBridge::Direction direction, const QByteArray& bytes, qint64 timeMs)
{
    m_pView->TextWrite(reinterpret_cast<const unsigned char*>(bytes.constData()), int(bytes.size()),
                       direction == CBridge::AToB ? kAttrAToB : kAttrBToA,
                       QDateTime::fromMSecsSinceEpoch(timeMs));
}

QString CBridgeWindow::StatusText() const
{
    QStringList parts;
    for (const CBridge::Direction direction : {CBridge::AToB, CBridge::BToA}) {
        const CBridge::Counts counts =
            m_pBridge ? m_pBridge->GetCounts(direction) : CBridge::Counts();
        QString part = tr("%1: %2 전달, %3 전달 못함")
                           .arg(CBridge::DirectionName(direction))
                           .arg(counts.forwarded)
                           .arg(counts.notForwarded);
        if (m_pBridge && m_pBridge->IsHeld(direction))
            part += tr(" (보류: %1 가득 참)").arg(CBridge::SideName(CBridge::To(direction)));
        parts << part;
    }
    for (const CBridge::Side side : {CBridge::A, CBridge::B})
        parts << QStringLiteral("%1 %2: %3")
                     .arg(CBridge::SideName(side), m_sides[side].InterfaceText(),
                          StateText(m_pBridge ? m_pBridge->Link(side) : nullptr));
    if (IsCapturing())
        parts << tr("갈무리");
    return parts.join(QStringLiteral("  |  "));
}

QString CBridgeWindow::NoticeText() const
{
    return m_strNotice;
}

void CBridgeWindow::UpdateStatus()
{
    m_pStatus->setText(StatusText());
    UpdateActions();
}

void CBridgeWindow::UpdateActions()
{
    const bool running = IsRunning();
    m_pStart->setEnabled(!running);
    m_pStop->setEnabled(running);
    m_pCapture->setChecked(IsCapturing());
    m_pReplay->setEnabled(true);
}

bool CBridgeWindow::StartCapture(const QString& path)
{
    const bool started = m_pView->GalmuriSave(true, path);
    if (started)
        m_strCapturePath = path;
    else
        ShowMessage(tr("갈무리 파일을 만들 수 없습니다.\n%1").arg(path), QMessageBox::Warning,
                    QMessageBox::Ok, this);
    UpdateStatus();
    return started;
}

void CBridgeWindow::StopCapture()
{
    m_pView->GalmuriSave(false);
    UpdateStatus();
}

bool CBridgeWindow::IsCapturing() const
{
    return m_pView->IsCapturing();
}

void CBridgeWindow::OnCaptureToggled(bool on)
{
    if (!on) {
        StopCapture();
        return;
    }
    const QString name =
        QStringLiteral("Bridge-%1.tvn")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    const QString path = QFileDialog::getSaveFileName(
        this, tr("갈무리 저장파일 이름"), QDir(CCaptureSession::Folder()).filePath(name),
        tr("TARVEN Files (*.TVN)"));
    if (path.isEmpty()) {
        UpdateActions();
        return;
    }
    StartCapture(QFileInfo(path).suffix().isEmpty() ? path + QStringLiteral(".tvn") : path);
}

void CBridgeWindow::OnReplay()
{
    QString path = m_strCapturePath;
    if (path.isEmpty() || IsCapturing())
        path = QFileDialog::getOpenFileName(this, tr("재생"),
                                            path.isEmpty() ? CCaptureSession::Folder() : path,
                                            tr("TARVEN Files (*.TVN)"));
    if (!path.isEmpty())
        emit replayRequested(path);
}

void CBridgeWindow::SetHexView(bool on)
{
    m_pHex->setChecked(on);
    m_pView->HexaView(on);
    m_pFindBar->Refresh();
}

void CBridgeWindow::SetTimeStamps(bool on)
{
    m_pStamps->setChecked(on);
    m_pView->ShowArrivalStamps(on);
}
