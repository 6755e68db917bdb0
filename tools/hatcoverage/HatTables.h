#pragma once

#include <span>
#include <string>

#include "HatTrials.h"

namespace tessarin::hatcoverage {

// Markdown: every case, noise, length, statistic, factor and oscillator, one row each, with the
// share of positive estimates and every method's shares.
std::string fullTable(std::span<const HatRun> runs);

// Markdown: one row per case, noise, length and statistic, the analyser's method's range over its
// oscillators and factors and the cells that miss the goal.
std::string summaryTable(std::span<const HatRun> runs);

// Markdown: per method, the cells within the goal and the range of the shares held.
std::string methodTable(std::span<const HatRun> runs);

}  // namespace tessarin::hatcoverage
