#include "stability/LongTau.h"

#include <cmath>
#include <vector>

#include "stability/Accumulators.h"
#include "stability/KeptVariances.h"
#include "stability/LongTauParts.h"

namespace tessarin::stability {

namespace {

// The fractional frequencies between successive phase points; a gap at either end makes a gap.
std::vector<double> frequencyOf(std::span<const double> phase, double tau0) {
  std::vector<double> frequency;
  for (std::size_t i = 1; i < phase.size(); ++i)
    frequency.push_back((phase[i] - phase[i - 1]) / tau0);
  return frequency;
}

VarianceTerms theo1Of(std::span<const double> phase, std::int64_t m) {
  return keptVariance(phase, SumKind::Theo1, m, [phase, m] { return theo1Variance(phase, m); });
}

Estimate fromVariance(std::int64_t factor, double tau, const VarianceTerms& v) {
  return {tau, static_cast<int>(factor), v.terms > 0 ? std::sqrt(v.variance) : NAN, v.terms};
}

Estimate theoBiasRemoved(std::span<const double> phase, double tau0, std::int64_t m) {
  VarianceTerms theo = theo1Of(phase, m);
  theo.variance *= theoBiasRatio(phase);
  if (std::isnan(theo.variance)) theo.terms = 0;
  return fromVariance(m, 0.75 * static_cast<double>(m) * tau0,
                      {theo.variance / (tau0 * tau0), theo.terms});
}

}  // namespace

bool isLongTau(Statistic statistic) {
  switch (statistic) {
    case Statistic::Mtotdev:
    case Statistic::Ttotdev:
    case Statistic::Htotdev:
    case Statistic::Theo1:
    case Statistic::Theobr:
    case Statistic::Theoh:
      return true;
    default:
      return false;
  }
}

bool theohTakesAllan(std::int64_t factor, std::int64_t sampleCount) {
  return 10 * factor < sampleCount;
}

Estimate longTauEstimate(Statistic statistic, std::span<const double> phase, double tau0,
                         int factor) {
  const std::int64_t m = factor;
  const double tau = tau0 * static_cast<double>(m);
  switch (statistic) {
    case Statistic::Mtotdev:
    case Statistic::Ttotdev: {
      const VarianceTerms sum = keptVariance(phase, SumKind::ReflectedModified, m, [phase, m] {
        return reflectedModifiedMeanSquare(phase, m);
      });
      Estimate e = fromVariance(m, tau, {sum.variance / (2 * tau * tau), sum.terms});
      if (statistic == Statistic::Ttotdev) e.value *= tau / std::sqrt(3.0);
      return e;
    }
    case Statistic::Htotdev: {
      if (m == 1) return estimate(Statistic::Ohdev, phase, tau0, factor);
      const VarianceTerms sum = reflectedModifiedMeanSquare(frequencyOf(phase, tau0), m);
      return fromVariance(m, tau, {sum.variance / 6, sum.terms});
    }
    case Statistic::Theo1: {
      const VarianceTerms theo = theo1Of(phase, m);
      return fromVariance(m, 0.75 * tau, {theo.variance / (tau0 * tau0), theo.terms});
    }
    case Statistic::Theobr:
      return theoBiasRemoved(phase, tau0, m);
    case Statistic::Theoh:
      if (theohTakesAllan(m, std::ssize(phase)))
        return estimate(Statistic::Oadev, phase, tau0, factor);
      return theoBiasRemoved(phase, tau0, m);
    default:
      return estimateFrom(m, tau0, 0, NAN);
  }
}

}  // namespace tessarin::stability
