#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "stability/Statistics.h"

namespace tessarin::analysis {

// One piece of a mask: limit = coefficient * tau^power + offset (seconds, tau in seconds) for the
// observation intervals above the previous piece's end up to `upTo`, which the piece includes when
// `closed`. The Recommendations write their limits as straight lines in tau or as powers of it.
struct MaskSegment {
  double upTo;
  bool closed;
  double coefficient;
  double power;
  double offset;
};

// A wander limit of the ITU-T Recommendations as data: the most MTIE or TDEV a clock's output may
// show at each observation interval tau. Outside the validity range the mask says nothing.
struct TelecomMask {
  std::string_view name;            // "prc", "prtc-a", ...: the word the console and analyser use
  std::string_view title;           // "G.811 PRC"
  std::string_view recommendation;  // "ITU-T G.811 (09/97), Table 1"
  stability::Statistic statistic;   // Mtie or Tdev
  double lowestTau;                 // included
  std::span<const MaskSegment> segments;  // rising `upTo`; the last one ends the validity range
};

// The masks carried, MTIE and TDEV of each clock class.
std::span<const TelecomMask> telecomMasks();
// The clock classes in the order of telecomMasks(), each name once.
std::vector<std::string_view> telecomMaskNames();
// The mask `name` for `statistic`, or nullptr.
const TelecomMask* telecomMask(std::string_view name, stability::Statistic statistic);

// The range of tau the mask covers, in words: "tau 0.1 to 10000 s", "tau 0.1 s and up".
std::string coveredTaus(const TelecomMask& mask);

// The limit at `tau`, or nothing where the mask does not cover tau.
std::optional<double> maskLimit(const TelecomMask& mask, double tau);

// What one point of a curve says against a mask. A value at the limit meets it.
enum class MaskVerdict {
  Pass,        // the value and the upper bound of its interval are within the limit
  Marginal,    // the value is within the limit, the upper bound of its interval is not
  Fail,        // the value is beyond the limit
  NotCovered,  // the mask says nothing at this tau
};

// `upperBound` NaN: the value has no interval (MTIE), and only the value is judged.
MaskVerdict judgeAgainstMask(const TelecomMask& mask, double tau, double value, double upperBound);
// "pass", "marginal", "fail", "not covered".
std::string_view verdictWord(MaskVerdict verdict);
// The verdict of a whole curve: fail if a point fails, else marginal if one is marginal, else pass
// if one passes; not covered when no point lies in the mask's range.
MaskVerdict overallVerdict(std::span<const MaskVerdict> verdicts);

// The mask as a line to draw over [fromTau, toTau] (clipped to its validity): each piece from
// its start to its end, with points in between so that it bends as it should on logarithmic axes.
// Empty when the ranges do not meet.
struct MaskLine {
  std::vector<double> tau, limit;
};
MaskLine maskLine(const TelecomMask& mask, double fromTau, double toTau);

}  // namespace tessarin::analysis
