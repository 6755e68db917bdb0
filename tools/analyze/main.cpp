// tessarin-analyze: offline frequency stability analysis of the runs the console records.

#include <QApplication>
#include <QFileInfo>
#include <algorithm>
#include <cstdlib>
#include <exception>
#include <iostream>

#include "ColumnReader.h"
#include "DatReader.h"
#include "DynamicAnalysis.h"
#include "HelpText.h"
#include "JoinedRuns.h"
#include "Options.h"
#include "PlotFile.h"
#include "Report.h"
#include "ReportVerify.h"
#include "RunReport.h"

namespace analyze = tessarin::analyze;

namespace {

constexpr int kUsageError = 1;
constexpr int kUnusableInput = 2;
// Beyond this many damaged lines only their number is told.
constexpr std::size_t kDamageShown = 50;
// Above this many samples every averaging factor costs minutes rather than seconds.
constexpr std::size_t kCostlyEveryFactor = 100000;

std::ostream& complain() { return std::cerr << "tessarin-analyze: "; }

bool selected(int run, const std::vector<int>& runs) {
  return run == 0 || std::find(runs.begin(), runs.end(), run) != runs.end();
}

// Tells of the damaged lines in the runs analysed (and outside any run); with --strict the first
// one is an error.
bool reportDamage(const analyze::InputFile& file, const std::vector<int>& runs, bool strict) {
  std::size_t shown = 0;
  std::size_t total = 0;
  for (const analyze::DamagedLine& damaged : file.damaged) {
    if (!selected(damaged.run, runs)) continue;
    if (strict) {
      complain() << file.path << ':' << damaged.line << ": " << damaged.reason << ": '"
                 << damaged.text << "' (--strict)\n";
      return false;
    }
    if (++total > kDamageShown) continue;
    ++shown;
    complain() << file.path << ':' << damaged.line << ": " << damaged.reason
               << (damaged.gap ? ", taken as a gap" : ", left out") << ": '" << damaged.text
               << "'\n";
  }
  for (int run = 0; run <= static_cast<int>(file.runs.size()); ++run)
    if (selected(run, runs))
      total += static_cast<std::size_t>(analyze::unkeptDamage(file, run).lines);
  if (total > shown)
    complain() << file.path << ": " << total - shown << " more damaged lines not shown\n";
  return true;
}

// The runs to analyse, counted from 1; empty with a message when there is no such run.
std::vector<int> chosenRuns(const analyze::InputFile& file, const analyze::Options& options) {
  const int count = static_cast<int>(file.runs.size());
  if (options.allRuns || options.list || options.join) {
    std::vector<int> all;
    for (int run = 1; run <= count; ++run) all.push_back(run);
    return all;
  }
  const int run = options.run.value_or(count);
  if (run > count) {
    complain() << file.path << ": there is no run " << run << "; the file holds " << count
               << (count == 1 ? " run\n" : " runs\n");
    return {};
  }
  return {run};
}

tessarin::platform::Result<analyze::InputFile> readInput(const analyze::Options& options) {
  const QString path = QString::fromStdString(options.input);
  if (options.columns) return analyze::readColumnFile(path, *options.columns, *options.tau0);
  return analyze::readDatFile(path);
}

int plot(const analyze::Options& options, const std::vector<analyze::AnalysedRun>& runs,
         const analyze::InputFile& file, int argc, char** argv) {
  // The picture goes to a file, so no display is needed; a platform chosen outside still wins.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  if (!options.reportPath.empty()) {
    const auto report =
        analyze::writeRunReport(options, file, runs, QCoreApplication::arguments().mid(1));
    if (!report) {
      complain() << report.reason().toStdString() << '\n';
      return kUnusableInput;
    }
  }
  if (options.plotPath.empty()) return EXIT_SUCCESS;
  QString title = QFileInfo(QString::fromStdString(file.path)).fileName();
  if (runs.size() == 1 && !options.columns)
    title += QString::fromStdString(", " + analyze::runLabel(runs.front()));
  const auto written =
      analyze::writePlot(QString::fromStdString(options.plotPath), title, runs, runs.size() > 1);
  if (written) return EXIT_SUCCESS;
  complain() << written.reason().toStdString() << '\n';
  return kUnusableInput;
}

void warnIfCostly(const analyze::Options& options, std::size_t samples, const std::string& where) {
  if (options.factorSet == analyze::FactorSet::Every && samples > kCostlyEveryFactor)
    complain() << where << "--taus all over " << samples
               << " samples evaluates every averaging factor: this takes minutes or more; "
                  "--taus decade is far quicker\n";
}

