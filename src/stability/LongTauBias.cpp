#include <array>
#include <cmath>

#include "stability/LongTau.h"

namespace tessarin::stability {

double noiseBias(Statistic statistic, int alpha, int factor) {
  switch (statistic) {
    case Statistic::Mtotdev:
    case Statistic::Ttotdev: {
      // NIST SP 1065, MTOT/MVAR for random-walk FM, flicker FM, white FM, flicker PM, white PM.
      static constexpr std::array kByNoise = {0.69, 0.70, 0.73, 0.83, 0.94};
      if (alpha < -2 || alpha > 2) return 1;
      return kByNoise[static_cast<std::size_t>(alpha + 2)];
    }
    case Statistic::Htotdev: {
      // Howe et al., TOTHVAR/HVAR - 1 for random run, flicker walk, random walk, flicker and white
      // FM. At m = 1 the statistic is the overlapping Hadamard deviation, which has no bias.
      static constexpr std::array kByNoise = {-0.321, -0.283, -0.229, -0.149, -0.005};
      if (factor < 2 || alpha < -4 || alpha > 0) return 1;
      return 1 + kByNoise[static_cast<std::size_t>(alpha + 4)];
    }
    default:
      return 1;
  }
}

void removeNoiseBias(Statistic statistic, std::span<AnalysisRow> rows) {
  for (AnalysisRow& row : rows) {
    if (!row.alpha) continue;
    const double scale = 1 / std::sqrt(noiseBias(statistic, *row.alpha, row.estimate.factor));
    row.estimate.value *= scale;
    row.interval.low *= scale;
    row.interval.high *= scale;
  }
}

}  // namespace tessarin::stability
