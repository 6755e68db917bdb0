#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "analysis/ConditioningRecord.h"
#include "records/RecordedRun.h"

namespace tessarin::analyze::output {

// The outliers of one series, as --list-outliers lists them.
struct ScreenedSeries {
  std::string heading;                        // "osc.DAT, run 1 of 2"
  int index = 0;                              // the run's number, for the CSV's run column
  const records::RecordedRun* run = nullptr;  // for the samples' lines
  analysis::OutlierScreen screen;
  std::optional<std::int64_t> start;  // the run's start, seconds from Julian day 0; none: no times
  double tau0 = 0;
};

// CSV: "sample,line,time,value,mads" (then "run" with more than one series), a row per outlier;
// the line empty where the sample lies on none, the time empty without a start. Otherwise per
// series a heading with the median, the MAD and the count, and the rows as an aligned table.
void writeOutlierList(std::ostream& out, const std::vector<ScreenedSeries>& series, bool csv);

}  // namespace tessarin::analyze::output