// Tells of an analysis that failed, or of the warnings of one that did not; false when it failed.
bool tellOf(const tessarin::platform::Result<analyze::RunAnalysis>& analysis,
            const std::string& where, const analyze::Options& options) {
  if (!analysis) {
    complain() << where << analysis.reason().toStdString() << '\n';
    return false;
  }
  for (const std::string& warning : analysis.value().warnings)
    complain() << where << warning << '\n';
  if (options.csv && analysis.value().driftPerDay)
    complain() << where << "linear frequency drift " << *analysis.value().driftPerDay
               << " /day, removed\n";
  return true;
}

void writeResults(const analyze::Options& options, const analyze::InputFile& file,
                  const std::vector<analyze::AnalysedRun>& analysed) {
  if (options.csv)
    analyze::writeCsv(std::cout, analysed, options.noise);
  else
    analyze::writeTable(std::cout, file, analysed, options.noise);
  std::cout.flush();
}

// --join: every run of the file as one series on the headers' time line.
int analyseJoined(const analyze::Options& options, const analyze::InputFile& file, int argc,
                  char** argv) {
  auto joined = analyze::joinRuns(file);
  if (!joined) {
    complain() << joined.reason().toStdString() << '\n';
    return kUnusableInput;
  }
  if (options.list) {
    analyze::writeRunList(std::cout, file, joined.value().gapBefore);
    return EXIT_SUCCESS;
  }
  const analyze::RecordedRun& series = joined.value().series;
  analyze::AnalysedRun analysed{1, &series, {}, static_cast<int>(file.runs.size())};
  const std::string where = file.path + ':' + std::to_string(series.headerLine) + ": " +
                            analyze::runLabel(analysed) + ": ";
  warnIfCostly(options, series.samples.size(), where);
  // Phase runs joined are one phase run, analysed where it lies; frequency runs were integrated
  // each on its own.
  auto analysis =
      series.quantity == tessarin::run::Quantity::Phase
          ? analyze::analyseRun(series, false, options)
          : analyze::analysePhase(std::move(joined.value().phase), *series.tauSeconds, options);
  if (!tellOf(analysis, where, options)) return kUnusableInput;
  analysed.analysis = std::move(analysis.value());
  const std::vector<analyze::AnalysedRun> runs{analysed};
  writeResults(options, file, runs);
  if (!options.plotPath.empty() || !options.reportPath.empty())
    return plot(options, runs, file, argc, argv);
  return EXIT_SUCCESS;
}

int analyse(const analyze::Options& options, int argc, char** argv) {
  auto input = readInput(options);
  if (!input) {
    complain() << input.reason().toStdString() << '\n';
    return kUnusableInput;
  }
  const analyze::InputFile& file = input.value();
  const std::vector<int> runs = chosenRuns(file, options);
  if (runs.empty()) return kUnusableInput;
  if (!reportDamage(file, runs, options.strict)) return kUnusableInput;
  if (options.dynamic && !options.list)
    return analyze::analyseDynamic(options, file, runs.front(), argc, argv);
  if (options.join) return analyseJoined(options, file, argc, argv);
  if (options.list) {
    analyze::writeRunList(std::cout, file);
    return EXIT_SUCCESS;
  }

  std::vector<analyze::AnalysedRun> analysed;
  for (const int index : runs) {
    const analyze::RecordedRun& run = file.runs[static_cast<std::size_t>(index - 1)];
    const std::string where =
        file.path + ':' + std::to_string(run.headerLine) + ": run " + std::to_string(index) + ": ";
    warnIfCostly(options, run.samples.size(), where);
    auto analysis = analyze::analyseRun(run, options.columns.has_value(), options);
    if (!tellOf(analysis, where, options)) continue;
    analysed.push_back({index, &run, std::move(analysis.value())});
  }
  if (analysed.empty()) return kUnusableInput;

  writeResults(options, file, analysed);
  if (!options.plotPath.empty() || !options.reportPath.empty())
    return plot(options, analysed, file, argc, argv);
  return EXIT_SUCCESS;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const auto options = analyze::parseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!options) {
      complain() << options.reason().toStdString() << " (see --help)\n";
      return kUsageError;
    }
    if (options.value().help) {
      std::cout << analyze::kHelpText;
      return EXIT_SUCCESS;
    }
    if (options.value().version) {
      std::cout << analyze::versionText();
      return EXIT_SUCCESS;
    }
    if (!options.value().verifyPath.empty())
      return analyze::verifyReport(options.value().verifyPath, argc, argv);
    return analyse(options.value(), argc, argv);
  } catch (const std::exception& failure) {
    complain() << failure.what() << '\n';
    return kUnusableInput;
  }
}
