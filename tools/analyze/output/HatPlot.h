#pragma once

#include <QString>

#include "analysis/CorneredHat.h"
#include "platform/Result.h"

class QCustomPlot;

namespace tessarin::analyze::output {

// Draws into `plot` each oscillator's separated deviation against tau on log-log axes, one curve
// per oscillator and statistic with its intervals as error bars; where the variance came out at or
// below zero, the upper bound of its interval as a downward triangle, the curve broken there.
void drawHat(QCustomPlot& plot, const analysis::CorneredHat& hat);

// drawHat() with a title naming the layout, written to `path`: a PDF when the name ends in .pdf,
// else a PNG. Needs a QApplication (offscreen will do).
platform::Result<> writeHatPlot(const QString& path, const analysis::CorneredHat& hat);

}  // namespace tessarin::analyze::output
