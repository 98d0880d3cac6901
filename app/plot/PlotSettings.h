#pragma once

#include "PlotParser.h"
#include "PlotSamples.h"

#include <QString>

class QSettings;

// The span a plot shows while it follows the data: seconds of time or a number of lines.
struct PlotWindow
{
    PlotAxis axis = PlotAxis::Time;
    double span = 60;

    bool operator==(const PlotWindow&) const = default;
};

// The spans to choose from, 10 s to 1 h and 100 to 100,000 lines.
const QList<PlotWindow>& PlotWindows();

// What a kind of window keeps of its plot in the settings' current group: "Shown", "Width" (of
// the panel, in pixels), "Format" (0 values and pairs, 1 a pattern), "Pattern", "WindowAxis"
// (0 time, 1 lines) and "WindowSpan".
struct PlotSettings
{
    static constexpr int kDefaultWidthPx = 460;
    static constexpr int kMinWidthPx = 260;
    static constexpr int kMaxWidthPx = 4000;

    bool bShown = false;
    int nWidth = kDefaultWidthPx;
    PlotFormat format = PlotFormat::Auto;
    QString strPattern;
    PlotWindow window;

    // Absent values take the defaults above; a width out of range the nearest limit, a span
    // that is not in the list the nearest one there is.
    static PlotSettings Load(QSettings& settings);
    void Save(QSettings& settings) const;

    bool operator==(const PlotSettings&) const = default;
};
