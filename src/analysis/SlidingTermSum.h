#pragma once

#include <cmath>
#include <cstdint>

namespace tessarin::analysis {

// The sum of the terms numbered first, first + stride, ... below last, kept while that range moves
// forward: the terms that leave are taken off and those that enter are added. A NaN term (one that
// touches a gap) is left out and not counted.
//
// Over a long series the terms that have passed through may be a million times the size of those
// in the window (a quiet night after a noisy day), so the sum is kept in long double with
// Neumaier's compensation: what is left after taking them off is still right to the last bits of
// a double.
class SlidingTermSum {
 public:
  // Moves the range to [first, last); `first` never goes back, and keeps the residue modulo
  // `stride` of the range before.
  template <class Term>
  void moveTo(std::int64_t first, std::int64_t last, std::int64_t stride, Term term) {
    if (first >= last_) {
      sum_ = 0;
      compensation_ = 0;
      count_ = 0;
      first_ = first;
      last_ = first;
    }
    for (; first_ < first; first_ += stride) take(term(first_), -1);
    for (; last_ < last; last_ += stride) take(term(last_), 1);
  }

  double total() const { return static_cast<double>(sum_ + compensation_); }
  std::int64_t count() const { return count_; }

 private:
  void take(double term, int sign) {
    if (std::isnan(term)) return;
    count_ += sign;
    const long double value = sign * static_cast<long double>(term);
    const long double sum = sum_ + value;
    compensation_ +=
        std::fabs(sum_) >= std::fabs(value) ? (sum_ - sum) + value : (value - sum) + sum_;
    sum_ = sum;
  }

  long double sum_ = 0;
  long double compensation_ = 0;
  std::int64_t count_ = 0;
  std::int64_t first_ = 0;
  std::int64_t last_ = 0;
};

}  // namespace tessarin::analysis
