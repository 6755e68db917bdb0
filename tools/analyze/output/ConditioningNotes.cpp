#include "output/ConditioningNotes.h"

#include <algorithm>

#include "output/PrintedNumber.h"

namespace tessarin::analyze::output {

namespace {

// Beyond this many, the outliers' samples are counted, not named.
constexpr std::size_t kSamplesNamed = 10;

std::string outliersNote(const analysis::OutlierScreen& screen) {
  std::string note =
      printed("outliers beyond %g MADs of the median %.6e (MAD/0.6745 = %.3e): ", screen.limit,
              screen.median, screen.sigma) +
      std::to_string(screen.outliers.size()) + " of " + std::to_string(screen.valid) +
      " frequencies";
  if (screen.sigma == 0) return note + ", none told: the MAD is 0 (most frequencies alike)";
  if (screen.outliers.empty()) return note;
  note += screen.removed ? ", taken as gaps: sample " : ", listed only: sample ";
  for (std::size_t i = 0; i < std::min(screen.outliers.size(), kSamplesNamed); ++i)
    note += (i == 0 ? "" : ", ") + std::to_string(screen.outliers[i].sample);
  if (screen.outliers.size() > kSamplesNamed)
    note += " and " + std::to_string(screen.outliers.size() - kSamplesNamed) +
            " more (--list-outliers lists them)";
  return note;
}

}  // namespace

std::string coefficientsText(const analysis::DriftFit& fit) {
  std::string text;
  for (const analysis::Coefficient& c : fit.coefficients)
    text += (text.empty() ? "" : ", ") + c.name + " = " + printed("%.6e", c.value) + " +- " +
            printed("%.2e", c.uncertainty) + (c.unit.empty() ? "" : " " + c.unit);
  return text;
}

std::vector<std::string> conditioningNotes(const analysis::ConditioningRecord& record) {
  std::vector<std::string> notes;
  if (record.outliers) notes.push_back(outliersNote(*record.outliers));
  if (record.steps) {
    const analysis::StepSearch& search = *record.steps;
    notes.push_back(printed("frequency steps beyond %g sigmas (white FM noise %.3e): ",
                            search.limit, search.noise) +
                    std::to_string(search.steps.size()) +
                    (search.steps.empty() ? " found"
                     : search.removed     ? " found, removed"
                                          : " found, kept"));
    for (const analysis::FrequencyStep& step : search.steps)
      notes.push_back("frequency step at sample " + std::to_string(step.sample) +
                      printed(": %.6e (%.1f sigmas)", step.size, step.sigmas));
  }
  if (record.drift && record.drift->model != analysis::DriftModel::PhaseQuadratic) {
    const analysis::DriftFit& fit = *record.drift;
    const std::string model = "drift model " + std::string(analysis::nameOf(fit.model)) + " (" +
                              std::string(analysis::formulaOf(fit)) + ")";
    if (!fit.converged)
      notes.push_back(model + " does not converge: " + fit.why + "; nothing removed");
    else
      notes.push_back(model + ": " + coefficientsText(fit) +
                      printed("; residual rms %.3e", fit.residual) + (fit.onPhase ? " s" : "") +
                      " over " + std::to_string(fit.points) + " points, removed");
  }
  return notes;
}

}  // namespace tessarin::analyze::output
