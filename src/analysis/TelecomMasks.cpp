#include "analysis/TelecomMasks.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tessarin::analysis {

namespace {

using stability::Statistic;

constexpr double kNs = 1e-9;
constexpr double kUs = 1e-6;
constexpr double kEndless = std::numeric_limits<double>::infinity();

// Every mask starts at an observation interval of 0.1 s, the shortest its table gives.
constexpr double kLowestTau = 0.1;

// G.811 PRC, ITU-T G.811 (09/97) 5.2 wander in locked mode, Table 1 (MTIE) and Table 2 (TDEV).
// Its last MTIE row has no end.
constexpr MaskSegment kPrcMtie[] = {
    {1000, false, 0.275e-3 * kUs, 0.025 * kUs},
    {kEndless, false, 1e-5 * kUs, 0.29 * kUs},
};
// G.811 and G.8272 PRTC-A share the TDEV mask; its table ends at 10 000 s.
constexpr MaskSegment kPrcTdev[] = {
    {100, false, 0, 3 * kNs},
    {1000, true, 0.03 * kNs, 0},
    {10000, true, 0, 30 * kNs},
};

// G.8272 PRTC-A and PRTC-B, ITU-T G.8272 (11/2018) 6.1 wander generation, Table 1 (MTIE) and
// Table 2 (TDEV).
constexpr MaskSegment kPrtcAMtie[] = {
    {273, false, 0.275e-3 * kUs, 0.025 * kUs},
    {kEndless, false, 0, 100 * kNs},
};
constexpr MaskSegment kPrtcBMtie[] = {
    {54.5, false, 0.275e-3 * kUs, 0.025 * kUs},
    {kEndless, false, 0, 40 * kNs},
};
constexpr MaskSegment kPrtcBTdev[] = {
    {100, false, 0, 1 * kNs},
    {500, true, 0.01 * kNs, 0},
    {10000, true, 0, 5 * kNs},
};

// G.8272.1 ePRTC, ITU-T G.8272.1 (11/2016) 6.1 wander generation, Table 1 (MTIE) and Table 2
// (TDEV); the TDEV table ends at 1 000 000 s.
constexpr MaskSegment kEprtcMtie[] = {
    {1, true, 0, 4 * kNs},
    {100, true, 0.11114 * kNs, 3.89 * kNs},
    {400000, true, 0.0375e-3 * kNs, 15 * kNs},
    {kEndless, false, 0, 30 * kNs},
};
constexpr MaskSegment kEprtcTdev[] = {
    {30000, false, 0, 1 * kNs},
    {300000, true, 3.33333e-5 * kNs, 0},
    {1e6, true, 0, 10 * kNs},
};

constexpr TelecomMask kMasks[] = {
    {"prc", "G.811 PRC", "ITU-T G.811 (09/97), Table 1", Statistic::Mtie, kLowestTau, kPrcMtie},
    {"prc", "G.811 PRC", "ITU-T G.811 (09/97), Table 2", Statistic::Tdev, kLowestTau, kPrcTdev},
    {"prtc-a", "G.8272 PRTC-A", "ITU-T G.8272 (11/2018), Table 1", Statistic::Mtie, kLowestTau,
     kPrtcAMtie},
    {"prtc-a", "G.8272 PRTC-A", "ITU-T G.8272 (11/2018), Table 2", Statistic::Tdev, kLowestTau,
     kPrcTdev},
    {"prtc-b", "G.8272 PRTC-B", "ITU-T G.8272 (11/2018), Table 1", Statistic::Mtie, kLowestTau,
     kPrtcBMtie},
    {"prtc-b", "G.8272 PRTC-B", "ITU-T G.8272 (11/2018), Table 2", Statistic::Tdev, kLowestTau,
     kPrtcBTdev},
    {"eprtc", "G.8272.1 ePRTC", "ITU-T G.8272.1 (11/2016), Table 1", Statistic::Mtie, kLowestTau,
     kEprtcMtie},
    {"eprtc", "G.8272.1 ePRTC", "ITU-T G.8272.1 (11/2016), Table 2", Statistic::Tdev, kLowestTau,
     kEprtcTdev},
};

bool below(const MaskSegment& segment, double tau) {
  return segment.closed ? tau <= segment.upTo : tau < segment.upTo;
}

double limitOf(const MaskSegment& segment, double tau) {
  return segment.slope * tau + segment.offset;
}

// Points per decade between two breakpoints of the drawn line.
constexpr int kLinePointsPerDecade = 20;

}  // namespace

std::span<const TelecomMask> telecomMasks() { return kMasks; }

std::vector<std::string_view> telecomMaskNames() {
  std::vector<std::string_view> names;
  for (const TelecomMask& mask : kMasks)
    if (std::find(names.begin(), names.end(), mask.name) == names.end()) names.push_back(mask.name);
  return names;
}

const TelecomMask* telecomMask(std::string_view name, stability::Statistic statistic) {
  for (const TelecomMask& mask : kMasks)
    if (mask.name == name && mask.statistic == statistic) return &mask;
  return nullptr;
}

std::optional<double> maskLimit(const TelecomMask& mask, double tau) {
  if (!(tau >= mask.lowestTau)) return std::nullopt;
  for (const MaskSegment& segment : mask.segments)
    if (below(segment, tau)) return limitOf(segment, tau);
  return std::nullopt;
}

MaskVerdict judgeAgainstMask(const TelecomMask& mask, double tau, double value, double upperBound) {
  const std::optional<double> limit = maskLimit(mask, tau);
  if (!limit || std::isnan(value)) return MaskVerdict::NotCovered;
  if (value > *limit) return MaskVerdict::Fail;
  if (!std::isnan(upperBound) && upperBound > *limit) return MaskVerdict::Marginal;
  return MaskVerdict::Pass;
}

std::string_view verdictWord(MaskVerdict verdict) {
  switch (verdict) {
    case MaskVerdict::Pass:
      return "pass";
    case MaskVerdict::Marginal:
      return "marginal";
    case MaskVerdict::Fail:
      return "fail";
    case MaskVerdict::NotCovered:
      break;
  }
  return "not covered";
}

MaskVerdict overallVerdict(std::span<const MaskVerdict> verdicts) {
  for (const MaskVerdict worst : {MaskVerdict::Fail, MaskVerdict::Marginal, MaskVerdict::Pass})
    if (std::find(verdicts.begin(), verdicts.end(), worst) != verdicts.end()) return worst;
  return MaskVerdict::NotCovered;
}

MaskLine maskLine(const TelecomMask& mask, double fromTau, double toTau) {
  MaskLine line;
  double start = std::max(fromTau, mask.lowestTau);
  for (const MaskSegment& segment : mask.segments) {
    const double end = std::min(segment.upTo, toTau);
    if (start <= end && std::isfinite(end)) {
      const double decades = std::log10(end / start);
      const int steps = std::max(1, static_cast<int>(std::ceil(decades * kLinePointsPerDecade)));
      for (int i = 0; i <= steps; ++i) {
        const double tau = start * std::pow(10.0, decades * i / steps);
        line.tau.push_back(tau);
        line.limit.push_back(limitOf(segment, tau));
      }
    }
    if (segment.upTo >= toTau) break;
    start = std::max(start, segment.upTo);
  }
  return line;
}

}  // namespace tessarin::analysis
