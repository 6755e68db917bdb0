#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/AnalysisRequest.h"
#include "analysis/DynamicWindows.h"
#include "analysis/HatTopology.h"
#include "analysis/PsdAnalysis.h"
#include "cli/ModelOverlay.h"
#include "platform/Result.h"
#include "run/Measurement.h"

namespace tessarin::analyze::cli {

// One item of --hat: which two oscillators a file compares, and the file.
struct HatItem {
  analysis::PairName pair;
  std::string path;
};

// The most inputs (files, runs) one picture or table compares; --csv takes any number.
constexpr int kMostTracesShown = 12;

// What the operator asked for on the command line.
struct Options {
  bool help = false;
  bool version = false;
  bool list = false;
  std::string input;  // the first FILE
  // Every FILE, in the order given: with more than one, each run analysed is a trace of one
  // picture and table, named by its source.
  std::vector<std::string> inputs;

  // Which runs of a .DAT file: the one numbered `run` (from 1), every run, or the last.
  std::optional<int> run;
  bool allRuns = false;
  // Every run of the .DAT file as one series, placed on one time line by the headers.
  bool join = false;

  // A plain column file instead of a .DAT file: what its values are, and their interval.
  std::optional<run::Quantity> columns;
  std::optional<double> tau0;

  // The statistics, their factors and intervals, and the preprocessing (the engine's request).
  analysis::AnalysisRequest request;
  bool noise = false;
  bool strict = false;
  bool csv = false;
  std::string plotPath;  // a .png or .pdf file; none when empty
  // A run report: a .pdf file, and its .json record beside it; none when empty.
  std::string reportPath;
  // The .json record of a run report to check again: instead of an input file.
  std::string verifyPath;
  // --dynamic: the one statistic over sliding windows instead of the whole series.
  std::optional<analysis::DynamicWindows> dynamic;
  // --mask: the clock classes whose MTIE and TDEV masks the results are held to, as named.
  std::vector<std::string_view> masks;
  // --psd: the spectrum of each series in this quantity instead of its table of deviations; the
  // request's nominal frequency is --nominal's, else each run's header gives it.
  std::optional<analysis::SpectralQuantity> psd;
  analysis::SpectrumRequest spectrum;
  bool statisticsGiven = false;  // --stat was given: with --psd, the deviations are drawn too
  // --hat: the pair files of an N-cornered hat, instead of one input file.
  std::vector<HatItem> hat;
  // --list-outliers: the outliers of --outliers listed per run, instead of an analysis.
  bool listOutliers = false;
  // --overlay and --overlay-points: model lines and data sheets' points drawn over --plot.
  std::vector<ModelOverlay> overlays;
  std::vector<std::string> overlayPoints;
};

// Whether `path` names a .DAT file: beside column files, several inputs are told apart by it.
bool isDatName(std::string_view path);

// Reads the command line (without the program name). A usage error comes back as one line that
// names the option at fault. --remove-drift takes the word after it as its MODEL when that is a
// model's name, or a word of letters alone that names no file (which is then an unknown model);
// else, and always as --remove-drift=MODEL, it is given alone.
platform::Result<Options> parseOptions(const std::vector<std::string>& args);

}  // namespace tessarin::analyze::cli
