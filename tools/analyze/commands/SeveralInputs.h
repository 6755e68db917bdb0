#pragma once

#include <optional>
#include <ostream>
#include <vector>

#include "cli/Options.h"
#include "commands/AnalysedInput.h"
#include "report/ComparisonReport.h"

namespace tessarin::analyze::commands {

// Several FILEs analysed: each input as it would be alone, and every run of them as one trace
// named by its source.
struct ComparedInputs {
  std::vector<AnalysedInput> inputs;
  std::vector<cli::Options> options;  // each input's
  std::vector<output::AnalysedRun> traces;
  bool inputLeftOut = false;  // an input could not be analysed, and was told of on `messages`

  std::vector<report::ComparedInput> forReport() const;
};

// Analyses every FILE of `options` as analyseInput() does one, telling on `messages` of each that
// cannot be; nothing when none could be.
std::optional<ComparedInputs> analyseEach(const cli::Options& options, std::ostream& messages);

// Several FILEs: written as one table (a block per run, headed by its file and run), one CSV with
// a first column naming the source, one picture of every trace and with --report one report that
// compares them first. An input that cannot be analysed is told of and left out (exit 2 after
// the others are written). Returns the exit status.
int analyseSeveral(const cli::Options& options, int argc, char** argv);

}  // namespace tessarin::analyze::commands
