#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "analysis/CorneredHat.h"

namespace tessarin::analyze::output {

// What a pair file of --hat gave the hat, as the table's heading and the report's facts show it.
struct HatPairFacts {
  std::string pair;  // "A-B"
  std::string path;
  std::string start;  // the first run's header date and time; empty for a column file
  int runs = 0;       // the runs joined
  std::int64_t samples = 0;
  std::int64_t skippedBefore = 0;  // its samples before the span every pair shares
};

// The span the pairs share in words: "10000 phase points of 1 s shared, B-C from its sample 3 on".
std::string spanText(const std::vector<HatPairFacts>& pairs, std::int64_t points, double tau0);

// The interval method of the hat in a sentence.
std::string intervalText(const analysis::CorneredHat& hat, bool valuesOnly);

// CSV: oscillator,statistic,tau,m,value,terms,ci_low,ci_high,note; one block per oscillator, then
// per statistic. Figures in full precision; the value and lower bound of a negative estimate
// empty, its upper bound given.
void writeHatCsv(std::ostream& out, const analysis::CorneredHat& hat);

// The aligned table: a heading with the pair files, the span of `sharedPoints` they share, the
// layout and the methods, then the rows as in the CSV, "-" for nothing.
void writeHatTable(std::ostream& out, const analysis::CorneredHat& hat,
                   const std::vector<HatPairFacts>& pairs, std::int64_t sharedPoints,
                   bool valuesOnly);

}  // namespace tessarin::analyze::output
