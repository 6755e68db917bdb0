#pragma once

#include <string_view>

#include "stability/Statistics.h"

namespace tessarin::analysis {

// The windows of a dynamic stability analysis: `window` successive phase points, a new window
// starting every `step` points.
struct DynamicWindows {
  int window = 0;
  int step = 0;
};

// The least window: the deviations need a few terms at m = 1 and m = 2 to say anything.
constexpr int kLeastDynamicWindow = 8;

// Whether the statistic has a sliding-window form: the deviations but MTIE and TIE rms, and not
// the long-tau statistics, which are whole-record estimators.
bool isWindowedDeviation(stability::Statistic statistic);
// Their names, as a message lists the choices.
constexpr std::string_view kWindowedDeviationChoices =
    "adev, oadev, mdev, tdev, hdev, ohdev or totdev";

}  // namespace tessarin::analysis
