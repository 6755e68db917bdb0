#include "stability/OverlappingAccumulators.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace tessarin::stability {

namespace {

using Turned = TermSum<4>::Turned;

// Starts taken together, as if they held no gap and again with the checks where they do: their
// samples, four stretches of 8 KiB, stay in the first-level cache between the two.
constexpr std::int64_t kStarts = 1024;

// The turned sums of the pass. The loop's i-th start is b = i: term b of TIE rms, the overlapping
// Allan and Hadamard deviations, term m - 1 + b of the total deviation and b + 1 of the modified.
struct Sums {
  Turned tieRms;
  Turned oadev;
  Turned ohdev;
  Turned totdev;
  Turned modified;
};

// The window of the modified deviation: the sum of its second differences that are not NaN, and
// how many of them are NaN.
struct Window {
  double sum = 0;
  std::int64_t gaps = 0;
};

// What a second difference entering the window adds to its sum, a NaN counted instead.
double entering(Window& window, double difference) {
  if (!std::isnan(difference)) return difference;
  ++window.gaps;
  return 0;
}

// A second difference enters the window and the one m starts before leaves it, either perhaps NaN.
void slide(Window& window, double entered, double leaving) {
  double change = entering(window, entered);
  if (std::isnan(leaving))
    --window.gaps;
  else
    change -= leaving;
  window.sum += change;
}

// The terms at start b, k its place among the fours.
void addStart(const double* x, std::int64_t m, std::int64_t b, std::size_t k, Window& window,
              Sums& sums) {
  const double first = x[b + m] - x[b];
  const double second = x[b + 2 * m] - x[b + m];
  const double third = x[b + 3 * m] - x[b + 2 * m];
  const double allan = second - first;
  const double next = third - second;
  const double hadamard = next - allan;
  sums.tieRms.add(k, first * first);
  sums.oadev.add(k, allan * allan);
  sums.totdev.add(k, allan * allan);
  sums.ohdev.add(k, hadamard * hadamard);
  slide(window, next, allan);
  sums.modified.add(k, window.gaps > 0 ? NAN : window.sum * window.sum);
}

// Starts from .. to - 1, a whole number of fours from a multiple of four.
void addFours(const double* x, std::int64_t m, std::int64_t from, std::int64_t to, Window& window,
              Sums& sums) {
  for (std::int64_t b = from; b < to; b += 4)
    for (std::size_t k = 0; k < 4; ++k)
      addStart(x, m, b + static_cast<std::int64_t>(k), k, window, sums);
}

// The same where no term is NaN and the window holds no gap, without the checks: the window's
// change is then entering - leaving, the Hadamard difference itself. Each four starts are formed
// side by side, the lanes' sums held apart, as vector registers can take them.
void addGapFreeFours(const double* x, std::int64_t m, std::int64_t from, std::int64_t to,
                     Window& window, Sums& sums) {
  Sums held = sums;
  double slid = window.sum;
  for (std::int64_t b = from; b < to; b += 4) {
    std::array<double, 4> first{}, allan{}, hadamard{}, modified{};
#pragma GCC unroll 4
    for (std::size_t k = 0; k < 4; ++k) {
      const std::int64_t i = b + static_cast<std::int64_t>(k);
      first[k] = x[i + m] - x[i];
      const double second = x[i + 2 * m] - x[i + m];
      const double third = x[i + 3 * m] - x[i + 2 * m];
      allan[k] = second - first[k];
      hadamard[k] = (third - second) - allan[k];
    }
#pragma GCC unroll 4
    for (std::size_t k = 0; k < 4; ++k) {
      slid += hadamard[k];
      modified[k] = slid * slid;
    }
#pragma GCC unroll 4
    for (std::size_t k = 0; k < 4; ++k) {
      held.tieRms.lane[k] += first[k] * first[k];
      held.oadev.lane[k] += allan[k] * allan[k];
      held.totdev.lane[k] += allan[k] * allan[k];
      held.ohdev.lane[k] += hadamard[k] * hadamard[k];
      held.modified.lane[k] += modified[k];
    }
  }
  for (Turned* sum : {&held.tieRms, &held.oadev, &held.ohdev, &held.totdev, &held.modified})
    sum->count += to - from;
  sums = held;
  window.sum = slid;
}

bool anyNan(const Sums& sums) {
  for (const Turned* sum : {&sums.tieRms, &sums.oadev, &sums.ohdev, &sums.totdev, &sums.modified})
    if (std::any_of(sum->lane.begin(), sum->lane.end(), [](double v) { return std::isnan(v); }))
      return true;
  return false;
}

// Starts from .. to - 1 as addFours() takes them, first as if they held no gap. A NaN term there
// would make its lane NaN, which the sums of squares, gaps left out, never are: then the starts
// are taken again with the checks.
void addBlock(const double* x, std::int64_t m, std::int64_t from, std::int64_t to, Window& window,
              Sums& sums) {
  if (window.gaps == 0) {
    Sums held = sums;
    Window slid = window;
    addGapFreeFours(x, m, from, to, slid, held);
    if (!anyNan(held)) {
      sums = held;
      window = slid;
      return;
    }
  }
  addFours(x, m, from, to, window, sums);
}

}  // namespace

