#include "analysis/CorneredHat.h"

#include <boost/math/distributions/normal.hpp>
#include <cmath>
#include <limits>

namespace tessarin::analysis {

namespace {

using Hat = platform::Result<CorneredHat>;

std::string pairName(const HatTopology& topology, const HatPair& pair) {
  return topology.oscillators[static_cast<std::size_t>(pair.first)] + "-" +
         topology.oscillators[static_cast<std::size_t>(pair.second)];
}

// The phase difference of a pair not measured: the measured series summed along its chain. A gap
// in any of them is a gap here.
std::vector<double> chainedPhase(std::span<const MeasuredPair> measured, const HatPair& pair) {
  std::vector<double> phase(measured.front().phase.size(), 0.0);
  for (std::size_t k = 0; k < measured.size(); ++k) {
    const double sign = pair.signs[k];
    if (sign == 0) continue;
    for (std::size_t i = 0; i < phase.size(); ++i) phase[i] += sign * measured[k].phase[i];
  }
  return phase;
}

// The pair estimates at one statistic and factor: the variance, its degrees of freedom and terms.
struct PairVariance {
  double variance = 0;
  double edf = 0;
  std::int64_t terms = 0;
};

// The covariance of pairs p and q that the separated variances give, x_p = x_i - x_j: the sum of
// the variances of the oscillators they share, each with the sign of how both hold it. A negative
// separated variance counts as none.
double pairCovariance(const HatPair& p, const HatPair& q, std::span<const double> separated) {
  const auto share = [&](int oscillator) {
    const auto sign = [oscillator](const HatPair& pair) {
      return pair.first == oscillator ? 1.0 : pair.second == oscillator ? -1.0 : 0.0;
    };
    return sign(p) * sign(q) * std::max(0.0, separated[static_cast<std::size_t>(oscillator)]);
  };
  return share(p.first) + share(p.second);
}

// The variance of oscillator i's separated variance, sum_pq w_p w_q Cov(s_p^2, s_q^2).
double spreadOf(const HatTopology& topology, int oscillator, std::span<const PairVariance> pairs,
                std::span<const double> separated, HatInterval method) {
  const auto count = static_cast<int>(topology.oscillators.size());
  double sum = 0;
  for (std::size_t p = 0; p < pairs.size(); ++p) {
    const double wp = hatWeight(count, topology.pairs[p], oscillator);
    if (method == HatInterval::SatterthwaiteIndependentPairs) {
      sum += wp * wp * 2 * pairs[p].variance * pairs[p].variance / pairs[p].edf;
      continue;
    }
    for (std::size_t q = 0; q < pairs.size(); ++q) {
      const double c = pairCovariance(topology.pairs[p], topology.pairs[q], separated);
      sum += wp * hatWeight(count, topology.pairs[q], oscillator) * 2 * c * c /
             std::sqrt(pairs[p].edf * pairs[q].edf);
    }
  }
  return sum;
}

// The interval of a separated variance with its spread, as `method` makes it. Where the variance
// is at or below zero, or the chi-squared bound cannot be had, only the upper bound, from the
// spread: the variance plus z standard deviations.
void addInterval(HatRow& row, double spread, double confidence, HatInterval method) {
  const double z =
      boost::math::quantile(boost::math::normal_distribution<double>(), (1 + confidence) / 2);
  // A variance at or below zero bounds the truth as zero would: the truth is no negative variance.
  const double upper = std::max(0.0, row.variance) + z * std::sqrt(spread);
  const bool clear = row.variance > z * std::sqrt(spread);
  if (row.value && (method == HatInterval::NormalOnVariance ||
                    (method == HatInterval::SatterthwaiteClearOfZero && !clear))) {
    row.ciLow = std::sqrt(std::max(0.0, row.variance - z * std::sqrt(spread)));
  } else if (row.value) {
    const double edf = 2 * row.variance * row.variance / spread;
    const stability::ConfidenceInterval interval =
        stability::confidenceInterval(*row.value, edf, confidence);
    if (std::isfinite(interval.low)) row.ciLow = interval.low;
    if (std::isfinite(interval.high)) row.ciHigh = interval.high;
  }
  if (!row.ciHigh) row.ciHigh = std::sqrt(upper);
}

// Each oscillator's row at one statistic and factor, from every pair's estimate there.
std::vector<HatRow> separate(const HatTopology& topology, std::span<const PairVariance> pairs,
                             const stability::Estimate& at, const HatRequest& request) {
  const auto count = static_cast<int>(topology.oscillators.size());
  std::int64_t terms = std::numeric_limits<std::int64_t>::max();
  bool intervals = !request.analysis.valuesOnly;
  bool estimated = true;
  for (const PairVariance& pair : pairs) {
    terms = std::min(terms, pair.terms);
    intervals = intervals && pair.edf > 0 && std::isfinite(pair.edf);
    estimated = estimated && std::isfinite(pair.variance);
  }
  std::vector<double> separated(static_cast<std::size_t>(count), 0.0);
  for (int i = 0; i < count; ++i)
    for (std::size_t p = 0; p < pairs.size(); ++p)
      separated[static_cast<std::size_t>(i)] +=
          hatWeight(count, topology.pairs[p], i) * pairs[p].variance;
  std::vector<HatRow> rows;
  for (int i = 0; i < count; ++i) {
    HatRow row;
    row.tau = at.tau;
    row.factor = at.factor;
    row.terms = terms;
    if (!estimated) {
      row.note = "no estimate: a pair has no terms here";
      rows.push_back(row);
      continue;
    }
    row.variance = separated[static_cast<std::size_t>(i)];
    if (row.variance > 0)
      row.value = std::sqrt(row.variance);
    else
      row.note = intervals ? kNegativeNote : kNegativeValueOnlyNote;
    if (intervals)
      addInterval(row, spreadOf(topology, i, pairs, separated, request.intervals),
                  request.analysis.confidence, request.intervals);
    rows.push_back(row);
  }
  return rows;
}

std::string labels(std::span<const MeasuredPair> pairs) {
  std::string text;
  for (const MeasuredPair& pair : pairs) text += (text.empty() ? "" : ", ") + pair.label;
  return text;
}

}  // namespace

std::string_view methodOf(HatInterval intervals) {
  switch (intervals) {
    case HatInterval::Satterthwaite:
      return "chi-squared with Satterthwaite's degrees of freedom, the pairs' estimates correlated "
             "where they share an oscillator";
    case HatInterval::SatterthwaiteIndependentPairs:
      return "chi-squared with Satterthwaite's degrees of freedom, the pairs' estimates taken as "
             "independent";
    case HatInterval::NormalOnVariance:
      return "normal on the variance, the pairs' estimates correlated where they share an "
             "oscillator";
    case HatInterval::SatterthwaiteClearOfZero:
      break;
  }
  return "chi-squared with Satterthwaite's degrees of freedom where the variance stands clear of "
         "zero, else normal on the variance (the pairs' estimates correlated where they share an "
         "oscillator)";
}

Hat analyseHat(std::span<const MeasuredPair> measured, double tau0, const HatRequest& request) {
  for (const stability::Statistic statistic : request.analysis.statistics)
    if (!stability::hasConfidenceInterval(statistic))
      return Hat::failure(QString::fromStdString(
          "the hat separates variances: " + std::string(stability::nameOf(statistic)) +
          " is not one (every deviation of --stat but mtie and tierms is)"));
  std::vector<PairName> names;
  std::vector<std::string> pairLabels;
  for (const MeasuredPair& pair : measured) {
    names.push_back(pair.name);
    pairLabels.push_back(pair.label);
  }
  auto topology = hatTopology(names, pairLabels);
  if (!topology) return Hat::failure(topology.reason());
  for (const MeasuredPair& pair : measured)
    if (pair.phase.size() != measured.front().phase.size())
      return Hat::failure(QString::fromStdString(
          labels(measured) + ": the pairs are not of one length (" + measured.front().label +
          " has " + std::to_string(measured.front().phase.size()) + " phase points, " + pair.label +
          " " + std::to_string(pair.phase.size()) + ")"));

  CorneredHat hat{tau0, std::move(topology.value()), request.intervals, {}, {}, {}};
  for (const HatPair& pair : hat.topology.pairs) {
    auto analysis = pair.measured
                        ? analyseSeries(measured[static_cast<std::size_t>(*pair.measured)].phase,
                                        tau0, request.analysis)
                        : analysePhase(chainedPhase(measured, pair), tau0, request.analysis);
    if (!analysis)
      return Hat::failure(QString::fromStdString(labels(measured) + ": the pair " +
                                                 pairName(hat.topology, pair) + ": ") +
                          analysis.reason());
    if (hat.pairs.empty()) hat.warnings = analysis.value().warnings;
    hat.pairs.push_back(std::move(analysis.value()));
  }

  const auto count = static_cast<int>(hat.topology.oscillators.size());
  const std::size_t statistics = request.analysis.statistics.size();
  hat.curves.resize(static_cast<std::size_t>(count) * statistics);
  for (std::size_t s = 0; s < statistics; ++s) {
    for (int i = 0; i < count; ++i)
      hat.curves[static_cast<std::size_t>(i) * statistics + s] = {
          i, request.analysis.statistics[s], {}};
    for (std::size_t k = 0; k < hat.pairs.front().statistics[s].rows.size(); ++k) {
      const std::vector<HatRow> rows = separateAt(hat, s, k, request);
      for (int i = 0; i < count; ++i)
        hat.curves[static_cast<std::size_t>(i) * statistics + s].rows.push_back(
            rows[static_cast<std::size_t>(i)]);
    }
  }
  return hat;
}

std::vector<HatRow> separateAt(const CorneredHat& hat, std::size_t statistic, std::size_t row,
                               const HatRequest& request) {
  std::vector<PairVariance> variances;
  for (const SeriesAnalysis& pair : hat.pairs) {
    const stability::AnalysisRow& at = pair.statistics[statistic].rows[row];
    variances.push_back({at.estimate.value * at.estimate.value, at.edf, at.estimate.terms});
  }
  return separate(hat.topology, variances,
                  hat.pairs.front().statistics[statistic].rows[row].estimate, request);
}

}  // namespace tessarin::analysis
