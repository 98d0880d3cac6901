#include "CTextViewCtrl.h"

#include "CCaptureLoad.h"
#include "CCaptureReader.h"
#include "CQuietScrollBar.h"
#include "CTextLogStore.h"
#include "CTextViewPrinter.h"
#include "HexLayout.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QProgressBar>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QToolButton>
#include <algorithm>
#include <climits>
#include <cmath>

namespace {
int ClampToInt(uint64_t value)
{
    return static_cast<int>(std::min<uint64_t>(value, INT_MAX));
}

// GalmuriShow's result for a file that could not be shown.
int ShowFailure(CaptureStatus status)
{
    switch (status) {
    case CaptureStatus::NotCapture:
        return -2;
    case CaptureStatus::UnsupportedVersion:
        return -3;
    case CaptureStatus::Ok:
    case CaptureStatus::Unreadable:
        break;
    }
    return -1;
}
} // namespace

CTextViewCtrl::CTextViewCtrl(QWidget* parent)
    : QAbstractScrollArea(parent), m_pStore(std::make_unique<CTextLogStore>())
{
    // A font family's name, kept in Korean.
    QFont face(QStringLiteral("굴림체"), 10);
    face.setStyleHint(QFont::TypeWriter); // a fixed-pitch fallback where the face is missing
    setFont(face);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setVerticalScrollBar(new CQuietScrollBar(Qt::Vertical, this));
    viewport()->setCursor(Qt::IBeamCursor);
    m_painter.SetFont(font(), viewport());
    m_repaintTimer.setSingleShot(true);
    // Started by traffic only: an idle capture wakes nothing.
    m_captureTimer.setSingleShot(true);
    m_captureTimer.setInterval(kCaptureFlushMs);
    m_loadTimer.setInterval(kCaptureLoadPollMs);
    InitActionsConnections();
    InitLoadBar();
}

CTextViewCtrl::~CTextViewCtrl() = default;

void CTextViewCtrl::InitActionsConnections()
{
    m_pCopyAction = new QAction(tr("복사"), this);
    m_pCopyAction->setShortcut(QKeySequence::Copy);
    m_pCopyAction->setEnabled(false);
    connect(m_pCopyAction, &QAction::triggered, this, &CTextViewCtrl::Copy);
    m_pSelectAllAction = new QAction(tr("모두 선택"), this);
    m_pSelectAllAction->setShortcut(QKeySequence::SelectAll);
    connect(m_pSelectAllAction, &QAction::triggered, this, &CTextViewCtrl::SelectAll);
    m_pOwnMenu = new QMenu(this);
    m_pOwnMenu->addAction(m_pCopyAction);
    m_pOwnMenu->addAction(m_pSelectAllAction);

    connect(&m_repaintTimer, &QTimer::timeout, this, &CTextViewCtrl::OnRepaintTimer);
    connect(&m_captureTimer, &QTimer::timeout, this, &CTextViewCtrl::OnCaptureTimer);
    connect(&m_loadTimer, &QTimer::timeout, this, &CTextViewCtrl::OnLoadTimer);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (!m_bSyncing)
            m_bFollow = value == verticalScrollBar()->maximum();
    });
}

void CTextViewCtrl::InitLoadBar()
{
    // Over the top of the rows, hidden until a big capture file is read.
    m_pLoadBar = new QWidget(this);
    m_pLoadBar->setObjectName(QStringLiteral("CaptureLoadBar"));
    m_pLoadBar->setAutoFillBackground(true);
    m_pLoadProgress = new QProgressBar(m_pLoadBar);
    m_pLoadProgress->setObjectName(QStringLiteral("CaptureLoadProgress"));
    m_pLoadProgress->setRange(0, 1000);
    auto* cancel = new QToolButton(m_pLoadBar);
    cancel->setObjectName(QStringLiteral("CaptureLoadCancel"));
    cancel->setText(tr("취소"));
    cancel->setFocusPolicy(Qt::NoFocus);
    connect(cancel, &QToolButton::clicked, this, &CTextViewCtrl::CancelGalmuriShow);
    auto* layout = new QHBoxLayout(m_pLoadBar);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->addWidget(new QLabel(tr("갈무리 파일을 읽는 중..."), m_pLoadBar));
    layout->addWidget(m_pLoadProgress, 1);
    layout->addWidget(cancel);
    m_pLoadBar->hide();
}

int CTextViewCtrl::Create(QWidget* parent, const QRect& rect, int id)
{
    setParent(parent);
    setGeometry(rect);
    setObjectName(QString::number(id));
    show();
    return 1;
}

void CTextViewCtrl::TextWrite(unsigned char b, char attribute)
{
    m_pStore->Write(b, static_cast<uint8_t>(attribute));
    NotifyWritten();
}

