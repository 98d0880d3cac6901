#include "CScriptWatchDlg.h"

#include "CDecodeCtrl.h"
#include "CTSL.h"
#include "CTextViewCtrl.h"
#include "CommandIds.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>

#include <deque>
#include <memory>

namespace {

// The terminal view's control id, and how often the window takes the lines a script printed.
constexpr int kWatchViewId = 1000;
constexpr int kWatchDrainMs = 20;
constexpr int kWatchStartWidthPx = 480;
constexpr int kWatchStartHeightPx = 320;

// The nine colours of the view, COLORREF values in the view's order.
constexpr uint32_t kWatchColours[kColourCount] = {0xFFFFFF, 0xFF0000, 0x000000, 0x00FF00, 0x000000,
                                                  0x00FFFF, 0x0000FF, 0x00FFFF, 0x0000FF};

} // namespace

CScriptWatchDlg::CScriptWatchDlg(CDecodeCtrl* decode, const QString& title, QWidget* parent)
    : QDialog(parent), m_pDecode(decode), m_pTextView(new CTextViewCtrl),
      m_pMenu(new QMenu(QStringLiteral("ScriptExe"), this))
{
    setWindowTitle(tr("%1-스크립트 실행창").arg(title));
    setAttribute(Qt::WA_OpaquePaintEvent); // the terminal view covers the whole window
    resize(kWatchStartWidthPx, kWatchStartHeightPx);
    m_pTextView->Create(this, rect(), kWatchViewId);
    m_pTextView->ControlReceive(m_bControl);
    m_pTextView->SetColor(kWatchColours);
    m_pTextView->SetContextMenu(m_pMenu);
    m_pTextView->installEventFilter(this);

    AddMenuCommand(WatchCommand::TextView, ID_VIEW_ASCII, tr("ASCII(문자) 표시"));
    AddMenuCommand(WatchCommand::HexView, ID_VIEW_HEX, tr("HEX(16진수) 표시"));
    AddMenuCommand(WatchCommand::ControlCodes, ID_VIEW_CONTROL, tr("제어문자 표시"));
    m_pMenu->addSeparator();
    QAction* clear = AddMenuCommand(WatchCommand::Clear, ID_VIEW_CLEAR, tr("화면지우기\tCtrl + C"));
    clear->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    clear->setShortcutContext(Qt::WindowShortcut);
    addAction(clear);
    for (QAction* action : m_pMenu->actions())
        action->setCheckable(!action->isSeparator() && action != clear);
    UpdateMenu();

    m_drainTimer.setInterval(kWatchDrainMs);
    connect(&m_drainTimer, &QTimer::timeout, this, &CScriptWatchDlg::DrainPrinted);
    QTimer::singleShot(0, this, [this] { OnCommand(WatchCommand::Start); });
    m_pTextView->setFocus();
}

QAction* CScriptWatchDlg::AddMenuCommand(WatchCommand command, int id, const QString& text)
{
    QAction* action = m_pMenu->addAction(text);
    action->setObjectName(QString::number(id));
    action->setData(int(command));
    connect(action, &QAction::triggered, this, [this, command] { OnCommand(command); });
    return action;
}

void CScriptWatchDlg::UpdateMenu()
{
    for (QAction* action : m_pMenu->actions()) {
        if (action->isSeparator())
            continue;
        switch (WatchCommand(action->data().toInt())) {
        case WatchCommand::TextView:
            action->setChecked(m_nDisplayMode == 0);
            break;
        case WatchCommand::HexView:
            action->setChecked(m_nDisplayMode == 1);
            break;
        case WatchCommand::ControlCodes:
            action->setChecked(m_bControl);
            break;
        case WatchCommand::Clear:
        case WatchCommand::Start:
        case WatchCommand::Stop:
            break;
        }
    }
}

void CScriptWatchDlg::OnCommand(WatchCommand command)
{
    switch (command) {
    case WatchCommand::TextView:
    case WatchCommand::HexView:
        m_nDisplayMode = command == WatchCommand::HexView ? 1 : 0;
        m_pTextView->HexaView(m_nDisplayMode == 1);
        break;
    case WatchCommand::ControlCodes:
        m_bControl = !m_bControl;
        m_pTextView->ControlReceive(m_bControl);
        break;
    case WatchCommand::Clear:
        m_pTextView->Clear();
        break;
    case WatchCommand::Start:
        if (!m_drainTimer.isActive())
            m_drainTimer.start();
        break;
    case WatchCommand::Stop:
        DrainPrinted();
        m_drainTimer.stop();
        break;
    }
    UpdateMenu();
}

void CScriptWatchDlg::DrainPrinted()
{
    CTSL* tsl = m_pDecode ? m_pDecode->m_pTSL.get() : nullptr;
    if (tsl == nullptr)
        return;
    // The whole queue at once, so the script waits on the lock for no more than a swap.
    std::deque<std::unique_ptr<CPrintMessage>> taken;
    {
        std::lock_guard lock(tsl->m_csPrint);
        taken.swap(tsl->m_listPrint);
    }
    if (taken.empty())
        return;
    QByteArray bytes;
    for (const std::unique_ptr<CPrintMessage>& message : taken)
        bytes.append(message->m_pszText.get());
    m_pTextView->TextWrite(reinterpret_cast<const unsigned char*>(bytes.constData()),
                           static_cast<int>(bytes.size()), kAttrSent);
    m_nShownLines += taken.size();
    m_nShownBytes += static_cast<uint64_t>(bytes.size());
}

void CScriptWatchDlg::DestroyWindow()
{
    OnCommand(WatchCommand::Stop);
    m_pDecode = nullptr;
    hide();
    deleteLater();
}

bool CScriptWatchDlg::eventFilter(QObject* watched, QEvent* event)
{
    // The view types every other key into nothing here; Escape only hides the window, which
    // command 32803 shows again. Up, Down, Page Up and Page Down the view scrolls itself.
    if (watched == m_pTextView && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        hide();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CScriptWatchDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    emit shownChanged();
}

void CScriptWatchDlg::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    emit shownChanged();
}

void CScriptWatchDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    m_pTextView->setGeometry(rect());
    m_pTextView->setFocus();
}
