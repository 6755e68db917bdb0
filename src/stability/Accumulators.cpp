#include "stability/Accumulators.h"

#include <cmath>

namespace tessarin::stability {

Estimate estimateFrom(std::int64_t factor, double tau0, std::int64_t terms, double value) {
  return {tau0 * static_cast<double>(factor), static_cast<int>(factor), terms > 0 ? value : NAN,
          terms};
}

Accumulator accumulatorFor(Statistic statistic, int factor) {
  switch (statistic) {
    case Statistic::Adev:
      return AllanAccumulator(factor);
    case Statistic::Mdev:
    case Statistic::Tdev:
      return ModifiedAccumulator(statistic, factor);
    case Statistic::Totdev:
      return TotalAccumulator(factor);
    case Statistic::Mtie:
      return MtieAccumulator(factor);
    default:
      return DifferenceAccumulator(statistic, factor);
  }
}

Accumulator accumulatorHolding(Statistic statistic, int factor, double total, std::int64_t count,
                               std::int64_t next) {
  switch (statistic) {
    case Statistic::Adev:
      return AllanAccumulator(factor, TermSum<1>::holding(total, count, next));
    case Statistic::Mdev:
    case Statistic::Tdev:
      return ModifiedAccumulator(statistic, factor, TermSum<4>::holding(total, count, next));
    case Statistic::Totdev:
      return TotalAccumulator(factor, TermSum<4>::holding(total, count, next));
    default:
      return DifferenceAccumulator(statistic, factor, TermSum<4>::holding(total, count, next));
  }
}

void extend(Accumulator& accumulator, std::span<const double> phase) {
  std::visit([phase](auto& a) { a.extend(phase); }, accumulator);
}

Estimate estimate(const Accumulator& accumulator, std::span<const double> phase, double tau0) {
  return std::visit([phase, tau0](const auto& a) { return a.estimate(phase, tau0); }, accumulator);
}

}  // namespace tessarin::stability
