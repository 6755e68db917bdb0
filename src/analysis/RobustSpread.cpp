#include "analysis/RobustSpread.h"

#include <algorithm>
#include <cstddef>

namespace tessarin::analysis {

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

}  // namespace tessarin::analysis
