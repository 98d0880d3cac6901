#include "CPlotPanel.h"

#include "CPlotChart.h"
#include "CWaitCursor.h"
#include "MessageBox.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSaveFile>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

constexpr int kGripWidthPx = 5;
constexpr int kMinTerminalWidthPx = 160; // the grip leaves the terminal at least this
constexpr int kMaxRefreshMs = 1000;
constexpr int kRefreshCostShare = 4; // drawing takes at most a quarter of the time
constexpr double kValueMargin = 0.05;

// The left edge of the panel: dragging it sets the panel's width.
class CPlotGrip : public QWidget
{
public:
    CPlotGrip(std::function<int()> width, std::function<void(int)> resize,
              std::function<void()> done, QWidget* parent)
        : QWidget(parent), m_width(std::move(width)), m_resize(std::move(resize)),
          m_done(std::move(done))
    {
        setObjectName(QStringLiteral("PlotGrip"));
        setFixedWidth(kGripWidthPx);
        setCursor(Qt::SplitHCursor);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() != Qt::LeftButton)
            return;
        m_nStartX = event->globalPosition().x();
        m_nStartWidth = m_width();
        m_bDragging = true;
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (m_bDragging)
            m_resize(m_nStartWidth - int(event->globalPosition().x() - m_nStartX));
    }
    void mouseReleaseEvent(QMouseEvent*) override
    {
        if (m_bDragging)
            m_done();
        m_bDragging = false;
    }

private:
    std::function<int()> m_width;
    std::function<void(int)> m_resize;
    std::function<void()> m_done;
    double m_nStartX = 0;
    int m_nStartWidth = 0;
    bool m_bDragging = false;
};

QString WindowLabel(const PlotWindow& window)
{
    if (window.axis == PlotAxis::Sample)
        return CPlotPanel::tr("%L1 샘플").arg(qint64(window.span));
    if (window.span < 60)
        return CPlotPanel::tr("%1초").arg(window.span);
    if (window.span < 3600)
        return CPlotPanel::tr("%1분").arg(window.span / 60);
    return CPlotPanel::tr("%1시간").arg(window.span / 3600);
}

QString ValueText(double value)
{
    return QString::number(value, 'g', 7);
}

} // namespace

CPlotPanel::CPlotPanel(const PlotSettings& settings, QWidget* parent)
    : QWidget(parent), m_settings(settings)
{
    setObjectName(QStringLiteral("PlotPanel"));
    m_clock.start();
    m_legendClock.start();
    m_refreshTimer.setSingleShot(true);
    m_legendTimer.setSingleShot(true);
    CreateControls();
    InitActionsConnections();
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    SetWidth(m_settings.nWidth, false);
    if (m_settings.format == PlotFormat::Regex)
        SetPattern(m_settings.strPattern);
    else
        SetAuto();
}

