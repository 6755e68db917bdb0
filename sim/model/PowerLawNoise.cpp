#include "model/PowerLawNoise.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace tessarin::sim {

namespace {

constexpr int kProcessesPerBank = 17;  // two per decade: eight decades of 1/f
constexpr double kRatesPerDecade = 2.0;
// The fastest relaxation rate (radians of corner frequency per interval). For flicker phase the
// spectrum reaches up to the Nyquist frequency; for flicker frequency a slower top keeps the
// Allan deviation flat down to tau0 (checked against the closed form below: within 3 %).
constexpr double kFlickerPhaseTopRate = std::numbers::pi;
constexpr double kFlickerFrequencyTopRate = 1.2;

// The Allan variance, times tau^2 for a phase process, at averaging factor m, of one
// unit-variance first-order process u[k] = a u[k-1] + sqrt(1 - a^2) n[k] with a = exp(-rate):
//  - as phase (x = u): (6 - 8 a^m + 2 a^2m) / 2 = g (2 + g), with g = 1 - a^m;
//  - as frequency (x the running sum of u): E[(S2 - S1)^2] / (2 m^2), S1 and S2 the sums of u
//    over two adjacent blocks of m, E = 2 m + 2a (2 (m e - g) - g^2) / e^2 with e = 1 - a.
// expm1 keeps the slowest processes (a within 1e-8 of 1) accurate.
double relaxationAllanVariance(double rate, double m, bool integrated) {
  const double g = -std::expm1(-rate * m);
  if (!integrated) return g * (2.0 + g);
  const double a = std::exp(-rate);
  const double e = -std::expm1(-rate);
  const double blockDifference = 2.0 * m + 2.0 * a * (2.0 * (m * e - g) - g * g) / (e * e);
  return blockDifference / (2.0 * m * m);
}

double exponentOf(NoiseType type) {
  switch (type) {
    case NoiseType::WhitePhase:
    case NoiseType::FlickerPhase:
      return -1.0;
    case NoiseType::WhiteFrequency:
      return -0.5;
    case NoiseType::FlickerFrequency:
      return 0.0;
    case NoiseType::RandomWalkFrequency:
      return 0.5;
  }
  return 0.0;
}

}  // namespace

PowerLawNoise::PowerLawNoise(std::vector<NoiseLevel> levels, double tau0, std::uint64_t seed)
    : tau0_(tau0), random_(seed) {
  // Independent noises of one type add in variance.
  std::array<double, 5> variance{};
  for (const NoiseLevel& level : levels)
    variance[static_cast<std::size_t>(level.type)] +=
        level.allanDeviationAt1s * level.allanDeviationAt1s;
  const auto levelOf = [&](NoiseType type) {
    return std::sqrt(variance[static_cast<std::size_t>(type)]);
  };

  whitePhaseRms_ = levelOf(NoiseType::WhitePhase) / std::sqrt(3.0);
  whiteFrequencyStep_ = levelOf(NoiseType::WhiteFrequency) * std::sqrt(tau0);
  randomWalkDiffusion_ = levelOf(NoiseType::RandomWalkFrequency) * std::sqrt(3.0 * tau0);
  flickerPhase_ = makeBank(kFlickerPhaseTopRate, false, levelOf(NoiseType::FlickerPhase));
  flickerFrequency_ =
      makeBank(kFlickerFrequencyTopRate, true, levelOf(NoiseType::FlickerFrequency));
}

PowerLawNoise::FlickerBank PowerLawNoise::makeBank(double highestRate, bool integrated,
                                                   double level) {
  FlickerBank bank;
  if (level <= 0.0) return bank;
  const double factor = std::max(1.0, std::nearbyint(1.0 / tau0_));
  const double tau = factor * tau0_;
  const double wanted = level * std::pow(tau, exponentOf(integrated ? NoiseType::FlickerFrequency
                                                                    : NoiseType::FlickerPhase));
  double unitVariance = 0.0;  // of the unscaled sum at `tau`, times tau^2 for phase
  for (int k = 0; k < kProcessesPerBank; ++k) {
    const double rate = highestRate * std::pow(10.0, -k / kRatesPerDecade);
    const double pole = std::exp(-rate);
    bank.processes.push_back({pole, std::sqrt(1.0 - pole * pole), gaussian()});
    unitVariance += relaxationAllanVariance(rate, factor, integrated);
  }
  bank.scale = wanted * (integrated ? 1.0 : tau) / std::sqrt(unitVariance);
  return bank;
}

double PowerLawNoise::sum(FlickerBank& bank) {
  double total = 0.0;
  for (Relaxation& process : bank.processes) {
    process.state = process.pole * process.state + process.drive * gaussian();
    total += process.state;
  }
  return bank.scale * total;
}

double PowerLawNoise::next() {
  double x = 0.0;
  if (whitePhaseRms_ > 0.0) x += whitePhaseRms_ * gaussian();
  if (!flickerPhase_.processes.empty()) x += sum(flickerPhase_);
  if (whiteFrequencyStep_ > 0.0) walkedPhase_ += whiteFrequencyStep_ * gaussian();
  if (!flickerFrequency_.processes.empty()) walkedPhase_ += tau0_ * sum(flickerFrequency_);
  if (randomWalkDiffusion_ > 0.0) {
    // Over one interval the Wiener frequency moves by d = s n1 and its integral by
    // y tau0 + s tau0 (n1 / 2 + n2 / sqrt(12)): variances s^2, s^2 tau0^2 / 3, covariance
    // s^2 tau0 / 2, the exact joint law of the pair.
    const double n1 = gaussian();
    const double n2 = gaussian();
    walkedPhase_ += randomWalkFrequency_ * tau0_ +
                    randomWalkDiffusion_ * tau0_ * (n1 / 2.0 + n2 / std::sqrt(12.0));
    randomWalkFrequency_ += randomWalkDiffusion_ * n1;
  }
  return walkedPhase_ + x;
}

}  // namespace tessarin::sim
