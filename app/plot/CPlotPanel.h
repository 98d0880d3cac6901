#pragma once

#include "PlotParser.h"
#include "PlotSamples.h"
#include "PlotSettings.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

class CPlotChart;
class QComboBox;
class QLabel;
class QLineEdit;
class QAction;

// The live plot beside a monitor's terminal: reads numbers out of the received text
// (PlotParser), keeps them (PlotSamples) and draws them (CPlotChart) on a timer, never per
// line. It follows the newest data over the chosen span until the user zooms or pans; it
// can pause, clear, and export the picture as PNG and the samples as CSV. A grip on its left
// edge sets its width.
class CPlotPanel : public QWidget
{
    Q_OBJECT

public:
    // The chart is drawn at most this often; a drawing that takes long waits longer.
    static constexpr int kRefreshMs = 40;
    // The legend's last values change at most this often, so they can be read.
    static constexpr int kLegendMs = 250;

    explicit CPlotPanel(const PlotSettings& settings, QWidget* parent = nullptr);

    // Received bytes, read by the monitor's encoding.
    void Feed(const QByteArray& bytes, TextEncoding encoding);
    // Where the export dialogs start.
    void SetExportFolder(const QString& folder) { m_strExportFolder = folder; }
    // The panel's values to keep; bShown is the owner's.
    PlotSettings Settings() const { return m_settings; }

    // Takes values and pairs, or a pattern (false, and the panel tells why, when it is not
    // usable). Either starts the plot anew.
    void SetAuto();
    bool SetPattern(const QString& pattern);
    void SetWindow(const PlotWindow& window);
    // A paused plot takes no samples; what it shows can still be zoomed, panned and exported.
    void SetPaused(bool paused);
    bool IsPaused() const { return m_bPaused; }
    // Back to the newest data with the value axis fitted to it.
    void Follow();
    bool IsFollowing() const { return m_bFollowing; }
    void Clear();

    // Writes the chart as PNG, or every held row as CSV (PlotSamples::WriteCsv); false, and
    // the user told why, when the file cannot be written.
    bool ExportPng(const QString& path);
    bool ExportCsv(const QString& path);
    // Asks for a file name first, then exports as CSV or PNG.
    void OnExport(bool csv);

    // Draws what is due now instead of at the next tick.
    void Refresh();

    const PlotParser& Parser() const { return m_parser; }
    const PlotSamples& Samples() const { return m_samples; }
    CPlotChart* Chart() const { return m_pChart; }
    QString StatusText() const;
    // When the first sample of the held ones came, by the wall clock.
    QDateTime StartTime() const { return m_start; }

signals:
    // The user changed a value that Settings() gives.
    void settingsChanged();
    void closeRequested();
    // Esc: the keyboard goes back to the terminal.
    void leaveRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void CreateControls();
    void InitActionsConnections();
    void OnFormatChosen();
    void OnPatternEdited();
    void OnWindowChosen();
    void OnUserRanges();
    // Starts the drawing timer unless it runs.
    void ScheduleRefresh();
    void Redraw();
    void UpdateLegend();
    void UpdateStatus();
    // A file name from a save dialog, "" when none was chosen or the user kept the old file.
    QString ChooseExportFile(const QString& name, const QString& filter, const QString& suffix);
    void SetWidth(int width, bool dragged);

    PlotSettings m_settings;
    PlotParser m_parser;
    PlotSamples m_samples;
    QString m_strPatternError;
    QString m_strExportFolder;

    QElapsedTimer m_clock; // monotonic: the time axis never jumps with the wall clock
    qint64 m_nEpochMs = 0; // m_clock's time of the first held sample
    QDateTime m_start;     // the same moment by the wall clock, for the CSV
    bool m_bPaused = false;
    bool m_bFollowing = true;
    bool m_bDirty = false;
    QTimer m_refreshTimer;
    int m_nRefreshMs = kRefreshMs;
    QElapsedTimer m_legendClock;
    QTimer m_legendTimer;
    QList<QPointF> m_points; // kept between drawings so they reuse its memory

    CPlotChart* m_pChart = nullptr;
    QComboBox* m_pFormatCombo = nullptr;
    QLineEdit* m_pPatternEdit = nullptr;
    QComboBox* m_pWindowCombo = nullptr;
    QAction* m_pPauseAction = nullptr;
    QLabel* m_pStatusLabel = nullptr;
};