void CPlotPanel::CreateControls()
{
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    outer->addWidget(new CPlotGrip([this] { return width(); }, [this](int w) { SetWidth(w, true); },
                                   [this] { emit settingsChanged(); }, this));
    auto* column = new QVBoxLayout();
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    outer->addLayout(column, 1);

    auto* formatBar = new QToolBar(this);
    formatBar->setObjectName(QStringLiteral("PlotFormatBar"));
    m_pFormatCombo = new QComboBox(formatBar);
    m_pFormatCombo->setObjectName(QStringLiteral("PlotFormat"));
    m_pFormatCombo->addItem(tr("숫자, 이름=값"), int(PlotFormat::Auto));
    m_pFormatCombo->addItem(tr("정규식"), int(PlotFormat::Regex));
    m_pFormatCombo->setToolTip(
        tr("한 줄의 숫자를 읽는 방법: 쉼표·빈칸·탭으로 나눈 값과 이름=값, 이름:값 쌍, 또는 "
           "정규식의 괄호로 묶은 부분"));
    m_pFormatCombo->setCurrentIndex(m_settings.format == PlotFormat::Regex ? 1 : 0);
    formatBar->addWidget(m_pFormatCombo);
    m_pPatternEdit = new QLineEdit(m_settings.strPattern, formatBar);
    m_pPatternEdit->setObjectName(QStringLiteral("PlotPattern"));
    m_pPatternEdit->setPlaceholderText(tr("예: T=([-0-9.]+)C H=([0-9.]+)%"));
    m_pPatternEdit->setToolTip(tr("Enter로 적용합니다. 괄호로 묶은 부분마다 계열이 하나 "
                                  "생기고, (?<이름>...)은 계열에 이름을 줍니다."));
    formatBar->addWidget(m_pPatternEdit);
    column->addWidget(formatBar);

    auto* controlBar = new QToolBar(this);
    controlBar->setObjectName(QStringLiteral("PlotControlBar"));
    controlBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_pWindowCombo = new QComboBox(controlBar);
    m_pWindowCombo->setObjectName(QStringLiteral("PlotWindow"));
    m_pWindowCombo->setToolTip(tr("따라가는 동안 보이는 구간: 시간 또는 샘플 수"));
    for (const PlotWindow& window : PlotWindows())
        m_pWindowCombo->addItem(WindowLabel(window));
    m_pWindowCombo->setCurrentIndex(int(PlotWindows().indexOf(m_settings.window)));
    controlBar->addWidget(m_pWindowCombo);
    const auto button = [&](const QString& name, const QString& text, const QString& tip) {
        QAction* action = controlBar->addAction(text);
        action->setObjectName(name);
        action->setToolTip(tip);
        return action;
    };
    QAction* pause = button(QStringLiteral("PlotPause"), tr("멈춤"),
                            tr("샘플 받기를 멈추거나 다시 시작합니다 (Space)."));
    pause->setCheckable(true);
    m_pPauseAction = pause;
    connect(pause, &QAction::toggled, this, &CPlotPanel::SetPaused);
    connect(button(QStringLiteral("PlotFollow"), tr("자동 맞춤"),
                   tr("가장 새 데이터를 따라가며 값 축을 데이터에 맞춥니다 (Home).")),
            &QAction::triggered, this, &CPlotPanel::Follow);
    connect(button(QStringLiteral("PlotClear"), tr("지우기"), tr("받은 샘플을 모두 지웁니다.")),
            &QAction::triggered, this, &CPlotPanel::Clear);
    connect(button(QStringLiteral("PlotExportPng"), tr("PNG..."),
                   tr("보이는 그래프를 PNG 그림 파일로 저장합니다.")),
            &QAction::triggered, this, [this] { OnExport(false); });
    connect(button(QStringLiteral("PlotExportCsv"), tr("CSV..."),
                   tr("가진 샘플을 모두 CSV 파일로 저장합니다.")),
            &QAction::triggered, this, [this] { OnExport(true); });
    connect(button(QStringLiteral("PlotClose"), tr("닫기"), tr("그래프 창을 닫습니다.")),
            &QAction::triggered, this, &CPlotPanel::closeRequested);
    column->addWidget(controlBar);

    m_pStatusLabel = new QLabel(this);
    m_pStatusLabel->setObjectName(QStringLiteral("PlotStatus"));
    m_pStatusLabel->setContentsMargins(4, 2, 4, 2);
    m_pStatusLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(m_pStatusLabel);

    m_pChart = new CPlotChart(this);
    m_pChart->setMinimumSize(200, 150);
    column->addWidget(m_pChart, 1);
    setFocusProxy(m_pChart);
}

