#include "stability/Preprocessing.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace tessarin::stability {

namespace {

constexpr double kSecondsPerDay = 86400;

// The first and last valid points of a series; nullopt when it has none.
struct ValidSpan {
  std::int64_t first = 0;
  std::int64_t last = 0;
};
std::optional<ValidSpan> validSpan(std::span<const double> phase) {
  const auto isValid = [](double x) { return !std::isnan(x); };
  const auto first = std::find_if(phase.begin(), phase.end(), isValid);
  if (first == phase.end()) return std::nullopt;
  const auto last = std::find_if(phase.rbegin(), phase.rend(), isValid);
  return ValidSpan{first - phase.begin(), phase.rend() - last - 1};
}

using Matrix3 = std::array<std::array<long double, 3>, 3>;

long double determinant(const Matrix3& a) {
  return a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) -
         a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
         a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
}

}  // namespace

std::vector<double> phaseFromFrequency(std::span<const double> frequency, double tau0) {
  double sum = 0;
  std::int64_t valid = 0;
  for (double y : frequency) {
    if (std::isnan(y)) continue;
    sum += y;
    ++valid;
  }
  const double standIn = valid > 0 ? sum / static_cast<double>(valid) : 0;
  std::vector<double> phase{0};
  phase.reserve(frequency.size() + 1);
  double x = 0;
  for (double y : frequency) {
    x += (std::isnan(y) ? standIn : y) * tau0;
    phase.push_back(std::isnan(y) ? NAN : x);
  }
  return phase;
}

std::optional<double> removeMeanFrequency(std::span<double> phase, double tau0) {
  const auto valid = validSpan(phase);
  if (!valid || valid->first == valid->last) return std::nullopt;
  const double start = phase[static_cast<std::size_t>(valid->first)];
  const double steps = static_cast<double>(valid->last - valid->first);
  const double step = (phase[static_cast<std::size_t>(valid->last)] - start) / steps;
  for (std::int64_t k = 0; k < std::ssize(phase); ++k)
    phase[static_cast<std::size_t>(k)] -= step * static_cast<double>(k - valid->first);
  return step / tau0;
}

// The fit is made on the phase less the line through the end points (which changes only a and b,
// and keeps the sums small whatever the frequency offset), in the time u = (t - tm) / h scaled to
// -1 .. 1, with long-double sums.
std::optional<double> removeFrequencyDrift(std::span<double> phase, double tau0) {
  const auto valid = validSpan(phase);
  if (!valid) return std::nullopt;
  const double start = phase[static_cast<std::size_t>(valid->first)];
  const double end = phase[static_cast<std::size_t>(valid->last)];
  const double middle = 0.5 * static_cast<double>(valid->first + valid->last);
  const double half = 0.5 * static_cast<double>(valid->last - valid->first);
  std::array<long double, 5> powers{};   // sums of u^0 .. u^4
  std::array<long double, 3> moments{};  // sums of r u^0 .. r u^2
  for (std::int64_t k = valid->first; k <= valid->last; ++k) {
    const double x = phase[static_cast<std::size_t>(k)];
    if (std::isnan(x)) continue;
    const long double u = (static_cast<double>(k) - middle) / half;
    const long double r = x - (start + (end - start) * (u + 1) / 2);
    long double power = 1;
    for (std::size_t p = 0; p < powers.size(); ++p, power *= u) {
      powers[p] += power;
      if (p < moments.size()) moments[p] += r * power;
    }
  }
  if (powers[0] < 3) return std::nullopt;
  Matrix3 normal;
  for (std::size_t i = 0; i < 3; ++i)
    for (std::size_t j = 0; j < 3; ++j) normal[i][j] = powers[i + j];
  Matrix3 forCurvature = normal;
  for (std::size_t i = 0; i < 3; ++i) forCurvature[i][2] = moments[i];
  const auto curvature = static_cast<double>(determinant(forCurvature) / determinant(normal));
  for (std::int64_t k = 0; k < std::ssize(phase); ++k) {
    const double u = (static_cast<double>(k) - middle) / half;
    phase[static_cast<std::size_t>(k)] -= curvature * u * u;
  }
  const double secondsPerUnit = half * tau0;
  return 2 * curvature / (secondsPerUnit * secondsPerUnit) * kSecondsPerDay;
}

}  // namespace tessarin::stability