void CTextViewCtrl::TextWrite(const unsigned char* bytes, int n, char attribute)
{
    if (!bytes || n <= 0)
        return;
    m_pStore->Write(bytes, static_cast<std::size_t>(n), static_cast<uint8_t>(attribute));
    NotifyWritten();
}

void CTextViewCtrl::CaptureWrite(const unsigned char* bytes, int n, char attribute)
{
    if (!bytes || n <= 0 || !m_pStore->IsCapturing())
        return;
    m_pStore->Capture(bytes, static_cast<std::size_t>(n), static_cast<uint8_t>(attribute));
    if (!m_captureTimer.isActive())
        m_captureTimer.start();
}

void CTextViewCtrl::TextWrite(const unsigned char* bytes, int n, char attribute,
                              const QDateTime& arrival, int client)
{
    if (!bytes || n <= 0)
        return;
    const uint64_t at = m_pStore->Extent().end;
    TextWrite(bytes, n, attribute);
    m_stamps.Note(arrival, at, bytes, n, attribute, client);
    m_stamps.DropBefore(m_pStore->Extent().first);
}

void CTextViewCtrl::NoticeWrite(const unsigned char* bytes, int n, char attribute)
{
    if (!bytes || n <= 0)
        return;
    const uint64_t at = m_pStore->Extent().end;
    TextWrite(bytes, n, attribute);
    m_stamps.NoteNotice(at);
}

void CTextViewCtrl::NotifyWritten()
{
    // One queued call per batch, not per byte: the flag stays set until the repaint timer runs.
    if (m_bPending.load(std::memory_order_relaxed) || m_bPending.exchange(true))
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_repaintTimer.isActive())
                return;
            const bool flood = m_pStore->Extent().end > m_nShownEnd + kPromptBytes;
            const qint64 since = m_frameClock.isValid() ? m_frameClock.elapsed() : kFrameMs;
            const qint64 wait = (flood ? kRepaintIntervalMs : kFrameMs) - since;
            // A frame that is due is drawn now: a timer would only cost another pass of the loop.
            if (wait <= 0)
                OnRepaintTimer();
            else
                m_repaintTimer.start(int(wait));
        },
        Qt::QueuedConnection);
}

void CTextViewCtrl::OnRepaintTimer()
{
    m_bPending.store(false);
    m_frameClock.start();
    m_nShownEnd = m_pStore->Extent().end;
    // The first client mark moves every hex row right to make room for the marks.
    if (m_bMarkRoom != m_stamps.HasMarks()) {
        m_bMarkRoom = m_stamps.HasMarks();
        if (m_bHex) {
            SyncScrollBars();
            RedrawAll();
        }
    }
    m_bShowingWritten = true;
    SyncScrollBars();
    m_bShowingWritten = false;
    ShowWritten();
    if (!m_captureTimer.isActive() && m_pStore->IsCapturing())
        m_captureTimer.start();
    emit dataShown();
}

void CTextViewCtrl::HexaView(bool on)
{
    if (m_bHex == on)
        return;
    m_bHex = on;
    m_nWidestCells = 0;
    m_bFollow = true;
    SyncScrollBars();
    RedrawAll();
}

void CTextViewCtrl::ShowArrivalStamps(bool on)
{
    if (m_bStamps == on)
        return;
    m_bStamps = on;
    m_nWidestCells = 0;
    SyncScrollBars();
    RedrawAll();
}

std::vector<ArrivalStamp> CTextViewCtrl::ArrivalStamps() const
{
    const LogExtent extent = m_pStore->Extent();
    return m_stamps.In(extent.first, extent.end);
}

std::vector<ClientRun> CTextViewCtrl::ClientRuns() const
{
    const LogExtent extent = m_pStore->Extent();
    return m_stamps.ClientsIn(extent.first, extent.end);
}

std::vector<Cell> CTextViewCtrl::Cells(uint64_t from, uint64_t to, uint64_t* start) const
{
    return m_pStore->Range(from, to, start);
}

std::pair<uint64_t, uint64_t> CTextViewCtrl::SelectionRange() const
{
    const Selection sel = CurrentSelection();
    return {sel.from, std::max(sel.from, sel.to)};
}

std::pair<uint64_t, uint64_t> CTextViewCtrl::HeldRange() const
{
    const LogExtent extent = m_pStore->Extent();
    return {extent.first, extent.end};
}

std::vector<ArrivalStamp> CTextViewCtrl::ShownStamps(uint64_t from, uint64_t to) const
{
    if (!m_bStamps && !m_stamps.HasMarks())
        return {};
    std::vector<ArrivalStamp> stamps = m_stamps.In(from, to);
    if (m_bStamps)
        return stamps;
    // Marks show without the times.
    std::vector<ArrivalStamp> marks;
    for (ArrivalStamp stamp : stamps) {
        if (stamp.client < 0)
            continue;
        stamp.msOfDay = -1;
        marks.push_back(stamp);
    }
    return marks;
}

