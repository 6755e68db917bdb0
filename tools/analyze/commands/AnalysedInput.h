#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <vector>

#include "analysis/JoinedRuns.h"
#include "cli/Options.h"
#include "output/Report.h"
#include "platform/Result.h"
#include "records/RecordedRun.h"

namespace tessarin::analyze::commands {

// Reads the input file of `options` (or the one at `path`), a .DAT file or a column file as
// `options` say, showing a progress line over a long one.
platform::Result<records::InputFile> readInput(const cli::Options& options);
platform::Result<records::InputFile> readInput(const cli::Options& options,
                                               const std::string& path);

// The runs to analyse, counted from 1; empty, after a line on `messages`, when there is no such
// run.
std::vector<int> chosenRuns(const records::InputFile& file, const cli::Options& options,
                            std::ostream& messages);

// Tells on `messages` of the damaged lines in the runs chosen (and outside any run); with
// --strict the first one is an error, and the result false.
bool reportDamage(const records::InputFile& file, const std::vector<int>& runs, bool strict,
                  std::ostream& messages);

// The input analysed as a whole series per run, or every run joined into one with --join.
struct AnalysedInput {
  records::InputFile file;
  std::unique_ptr<analysis::JoinedRuns> joined;  // with --join: the series analysed
  std::vector<output::AnalysedRun> runs;         // each points into `file` or `joined`
};

// Reads the input of `options`, tells of its damage and analyses the runs it asks for, telling
// on `messages` of warnings and of each run that cannot be analysed. Nothing, once `messages`
// said why, when no run could be.
std::optional<AnalysedInput> analyseInput(const cli::Options& options, std::ostream& messages);

}  // namespace tessarin::analyze::commands
