#pragma once

#include <cstdint>
#include <span>

namespace tessarin::stability {

// Every step-th value of a series, x[0], x[step], x[2 step], ..., read where it lies. The noise at
// factor m is read from every m-th phase point; a copy of them at m = 1, 2, 4, ... would cost as
// much memory again as the series itself.
class StridedSeries {
 public:
  explicit StridedSeries(std::span<const double> series, std::int64_t step = 1)
      : values_(series.data()),
        size_(series.empty() ? 0 : (std::ssize(series) - 1) / step + 1),
        step_(step) {}

  std::int64_t size() const { return size_; }
  double operator[](std::int64_t i) const { return values_[i * step_]; }

 private:
  const double* values_;
  std::int64_t size_;
  std::int64_t step_;
};

}  // namespace tessarin::stability
