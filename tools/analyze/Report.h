#pragma once

#include <ostream>
#include <vector>

#include "RecordedRun.h"
#include "RunAnalysis.h"

namespace tessarin::analyze {

// One run of the input and its analysis, as a report shows them.
struct AnalysedRun {
  int index = 0;  // from 1, in the order of the file
  const RecordedRun* run = nullptr;
  RunAnalysis analysis;
};

// The gaps of a run: its NaN samples.
std::int64_t gapCount(const RecordedRun& run);

// The table of --list: per run its index, date, time, DUT frequency, tau, mode, data type, number
// of samples and of gaps.
void writeRunList(std::ostream& out, const InputFile& file);

// The aligned text report: per run a heading, then one row per statistic and averaging factor.
// With `noise` a column gives the noise type identified there.
void writeTable(std::ostream& out, const InputFile& file, const std::vector<AnalysedRun>& runs,
                bool noise);

// CSV: the header "statistic,tau,m,value,terms,ci_low,ci_high", then with `noise` an "alpha"
// column, then with more than one run a "run" column. Numbers are written in full precision;
// fields with nothing to say are empty.
void writeCsv(std::ostream& out, const std::vector<AnalysedRun>& runs, bool noise);

}  // namespace tessarin::analyze