std::vector<Glyph> CTextViewCtrl::LayoutRow(const RowData& row) const
{
    return LayoutLine(row.cells, row.start, m_bControls, m_encoding,
                      ShownStamps(row.start, row.start + row.cells.size()));
}

QString CTextViewCtrl::HexRowLead(uint64_t rowStart) const
{
    const std::vector<ArrivalStamp> stamps = m_stamps.In(rowStart, rowStart + kHexBytesPerRow);
    if (stamps.empty())
        return {};
    return CArrivalStamps::LeadText(m_bStamps ? stamps.front().msOfDay : -1, stamps.front().client);
}

QString CTextViewCtrl::ShownRowText(int row) const
{
    const uint64_t index = static_cast<uint64_t>(verticalScrollBar()->value()) +
                           static_cast<uint64_t>(std::max(row, 0));
    QString text;
    if (m_bHex) {
        const uint64_t rowStart = (FirstRow() + index) * kHexBytesPerRow;
        text = HexRowLead(rowStart).leftJustified(HexPrefixCells(), u' ', true);
        text += QStringLiteral("%1")
                    .arg(rowStart, HexLayout::kOffsetCells, 16, QLatin1Char('0'))
                    .toUpper();
        for (const Cell& cell : m_pStore->Range(rowStart, rowStart + kHexBytesPerRow))
            text += QStringLiteral(" %1").arg(cell.byte, 2, 16, QLatin1Char('0')).toUpper();
        return text;
    }
    const std::vector<RowData> rows = m_pStore->Lines(static_cast<std::size_t>(index), 1);
    if (rows.empty())
        return text;
    for (const Glyph& g : LayoutRow(rows[0])) {
        if (g.IsStamp())
            text += CArrivalStamps::LeadText(g.stampMs, g.client);
        else
            text += g.ch != 0 ? QString::fromUcs4(&g.ch, 1) : QString::fromLatin1(g.label);
    }
    return text;
}

void CTextViewCtrl::ControlReceive(bool on)
{
    m_bControls = on;
    m_nWidestCells = 0;
    SyncScrollBars();
    RedrawAll();
}

void CTextViewCtrl::SetTextEncoding(TextEncoding encoding)
{
    if (m_encoding == encoding)
        return;
    m_encoding = encoding;
    m_nWidestCells = 0;
    SyncScrollBars();
    RedrawAll();
}

void CTextViewCtrl::CaretShow(bool on)
{
    m_bCaret = on;
    RestartCaret();
    RedrawAll();
}

void CTextViewCtrl::SetTotalLineMax(int lines)
{
    m_pStore->SetLineMax(static_cast<std::size_t>(std::max(lines, 1)));
    OnRepaintTimer();
}

void CTextViewCtrl::SetColor(const uint32_t colours[kColourCount])
{
    m_painter.SetColours(colours);
    RedrawAll();
}

void CTextViewCtrl::Clear()
{
    m_nLiveFrom = 0; // a capture file being read is followed by what is written from now on
    m_pStore->Clear();
    m_stamps.Clear();
    ResetView();
}

void CTextViewCtrl::ResetView()
{
    m_nAnchor = m_nCursor = 0;
    m_bSelecting = false;
    m_pCopyAction->setEnabled(false);
    m_nWidestCells = 0;
    m_nSyncedFirstRow = 0;
    m_bFollow = true;
    OnRepaintTimer();
}

int CTextViewCtrl::GetBufferSize() const
{
    const LogExtent extent = m_pStore->Extent();
    return ClampToInt(extent.end - extent.first);
}

int CTextViewCtrl::GetLineSize() const
{
    return ClampToInt(m_pStore->Extent().heldLines);
}

void CTextViewCtrl::GetBuffer(QByteArray& bytes, QByteArray& attributes) const
{
    const std::vector<Cell> cells = m_pStore->Range(0, UINT64_MAX);
    bytes.resize(static_cast<qsizetype>(cells.size()));
    attributes.resize(static_cast<qsizetype>(cells.size()));
    for (std::size_t i = 0; i < cells.size(); ++i) {
        bytes[static_cast<qsizetype>(i)] = static_cast<char>(cells[i].byte);
        attributes[static_cast<qsizetype>(i)] = static_cast<char>(cells[i].attr);
    }
}

bool CTextViewCtrl::GalmuriSave(bool on, const QString& path)
{
    if (!on) {
        m_captureTimer.stop();
        m_pStore->StopCapture();
        return true;
    }
    QString error;
    if (!m_pStore->StartCapture(path, &error)) {
        m_captureTimer.stop();
        emit captureFailed(error);
        return false;
    }
    return true;
}

void CTextViewCtrl::OnCaptureTimer()
{
    QString error;
    if (m_pStore->FlushCapture(&error))
        return;
    m_captureTimer.stop();
    emit captureFailed(error);
}

