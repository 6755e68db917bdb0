#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tessarin::analyze::cli {

// A power-law noise model drawn over the plot as a line of its Allan deviation: the levels
// h_alpha of S_y(f) by their alpha (2 white PM, 1 flicker PM, 0 white FM, -1 flicker FM, -2
// random-walk FM), and the measurement bandwidth that the phase noises need.
struct ModelOverlay {
  std::string name;
  std::vector<std::pair<int, double>> levels;
  std::optional<double> bandwidthHz;
};

// Reads the NAME:LEVELS of --overlay ("xo:h0=1e-22,h-2=2e-30"; fh=HZ the bandwidth that h2 and h1
// need) into `overlay`; what is wrong with it, to follow the option's name, or empty.
std::string readModelOverlay(std::string_view text, ModelOverlay& overlay);

}  // namespace tessarin::analyze::cli
