#include "commands/HatAnalysis.h"

#include <QApplication>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "analysis/CorneredHat.h"
#include "analysis/JoinedRuns.h"
#include "analysis/PhaseSeries.h"
#include "analysis/SharedSpan.h"
#include "cli/Messages.h"
#include "commands/AnalysedInput.h"
#include "output/HatPlot.h"
#include "output/HatTable.h"
#include "records/HeaderTime.h"
#include "report/HatReport.h"
#include "run/DataFile.h"

namespace tessarin::analyze::commands {

namespace {

using cli::complain;
using cli::kUnusableInput;

platform::Result<PairFile> readPair(const cli::Options& options, const cli::HatItem& item,
                                    std::ostream& messages) {
  using Read = platform::Result<PairFile>;
  auto read = readInput(options, item.path);
  if (!read) return Read::failure(read.reason());
  PairFile pair{std::move(read.value()), nullptr, {}, {}, 0, std::nullopt};
  if (pair.file.runs.empty())
    return Read::failure(QString::fromStdString(item.path + ": the file holds no run"));
  std::vector<int> every;
  for (int run = 1; run <= static_cast<int>(pair.file.runs.size()); ++run) every.push_back(run);
  // With --strict the damaged line was told of already: the failure needs no words of its own.
  if (!reportDamage(pair.file, every, options.strict, messages)) return Read::failure({});
  if (options.columns) {
    auto phase = analysis::phaseSeries(pair.file.runs.front(), true);
    if (!phase) return Read::failure(QString::fromStdString(item.path + ": ") + phase.reason());
    pair.columns = std::move(phase.value());
    pair.phase = pair.columns;
    pair.tau0 = *options.tau0;
  } else {
    auto joined = analysis::joinRuns(pair.file);
    if (!joined) return Read::failure(joined.reason());
    pair.joined = std::make_unique<analysis::JoinedRuns>(std::move(joined.value()));
    const records::RecordedRun& series = pair.joined->series;
    const auto start = records::headerStart(series.date, series.time);
    if (!start)
      return Read::failure(QString::fromStdString(item.path + ':' +
                                                  std::to_string(series.headerLine) +
                                                  ": cannot be placed on the time line: ") +
                           start.reason());
    pair.start = start.value();
    pair.phase = analysis::phaseOf(*pair.joined);
    pair.tau0 = *series.tauSeconds;
  }
  return pair;
}

output::HatPairFacts factsOf(const cli::HatItem& item, const PairFile& pair,
                             std::span<const double> shared) {
  output::HatPairFacts facts{item.pair.first + "-" + item.pair.second, item.path, {}, 0, 0, 0};
  if (pair.joined) facts.start = pair.joined->series.date + ' ' + pair.joined->series.time;
  facts.runs = static_cast<int>(pair.file.runs.size());
  facts.samples = static_cast<std::int64_t>(pair.phase.size());
  facts.skippedBefore = shared.data() - pair.phase.data();
  return facts;
}

// The plot and the report, which need a QApplication (offscreen will do).
int drawAndReport(const cli::Options& options, const HatInput& input, int argc, char** argv) {
  // The pictures go to files, so no display is needed; a platform chosen outside still wins.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  if (!options.reportPath.empty()) {
    const auto written = report::writeHatReport(options, input.hat, input.facts, input.sharedPoints,
                                                QCoreApplication::arguments().mid(1));
    if (!written) {
      complain() << written.reason().toStdString() << '\n';
      return kUnusableInput;
    }
  }
  if (options.plotPath.empty()) return EXIT_SUCCESS;
  const auto written = output::writeHatPlot(QString::fromStdString(options.plotPath), input.hat);
  if (written) return EXIT_SUCCESS;
  complain() << written.reason().toStdString() << '\n';
  return kUnusableInput;
}

}  // namespace

std::optional<HatInput> analyseHatInput(const cli::Options& options, std::ostream& messages) {
  HatInput input;
  for (const cli::HatItem& item : options.hat) {
    auto pair = readPair(options, item, messages);
    if (!pair) {
      if (!pair.reason().isEmpty()) complain(messages) << pair.reason().toStdString() << '\n';
      return std::nullopt;
    }
    input.files.push_back(std::move(pair.value()));
  }
  std::vector<analysis::PlacedSeries> placed;
  for (std::size_t k = 0; k < input.files.size(); ++k) {
    const PairFile& pair = input.files[k];
    const PairFile& first = input.files.front();
    if (pair.tau0 != first.tau0) {
      complain(messages) << options.hat.front().path << ", " << options.hat[k].path
                         << ": the pairs differ in tau ("
                         << run::formatPlainDecimal(first.tau0).toStdString() << " s and "
                         << run::formatPlainDecimal(pair.tau0).toStdString() << " s)\n";
      return std::nullopt;
    }
    placed.push_back({pair.phase, pair.start, options.hat[k].path});
  }
  const double tau0 = input.files.front().tau0;
  const auto shared = analysis::sharedSpan(placed, tau0);
  if (!shared) {
    complain(messages) << shared.reason().toStdString() << '\n';
    return std::nullopt;
  }
  std::vector<analysis::MeasuredPair> pairs;
  for (std::size_t k = 0; k < input.files.size(); ++k) {
    pairs.push_back({options.hat[k].pair, shared.value()[k], options.hat[k].path});
    input.facts.push_back(factsOf(options.hat[k], input.files[k], shared.value()[k]));
  }
  input.sharedPoints = static_cast<std::int64_t>(shared.value().front().size());
  auto hat = analysis::analyseHat(pairs, tau0, analysis::HatRequest{options.request});
  if (!hat) {
    complain(messages) << hat.reason().toStdString() << '\n';
    return std::nullopt;
  }
  for (const std::string& warning : hat.value().warnings) complain(messages) << warning << '\n';
  input.hat = std::move(hat.value());
  return input;
}

int analyseHat(const cli::Options& options, int argc, char** argv) {
  const auto input = analyseHatInput(options, std::cerr);
  if (!input) return kUnusableInput;
  if (options.csv)
    output::writeHatCsv(std::cout, input->hat);
  else
    output::writeHatTable(std::cout, input->hat, input->facts, input->sharedPoints,
                          options.request.valuesOnly);
  std::cout.flush();
  if (!options.plotPath.empty() || !options.reportPath.empty())
    return drawAndReport(options, *input, argc, argv);
  return EXIT_SUCCESS;
}

}  // namespace tessarin::analyze::commands
