#include "analysis/TelecomMasks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace tessarin::analysis {

namespace {

using stability::Statistic;

// The tables' nanoseconds and microseconds in seconds, divided rather than multiplied so that a
// round limit (100 ns) is the double its decimal names (1e-07) and prints as such.
constexpr double ns(double value) { return value / 1e9; }
constexpr double us(double value) { return value / 1e6; }
constexpr double kEndless = std::numeric_limits<double>::infinity();

// Every mask starts at an observation interval of 0.1 s, the shortest its table gives.
constexpr double kLowestTau = 0.1;

// G.811 PRC, ITU-T G.811 (09/97) 5.2 wander in locked mode, Table 1 (MTIE) and Table 2 (TDEV).
// Its last MTIE row has no end.
constexpr MaskSegment kPrcMtie[] = {
    {1000, false, us(0.275e-3), 1, us(0.025)},
    {kEndless, false, us(1e-5), 1, us(0.29)},
};
// G.811 and G.8272 PRTC-A share the TDEV mask; its table ends at 10 000 s.
constexpr MaskSegment kPrcTdev[] = {
    {100, false, 0, 1, ns(3)},
    {1000, true, ns(0.03), 1, 0},
    {10000, true, 0, 1, ns(30)},
};

// G.8272 PRTC-A and PRTC-B, ITU-T G.8272 (11/2018) 6.1 wander generation, Table 1 (MTIE) and
// Table 2 (TDEV).
constexpr MaskSegment kPrtcAMtie[] = {
    {273, false, us(0.275e-3), 1, us(0.025)},
    {kEndless, false, 0, 1, ns(100)},
};
constexpr MaskSegment kPrtcBMtie[] = {
    {54.5, false, us(0.275e-3), 1, us(0.025)},
    {kEndless, false, 0, 1, ns(40)},
};
constexpr MaskSegment kPrtcBTdev[] = {
    {100, false, 0, 1, ns(1)},
    {500, true, ns(0.01), 1, 0},
    {10000, true, 0, 1, ns(5)},
};

// G.8272.1 ePRTC, ITU-T G.8272.1 (11/2016) 6.1 wander generation, Table 1 (MTIE) and Table 2
// (TDEV); the TDEV table ends at 1 000 000 s.
constexpr MaskSegment kEprtcMtie[] = {
    {1, true, 0, 1, ns(4)},
    {100, true, ns(0.11114), 1, ns(3.89)},
    {400000, true, ns(0.0375e-3), 1, ns(15)},
    {kEndless, false, 0, 1, ns(30)},
};
constexpr MaskSegment kEprtcTdev[] = {
    {30000, false, 0, 1, ns(1)},
    {300000, true, ns(3.33333e-5), 1, 0},
    {1e6, true, 0, 1, ns(10)},
};

// G.8262 synchronous Ethernet equipment clocks, ITU-T G.8262/Y.1362 (07/2010) 8.1 wander in locked
// mode at constant temperature: option 1, Table 1 (MTIE) and Table 3 (TDEV); option 2, Table 4
// (MTIE) and Table 5 (TDEV). Each table's rows hold from above one end up to and with the next.
constexpr MaskSegment kEec1Mtie[] = {
    {1, true, 0, 1, ns(40)},
    {100, true, ns(40), 0.1, 0},
    {1000, true, ns(25.25), 0.2, 0},
};
constexpr MaskSegment kEec1Tdev[] = {
    {25, true, 0, 1, ns(3.2)},
    {100, true, ns(0.64), 0.5, 0},
    {1000, true, 0, 1, ns(6.4)},
};
constexpr MaskSegment kEec2Mtie[] = {
    {1, true, 0, 1, ns(20)},
    {10, true, ns(20), 0.48, 0},
    {1000, true, 0, 1, ns(60)},
};
constexpr MaskSegment kEec2Tdev[] = {
    {2.5, true, ns(3.2), -0.5, 0},
    {40, true, 0, 1, ns(2)},
    {1000, true, ns(0.32), 0.5, 0},
    {10000, true, 0, 1, ns(10)},
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
    {"eec1", "G.8262 EEC option 1", "ITU-T G.8262 (07/2010), Table 1", Statistic::Mtie, kLowestTau,
     kEec1Mtie},
    {"eec1", "G.8262 EEC option 1", "ITU-T G.8262 (07/2010), Table 3", Statistic::Tdev, kLowestTau,
     kEec1Tdev},
    {"eec2", "G.8262 EEC option 2", "ITU-T G.8262 (07/2010), Table 4", Statistic::Mtie, kLowestTau,
     kEec2Mtie},
    {"eec2", "G.8262 EEC option 2", "ITU-T G.8262 (07/2010), Table 5", Statistic::Tdev, kLowestTau,
     kEec2Tdev},
};

bool below(const MaskSegment& segment, double tau) {
  return segment.closed ? tau <= segment.upTo : tau < segment.upTo;
}

double limitOf(const MaskSegment& segment, double tau) {
  return segment.coefficient * std::pow(tau, segment.power) + segment.offset;
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

std::string coveredTaus(const TelecomMask& mask) {
  const double end = mask.segments.back().upTo;
  char text[64];
  if (std::isinf(end))
    std::snprintf(text, sizeof text, "tau %.10g s and up", mask.lowestTau);
  else
    std::snprintf(text, sizeof text, "tau %.10g to %.10g s", mask.lowestTau, end);
  return text;
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
