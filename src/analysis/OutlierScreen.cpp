#include "analysis/OutlierScreen.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tessarin::analysis {

namespace {

// The MAD of Gaussian noise is 0.6745 of its standard deviation.
constexpr double kGaussianMad = 0.6745;

// The median of `values`, which it reorders: the mean of the two middle ones of an even count.
double medianOf(std::vector<double>& values) {
  const std::size_t middle = values.size() / 2;
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(middle),
                   values.end());
  const double upper = values[middle];
  if (values.size() % 2 == 1) return upper;
  const double lower =
      *std::max_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(middle));
  return lower + (upper - lower) / 2;
}

}  // namespace

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
