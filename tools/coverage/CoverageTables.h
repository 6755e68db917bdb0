#pragma once

#include <span>
#include <string>

#include "CoverageTrials.h"

namespace tessarin::coverage {

// The goal: 68.3 +- 3 % and 95 +- 2 % of intervals hold the truth.
bool meetsGoal(const CoverageCell& cell);

// Markdown: every statistic and factor of every run, one row each.
std::string fullTable(std::span<const CoverageRun> runs);

// Markdown: one row per noise, length and statistic, with the range over its factors and the
// factors that miss the goal.
std::string summaryTable(std::span<const CoverageRun> runs);

}  // namespace tessarin::coverage
