#pragma once

namespace tessarin::graphics {

// The fixed axis limits of both plots, as taken over from the "Graphics Scales" window. The data
// plot's frequency limits are in its units of 1E-12.
struct PlotLimits {
  double sampleMin = 0, sampleMax = 0;
  double deltaFMin = 0, deltaFMax = 0;
  double tauMin = 0, tauMax = 0;
  double sigmaMin = 0, sigmaMax = 0;
};

}  // namespace tessarin::graphics
