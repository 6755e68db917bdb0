#pragma once

#include "graphics/PlotLimits.h"
#include "platform/PlotControl.h"

namespace tessarin::graphics {

// Gives the stability plot's Y axis its decade labels, 2E-3 down to 1E-18.
void labelStabilityAxis(platform::PlotControl& stabilityPlot);

// Puts `limits` into the axes of both plots.
void setPlotLimits(const PlotLimits& limits, platform::PlotControl& dataPlot,
                   platform::PlotControl& stabilityPlot);

}  // namespace tessarin::graphics
