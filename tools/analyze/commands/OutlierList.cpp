#include "commands/OutlierList.h"

#include <cstdlib>
#include <iostream>

#include "analysis/Conditioning.h"
#include "analysis/JoinedRuns.h"
#include "analysis/OutlierScreen.h"
#include "analysis/PhaseSeries.h"
#include "cli/Messages.h"
#include "commands/AnalysedInput.h"
#include "output/OutlierList.h"
#include "records/HeaderTime.h"

namespace tessarin::analyze::commands {

namespace {

using cli::complain;
using cli::kUnusableInput;

// The screen of one series alone, nothing taken out; false, once said why, when it has none.
bool screen(const cli::Options& options, const records::RecordedRun& run, std::string heading,
            int index, std::vector<output::ScreenedSeries>& screened) {
  const std::string where = heading + ": ";
  if (const QString why = analysis::whyNoPhase(run); !why.isEmpty()) {
    complain() << where << why.toStdString() << '\n';
    return false;
  }
  analysis::Preprocessing outliersOnly;
  outliersOnly.outlierLimit = options.request.preprocessing.outlierLimit;
  outliersOnly.keepOutliers = true;
  const auto conditioned = analysis::conditionSamples(run.samples, *run.quantity, *run.tauSeconds,
                                                      options.columns.has_value(), outliersOnly);
  if (!conditioned) {
    complain() << where << conditioned.reason().toStdString() << '\n';
    return false;
  }
  std::optional<std::int64_t> start;
  if (!options.columns)
    if (const auto started = records::headerStart(run.date, run.time)) start = started.value();
  const analysis::OutlierScreen& found = *conditioned.value().record.outliers;
  if (analysis::outlierShare(found) > analysis::kMostOutlierShare)
    complain() << where << "more than " << 100 * analysis::kMostOutlierShare
               << " % of the frequencies are outliers: --outliers would refuse this run\n";
  screened.push_back({std::move(heading), index, &run, found, start, *run.tauSeconds});
  return true;
}

}  // namespace

int listOutliers(const cli::Options& options) {
  auto input = readInput(options);
  if (!input) {
    complain() << input.reason().toStdString() << '\n';
    return kUnusableInput;
  }
  const records::InputFile& file = input.value();
  const std::vector<int> runs = chosenRuns(file, options, std::cerr);
  if (runs.empty() || !reportDamage(file, runs, options.strict, std::cerr)) return kUnusableInput;
  std::vector<output::ScreenedSeries> screened;
  std::optional<analysis::JoinedRuns> joined;
  if (options.join) {
    auto joining = analysis::joinRuns(file);
    if (!joining) {
      complain() << joining.reason().toStdString() << '\n';
      return kUnusableInput;
    }
    joined = std::move(joining.value());
    screen(options, joined->series,
           file.path + ", " + std::to_string(file.runs.size()) + " runs joined", 1, screened);
  } else {
    for (const int index : runs)
      screen(options, file.runs[static_cast<std::size_t>(index - 1)],
             file.path + (options.columns ? std::string()
                                          : ", run " + std::to_string(index) + " of " +
                                                std::to_string(file.runs.size())),
             index, screened);
  }
  if (screened.empty()) return kUnusableInput;
  output::writeOutlierList(std::cout, screened, options.csv);
  return EXIT_SUCCESS;
}

}  // namespace tessarin::analyze::commands
