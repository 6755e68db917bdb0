#include <algorithm>
#include <cmath>

#include "stability/Accumulators.h"

namespace tessarin::stability {

void MtieAccumulator::extend(std::span<const double> phase) {
  const double* x = phase.data();
  const std::int64_t n = std::ssize(phase);
  for (std::int64_t k = taken_; k < n; ++k) {
    if (std::isnan(x[k])) {
      highest_.clear();
      lowest_.clear();
      lastGap_ = k;
      continue;
    }
    while (!highest_.empty() && x[highest_.back()] <= x[k]) highest_.pop_back();
    highest_.push_back(k);
    while (!lowest_.empty() && x[lowest_.back()] >= x[k]) lowest_.pop_back();
    lowest_.push_back(k);
    const std::int64_t start = k - m_;
    if (start <= lastGap_) continue;
    while (highest_.front() < start) highest_.pop_front();
    while (lowest_.front() < start) lowest_.pop_front();
    worst_ = std::max(worst_, x[highest_.front()] - x[lowest_.front()]);
    ++windows_;
  }
  taken_ = std::max(taken_, n);
}

Estimate MtieAccumulator::estimate(std::span<const double>, double tau0) const {
  return estimateFrom(m_, tau0, windows_, worst_);
}

}  // namespace tessarin::stability