void CPlotPanel::InitActionsConnections()
{
    connect(&m_refreshTimer, &QTimer::timeout, this, &CPlotPanel::Redraw);
    connect(m_pFormatCombo, &QComboBox::activated, this, &CPlotPanel::OnFormatChosen);
    connect(m_pPatternEdit, &QLineEdit::returnPressed, this, &CPlotPanel::OnPatternEdited);
    connect(m_pWindowCombo, &QComboBox::activated, this, &CPlotPanel::OnWindowChosen);
    connect(m_pChart, &CPlotChart::rangesChangedByUser, this, &CPlotPanel::OnUserRanges);
    connect(m_pChart, &CPlotChart::followRequested, this, &CPlotPanel::Follow);
    connect(m_pChart, &CPlotChart::pauseRequested, m_pPauseAction, &QAction::toggle);
    connect(&m_legendTimer, &QTimer::timeout, this, &CPlotPanel::UpdateLegend);
}

void CPlotPanel::Feed(const QByteArray& bytes, TextEncoding encoding)
{
    m_parser.SetEncoding(encoding);
    const qint64 now = m_clock.elapsed();
    const auto left = [this] {
        return m_parser.DroppedLines() + m_parser.ValuesOverLimit() + m_parser.SkippedLines();
    };
    const qint64 leftBefore = left();
    bool added = false;
    m_parser.Feed(bytes, [&](std::span<const PlotValue> values) {
        if (m_bPaused)
            return;
        qint64 ms = now - m_nEpochMs;
        // 32 bits of time and line numbers last 49 days at 1 kHz; then the plot starts anew.
        if (m_samples.IsEmpty() || ms > qint64(PlotSamples::kLastMs) ||
            m_samples.Rows() > PlotSamples::kLastRow) {
            m_samples.Clear();
            m_nEpochMs = now;
            m_start = QDateTime::currentDateTime();
            ms = 0;
        }
        m_samples.AddRow(quint32(ms), values);
        added = true;
    });
    // What was left out is told in the status line.
    if (added || left() != leftBefore)
        ScheduleRefresh();
}

void CPlotPanel::SetAuto()
{
    m_parser.SetAuto();
    m_strPatternError.clear();
    m_settings.format = PlotFormat::Auto;
    m_pFormatCombo->setCurrentIndex(0);
    m_pPatternEdit->setEnabled(false);
    Clear();
}

bool CPlotPanel::SetPattern(const QString& pattern)
{
    m_settings.format = PlotFormat::Regex;
    m_settings.strPattern = pattern;
    m_pFormatCombo->setCurrentIndex(1);
    m_pPatternEdit->setEnabled(true);
    if (m_pPatternEdit->text() != pattern)
        m_pPatternEdit->setText(pattern);
    const QRegularExpression expression(pattern);
    if (pattern.isEmpty())
        m_strPatternError = tr("정규식을 적고 Enter를 누르십시오.");
    else if (!expression.isValid())
        m_strPatternError = tr("정규식 오류: %1").arg(expression.errorString());
    else if (expression.captureCount() < 1)
        m_strPatternError = tr("정규식에 괄호로 묶은 부분이 없습니다.");
    else
        m_strPatternError.clear();
    const bool usable = m_parser.SetPattern(pattern) && m_strPatternError.isEmpty();
    Clear();
    return usable;
}

void CPlotPanel::OnFormatChosen()
{
    if (m_pFormatCombo->currentIndex() == 1) {
        SetPattern(m_pPatternEdit->text());
        m_pPatternEdit->setFocus();
    } else {
        SetAuto();
    }
    emit settingsChanged();
}

void CPlotPanel::OnPatternEdited()
{
    if (m_settings.format == PlotFormat::Regex && m_pPatternEdit->text() == m_settings.strPattern &&
        m_strPatternError.isEmpty())
        return;
    SetPattern(m_pPatternEdit->text());
    emit settingsChanged();
}

void CPlotPanel::SetWindow(const PlotWindow& window)
{
    m_settings.window = window;
    const int index = int(PlotWindows().indexOf(window));
    if (index >= 0)
        m_pWindowCombo->setCurrentIndex(index);
    m_pChart->SetAxisTitle(window.axis == PlotAxis::Time ? tr("시간 (초)") : tr("샘플 번호"));
    Follow();
}