bool CTextViewCtrl::IsCapturing() const
{
    return m_pStore->IsCapturing();
}

int CTextViewCtrl::GalmuriShow(const QString& path)
{
    if (m_pLoad)
        EndLoad(false);
    m_nSkippedRecords = 0;
    CCaptureReader reader;
    if (const CaptureStatus status = reader.Open(path); status != CaptureStatus::Ok)
        return ShowFailure(status);
    m_pStore->Clear();
    m_stamps.Clear();
    CaptureRecord record;
    while (reader.Next(record))
        m_pStore->Load(record.cells);
    m_nSkippedRecords = reader.SkippedCount();
    ResetView();
    return 0;
}

int CTextViewCtrl::BeginGalmuriShow(const QString& path)
{
    if (m_pLoad)
        EndLoad(false);
    // A FIFO or a device gives no size here: the reader refuses it without waiting.
    if (QFileInfo(path).size() <= kCaptureShowAtOnceBytes)
        return GalmuriShow(path);
    auto load = std::make_unique<CCaptureLoad>();
    if (const CaptureStatus status = load->Start(path, m_pStore->LineMax());
        status != CaptureStatus::Ok)
        return ShowFailure(status);
    m_pLoad = std::move(load);
    m_nLiveFrom = m_pStore->Extent().end;
    m_pLoadProgress->setValue(0);
    PlaceLoadBar();
    m_pLoadBar->show();
    m_pLoadBar->raise();
    m_loadTimer.start();
    return 1;
}

void CTextViewCtrl::PlaceLoadBar()
{
    m_pLoadBar->setGeometry(0, 0, viewport()->width(), m_pLoadBar->sizeHint().height());
}

void CTextViewCtrl::CancelGalmuriShow()
{
    if (m_pLoad)
        EndLoad(false);
}

void CTextViewCtrl::OnLoadTimer()
{
    if (!m_pLoad)
        return;
    if (m_pLoad->IsDone())
        EndLoad(true);
    else
        m_pLoadProgress->setValue(m_pLoad->Permille());
}

void CTextViewCtrl::EndLoad(bool show)
{
    m_loadTimer.stop();
    m_pLoadBar->hide();
    const std::unique_ptr<CCaptureLoad> load = std::move(m_pLoad);
    if (!show)
        load->Cancel();
    const std::unique_ptr<CTextLogStore> log = load->TakeLog();
    if (log) {
        m_nSkippedRecords = load->SkippedCount();
        const auto [from, to] = m_pStore->Adopt(*log, m_nLiveFrom);
        m_stamps.Rebase(from, to);
        m_stamps.DropBefore(m_pStore->Extent().first);
        ResetView();
    }
    emit captureLoaded(log != nullptr);
}

int CTextViewCtrl::SetPrint(QPainter* painter, QPagedPaintDevice* device, const QString& title,
                            const QString& port, const QString& received, const QString& buffer)
{
    if (!painter || !device || !painter->isActive())
        return 0;
    const CTextViewPrinter printer(*m_pStore, m_bHex, m_bControls, m_encoding, font());
    return printer.Print(painter, device, {title, port, received, buffer});
}

void CTextViewCtrl::VScroll(QAbstractSlider::SliderAction action)
{
    verticalScrollBar()->triggerAction(action);
}

uint64_t CTextViewCtrl::FirstRow() const
{
    const LogExtent extent = m_pStore->Extent();
    return m_bHex ? extent.first / kHexBytesPerRow : extent.firstLine;
}

uint64_t CTextViewCtrl::RowCount() const
{
    const LogExtent extent = m_pStore->Extent();
    // In hex mode the row of the end offset is shown too: the caret waits there.
    return m_bHex ? extent.end / kHexBytesPerRow - extent.first / kHexBytesPerRow + 1
                  : extent.shownLines;
}

int CTextViewCtrl::VisibleRows() const
{
    return std::max(1, static_cast<int>(viewport()->height() / m_painter.LineHeight()));
}

