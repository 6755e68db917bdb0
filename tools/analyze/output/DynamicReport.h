#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "analysis/DynamicStability.h"

namespace tessarin::analyze::output {

// The moment a window starts, in ISO 8601 on the console's clock ("2026-12-07T09:14:02", with
// milliseconds when tau0 is not a whole number of seconds): `seriesStart` in whole seconds from
// the start of Julian day 0 (as a run header gives it) and `offset` seconds after it.
std::string windowTime(std::int64_t seriesStart, double offset, bool milliseconds);

// When the window starting at phase point `start` of `map` begins, as windowTime() gives it.
std::string startTime(const analysis::DynamicMap& map, std::optional<std::int64_t> seriesStart,
                      std::int64_t start);

// CSV: the analyser's header "statistic,tau,m,value,terms,ci_low,ci_high" and then "start" (the
// window's first phase point, from 0) and, when the series' start time is known, "start_time".
// One row per window and factor; a window without terms at a factor has an empty value and 0
// terms. There are no confidence intervals over windows: those fields are empty.
void writeDynamicCsv(std::ostream& out, const analysis::DynamicMap& map,
                     std::optional<std::int64_t> seriesStart);

// The same as an aligned table under `heading` ("-" for nothing to say).
void writeDynamicTable(std::ostream& out, const std::string& heading,
                       const analysis::DynamicMap& map, std::optional<std::int64_t> seriesStart);

}  // namespace tessarin::analyze::output