void CPlotPanel::OnWindowChosen()
{
    SetWindow(PlotWindows().value(m_pWindowCombo->currentIndex()));
    emit settingsChanged();
}

void CPlotPanel::SetPaused(bool paused)
{
    m_bPaused = paused;
    if (m_pPauseAction->isChecked() != paused)
        m_pPauseAction->setChecked(paused);
    UpdateStatus();
}

void CPlotPanel::Follow()
{
    m_bFollowing = true;
    ScheduleRefresh();
}

void CPlotPanel::OnUserRanges()
{
    m_bFollowing = false;
    ScheduleRefresh(); // more detail, or less, for the new ranges
}

void CPlotPanel::Clear()
{
    m_samples.Clear();
    m_parser.Reset();
    m_pChart->SetSeries({});
    m_pChart->SetAxisTitle(m_settings.window.axis == PlotAxis::Time ? tr("시간 (초)")
                                                                    : tr("샘플 번호"));
    m_bFollowing = true;
    m_refreshTimer.stop();
    Redraw();
}

void CPlotPanel::ScheduleRefresh()
{
    m_bDirty = true;
    if (!m_refreshTimer.isActive())
        m_refreshTimer.start(m_nRefreshMs);
}

void CPlotPanel::Refresh()
{
    m_refreshTimer.stop();
    Redraw();
}

void CPlotPanel::Redraw()
{
    QElapsedTimer cost;
    cost.start();
    m_bDirty = false;
    const QStringList& names = m_parser.SeriesNames();
    m_pChart->SetSeries(names);
    const PlotWindow window = m_settings.window;
    const QRectF shown = m_pChart->Ranges();
    double x0 = shown.left();
    double x1 = shown.right();
    if (m_bFollowing) {
        double last = 0;
        if (!m_samples.IsEmpty())
            last = window.axis == PlotAxis::Time ? m_samples.LastMs() / 1000.0
                                                 : double(m_samples.LastRow());
        x1 = std::max(last, window.span);
        x0 = x1 - window.span;
    }
    double low = INFINITY;
    double high = -INFINITY;
    const int columns = m_pChart->Columns();
    for (int series = 0; series < names.size(); ++series) {
        m_samples.Points(series, window.axis, x0, x1, columns, m_points, &low, &high);
        m_pChart->SetPoints(series, m_points);
    }
    if (m_bFollowing) {
        double y0 = shown.top();
        double y1 = shown.bottom();
        if (low <= high) {
            const double margin = high > low ? (high - low) * kValueMargin
                                             : std::max(std::abs(high) * kValueMargin, 1.0);
            y0 = low - margin;
            y1 = high + margin;
        }
        m_pChart->SetRanges(QRectF(QPointF(x0, y0), QPointF(x1, y1)));
    }
    m_pChart->SetHint(names.isEmpty() ? tr("숫자가 든 줄을 기다립니다.") : QString());
    // The last values are shown also when nothing more comes.
    if (m_legendClock.elapsed() >= kLegendMs || names.isEmpty())
        UpdateLegend();
    else if (!m_legendTimer.isActive())
        m_legendTimer.start(int(kLegendMs - m_legendClock.elapsed()));
    UpdateStatus();
    m_nRefreshMs =
        std::clamp(int(cost.elapsed()) * kRefreshCostShare, int(kRefreshMs), kMaxRefreshMs);
}

void CPlotPanel::UpdateLegend()
{
    m_legendTimer.stop();
    m_legendClock.restart();
    const QStringList& names = m_parser.SeriesNames();
    for (int series = 0; series < names.size(); ++series) {
        QString text = names.at(series);
        if (series < m_samples.SeriesCount() && m_samples.Series(series).Size() > 0)
            text += QStringLiteral(" = ") + ValueText(m_samples.Series(series).Last().value);
        m_pChart->SetLegendText(series, text);
    }
}

