// tessarin-analyze: offline frequency stability analysis of the runs the console records.

#include <QApplication>
#include <QFileInfo>
#include <algorithm>
#include <cstdlib>
#include <exception>
#include <iostream>

#include "ColumnReader.h"
#include "DatReader.h"
#include "HelpText.h"
#include "Options.h"
#include "PlotFile.h"
#include "Report.h"

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
  if (total > shown)
    complain() << file.path << ": " << total - shown << " more damaged lines not shown\n";
  return true;
}

// The runs to analyse, counted from 1; empty with a message when there is no such run.
std::vector<int> chosenRuns(const analyze::InputFile& file, const analyze::Options& options) {
  const int count = static_cast<int>(file.runs.size());
  if (options.allRuns || options.list) {
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
  QString title = QFileInfo(QString::fromStdString(file.path)).fileName();
  if (runs.size() == 1 && !options.columns) title += QString(", run %1").arg(runs.front().index);
  const auto written =
      analyze::writePlot(QString::fromStdString(options.plotPath), title, runs, runs.size() > 1);
  if (written) return EXIT_SUCCESS;
  complain() << written.reason().toStdString() << '\n';
  return kUnusableInput;
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
  if (options.list) {
    analyze::writeRunList(std::cout, file);
    return EXIT_SUCCESS;
  }

  std::vector<analyze::AnalysedRun> analysed;
  for (const int index : runs) {
    const analyze::RecordedRun& run = file.runs[static_cast<std::size_t>(index - 1)];
    const std::string where =
        file.path + ':' + std::to_string(run.headerLine) + ": run " + std::to_string(index) + ": ";
    if (options.factorSet == analyze::FactorSet::Every && run.samples.size() > kCostlyEveryFactor)
      complain() << where << "--taus all over " << run.samples.size()
                 << " samples evaluates every averaging factor: this takes minutes or more; "
                    "--taus decade is far quicker\n";
    auto analysis = analyze::analyseRun(run, options.columns.has_value(), options);
    if (!analysis) {
      complain() << where << analysis.reason().toStdString() << '\n';
      continue;
    }
    for (const std::string& warning : analysis.value().warnings)
      complain() << where << warning << '\n';
    if (options.csv && analysis.value().driftPerDay)
      complain() << where << "linear frequency drift " << *analysis.value().driftPerDay
                 << " /day, removed\n";
    analysed.push_back({index, &run, std::move(analysis.value())});
  }
  if (analysed.empty()) return kUnusableInput;

  if (options.csv)
    analyze::writeCsv(std::cout, analysed, options.noise);
  else
    analyze::writeTable(std::cout, file, analysed, options.noise);
  std::cout.flush();
  if (!options.plotPath.empty()) return plot(options, analysed, file, argc, argv);
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
    return analyse(options.value(), argc, argv);
  } catch (const std::exception& failure) {
    complain() << failure.what() << '\n';
    return kUnusableInput;
  }
}
