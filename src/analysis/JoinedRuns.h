#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/Result.h"
#include "records/RecordedRun.h"

namespace tessarin::analysis {

// The time between the end of one run and the start of the next, as the runs are joined.
struct RunGap {
  double seconds = 0;        // as the headers give it: the start less the end of the run before
  std::int64_t samples = 0;  // the gap samples that stand for it, rounded to the nearest sample
};

// The runs of a .DAT file as one series on one time line.
struct JoinedRuns {
  // The series as one run: the first run's header, every run's samples in order, and the gap
  // samples (NaN) between them.
  records::RecordedRun series;
  // Of frequency runs, their phase series: each run's own as it is analysed alone (integrated from
  // its own priming point), with the same gap samples between. Empty for phase runs, whose phase
  // series is `series` itself: no phase step is made up across a gap, every run keeps its values.
  std::vector<double> phase;
  // Per run, the gap before it; none before the first.
  std::vector<RunGap> gapBefore;
};

// Joins every run of `file` in order. A run's header date and time (the moment its Start was
// chosen, to the second) and its tau place it on the time line: run k + 1 starts
// round((start_{k+1} - start_k) / tau) samples after run k's first, and the samples missing
// between run k's last and it are gaps. Fails, with a message that starts with the file and a
// header line, when a run cannot be placed (its date or time unreadable, no tau or data type),
// or when two consecutive runs differ in tau, stored quantity, mode or DUT frequency (by more
// than 1e-6 relative) or their times overlap or go backwards.
platform::Result<JoinedRuns> joinRuns(const records::InputFile& file);

// The phase series of the joined runs: `series`' samples for phase runs, else `phase`.
std::span<const double> phaseOf(const JoinedRuns& joined);

}  // namespace tessarin::analysis
