#pragma once

#include <QString>
#include <QVector>
#include <span>
#include <vector>

#include "cli/ModelOverlay.h"
#include "cli/Options.h"
#include "output/Report.h"
#include "platform/Result.h"

class QCustomPlot;

namespace tessarin::analyze::output {

// A line drawn over the deviations without markers: a noise model's Allan deviation, or a data
// sheet's figures.
struct OverlayLine {
  QString name;
  QVector<double> tau;
  QVector<double> value;
};

// The Allan deviation of `model` by NIST SP 1065's relations, at taus spaced evenly on the
// logarithmic axis from `fromTau` to `toTau`.
OverlayLine modelLine(const cli::ModelOverlay& model, double fromTau, double toTau);

// The points of a file of tau and value lines (a comma or blanks between them, # a comment),
// named by the file; the first line that is neither, by its number, when there is one.
platform::Result<OverlayLine> readOverlayPoints(const QString& path);

// The lines of --overlay, over the taus of every curve of `runs`, and of --overlay-points.
platform::Result<std::vector<OverlayLine>> overlayLines(const cli::Options& options,
                                                        std::span<const AnalysedRun> runs);

// Draws each line over `plot`, dashed and without markers, named in the legend.
void drawOverlayLines(QCustomPlot& plot, std::span<const OverlayLine> lines);

}  // namespace tessarin::analyze::output