void CTextViewCtrl::SyncScrollBars()
{
    const uint64_t firstRow = FirstRow();
    const int visible = VisibleRows();
    const int maximum = ClampToInt(std::max<uint64_t>(RowCount(), visible) - visible);
    QScrollBar* bar = verticalScrollBar();
    // Rows dropped at the top move what the reader is looking at up: follow it.
    const uint64_t dropped = firstRow > m_nSyncedFirstRow ? firstRow - m_nSyncedFirstRow : 0;
    const int value = ClampToInt(bar->value() > 0 && dropped < static_cast<uint64_t>(bar->value())
                                     ? bar->value() - dropped
                                     : 0);
    m_nSyncedFirstRow = firstRow;
    m_bSyncing = true;
    {
        // A range change makes the scroll area lay out its bars again in a posted call; a bar
        // shown before and after whose value stays (a stream growing the log) needs none.
        const bool same = maximum > 0 && bar->maximum() > 0 && bar->value() <= maximum;
        const QSignalBlocker quiet(same ? bar : nullptr);
        bar->setRange(0, maximum);
    }
    bar->setPageStep(visible);
    bar->setValue(m_bFollow ? maximum : std::min(value, maximum));
    const int cells = m_bHex ? HexPrefixCells() + HexLayout::kRowCells : m_nWidestCells;
    const int width = static_cast<int>(std::ceil((cells + 1) * m_painter.CellWidth()));
    horizontalScrollBar()->setRange(0, std::max(0, width - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(static_cast<int>(m_painter.CellWidth()));
    m_bSyncing = false;
}

void CTextViewCtrl::ShowWritten()
{
    // Following the end, new bytes only change the last row shown before and add rows below
    // it: the rows above are moved as pixels and not drawn again. At a device's pace that is a
    // row or two a frame instead of the whole window.
    const uint64_t top = FirstRow() + static_cast<uint64_t>(verticalScrollBar()->value());
    const uint64_t last = FirstRow() + RowCount() - 1;
    const qreal height = m_painter.LineHeight();
    const int rowPx = static_cast<int>(height);
    const bool pixelRows = rowPx > 0 && qFuzzyCompare(height, qreal(rowPx));
    if (m_bFollow && pixelRows && m_nShownTop != kNoRow && top >= m_nShownTop &&
        top - m_nShownTop < static_cast<uint64_t>(VisibleRows()) && m_nShownLast >= top) {
        const int shift = static_cast<int>(top - m_nShownTop);
        // Right of the widest row drawn there is only background, before the move and after:
        // only the inked columns are moved (a log of short lines in a wide window moves a part).
        const int inkCells =
            std::max(m_nInkCells, m_bHex ? HexPrefixCells() + HexLayout::kRowCells : 0);
        const int inkPx = static_cast<int>(
            std::ceil(-horizontalScrollBar()->value() + (inkCells + 2) * m_painter.CellWidth()));
        if (shift > 0)
            viewport()->scroll(
                0, -shift * rowPx,
                QRect(0, 0, std::min(inkPx, viewport()->width()), viewport()->height()));
        const int from = static_cast<int>(m_nShownLast - top) * rowPx;
        viewport()->update(QRect(0, from, viewport()->width(), viewport()->height() - from));
    } else {
        viewport()->update();
    }
    m_nShownTop = top;
    m_nShownLast = last;
}

void CTextViewCtrl::RedrawAll()
{
    m_nShownTop = kNoRow;
    m_nInkCells = 0;
    viewport()->update();
}

void CTextViewCtrl::scrollContentsBy(int dx, int dy)
{
    // Any other scroll draws everything again, and the next bytes do too.
    if (m_bShowingWritten && dx == 0)
        return;
    m_nShownTop = kNoRow;
    QAbstractScrollArea::scrollContentsBy(dx, dy);
}

void CTextViewCtrl::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    PlaceLoadBar();
    SyncScrollBars();
}

void CTextViewCtrl::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) {
        m_painter.SetFont(font(), viewport());
        m_nWidestCells = 0;
        SyncScrollBars();
        RedrawAll();
    }
    QAbstractScrollArea::changeEvent(event);
}

Selection CTextViewCtrl::CurrentSelection() const
{
    return Selection{std::min(m_nAnchor, m_nCursor), std::max(m_nAnchor, m_nCursor)};
}

void CTextViewCtrl::paintEvent(QPaintEvent* event)
{
    QPainter p(viewport());
    const QRect area = event->rect();
    p.fillRect(area, m_painter.Background());
    const Selection sel = CurrentSelection();
    if (m_bHex)
        PaintHex(p, sel, area);
    else
        PaintText(p, sel, area);
    m_painter.SetMarks({});
}

std::pair<int, int> CTextViewCtrl::RowsIn(const QRect& area) const
{
    const qreal height = m_painter.LineHeight();
    return {std::max(0, static_cast<int>(std::floor(area.top() / height))),
            static_cast<int>(std::floor(area.bottom() / height))};
}

