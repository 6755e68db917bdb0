#include <algorithm>
#include <array>
#include <cmath>
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
  explicit PrefixSums(const std::vector<double>& series)
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
  std::vector<double> centred(series.begin(), series.end());
  removeMeanFrequency(centred, 1.0);
  double mean = 0;
  std::int64_t present = 0;
  for (const double v : centred)
    if (!std::isnan(v)) {
      mean += v;
      ++present;
    }
  if (present > 0)
    for (double& v : centred) v -= mean / static_cast<double>(present);
  const PrefixSums prefix(centred);

  // The half-average slope per sample: the halves' means over the distance of their centres.
  const std::int64_t firstHalf = 3 * m / 2;
  const std::int64_t secondStart = (3 * m + 1) / 2;
  std::vector<double> slope(static_cast<std::size_t>(starts));
  std::vector<double> whole(static_cast<std::size_t>(starts));
  std::vector<double> used(static_cast<std::size_t>(starts));
  std::int64_t subsequences = 0;
  for (std::int64_t s = 0; s < starts; ++s) {
    const auto i = static_cast<std::size_t>(s);
    const double early = prefix.between(s, s + firstHalf) / static_cast<double>(firstHalf);
    const double late =
        prefix.between(s + secondStart, s + 3 * m) / static_cast<double>(3 * m - secondStart);
    slope[i] = (late - early) / static_cast<double>(secondStart);
    whole[i] = prefix.between(s, s + 3 * m);
    const bool gap = prefix.anyGap(s, s + 3 * m);
    used[i] = gap ? 0.0 : 1.0;
    subsequences += gap ? 0 : 1;
  }
  if (subsequences == 0) return {NAN, 0};

  const double* high = prefix.high();
  const double* low = prefix.low();
  std::array<double, 4> lanes{};
  for (std::int64_t p = 0; p < 6 * m; ++p) {
    const DifferenceTaps taps = tapsAt(p, m);
    const double ramp = differenceOf(taps, m, [](std::int64_t k) {
      return static_cast<double>(k) * static_cast<double>(k - 1) / 2;
    });
    const double scale = 1 / static_cast<double>(m);
    const std::array<double, 4> weight = {taps.weight[0] * scale, taps.weight[1] * scale,
                                          taps.weight[2] * scale, taps.weight[3] * scale};
    const std::array<std::int64_t, 4> length = taps.length;
    const double wholeWeight = taps.wholeWeight * scale;
    const auto termAt = [&](std::int64_t s) {
      const auto i = static_cast<std::size_t>(s);
      double sum = wholeWeight * whole[i] - ramp * slope[i];
      for (std::size_t t = 0; t < 4; ++t) {
        const auto end = static_cast<std::size_t>(s + length[t]);
        sum += weight[t] * ((high[end] - high[i]) + (low[end] - low[i]));
      }
      return used[i] * sum * sum;
    };
    std::int64_t s = 0;
    for (; s + 4 <= starts; s += 4)
      for (std::size_t k = 0; k < 4; ++k) lanes[k] += termAt(s + static_cast<std::int64_t>(k));
    for (; s < starts; ++s) lanes[0] += termAt(s);
  }
  const double total = (lanes[0] + lanes[1]) + (lanes[2] + lanes[3]);
  return {total / (6 * static_cast<double>(m) * static_cast<double>(subsequences)), subsequences};
}

}  // namespace tessarin::stability
