#include <algorithm>
#include <array>
#include <cmath>
#include <span>
#include <vector>

#include "stability/LongTauParts.h"
#include "stability/Preprocessing.h"

namespace tessarin::stability {

namespace {

// Prefix sums of a series kept as a high and a low double (each addition's rounding error carried
// in the low one), so that a difference of two of them is as exact as the sum of the points
// between. A gap counts as zero here; gaps_ counts the gaps before each point.
class PrefixSums {
 public:
  explicit PrefixSums(std::span<const double> series)
      : high_(series.size() + 1), low_(series.size() + 1), gaps_(series.size() + 1) {
    for (std::size_t i = 0; i < series.size(); ++i) {
      const bool gap = std::isnan(series[i]);
      const double value = gap ? 0.0 : series[i];
      const double sum = high_[i] + value;
      const double error = (high_[i] - (sum - (sum - high_[i]))) + (value - (sum - high_[i]));
      high_[i + 1] = sum;
      low_[i + 1] = low_[i] + error;
      gaps_[i + 1] = gaps_[i] + (gap ? 1 : 0);
    }
  }
  // The sum of the points first .. last - 1.
  double between(std::int64_t first, std::int64_t last) const {
    const auto a = static_cast<std::size_t>(first);
    const auto b = static_cast<std::size_t>(last);
    return (high_[b] - high_[a]) + (low_[b] - low_[a]);
  }
  bool anyGap(std::int64_t first, std::int64_t last) const {
    return gaps_[static_cast<std::size_t>(last)] != gaps_[static_cast<std::size_t>(first)];
  }
  const double* high() const { return high_.data(); }
  const double* low() const { return low_.data(); }