void CTextViewCtrl::PaintText(QPainter& p, const Selection& sel, const QRect& area)
{
    const auto [firstRow, lastRow] = RowsIn(area);
    const auto top = static_cast<std::size_t>(verticalScrollBar()->value());
    const std::vector<RowData> rows =
        m_pStore->Lines(top + static_cast<std::size_t>(firstRow), lastRow - firstRow + 1);
    if (!rows.empty())
        MarkMatches(rows.front().start, rows.back().start + rows.back().cells.size());
    const qreal x = -horizontalScrollBar()->value();
    int widest = m_nWidestCells;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const QPointF origin(x, static_cast<qreal>(firstRow + static_cast<int>(k)) *
                                    m_painter.LineHeight());
        const std::vector<Glyph> glyphs = LayoutRow(rows[k]);
        m_painter.DrawTextLine(p, origin, glyphs, sel, area.left(), area.right() + 1);
        const int cells = LineCells(glyphs);
        widest = std::max(widest, cells);
        m_nInkCells = std::max(m_nInkCells, cells);
    }
    if (m_bCaret && m_bCaretLit) {
        const QRectF caret = CaretRect();
        if (caret.intersects(area))
            m_painter.DrawCaret(p, caret.topLeft(), 0);
    }
    if (widest > m_nWidestCells) {
        m_nWidestCells = widest;
        QTimer::singleShot(0, this, &CTextViewCtrl::SyncScrollBars);
    }
}

void CTextViewCtrl::PaintHex(QPainter& p, const Selection& sel, const QRect& area)
{
    const auto [firstVisible, lastVisible] = RowsIn(area);
    const uint64_t firstRow = FirstRow() + static_cast<uint64_t>(verticalScrollBar()->value()) +
                              static_cast<uint64_t>(firstVisible);
    const auto rows = static_cast<uint64_t>(lastVisible - firstVisible + 1);
    uint64_t start = 0;
    const std::vector<Cell> cells =
        m_pStore->Range(firstRow * kHexBytesPerRow, (firstRow + rows) * kHexBytesPerRow, &start);
    const uint64_t end = start + cells.size();
    MarkMatches(start, end);
    const qreal x = -horizontalScrollBar()->value();
    const int prefix = HexPrefixCells();
    for (uint64_t k = 0; k < rows; ++k) {
        const uint64_t rowStart = (firstRow + k) * kHexBytesPerRow;
        const QPointF origin(x + prefix * m_painter.CellWidth(),
                             static_cast<qreal>(static_cast<uint64_t>(firstVisible) + k) *
                                 m_painter.LineHeight());
        if (prefix > 0) {
            const std::vector<ArrivalStamp> lead =
                m_stamps.In(rowStart, rowStart + kHexBytesPerRow);
            if (!lead.empty() && (m_bStamps || lead.front().client >= 0))
                m_painter.DrawStamp(p, QPointF(x, origin.y()), 0,
                                    m_bStamps ? lead.front().msOfDay : -1, lead.front().client);
        }
        const uint64_t from = std::max(rowStart, start);
        const uint64_t to = std::min(rowStart + kHexBytesPerRow, end);
        if (from < to) {
            const auto begin = cells.begin() + static_cast<std::ptrdiff_t>(from - start);
            m_painter.DrawHexRow(
                p, origin, from,
                std::vector<Cell>(begin, begin + static_cast<std::ptrdiff_t>(to - from)),
                m_bControls, sel);
        }
    }
    if (m_bCaret && m_bCaretLit) {
        const QRectF caret = CaretRect();
        if (caret.intersects(area))
            m_painter.DrawCaret(p, caret.topLeft(), 0);
    }
}

void CTextViewCtrl::MarkMatches(uint64_t from, uint64_t to)
{
    if (!m_search || from >= to)
        return;
    // A match may begin before the rows or end after them and still show in part.
    const uint64_t reach = m_search->Size() - 1;
    uint64_t start = 0;
    const std::vector<Cell> cells =
        m_pStore->Range(from - std::min(from, reach), to + reach, &start);
    std::vector<uint64_t> starts;
    m_search->MatchesIn(cells, start, starts);
    std::vector<Selection> marks;
    for (uint64_t match : starts) {
        if (match < to && match + m_search->Size() > from)
            marks.push_back(Selection{match, match + m_search->Size()});
    }
    m_painter.SetMarks(std::move(marks));
}

void CTextViewCtrl::SetSearchPattern(const QByteArray& pattern)
{
    const QByteArray bytes = pattern.left(kMaxSearchPatternBytes);
    const bool same =
        m_search ? QByteArrayView(reinterpret_cast<const char*>(m_search->Pattern().data()),
                                  static_cast<qsizetype>(m_search->Size())) == bytes
                 : bytes.isEmpty();
    if (same)
        return;
    if (bytes.isEmpty())
        m_search.reset();
    else
        m_search.emplace(bytes);
    RedrawAll();
}

uint64_t CTextViewCtrl::TopOffset() const
{
    const auto top = static_cast<uint64_t>(verticalScrollBar()->value());
    const LogExtent extent = m_pStore->Extent();
    if (m_bHex)
        return std::max(extent.first, (FirstRow() + top) * kHexBytesPerRow);
    const std::vector<RowData> rows = m_pStore->Lines(static_cast<std::size_t>(top), 1);
    return rows.empty() ? extent.end : rows[0].start;
}

