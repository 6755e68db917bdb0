#include "analysis/FrequencySteps.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace tessarin::analysis {

namespace {

constexpr double kGaussianMad = 0.6745;

double medianOf(std::vector<double>& values) {
  const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
  std::nth_element(values.begin(), middle, values.end());
  return *middle;
}

}  // namespace

StepSearch findFrequencySteps(std::span<const double> frequency, double limit,
                              std::int64_t sampleOffset) {
  StepSearch search;
  search.limit = limit;
  std::vector<double> values;
  std::vector<std::int64_t> samples;
  for (std::size_t k = 0; k < frequency.size(); ++k)
    if (!std::isnan(frequency[k])) {
      values.push_back(frequency[k]);
      samples.push_back(static_cast<std::int64_t>(k));
    }
  const auto count = std::ssize(values);
  if (count < 2 * kLeastStepSegment) return search;
  std::vector<double> differences;
  for (std::size_t k = 1; k < values.size(); ++k)
    differences.push_back(std::abs(values[k] - values[k - 1]));
  search.noise = medianOf(differences) / (kGaussianMad * std::sqrt(2.0));
  if (!(search.noise > 0)) return search;

  std::vector<long double> sums(values.size() + 1);
  for (std::size_t k = 0; k < values.size(); ++k) sums[k + 1] = sums[k] + values[k];
  const auto mean = [&](std::int64_t from, std::int64_t to) {
    return static_cast<double>(
        (sums[static_cast<std::size_t>(to)] - sums[static_cast<std::size_t>(from)]) /
        static_cast<long double>(to - from));
  };
  std::vector<std::pair<std::int64_t, double>> splits;  // at a valid value's index, and its T
  std::vector<std::pair<std::int64_t, std::int64_t>> pending{{0, count}};
  while (!pending.empty()) {
    const auto [from, to] = pending.back();
    pending.pop_back();
    double most = 0;
    std::int64_t at = -1;
    for (std::int64_t split = from + kLeastStepSegment; split <= to - kLeastStepSegment; ++split) {
      const auto before = static_cast<double>(split - from);
      const auto after = static_cast<double>(to - split);
      const double t = std::abs(mean(split, to) - mean(from, split)) /
                       (search.noise * std::sqrt(1 / before + 1 / after));
      if (t > most) most = t, at = split;
    }
    if (at < 0 || !(most > limit)) continue;
    splits.emplace_back(at, most);
    pending.emplace_back(from, at);
    pending.emplace_back(at, to);
  }
  std::sort(splits.begin(), splits.end());
  for (std::size_t i = 0; i < splits.size(); ++i) {
    const std::int64_t from = i == 0 ? 0 : splits[i - 1].first;
    const std::int64_t to = i + 1 == splits.size() ? count : splits[i + 1].first;
    const std::int64_t at = splits[i].first;
    search.steps.push_back({samples[static_cast<std::size_t>(at)] + sampleOffset,
                            mean(at, to) - mean(from, at), splits[i].second});
  }
  return search;
}

double stepOffsetAt(const StepSearch& search, std::int64_t sample) {
  double offset = 0;
  for (const FrequencyStep& step : search.steps)
    if (step.sample <= sample) offset -= step.size;
  return offset;
}

}  // namespace tessarin::analysis
