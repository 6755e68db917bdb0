#pragma once

#include <QString>
#include <span>
#include <vector>

#include "output/OverlayLines.h"
#include "output/Report.h"
#include "platform/Result.h"

class QCustomPlot;

namespace tessarin::analyze::output {

// Draws into `plot` every statistic of every run against tau on log-log axes, one trace each in
// its own colour and marker, with its confidence intervals as error bars and a legend, and the
// `overlays` over them. A trace is named by its run's source where it has one, else with
// `labelRuns` by its run's date and time.
void drawStability(QCustomPlot& plot, const std::vector<AnalysedRun>& runs, bool labelRuns,
                   std::span<const OverlayLine> overlays = {});

// Draws over `plot` each mask the curves of `runs` were held to, as a dashed line over the range
// of tau of the curves, named by the mask and its statistic.
void drawMaskLines(QCustomPlot& plot, const std::vector<AnalysedRun>& runs);

// Writes `plot` to `path` at the analyser's picture size (or `width` wide, for panels side by
// side): a PDF when the name ends in .pdf, else a PNG.
platform::Result<> savePlot(QCustomPlot& plot, const QString& path, int width = 0);

// Draws every statistic of every run against tau on log-log axes, one trace each, with its
// confidence intervals as error bars, and writes the picture to `path`: a PDF when the name ends
// in .pdf, else a PNG, named as drawStability() names them, with the `overlays` over them. Needs
// a QApplication (offscreen will do).
platform::Result<> writePlot(const QString& path, const QString& title,
                             const std::vector<AnalysedRun>& runs, bool labelRuns,
                             std::span<const OverlayLine> overlays = {});

}  // namespace tessarin::analyze::output