SearchHit CTextViewCtrl::FindNext(bool forward)
{
    if (!m_search)
        return SearchHit{};
    const Selection sel = CurrentSelection();
    const bool selected = sel.from != sel.to;
    const uint64_t from = selected ? sel.from + (forward ? 1 : 0) : TopOffset();
    const SearchHit hit = m_pStore->Find(*m_search, from, forward);
    if (!hit.found)
        return hit;
    m_nAnchor = hit.offset;
    m_nCursor = hit.offset + m_search->Size();
    m_pCopyAction->setEnabled(true);
    ScrollTo(hit.offset);
    RedrawAll();
    return hit;
}

void CTextViewCtrl::ScrollTo(uint64_t offset)
{
    const LogExtent extent = m_pStore->Extent();
    const uint64_t row = m_bHex ? offset / kHexBytesPerRow - extent.first / kHexBytesPerRow
                                : m_pStore->LineOf(offset);
    int col = m_bHex
                  ? HexPrefixCells() + HexLayout::HexCol(static_cast<int>(offset % kHexBytesPerRow))
                  : 0;
    if (!m_bHex) {
        const std::vector<RowData> rows = m_pStore->Lines(static_cast<std::size_t>(row), 1);
        if (!rows.empty()) {
            const std::vector<Glyph> glyphs = LayoutRow(rows[0]);
            for (const Glyph& g : glyphs) {
                if (g.stampMs < 0 && offset >= g.offset && offset < g.offset + g.bytes)
                    col = g.col;
            }
            // The line may be wider than any painted yet: let the bar reach it.
            m_nWidestCells = std::max(m_nWidestCells, LineCells(glyphs));
            SyncScrollBars();
        }
    }
    QScrollBar* bar = verticalScrollBar();
    const auto visible = static_cast<uint64_t>(VisibleRows());
    const auto top = static_cast<uint64_t>(bar->value());
    if (row < top || row >= top + visible)
        bar->setValue(ClampToInt(row - std::min(row, visible / 2)));
    QScrollBar* across = horizontalScrollBar();
    const auto x = static_cast<int>(col * m_painter.CellWidth());
    const int width = viewport()->width();
    if (x < across->value() || x + 2 * m_painter.CellWidth() > across->value() + width)
        across->setValue(std::max(0, x - width / 3));
}

QRectF CTextViewCtrl::CaretRect() const
{
    const LogExtent extent = m_pStore->Extent();
    int col = 0;
    uint64_t row = 0; // among the rows of the current mode, from the first held one
    if (m_bHex) {
        col = HexPrefixCells() + HexLayout::HexCol(static_cast<int>(extent.end % kHexBytesPerRow));
        row = extent.end / kHexBytesPerRow - extent.first / kHexBytesPerRow;
    } else {
        row = extent.shownLines - 1;
        const std::vector<RowData> last = m_pStore->Lines(row, 1);
        if (!last.empty())
            col = LineCells(LayoutRow(last[0]));
    }
    const auto top = static_cast<uint64_t>(verticalScrollBar()->value());
    if (row < top || row > top + static_cast<uint64_t>(VisibleRows()))
        return QRectF();
    const qreal x = col * m_painter.CellWidth() - horizontalScrollBar()->value();
    const qreal y = static_cast<qreal>(row - top) * m_painter.LineHeight();
    return QRectF(x, y, kCaretWidthPx, m_painter.LineHeight());
}

uint64_t CTextViewCtrl::OffsetAt(QPoint pos) const
{
    const qreal col = (pos.x() + horizontalScrollBar()->value()) / m_painter.CellWidth() -
                      (m_bHex ? HexPrefixCells() : 0);
    const int row = static_cast<int>(std::floor(pos.y() / m_painter.LineHeight()));
    const int64_t index = std::max<int64_t>(0, int64_t{verticalScrollBar()->value()} + row);
    const LogExtent extent = m_pStore->Extent();
    if (m_bHex) {
        const uint64_t rowStart =
            (extent.first / kHexBytesPerRow + static_cast<uint64_t>(index)) * kHexBytesPerRow;
        int i = HexLayout::ByteAtColumn(static_cast<int>(std::floor(col)));
        if (i < 0)
            i = col < HexLayout::kFirstHexCol ? 0 : kHexBytesPerRow;
        else if (col >= HexLayout::kFirstAsciiCol ? col - HexLayout::AsciiCol(i) >= 0.5
                                                  : col - HexLayout::HexCol(i) >= 1.0)
            ++i;
        return std::clamp(rowStart + static_cast<uint64_t>(i), extent.first, extent.end);
    }
    const auto line = std::min(static_cast<std::size_t>(index), extent.shownLines - 1);
    const std::vector<RowData> rows = m_pStore->Lines(line, 1);
    if (rows.empty())
        return extent.end;
    const std::vector<Glyph> glyphs = LayoutRow(rows[0]);
    for (const Glyph& g : glyphs) {
        if (col < g.col + g.cells)
            return col < g.col + g.cells / 2.0 ? g.offset : g.offset + g.bytes;
    }
    return glyphs.empty() ? rows[0].start : glyphs.back().offset + glyphs.back().bytes;
}

