#include "app/plots/MaskWatch.h"

#include <cmath>

namespace tessarin::app::plots {

void MaskWatch::choose(const QString& name) {
  chosen_ = name;
  forget();
}

void MaskWatch::forget() {
  mask_ = nullptr;
  points_.clear();
  verdict_ = analysis::MaskVerdict::NotCovered;
  failing_ = false;
}

std::optional<QString> MaskWatch::judge(const analysis::TelecomMask* mask,
                                        std::span<const run::Measurement::CurvePoint> curve) {
  if (mask != mask_) forget();
  mask_ = mask;
  points_.clear();
  if (!mask) return std::nullopt;
  std::vector<analysis::MaskVerdict> verdicts;
  for (const run::Measurement::CurvePoint& p : curve) {
    if (p.terms < kVerdictTerms) continue;
    const analysis::MaskVerdict verdict =
        analysis::judgeAgainstMask(*mask, p.tau, p.value, p.upper);
    points_.push_back(
        {p.tau, p.value, analysis::maskLimit(*mask, p.tau).value_or(std::nan("")), verdict});
    verdicts.push_back(verdict);
  }
  verdict_ = analysis::overallVerdict(verdicts);
  if (verdict_ == analysis::MaskVerdict::Fail && !failing_) {
    failing_ = true;
    return QStringLiteral("mask-failed");
  }
  if (failing_ &&
      (verdict_ == analysis::MaskVerdict::Pass || verdict_ == analysis::MaskVerdict::Marginal)) {
    failing_ = false;
    return QStringLiteral("mask-met");
  }
  return std::nullopt;
}

}  // namespace tessarin::app::plots
