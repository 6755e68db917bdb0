#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/AnalysisRequest.h"

namespace tessarin::analysis {

// One fractional frequency farther from the median than the outlier limit.
struct Outlier {
  // The sample of the run it stands for, counted from 0: the frequency sample itself, or for
  // phase data the later of the two phase samples whose difference it is.
  std::int64_t sample = 0;
  double value = 0;  // the fractional frequency
  double mads = 0;   // its distance from the median in normalised MADs, signed
};

// What the outlier screen found.
struct OutlierScreen {
  double limit = 0;        // K
  double median = 0;       // of the valid fractional frequencies
  double sigma = 0;        // MAD / 0.6745
  std::int64_t valid = 0;  // the frequencies screened
  bool removed = false;    // taken as gaps (else only listed)
  std::vector<Outlier> outliers;
  std::vector<std::int64_t> gaps;  // the samples made gaps, counted from 0
};

// A step of the mean frequency.
struct FrequencyStep {
  std::int64_t sample = 0;  // the first frequency sample after it, counted from 0
  double size = 0;          // the mean after it less the mean before it
  double sigmas = 0;        // its test statistic when it was found
};

// What the step search found.
struct StepSearch {
  double limit = 0;      // in sigmas
  double noise = 0;      // the white frequency noise the test is scaled by
  bool removed = false;  // each segment aligned to the first (else only listed)
  std::vector<FrequencyStep> steps;
};

// One fitted coefficient and its standard uncertainty.
struct Coefficient {
  std::string name;
  double value = 0;
  double uncertainty = 0;
  std::string unit;
};

// What a drift fit found. A model that does not converge changes nothing.
struct DriftFit {
  DriftModel model = DriftModel::None;  // as asked
  bool onPhase = false;                 // fitted to the phase (else to the fractional frequency)
  bool converged = false;
  std::string why;  // why it did not converge
  std::vector<Coefficient> coefficients;
  double residual = 0;  // the rms of what the fit leaves, s or fractional frequency
  std::int64_t points = 0;
};

// What each step of the conditioning did, in the order they run.
struct ConditioningRecord {
  std::optional<OutlierScreen> outliers;
  std::optional<StepSearch> steps;
  std::optional<DriftFit> drift;
  std::optional<double> meanFrequency;  // removed
};

// The model's name on the command line and in the record: "quadratic", "log", ...
std::string_view nameOf(DriftModel model);

// The formula fitted, in the words of its coefficients: "y = a ln(b t + 1) + c, t in days ...".
std::string_view formulaOf(const DriftFit& fit);

// The model named so; nullopt for none.
std::optional<DriftModel> driftModelNamed(std::string_view name);

// The models the option takes, for messages.
constexpr std::string_view kDriftModelChoices =
    "linear, quadratic, log, diffusion for frequency data; quadratic, average for phase data";

}  // namespace tessarin::analysis