void CTextViewCtrl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    m_nAnchor = m_nCursor = OffsetAt(event->position().toPoint());
    m_bSelecting = true;
    m_pCopyAction->setEnabled(false);
    RedrawAll();
}

void CTextViewCtrl::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_bSelecting)
        return;
    const QPoint pos = event->position().toPoint();
    // Dragging past an edge scrolls, so a selection can run beyond the screen.
    if (pos.y() < 0)
        VScroll(QAbstractSlider::SliderSingleStepSub);
    else if (pos.y() >= viewport()->height())
        VScroll(QAbstractSlider::SliderSingleStepAdd);
    m_nCursor = OffsetAt(pos);
    m_pCopyAction->setEnabled(m_nCursor != m_nAnchor);
    RedrawAll();
}

void CTextViewCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_bSelecting) {
        m_nCursor = OffsetAt(event->position().toPoint());
        m_bSelecting = false;
        m_pCopyAction->setEnabled(m_nCursor != m_nAnchor);
        RedrawAll();
    }
}

QString CTextViewCtrl::SelectedText() const
{
    const Selection sel = CurrentSelection();
    if (sel.from == sel.to)
        return QString();
    const std::vector<Cell> cells = m_pStore->Range(sel.from, sel.to);
    return m_bHex ? CopyHex(cells) : CopyText(cells, m_bControls, m_encoding);
}

void CTextViewCtrl::Copy()
{
    const QString text = SelectedText();
    if (!text.isEmpty())
        QApplication::clipboard()->setText(text);
}

void CTextViewCtrl::SelectAll()
{
    const LogExtent extent = m_pStore->Extent();
    m_nAnchor = extent.first;
    m_nCursor = extent.end;
    m_pCopyAction->setEnabled(m_nCursor != m_nAnchor);
    RedrawAll();
}

void CTextViewCtrl::keyPressEvent(QKeyEvent* event)
{
    static constexpr std::pair<int, QAbstractSlider::SliderAction> kScrollKeys[] = {
        {Qt::Key_Up, QAbstractSlider::SliderSingleStepSub},
        {Qt::Key_Down, QAbstractSlider::SliderSingleStepAdd},
        {Qt::Key_PageUp, QAbstractSlider::SliderPageStepSub},
        {Qt::Key_PageDown, QAbstractSlider::SliderPageStepAdd},
    };
    for (const auto& [key, action] : kScrollKeys) {
        if (event->key() == key) {
            VScroll(action);
            return;
        }
    }
    if (event->modifiers() & Qt::ControlModifier) {
        if (event->key() == Qt::Key_Home || event->key() == Qt::Key_End) {
            VScroll(event->key() == Qt::Key_Home ? QAbstractSlider::SliderToMinimum
                                                 : QAbstractSlider::SliderToMaximum);
            return;
        }
    }
    // Ctrl+C copies a selection; without one it is typed (ETX), as terminals do.
    if (event->matches(QKeySequence::Copy) && m_nAnchor != m_nCursor) {
        Copy();
        return;
    }
    // Alt and Meta combinations are menu mnemonics or nothing: their letter is never typed.
    const QString text = event->text();
    if (text.isEmpty() || (event->modifiers() & (Qt::AltModifier | Qt::MetaModifier))) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    RestartCaret();
    emit keyText(text);
}

void CTextViewCtrl::inputMethodEvent(QInputMethodEvent* event)
{
    if (!event->commitString().isEmpty()) {
        RestartCaret();
        emit keyText(event->commitString());
    }
    event->accept();
}

void CTextViewCtrl::contextMenuEvent(QContextMenuEvent* event)
{
    (m_pMenu ? m_pMenu : m_pOwnMenu)->exec(event->globalPos());
}

void CTextViewCtrl::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    RestartCaret();
}

void CTextViewCtrl::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    RestartCaret();
}

void CTextViewCtrl::RestartCaret()
{
    m_bCaretLit = true;
    m_nCaretBlinksLeft = 2 * (kCaretBlinkTimeoutMs / (2 * kCaretBlinkMs)); // even: ends lit
    if (m_bCaret && hasFocus())
        m_caretTimer.start(kCaretBlinkMs, this);
    else
        m_caretTimer.stop();
    viewport()->update(CaretRect().toAlignedRect());
}

void CTextViewCtrl::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_caretTimer.timerId()) {
        QAbstractScrollArea::timerEvent(event);
        return;
    }
    m_bCaretLit = !m_bCaretLit;
    if (--m_nCaretBlinksLeft <= 0)
        m_caretTimer.stop();
    viewport()->update(CaretRect().toAlignedRect());
}
