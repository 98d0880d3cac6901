#include "PlotSettings.h"

#include <QSettings>

#include <algorithm>
#include <cmath>

const QList<PlotWindow>& PlotWindows()
{
    static const QList<PlotWindow> windows = {
        {PlotAxis::Time, 10},      {PlotAxis::Time, 30},       {PlotAxis::Time, 60},
        {PlotAxis::Time, 300},     {PlotAxis::Time, 600},      {PlotAxis::Time, 1800},
        {PlotAxis::Time, 3600},    {PlotAxis::Sample, 100},    {PlotAxis::Sample, 1000},
        {PlotAxis::Sample, 10000}, {PlotAxis::Sample, 100000},
    };
    return windows;
}

PlotSettings PlotSettings::Load(QSettings& settings)
{
    PlotSettings loaded;
    loaded.bShown = settings.value(QStringLiteral("Shown"), 0).toInt() != 0;
    loaded.nWidth = std::clamp(settings.value(QStringLiteral("Width"), kDefaultWidthPx).toInt(),
                               kMinWidthPx, kMaxWidthPx);
    loaded.format = settings.value(QStringLiteral("Format"), 0).toInt() == 1 ? PlotFormat::Regex
                                                                             : PlotFormat::Auto;
    loaded.strPattern = settings.value(QStringLiteral("Pattern")).toString();
    const PlotAxis axis = settings.value(QStringLiteral("WindowAxis"), 0).toInt() == 1
                              ? PlotAxis::Sample
                              : PlotAxis::Time;
    const double span = settings.value(QStringLiteral("WindowSpan"), 60.0).toDouble();
    // The nearest span of the list on the same axis, by ratio.
    double best = INFINITY;
    for (const PlotWindow& window : PlotWindows()) {
        const double distance = std::abs(std::log(std::max(span, 1e-9) / window.span));
        if (window.axis == axis && distance < best) {
            best = distance;
            loaded.window = window;
        }
    }
    return loaded;
}

void PlotSettings::Save(QSettings& settings) const
{
    settings.setValue(QStringLiteral("Shown"), int(bShown));
    settings.setValue(QStringLiteral("Width"), nWidth);
    settings.setValue(QStringLiteral("Format"), int(format));
    settings.setValue(QStringLiteral("Pattern"), strPattern);
    settings.setValue(QStringLiteral("WindowAxis"), window.axis == PlotAxis::Sample ? 1 : 0);
    settings.setValue(QStringLiteral("WindowSpan"), window.span);
}