QString CPlotPanel::StatusText() const
{
    if (!m_strPatternError.isEmpty())
        return m_strPatternError;
    QStringList parts;
    parts << tr("계열 %1, 샘플 %L2").arg(m_parser.SeriesNames().size()).arg(m_samples.Rows());
    if (m_bPaused)
        parts << tr("멈춤");
    if (m_parser.DroppedLines() > 0)
        parts << tr("4 KiB 넘는 줄 %L1개 버림").arg(m_parser.DroppedLines());
    if (m_parser.ValuesOverLimit() > 0)
        parts << tr("계열 %1개를 넘는 값 %L2개 버림")
                     .arg(PlotParser::kMaxSeries)
                     .arg(m_parser.ValuesOverLimit());
    if (m_parser.SkippedLines() > 0)
        parts << tr("정규식이 느려 건너뛴 줄 %L1개").arg(m_parser.SkippedLines());
    return parts.join(QStringLiteral(" · "));
}

void CPlotPanel::UpdateStatus()
{
    const QString text = StatusText();
    if (m_pStatusLabel->text() != text)
        m_pStatusLabel->setText(text);
}

void CPlotPanel::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        emit leaveRequested();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CPlotPanel::SetWidth(int width, bool dragged)
{
    int limit = PlotSettings::kMaxWidthPx;
    // A drag leaves the terminal some room; a window not laid out yet says nothing of its size.
    if (dragged && parentWidget() != nullptr)
        limit = std::max(parentWidget()->width() - kMinTerminalWidthPx, PlotSettings::kMinWidthPx);
    m_settings.nWidth = std::clamp(width, PlotSettings::kMinWidthPx, limit);
    setFixedWidth(m_settings.nWidth);
}

QString CPlotPanel::ChooseExportFile(const QString& name, const QString& filter,
                                     const QString& suffix)
{
    QDir().mkpath(m_strExportFolder);
    QFileDialog dialog(this, QString(), m_strExportFolder, filter);
    dialog.setObjectName(QStringLiteral("PlotExport") + suffix.toUpper());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The question about a file that is there is asked below, the same way every time.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.selectFile(name);
    // The program's focus keeper gives the keyboard back when the dialog closes.
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    QString path = dialog.selectedFiles().constFirst();
    if (QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + suffix;
    if (QFileInfo::exists(path) &&
        ShowMessage(tr("%1\n파일이 이미 있습니다. 바꾸시겠습니까?").arg(path),
                    QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
                    this) != QMessageBox::Yes)
        return QString();
    return path;
}

void CPlotPanel::OnExport(bool csv)
{
    const QString suffix = csv ? QStringLiteral("csv") : QStringLiteral("png");
    const QString name =
        QStringLiteral("plot-%1.%2")
            .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")), suffix);
    const QString path =
        ChooseExportFile(name, csv ? tr("CSV 파일 (*.csv)") : tr("PNG 그림 (*.png)"), suffix);
    if (path.isEmpty())
        return;
    if (csv)
        ExportCsv(path);
    else
        ExportPng(path);
}

bool CPlotPanel::ExportPng(const QString& path)
{
    Refresh();
    const QPixmap picture = m_pChart->Picture();
    // A save file is written beside and renamed over: a FIFO or a link of that name is
    // replaced, never written through, and a failed write leaves the old file.
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && picture.save(&file, "PNG") && file.commit())
        return true;
    ShowMessage(tr("파일을 저장할 수 없습니다.\n%1\n%2").arg(path, file.errorString()),
                QMessageBox::Critical, QMessageBox::Ok, this);
    return false;
}

bool CPlotPanel::ExportCsv(const QString& path)
{
    CWaitCursor wait;
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) &&
        m_samples.WriteCsv(file, m_parser.SeriesNames(), m_start) && file.commit())
        return true;
    ShowMessage(tr("파일을 저장할 수 없습니다.\n%1\n%2").arg(path, file.errorString()),
                QMessageBox::Critical, QMessageBox::Ok, this);
    return false;
}
