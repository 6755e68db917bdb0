#include "analysis/PhaseSeries.h"

#include "stability/Preprocessing.h"

namespace tessarin::analysis {

QString whyNoPhase(const records::RecordedRun& run) {
  if (!run.tauSeconds) return QStringLiteral("its header gives no tau");
  if (!run.quantity) return QStringLiteral("its header gives no data type");
  return {};
}

platform::Result<std::vector<double>> phaseSeries(const records::RecordedRun& run,
                                                  bool fromColumnFile) {
  using Series = platform::Result<std::vector<double>>;
  if (const QString why = whyNoPhase(run); !why.isEmpty()) return Series::failure(why);
  if (*run.quantity == run::Quantity::Phase)
    return std::vector<double>(run.samples.begin(), run.samples.end());
  std::vector<double> phase = stability::phaseFromFrequency(run.samples, *run.tauSeconds);
  if (!fromColumnFile) phase.erase(phase.begin());
  return phase;
}

}  // namespace tessarin::analysis
