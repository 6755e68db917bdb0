#include "analysis/OutlierScreen.h"

#include <cmath>
#include <vector>

#include "analysis/RobustSpread.h"

namespace tessarin::analysis {

OutlierScreen screenOutliers(std::span<const double> frequency, double limit,
                             std::int64_t sampleOffset) {
  OutlierScreen screen;
  screen.limit = limit;
  std::vector<double> values;
  values.reserve(frequency.size());
  for (const double y : frequency)
    if (!std::isnan(y)) values.push_back(y);
  screen.valid = std::ssize(values);
  if (values.empty()) return screen;
  screen.median = medianOf(values);
  for (double& y : values) y = std::abs(y - screen.median);
  screen.sigma = medianOf(values) / kGaussianMad;
  if (!(screen.sigma > 0)) return screen;
  for (std::size_t k = 0; k < frequency.size(); ++k) {
    const double mads = (frequency[k] - screen.median) / screen.sigma;
    if (std::abs(mads) > limit)
      screen.outliers.push_back({static_cast<std::int64_t>(k) + sampleOffset, frequency[k], mads});
  }
  return screen;
}

double outlierShare(const OutlierScreen& screen) {
  return screen.valid == 0
             ? 0
             : static_cast<double>(screen.outliers.size()) / static_cast<double>(screen.valid);
}

}  // namespace tessarin::analysis