OverlappingAccumulators overlappingAccumulators(std::span<const double> phase, int factor) {
  const double* x = phase.data();
  const std::int64_t n = std::ssize(phase);
  const std::int64_t m = factor;
  // The total deviation's terms that reach before the start are its own; past them its terms are
  // the overlapping Allan deviation's.
  TotalAccumulator reflectedStart(factor);
  reflectedStart.extend(phase.first(static_cast<std::size_t>(std::min(n, 2 * m))));
  TermSum<4> tieRms, oadev, ohdev, modified;
  TermSum<4> totdev = reflectedStart.terms();
  // Every start of the Hadamard deviation is one of each statistic; those of the modified one
  // follow the window of its first term.
  const std::int64_t shared = std::max<std::int64_t>(0, n - 3 * m);
  Window window;
  if (n >= 3 * m) {
    for (std::int64_t e = 0; e < m; ++e)
      window.sum += entering(window, (x[e + 2 * m] - x[e + m]) - (x[e + m] - x[e]));
    modified.extendTo(
        1, [&window](std::int64_t) { return window.gaps > 0 ? NAN : window.sum * window.sum; });
  }
  Sums sums{tieRms.turned(), oadev.turned(), ohdev.turned(), totdev.turned(), modified.turned()};
  const std::int64_t fours = shared - shared % 4;
  for (std::int64_t from = 0; from < fours; from += kStarts)
    addBlock(x, m, from, std::min(fours, from + kStarts), window, sums);
  for (std::int64_t b = fours; b < shared; ++b)
    addStart(x, m, b, static_cast<std::size_t>(b % 4), window, sums);
  // Past the Hadamard deviation's last start, TIE rms and the two of the second difference go on.
  for (std::int64_t b = shared; b < n - m; ++b) {
    const auto k = static_cast<std::size_t>(b % 4);
    const double first = x[b + m] - x[b];
    sums.tieRms.add(k, first * first);
    if (b >= n - 2 * m) continue;
    const double allan = (x[b + 2 * m] - x[b + m]) - first;
    sums.oadev.add(k, allan * allan);
    sums.totdev.add(k, allan * allan);
  }
  tieRms.resume(sums.tieRms, n - m);
  oadev.resume(sums.oadev, n - 2 * m);
  ohdev.resume(sums.ohdev, n - 3 * m);
  totdev.resume(sums.totdev, n - 1 - m);
  modified.resume(sums.modified, n - 3 * m + 1);
  return {DifferenceAccumulator(Statistic::TieRms, factor, tieRms),
          DifferenceAccumulator(Statistic::Oadev, factor, oadev),
          DifferenceAccumulator(Statistic::Ohdev, factor, ohdev),
          ModifiedAccumulator(Statistic::Mdev, factor, modified), TotalAccumulator(factor, totdev)};
}

}  // namespace tessarin::stability
