#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace tessarin::stability {

// A sum of terms numbered 0, 1, 2, ... in which a NaN term (one that touches a gap) is left out
// and not counted. With Lanes > 1 the terms go into that many partial sums by their number, so a
// long sum is not held up by the latency of every addition; either way the total is the same
// however the terms were handed in, in one call or in many.
template <int Lanes>
class TermSum {
 public:
  // A sum whose terms numbered below `next` were added elsewhere, to `total` over `count` terms.
  static TermSum holding(double total, std::int64_t count, std::int64_t next) {
    TermSum sum;
    sum.lane_[0] = total;
    sum.count_ = count;
    sum.next_ = next;
    return sum;
  }

  // Adds the terms from the first not yet added up to last - 1; term(t) gives the value of term t.
  template <class Term>
  void extendTo(std::int64_t last, Term term) {
    std::int64_t t = next_;
    for (; t < last && t % Lanes != 0; ++t) addOne(t, term(t));
    std::array<double, Lanes> lane = lane_;
    std::int64_t count = count_;
    // The lanes written out one by one, each its own register, in the order of their terms.
    const auto addTerms = [&]<std::size_t... K>(std::index_sequence<K...>) {
      ((addTo(lane[K], count, term(t + static_cast<std::int64_t>(K)))), ...);
    };
    for (; t + Lanes <= last; t += Lanes) addTerms(std::make_index_sequence<Lanes>{});
    lane_ = lane;
    count_ = count;
    for (; t < last; ++t) addOne(t, term(t));
    next_ = std::max(next_, last);
  }

  // The partial sums turned for a loop that forms the terms of several sums together, each sum
  // numbered its own way: lane i % Lanes of the result takes the loop's i-th term, term next() + i,
  // and adding them in the loop's order gives each lane its terms in the order extendTo() would.
  struct Turned {
    std::array<double, Lanes> lane{};
    std::int64_t count = 0;

    // The loop's i-th term, i % Lanes == k.
    void add(std::size_t k, double value) { addTo(lane[k], count, value); }
  };

  std::int64_t next() const { return next_; }

  Turned turned() const {
    Turned turned{{}, count_};
    for (std::int64_t k = 0; k < Lanes; ++k)
      turned.lane[static_cast<std::size_t>(k)] =
          lane_[static_cast<std::size_t>((next_ + k) % Lanes)];
    return turned;
  }

  // Takes back the turned sums once the loop has added terms next() .. last - 1.
  void resume(const Turned& turned, std::int64_t last) {
    for (std::int64_t k = 0; k < Lanes; ++k)
      lane_[static_cast<std::size_t>((next_ + k) % Lanes)] =
          turned.lane[static_cast<std::size_t>(k)];
    count_ = turned.count;
    next_ = std::max(next_, last);
  }

  double total() const {
    if constexpr (Lanes == 4) return (lane_[0] + lane_[1]) + (lane_[2] + lane_[3]);
    static_assert(Lanes == 1 || Lanes == 4);
    return lane_[0];
  }

  // The number of terms that went into the total.
  std::int64_t count() const { return count_; }

 private:
  static void addTo(double& lane, std::int64_t& count, double value) {
    const bool used = !std::isnan(value);
    lane += used ? value : 0.0;
    count += used;
  }

  void addOne(std::int64_t t, double value) {
    if (std::isnan(value)) return;
    lane_[static_cast<std::size_t>(t % Lanes)] += value;
    ++count_;
  }

  std::array<double, Lanes> lane_{};
  std::int64_t count_ = 0;
  std::int64_t next_ = 0;
};

}  // namespace tessarin::stability
