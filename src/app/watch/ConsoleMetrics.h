#pragma once

#include <QByteArray>

namespace tessarin::app {
class Console;
}

namespace tessarin::app::watch {

class PlotTap;

// The console's metrics for a lab's Prometheus, in the text exposition format: its state, the
// run's facts, the stability curve as the plot draws it (with its error bars and noise types),
// the Allan deviation's levels whatever is shown, and counters since the console started. A
// figure the console does not have (no run yet, no bar) is left out rather than given as zero.
QByteArray consoleMetrics(const Console& c, const PlotTap& stabilityPlot);

}  // namespace tessarin::app::watch