 private:
  std::vector<double> high_;
  std::vector<double> low_;
  std::vector<std::int64_t> gaps_;
};

// The 9m-point extension e of a subsequence s of 3m points (reversed s, s, reversed s) has prefix
// sums F(p) = a T(3m) + b T(k) in those of s, T(k) = s_0 + ... + s_{k-1}. A modified second
// difference over e from p is (F(p + 3m) - 3 F(p + 2m) + 3 F(p + m) - F(p)) / m: a weight on T(3m)
// and four on T(k) for the k below.
struct DifferenceTaps {
  double wholeWeight = 0;
  std::array<double, 4> weight{};
  std::array<std::int64_t, 4> length{};
};

DifferenceTaps tapsAt(std::int64_t p, std::int64_t m) {
  DifferenceTaps taps;
  constexpr std::array<double, 4> kSecondDifference = {1, -3, 3, -1};
  for (std::size_t t = 0; t < 4; ++t) {
    const std::int64_t q = p + static_cast<std::int64_t>(3 - t) * m;
    double a = 1;
    double b = -1;
    std::int64_t k = 3 * m - q;
    if (q > 6 * m) {
      a = 3;
      k = 9 * m - q;
    } else if (q > 3 * m) {
      b = 1;
      k = q - 3 * m;
    }
    taps.wholeWeight += kSecondDifference[t] * a;
    taps.weight[t] = kSecondDifference[t] * b;
    taps.length[t] = k;
  }
  return taps;
}

// The same difference of a subsequence given by its prefix sums T.
template <class Prefix>
double differenceOf(const DifferenceTaps& taps, std::int64_t m, Prefix prefix) {
  double sum = taps.wholeWeight * prefix(3 * m);
  for (std::size_t t = 0; t < 4; ++t) sum += taps.weight[t] * prefix(taps.length[t]);
  return sum / static_cast<double>(m);
}

// Along p each difference of one subsequence's extension changes by a second difference of four
// extension points, (e[p + 3m] - 3 e[p + 2m] + 3 e[p + m] - e[p]) / m. Those are series points at
// offsets from the subsequence's start that rise or fall with p, so each step is one point of a
// fixed combination of the series at start + p plus one of another at start + c - p: two loads
// and a few multiply-adds a difference, eight starts carried together in registers. The extension
// is symmetric about both joins, so the difference from p equals the one from 3m - p (first
// period) and from 9m - p (second): only p = 0 .. 3m/2 and 3m .. 3m + 3m/2 are formed, the inner
// ones counted twice. The first difference of each half comes from the compensated prefix sums,
// and a step adds the rounding of one small increment only, so the drift over 3m/2 steps stays far
// below the noise.
constexpr std::int64_t kLanes = 8;
// Independent starts in flight at once, so that each add waits less on the one before.
constexpr std::size_t kChains = 4;
constexpr std::int64_t kStartsTogether = kLanes * static_cast<std::int64_t>(kChains);
using Lanes = double __attribute__((vector_size(kLanes * sizeof(double))));
using LanesAnywhere =
    double __attribute__((vector_size(kLanes * sizeof(double)), aligned(8), may_alias));

// Half a period of differences: each one's weight in the mean square and its ramp.
struct HalfPeriod {
  std::vector<double> weight;
  std::vector<double> ramp;
};

HalfPeriod halfPeriodFrom(std::int64_t first, std::int64_t m) {
  HalfPeriod half;
  for (std::int64_t k = 0; k <= 3 * m / 2; ++k) {
    half.weight.push_back(k == 0 || 2 * k == 3 * m ? 1.0 : 2.0);
    half.ramp.push_back(differenceOf(tapsAt(first + k, m), m, [](std::int64_t j) {
      return static_cast<double>(j) * static_cast<double>(j - 1) / 2;
    }));
  }
  return half;
}

// The steps `from` .. to - 1 of a half period: at step k the difference of the subsequence at s
// gains scale (rising[s + k] + falling[s + fallingStart - k]).
struct Steps {
  const double* rising;
  const double* falling;
  std::int64_t fallingStart;
  std::int64_t from;
  std::int64_t to;
};

// Adds to sums[s] the weighted squares of the differences at the steps, for every s below
// `starts` (a multiple of kStartsTogether), difference[s] holding the one at step `from`; leaves
// there the one at step `to`.
__attribute__((target_clones("avx512f", "avx2", "default"))) void addSteps(
    const Steps& steps, const HalfPeriod& half, double scale, const double* slope,
    std::int64_t starts, double* difference, double* sums) {
  const auto in = [](const double* from) -> const LanesAnywhere& {
    return *reinterpret_cast<const LanesAnywhere*>(from);
  };
  const auto out = [](double* to) -> LanesAnywhere& {
    return *reinterpret_cast<LanesAnywhere*>(to);
  };
  for (std::int64_t s = 0; s < starts; s += kStartsTogether) {
    std::array<Lanes, kChains> d;
    std::array<Lanes, kChains> slopes;
    std::array<Lanes, kChains> sum;
    for (std::size_t c = 0; c < kChains; ++c) {
      const std::int64_t at = s + static_cast<std::int64_t>(c) * kLanes;
      d[c] = in(difference + at);
      slopes[c] = in(slope + at);
      sum[c] = in(sums + at);
    }
    const double* rising = steps.rising + s;
    const double* falling = steps.falling + s + steps.fallingStart;
    for (std::int64_t k = steps.from; k < steps.to; ++k) {
      const double ramp = half.ramp[k];
      const double weight = half.weight[k];
      for (std::size_t c = 0; c < kChains; ++c) {
        const std::int64_t lane = static_cast<std::int64_t>(c) * kLanes;
        const Lanes corrected = d[c] - ramp * slopes[c];
        sum[c] += weight * corrected * corrected;
        d[c] += scale * (in(rising + lane + k) + in(falling + lane - k));
      }
    }
    for (std::size_t c = 0; c < kChains; ++c) {
      const std::int64_t at = s + static_cast<std::int64_t>(c) * kLanes;
      out(difference + at) = d[c];
      out(sums + at) = sum[c];
    }
  }
}

// The series combined with itself at shifts of m: out[i] = sum of weight[j] x[i + (j - 2) m] over
// j = 0 .. 4, a point outside the series taken as zero.
std::vector<double> combined(std::span<const double> x, std::int64_t m,
                             std::array<double, 5> weight) {
  std::vector<double> out(x.size(), 0.0);
  const auto n = std::ssize(x);
  for (std::int64_t i = 0; i < n; ++i)
    for (std::size_t j = 0; j < weight.size(); ++j) {
      const std::int64_t at = i + (static_cast<std::int64_t>(j) - 2) * m;
      if (weight[j] != 0 && at >= 0 && at < n)
        out[static_cast<std::size_t>(i)] += weight[j] * x[static_cast<std::size_t>(at)];
    }
  return out;
}

// Carries every subsequence's differences through one half period, from p = `first` (0 or 3m),
// in two stretches: below m steps the third point of the second difference moves one way, from m
// on the other.
void addHalfPeriod(std::span<const double> x, std::int64_t first, std::int64_t m,
                   const double* slope, std::int64_t starts, double* difference, double* sums) {
  const HalfPeriod half = halfPeriodFrom(first, m);
  const std::int64_t last = 3 * m / 2;
  const bool firstPeriod = first == 0;
  const std::int64_t fallingStart = firstPeriod ? 2 * m - 1 : 3 * m - 1;
  const auto stretch = [&](std::array<double, 5> rising, std::array<double, 5> falling,
                           std::int64_t from, std::int64_t to) {
    const std::vector<double> up = combined(x, m, rising);
    const std::vector<double> down = combined(x, m, falling);
    const double scale = 1 / static_cast<double>(m);
    addSteps({up.data(), down.data(), fallingStart, from, to}, half, scale, slope, starts,
             difference, sums);
    // After the second stretch, the last difference, which no step follows: added with a step
    // that adds nothing.
    if (from == m)
      addSteps({up.data(), down.data(), fallingStart, last, last + 1}, half, 0.0, slope, starts,
               difference, sums);
  };
  if (firstPeriod) {
    stretch({0, 0, 1, 0, 0}, {0, -3, 3, -1, 0}, 0, m);
    stretch({0, -3, 1, 0, 0}, {0, 0, 3, -1, 0}, m, last);
  } else {
    stretch({0, 0, -1, 3, -3}, {0, 0, 1, 0, 0}, 0, m);
    stretch({0, 0, -1, 3, 0}, {0, 0, 1, -3, 0}, m, last);
  }
}

}  // namespace

// Taking the half-average slope out of a subsequence changes each of its differences by the slope
// times the difference of the ramp 0, 1, 2, ... (its reflection is no longer a straight line), so
// the differences are formed from the raw series and corrected, and the slope costs O(1) per
// subsequence. The series' own mean frequency and mean are taken out first (the statistic does not
// see them) so that the prefix sums stay near the noise.
VarianceTerms reflectedModifiedMeanSquare(std::span<const double> series, std::int64_t factor) {
  const std::int64_t m = factor;
  const auto n = std::ssize(series);
  const std::int64_t starts = n - 3 * m + 1;
  if (m < 1 || starts < 1) return {NAN, 0};
  const std::int64_t padded = (starts + kStartsTogether - 1) / kStartsTogether * kStartsTogether;
  std::vector<double> centred(static_cast<std::size_t>(padded + 3 * m), 0.0);
  std::copy(series.begin(), series.end(), centred.begin());
  const std::span<double> points(centred.data(), series.size());
  removeMeanFrequency(points, 1.0);
  double mean = 0;
  std::int64_t present = 0;
  for (const double v : points)
    if (!std::isnan(v)) {
      mean += v;
      ++present;
    }
  if (present > 0)
    for (double& v : points) v -= mean / static_cast<double>(present);
  const PrefixSums prefix(points);
  // A gap's subsequences are not counted; in the others it never enters a difference.
  std::replace_if(
      points.begin(), points.end(), [](double v) { return std::isnan(v); }, 0.0);

  // The half-average slope per sample: the halves' means over the distance of their centres.
  const std::int64_t firstHalf = 3 * m / 2;
  const std::int64_t secondStart = (3 * m + 1) / 2;
  const DifferenceTaps atStart = tapsAt(0, m);
  const DifferenceTaps atJoin = tapsAt(3 * m, m);
  const auto size = static_cast<std::size_t>(padded);
  std::vector<double> slope(size), fromStart(size), fromJoin(size), sums(size), used(size);
  std::int64_t subsequences = 0;
  for (std::int64_t s = 0; s < starts; ++s) {
    const auto i = static_cast<std::size_t>(s);
    const double early = prefix.between(s, s + firstHalf) / static_cast<double>(firstHalf);
    const double late =
        prefix.between(s + secondStart, s + 3 * m) / static_cast<double>(3 * m - secondStart);
    slope[i] = (late - early) / static_cast<double>(secondStart);
    const auto window = [&](std::int64_t k) { return prefix.between(s, s + k); };
    fromStart[i] = differenceOf(atStart, m, window);
    fromJoin[i] = differenceOf(atJoin, m, window);
    const bool gap = prefix.anyGap(s, s + 3 * m);
    used[i] = gap ? 0.0 : 1.0;
    subsequences += gap ? 0 : 1;
  }
  if (subsequences == 0) return {NAN, 0};

  addHalfPeriod(centred, 0, m, slope.data(), padded, fromStart.data(), sums.data());
  addHalfPeriod(centred, 3 * m, m, slope.data(), padded, fromJoin.data(), sums.data());
  double total = 0;
  for (std::size_t i = 0; i < size; ++i) total += used[i] * sums[i];
  return {total / (6 * static_cast<double>(m) * static_cast<double>(subsequences)), subsequences};
}

}  // namespace tessarin::stability
