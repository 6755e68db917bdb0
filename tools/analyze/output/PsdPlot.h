#pragma once

#include <QString>
#include <vector>

#include "output/Report.h"
#include "platform/Result.h"

class QCPAxisRect;
class QCustomPlot;

namespace tessarin::analyze::output {

// Draws into `rect` the spectrum of each run that has one, on log-log axes (log f against dB for
// L(f)), each value with its interval as an error bar, and over it the power-law levels fitted
// from the spectrum: each seen level as a dashed line and their sum as a solid one. With
// `labelRuns` each trace is named by its run's date and time.
void drawSpectrum(QCustomPlot& plot, QCPAxisRect* rect, const std::vector<AnalysedRun>& runs,
                  bool labelRuns);

// Draws the spectra into the picture at `path` (a PDF when the name ends in .pdf, else a PNG);
// with `deviations`, beside them each run's measured deviations with their intervals and, as a
// line, what the levels fitted from the spectrum predict for them. Needs a QApplication
// (offscreen will do).
platform::Result<> writeSpectrumPlot(const QString& path, const QString& title,
                                     const std::vector<AnalysedRun>& runs, bool labelRuns,
                                     bool deviations);

}  // namespace tessarin::analyze::output
