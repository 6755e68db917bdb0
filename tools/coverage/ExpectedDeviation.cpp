#include "ExpectedDeviation.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <span>

// Each term of these statistics is (sum_i w_i x_i)^2 with weights w that are a block average of
// length B (B = m for the modified deviations, 1 otherwise) convolved with the difference
// weights c at spacing m. Its expectation is sum_k R_w(k) K(k), with K the generalized
// autocovariance of the phase noise and R_w = R_b * R_c the weights' autocorrelation, which costs
// O(m) per factor instead of O(m^2).

namespace tessarin::coverage {

namespace {

using stability::Statistic;

// K(k) at lag k samples, for a noise of Allan deviation `level` at 1 s, tau0 = 1 s:
//  - white phase: x white with variance L^2 / 3;
//  - white frequency: x a random walk of step variance L^2, K(k) = -L^2 |k| / 2;
//  - random-walk frequency: x the integral of a Wiener process, K(k) = L^2 |k|^3 / 4, which gives
//    the Allan variance D tau / 3 = L^2 at 1 s.
double covariance(sim::NoiseType noise, double level, std::int64_t lag) {
  const double k = static_cast<double>(std::llabs(lag));
  const double power = level * level;
  switch (noise) {
    case sim::NoiseType::WhitePhase:
      return lag == 0 ? power / 3 : 0;
    case sim::NoiseType::WhiteFrequency:
      return -power * k / 2;
    default:
      return power * k * k * k / 4;
  }
}

// E[term^2] for difference weights with autocorrelation `differences` (at lags 0, m, 2m, ...).
double expectedSquare(sim::NoiseType noise, double level, std::int64_t m, std::int64_t block,
                      std::span<const double> differences) {
  double sum = 0;
  for (std::size_t l = 0; l < differences.size(); ++l) {
    const std::int64_t shift = static_cast<std::int64_t>(l) * m;
    double smoothed = 0;
    for (std::int64_t k = -(block - 1); k <= block - 1; ++k) {
      const double weight = static_cast<double>(block - std::llabs(k));
      smoothed += weight * (covariance(noise, level, k + shift) +
                            (l == 0 ? 0.0 : covariance(noise, level, k - shift)));
    }
    sum += differences[l] * smoothed / static_cast<double>(block * block);
  }
  return sum;
}

}  // namespace

int alphaOf(sim::NoiseType noise) {
  switch (noise) {
    case sim::NoiseType::WhitePhase:
      return 2;
    case sim::NoiseType::FlickerPhase:
      return 1;
    case sim::NoiseType::WhiteFrequency:
      return 0;
    case sim::NoiseType::FlickerFrequency:
      return -1;
    default:
      return -2;
  }
}

std::optional<double> expectedDeviation(sim::NoiseType noise, double level, Statistic statistic,
                                        int factor) {
  if (noise == sim::NoiseType::FlickerPhase || noise == sim::NoiseType::FlickerFrequency)
    return std::nullopt;
  static constexpr std::array<double, 3> kAllan = {6, -4, 1};
  static constexpr std::array<double, 4> kHadamard = {20, -15, 6, -1};
  const double tau = factor;
  const std::int64_t m = factor;
  switch (statistic) {
    case Statistic::Adev:
    case Statistic::StandardAdev:
    case Statistic::Oadev:
      return std::sqrt(expectedSquare(noise, level, m, 1, kAllan) / (2 * tau * tau));
    case Statistic::Mdev:
      return std::sqrt(expectedSquare(noise, level, m, m, kAllan) / (2 * tau * tau));
    case Statistic::Tdev:
      return std::sqrt(expectedSquare(noise, level, m, m, kAllan) / 6);
    case Statistic::Hdev:
    case Statistic::Ohdev:
      return std::sqrt(expectedSquare(noise, level, m, 1, kHadamard) / (6 * tau * tau));
    default:
      return std::nullopt;
  }
}

}  // namespace tessarin::coverage
