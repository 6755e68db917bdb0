#include "stability/RunningAutocorrelation.h"

#include <cmath>
#include <cstddef>

namespace tessarin::stability {

void RunningAutocorrelation::append(double value) {
  for (std::size_t d = 0; d <= static_cast<std::size_t>(differenceLimit_); ++d) {
    Sums& level = levels_[d];
    const bool first = level.values == 0;
    const double previous = level.last;
    level.take(value);
    if (first) return;
    value -= previous;
  }
}

void RunningAutocorrelation::Sums::take(double value) {
  ++values;
  if (!std::isnan(value)) {
    if (present == 0) reference = value;
    const double offset = value - reference;
    ++present;
    sum += offset;
    squares += offset * offset;
    if (!std::isnan(last)) {
      const double earlier = last - reference;
      ++pairs;
      products += earlier * offset;
      earlierOfPairs += earlier;
      laterOfPairs += offset;
    }
  }
  last = value;
}

std::optional<double> RunningAutocorrelation::afterDifferences(int d) const {
  const Sums& level = levels_[static_cast<std::size_t>(d)];
  if (level.present < 2) return std::nullopt;
  const double mean = level.sum / static_cast<double>(level.present);
  const double squares = level.squares - level.sum * mean;
  if (squares <= 0) return std::nullopt;
  const double products = level.products - mean * (level.earlierOfPairs + level.laterOfPairs) +
                          static_cast<double>(level.pairs) * mean * mean;
  return products / squares;
}

}  // namespace tessarin::stability
