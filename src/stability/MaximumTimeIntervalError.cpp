#include "stability/MaximumTimeIntervalError.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "stability/Accumulators.h"

namespace tessarin::stability {

// A NaN makes the extremes of the scans that meet it meaningless, but only for windows that hold
// it, and those are left out by the last gap seen.
Estimate maximumTimeIntervalError(std::span<const double> phase, double tau0, int factor) {
  const double* x = phase.data();
  const std::int64_t n = std::ssize(phase);
  const std::int64_t w = std::int64_t{factor} + 1;
  std::vector<double> suffixHigh(static_cast<std::size_t>(std::min(w, n)));
  std::vector<double> suffixLow(suffixHigh.size());
  double worst = 0;
  std::int64_t windows = 0;
  std::int64_t lastGap = -1;
  // Windows start at j = b .. b + w - 1 in block b and end at j + w - 1, in the next block.
  for (std::int64_t b = 0; b + w <= n; b += w) {
    double high = x[b + w - 1], low = high;
    for (std::int64_t r = w - 1; r >= 0; --r) {
      high = std::max(high, x[b + r]);
      low = std::min(low, x[b + r]);
      suffixHigh[static_cast<std::size_t>(r)] = high;
      suffixLow[static_cast<std::size_t>(r)] = low;
      if (std::isnan(x[b + r])) lastGap = std::max(lastGap, b + r);
    }
    if (lastGap < b) {
      worst = std::max(worst, suffixHigh[0] - suffixLow[0]);
      ++windows;
    }
    const std::int64_t end = std::min(b + 2 * w - 1, n);
    if (end <= b + w) continue;  // the block ends the series: no window reaches past it
    double prefixHigh = x[b + w], prefixLow = prefixHigh;
    for (std::int64_t k = b + w; k < end; ++k) {
      prefixHigh = std::max(prefixHigh, x[k]);
      prefixLow = std::min(prefixLow, x[k]);
      if (std::isnan(x[k])) lastGap = k;
      const std::int64_t j = k - w + 1;
      if (lastGap >= j) continue;
      const auto r = static_cast<std::size_t>(j - b);
      worst =
          std::max(worst, std::max(suffixHigh[r], prefixHigh) - std::min(suffixLow[r], prefixLow));
      ++windows;
    }
  }
  return estimateFrom(factor, tau0, windows, worst);
}

}  // namespace tessarin::stability
