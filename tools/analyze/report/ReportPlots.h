#pragma once

#include "report/ReportFacts.h"

class QCustomPlot;

namespace tessarin::analyze::report {

// The run's data against time since its start: phase in seconds or fractional frequency, as the
// run stores it, with drift and offset removed where they were. A long run is drawn as the
// envelope (least and greatest value) of each of a few thousand stretches; gaps break the line.
void drawData(QCustomPlot& plot, const RunFacts& facts, const ReportFacts& report);

// The stability plot of the run: its statistics with their confidence bars, and above each point
// the noise type (alpha) identified there.
void drawStabilityWithNoise(QCustomPlot& plot, const RunFacts& facts, const ReportFacts& report);

}  // namespace tessarin::analyze::report
