#pragma once

#include <QString>
#include <optional>
#include <span>
#include <vector>

#include "analysis/TelecomMasks.h"
#include "run/Measurement.h"

namespace tessarin::app::plots {

// The telecom mask the stability plot is held to, and what its curve said against it last. The
// operator chooses a clock class ("prc", ...); its MTIE or TDEV mask applies while that measure is
// shown. Crossing the mask is told once each way: "mask-failed" when the curve first fails it,
// "mask-met" when it comes back within.
class MaskWatch {
 public:
  // A point of the curve with enough terms for a verdict.
  struct Point {
    double tau, value, limit;  // limit NaN: not covered
    analysis::MaskVerdict verdict;
  };
  // Points formed from fewer terms take no part in the verdict: their values still move too much.
  static constexpr std::int64_t kVerdictTerms = 10;

  // The clock class chosen; empty: none.
  const QString& chosen() const { return chosen_; }
  // A new choice forgets the verdicts.
  void choose(const QString& name);
  // A new run, or a new measure: the verdicts start afresh.
  void forget();

  // The mask in force last judged, or nullptr.
  const analysis::TelecomMask* mask() const { return mask_; }
  const std::vector<Point>& points() const { return points_; }
  analysis::MaskVerdict verdict() const { return verdict_; }

  // Judges `curve` against `mask` (nullptr: none in force) and returns the event the change of
  // verdict raises, if any.
  std::optional<QString> judge(const analysis::TelecomMask* mask,
                               std::span<const run::Measurement::CurvePoint> curve);

 private:
  QString chosen_;
  const analysis::TelecomMask* mask_ = nullptr;
  std::vector<Point> points_;
  analysis::MaskVerdict verdict_ = analysis::MaskVerdict::NotCovered;
  bool failing_ = false;
};

}  // namespace tessarin::app::plots
