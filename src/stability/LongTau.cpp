#include "stability/LongTau.h"

#include <cmath>
#include <mutex>
#include <optional>
#include <vector>

#include "stability/Accumulators.h"
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

Estimate fromVariance(std::int64_t factor, double tau, const VarianceTerms& v) {
  return {tau, static_cast<int>(factor), v.terms > 0 ? std::sqrt(v.variance) : NAN, v.terms};
}

bool takesTheo1(Statistic statistic, std::int64_t m, std::int64_t sampleCount) {
  return statistic == Statistic::Theo1 || statistic == Statistic::Theobr ||
         (statistic == Statistic::Theoh && !theohTakesAllan(m, sampleCount));
}

}  // namespace

double LongTauSeries::theoBiasRatio() {
  std::call_once(ratioOnce_, [this] { ratio_ = stability::theoBiasRatio(phase_); });
  return ratio_;
}

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

std::vector<Estimate> longTauEstimates(std::span<const Statistic> statistics, LongTauSeries& series,
                                       double tau0, int factor) {
  const std::span<const double> phase = series.phase();
  const std::int64_t m = factor;
  const double tau = tau0 * static_cast<double>(m);
  std::optional<VarianceTerms> reflected;
  std::optional<VarianceTerms> theo1;
  std::vector<Estimate> estimates;
  for (const Statistic statistic : statistics) {
    if (statistic == Statistic::Mtotdev || statistic == Statistic::Ttotdev) {
      if (!reflected) reflected = reflectedModifiedMeanSquare(phase, m);
      Estimate e = fromVariance(m, tau, {reflected->variance / (2 * tau * tau), reflected->terms});
      if (statistic == Statistic::Ttotdev) e.value *= tau / std::sqrt(3.0);
      estimates.push_back(e);
    } else if (statistic == Statistic::Htotdev) {
      if (m == 1) {
        estimates.push_back(estimate(Statistic::Ohdev, phase, tau0, factor));
        continue;
      }
      const VarianceTerms sum = reflectedModifiedMeanSquare(frequencyOf(phase, tau0), m);
      estimates.push_back(fromVariance(m, tau, {sum.variance / 6, sum.terms}));
    } else if (takesTheo1(statistic, m, std::ssize(phase))) {
      if (!theo1) theo1 = theo1Variance(phase, m);
      VarianceTerms theo = *theo1;
      if (statistic != Statistic::Theo1) {
        theo.variance *= series.theoBiasRatio();
        if (std::isnan(theo.variance)) theo.terms = 0;
      }
      estimates.push_back(fromVariance(m, 0.75 * tau, {theo.variance / (tau0 * tau0), theo.terms}));
    } else if (statistic == Statistic::Theoh) {
      estimates.push_back(estimate(Statistic::Oadev, phase, tau0, factor));
    } else {
      estimates.push_back(estimateFrom(m, tau0, 0, NAN));
    }
  }
  return estimates;
}

Estimate longTauEstimate(Statistic statistic, std::span<const double> phase, double tau0,
                         int factor) {
  LongTauSeries series(phase);
  return longTauEstimates({&statistic, 1}, series, tau0, factor).front();
}

}  // namespace tessarin::stability
