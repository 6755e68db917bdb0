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
#include "run/DataFile.h"

namespace tessarin::analyze::commands {

namespace {

using cli::complain;
using cli::kUnusableInput;

// One pair file as the hat takes it: its runs joined into one phase series and where it starts.
struct PairFile {
  records::InputFile file;
  std::unique_ptr<analysis::JoinedRuns> joined;  // a .DAT file's runs on one time line
  std::vector<double> columns;                   // a column file's phase series
  std::span<const double> phase;
  double tau0 = 0;
  output::HatPairFacts facts;
  std::optional<std::int64_t> start;
};

platform::Result<PairFile> readPair(const cli::Options& options, const cli::HatItem& item) {
  using Read = platform::Result<PairFile>;
  auto read = readInput(options, item.path);
  if (!read) return Read::failure(read.reason());
  PairFile pair{std::move(read.value()), nullptr, {}, {}, 0, {}, std::nullopt};
  pair.facts.pair = item.pair.first + "-" + item.pair.second;
  pair.facts.path = item.path;
  if (pair.file.runs.empty())
    return Read::failure(QString::fromStdString(item.path + ": the file holds no run"));
  std::vector<int> every;
  for (int run = 1; run <= static_cast<int>(pair.file.runs.size()); ++run) every.push_back(run);
  if (!reportDamage(pair.file, every, options.strict, std::cerr))
    return Read::failure(QString::fromStdString(item.path + ": damaged (--strict)"));
  pair.facts.runs = static_cast<int>(pair.file.runs.size());
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
    pair.facts.start = series.date + ' ' + series.time;
  }
  pair.facts.samples = static_cast<std::int64_t>(pair.phase.size());
  return pair;
}

int plot(const cli::Options& options, const analysis::CorneredHat& hat, int argc, char** argv) {
  // The picture goes to a file, so no display is needed; a platform chosen outside still wins.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  const auto written = output::writeHatPlot(QString::fromStdString(options.plotPath), hat);
  if (written) return EXIT_SUCCESS;
  complain() << written.reason().toStdString() << '\n';
  return kUnusableInput;
}

}  // namespace

int analyseHat(const cli::Options& options, int argc, char** argv) {
  std::vector<PairFile> files;
  for (const cli::HatItem& item : options.hat) {
    auto pair = readPair(options, item);
    if (!pair) {
      complain() << pair.reason().toStdString() << '\n';
      return kUnusableInput;
    }
    files.push_back(std::move(pair.value()));
  }
  std::vector<analysis::PlacedSeries> placed;
  for (const PairFile& pair : files) {
    if (pair.tau0 != files.front().tau0) {
      complain() << files.front().facts.path << ", " << pair.facts.path
                 << ": the pairs differ in tau ("
                 << run::formatPlainDecimal(files.front().tau0).toStdString() << " s and "
                 << run::formatPlainDecimal(pair.tau0).toStdString() << " s)\n";
      return kUnusableInput;
    }
    placed.push_back({pair.phase, pair.start, pair.facts.path});
  }
  const double tau0 = files.front().tau0;
  const auto shared = analysis::sharedSpan(placed, tau0);
  if (!shared) {
    complain() << shared.reason().toStdString() << '\n';
    return kUnusableInput;
  }
  std::vector<analysis::MeasuredPair> pairs;
  std::vector<output::HatPairFacts> facts;
  for (std::size_t k = 0; k < files.size(); ++k) {
    pairs.push_back({options.hat[k].pair, shared.value()[k], options.hat[k].path});
    facts.push_back(files[k].facts);
    facts.back().skippedBefore = shared.value()[k].data() - files[k].phase.data();
  }
  const auto hat = analysis::analyseHat(pairs, tau0, analysis::HatRequest{options.request});
  if (!hat) {
    complain() << hat.reason().toStdString() << '\n';
    return kUnusableInput;
  }
  for (const std::string& warning : hat.value().warnings) complain() << warning << '\n';
  if (options.csv)
    output::writeHatCsv(std::cout, hat.value());
  else
    output::writeHatTable(std::cout, hat.value(), facts,
                          static_cast<std::int64_t>(shared.value().front().size()),
                          options.request.valuesOnly);
  std::cout.flush();
  if (!options.plotPath.empty()) return plot(options, hat.value(), argc, argv);
  return EXIT_SUCCESS;
}

}  // namespace tessarin::analyze::commands
