#include "CScriptStatusBar.h"

#include "CElidedLabel.h"
#include "CPaneIndicator.h"
#include "CScriptEditDoc.h"
#include "CScriptEditView.h"
#include "ScriptConstants.h"

#include <QLabel>
#include <QProgressBar>

#include <algorithm>

namespace {

const char* const kWaiting = QT_TRANSLATE_NOOP("CScriptStatusBar", "실행대기");
const char* const kRunning = QT_TRANSLATE_NOOP("CScriptStatusBar", "실행중");
const char* const kPaused = QT_TRANSLATE_NOOP("CScriptStatusBar", "멈춤");
constexpr int kProgressMax = 100;
// A verdict is told apart at a glance: white on green for a pass, white on red for a fail.
const QColor kSyncPassColour(0, 128, 0);
const QColor kSyncFailColour(192, 0, 0);

} // namespace

CScriptStatusBar::CScriptStatusBar(QWidget* parent)
    : QStatusBar(parent), m_pProgress(new QProgressBar(this)),
      m_pSync(new CElidedLabel(QString(), this)),
      m_pRunning(new CPaneIndicator(ID_PANE_RUNNING, tr(kWaiting), this)),
      m_pCaret(new QLabel(this))
{
    setSizeGripEnabled(false);
    m_pProgress->setObjectName(QString::number(ID_PANE_PROGRESS));
    m_pProgress->setRange(0, kProgressMax);
    m_pProgress->setTextVisible(false);
    // Wide enough for the longer of its two words, in the font this system substitutes and in
    // the language shown.
    int width = kRunningPaneWidthPx;
    for (const char* text : {kRunning, kWaiting, kPaused}) {
        m_pRunning->SetText(tr(text));
        width = std::max(width, m_pRunning->sizeHint().width());
    }
    m_pRunning->setFixedWidth(width);
    m_pCaret->setObjectName(QString::number(ID_PANE_CARET));
    // Room for a long script's position in the language shown.
    m_pCaret->setFixedWidth(std::max(
        kCaretPaneWidthPx,
        m_pCaret->fontMetrics().horizontalAdvance(CaretText(kWidestCaretColumn, kWidestCaretLine)) +
            2 * m_pCaret->margin() + kCaretPaneSlackPx));
    m_pSync->setObjectName(QStringLiteral("sync"));
    m_pSync->setAutoFillBackground(true);
    QFont bold = m_pSync->font();
    bold.setBold(true);
    m_pSync->setFont(bold);
    // A long operand is shortened rather than pushing the other panes aside.
    m_pSync->setMaximumWidth(kSyncPaneMaxPx);
    m_pSync->hide();
    addWidget(m_pProgress, 1);
    addPermanentWidget(m_pSync);
    addPermanentWidget(m_pRunning);
    addPermanentWidget(m_pCaret);
}

void CScriptStatusBar::Update(const CScriptEditView& view, bool tick)
{
    CScriptEditDoc& document = *view.Document();
    m_pProgress->setValue(document.Progress());
    if (!view.IsRunning()) {
        m_pRunning->SetText(tr(kWaiting));
        m_pRunning->SetLamp(0);
    } else if (view.IsPaused()) {
        // Lit and still: the script waits for a key.
        m_pRunning->SetText(tr(kPaused));
        m_pRunning->SetLamp(kRunFrames / 2);
    } else {
        if (tick)
            document.SetRunFrame((document.RunFrame() + 1) % kRunFrames);
        m_pRunning->SetText(tr(kRunning));
        m_pRunning->SetLamp(document.RunFrame());
    }
    if (const auto& sync = view.LastSync())
        ShowSync(sync->Line(), sync->bPass);
    else
        m_pSync->hide();
    m_pCaret->setText(CaretText(view.CaretColumn(), view.CaretLine()));
}

void CScriptStatusBar::ShowSync(const QString& text, bool pass)
{
    m_pSync->setText(text);
    const QColor& colour = pass ? kSyncPassColour : kSyncFailColour;
    if (m_pSync->palette().color(QPalette::Window) != colour) {
        QPalette palette = m_pSync->palette();
        palette.setColor(QPalette::Window, colour);
        palette.setColor(QPalette::WindowText, Qt::white);
        m_pSync->setPalette(palette);
    }
    m_pSync->show();
}

QString CScriptStatusBar::CaretText(int column, int line)
{
    return tr("열: %1, 행: %2").arg(column).arg(line);
}
