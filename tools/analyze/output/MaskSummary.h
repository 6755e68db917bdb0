#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "analysis/MaskJudgement.h"
#include "output/Report.h"

namespace tessarin::analyze::output {

// One line per run, statistic and mask on `messages`: the verdict, the taus where the curve fails
// or is marginal, the worst margin and where it lies, and the taus the mask does not cover. True
// when any mask is failed.
bool writeMaskSummary(std::ostream& messages, const std::vector<AnalysedRun>& runs);

// "mtie against G.811 PRC (ITU-T G.811 (09/97), Table 1)": what a curve was held to.
std::string maskHeading(const analysis::TelecomMask& mask);

// The line of one curve, after its heading: "fail at tau 512, 1024 s; worst margin ...".
std::string maskVerdictText(const analysis::CurveAgainstMask& curve);

// The line of a dynamic map held to a mask, after its heading: from which window on the mask is
// failed, or that every window meets it. `seriesStart` as for windowTime().
std::string windowsVerdictText(const analysis::WindowsAgainstMask& judged,
                               const analysis::DynamicMap& map,
                               std::optional<std::int64_t> seriesStart);

}  // namespace tessarin::analyze::output
