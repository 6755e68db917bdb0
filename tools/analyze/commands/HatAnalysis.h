#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <span>
#include <vector>

#include "analysis/CorneredHat.h"
#include "analysis/JoinedRuns.h"
#include "cli/Options.h"
#include "output/HatTable.h"
#include "records/RecordedRun.h"

namespace tessarin::analyze::commands {

// One pair file as the hat takes it: its runs joined into one phase series and where it starts.
struct PairFile {
  records::InputFile file;
  std::unique_ptr<analysis::JoinedRuns> joined;  // a .DAT file's runs on one time line
  std::vector<double> columns;                   // a column file's phase series
  std::span<const double> phase;
  double tau0 = 0;
  std::optional<std::int64_t> start;
};

// The pair files of --hat and what the hat made of them.
struct HatInput {
  std::vector<PairFile> files;
  std::vector<output::HatPairFacts> facts;
  std::int64_t sharedPoints = 0;
  analysis::CorneredHat hat;
};

// Reads the pair files of options.hat, tells of their damage, places them on one time line, cuts
// them to the span they share and separates the oscillators. Nothing, once `messages` said why in
// one line, when the files cannot be read or tied into one hat.
std::optional<HatInput> analyseHatInput(const cli::Options& options, std::ostream& messages);

// --hat: analyseHatInput() written as a table or CSV, with --plot drawn one curve per oscillator
// and with --report its report. Messages go to standard error. Gives the exit status: 0, or 2 for
// pair files that cannot be used or tied into one hat.
int analyseHat(const cli::Options& options, int argc, char** argv);

}  // namespace tessarin::analyze::commands
