#include "DynamicAnalysis.h"

#include <QApplication>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <span>

#include "DynamicPlot.h"
#include "DynamicReport.h"
#include "HeaderTime.h"
#include "JoinedRuns.h"
#include "RunAnalysis.h"
#include "stability/Preprocessing.h"

namespace tessarin::analyze {

namespace {

constexpr int kUnusableInput = 2;

std::ostream& complain() { return std::cerr << "tessarin-analyze: "; }

std::string scientific(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6e", value);
  return text;
}

// The series to analyse: its header (without the samples, which `phase` stands for), its phase
// points and how it is named in messages.
struct Series {
  RecordedRun header;
  std::vector<double> phase;
  std::string label;
};

platform::Result<Series> seriesFor(const Options& options, const InputFile& file, int run) {
  using Chosen = platform::Result<Series>;
  if (options.join) {
    auto joined = joinRuns(file);
    if (!joined) return Chosen::failure(joined.reason());
    const std::string label = std::to_string(file.runs.size()) + " runs joined";
    const std::span<const double> phase = phaseOf(joined.value());
    return Series{headerOf(joined.value().series), {phase.begin(), phase.end()}, label};
  }
  const RecordedRun& recorded = file.runs[static_cast<std::size_t>(run - 1)];
  const std::string label =
      options.columns ? std::string("the series")
                      : "run " + std::to_string(run) + " of " + std::to_string(file.runs.size());
  auto phase = phaseSeries(recorded, options.columns.has_value());
  if (!phase)
    return Chosen::failure(QString::fromStdString(file.path + ':' +
                                                  std::to_string(recorded.headerLine) + ": " +
                                                  label + ": ") +
                           phase.reason());
  return Series{headerOf(recorded), std::move(phase.value()), label};
}

std::string heading(const Options& options, const InputFile& file, const Series& series,
                    const DynamicMap& map) {
  std::string text = "# " + file.path;
  if (!options.columns) text += ", " + series.label;
  if (!series.header.date.empty() || !series.header.time.empty())
    text += ": " + series.header.date + ' ' + series.header.time;
  char numbers[160];
  std::snprintf(numbers, sizeof numbers,
                ", tau0 %g s, %zu phase points\n# %s over windows of %d points every %d: %zu "
                "windows",
                map.tau0, series.phase.size(),
                std::string(stability::nameOf(map.statistic)).c_str(), options.dynamic->window,
                options.dynamic->step, map.starts.size());
  return text + numbers;
}

int plot(const Options& options, const InputFile& file, const Series& series, const DynamicMap& map,
         std::optional<std::int64_t> seriesStart, int argc, char** argv) {
  // The picture goes to a file, so no display is needed; a platform chosen outside still wins.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  QString title = QFileInfo(QString::fromStdString(file.path)).fileName();
  if (!options.columns) title += QString::fromStdString(", " + series.label);
  title +=
      QStringLiteral(": %1 over windows of %2 points")
          .arg(QString::fromUtf8(stability::nameOf(map.statistic).data(),
                                 static_cast<qsizetype>(stability::nameOf(map.statistic).size())))
          .arg(map.windows.window);
  const auto written =
      writeDynamicPlot(QString::fromStdString(options.plotPath), title, map, seriesStart);
  if (written) return EXIT_SUCCESS;
  complain() << written.reason().toStdString() << '\n';
  return kUnusableInput;
}

}  // namespace

int analyseDynamic(const Options& options, const InputFile& file, int run, int argc, char** argv) {
  auto chosen = seriesFor(options, file, run);
  if (!chosen) {
    complain() << chosen.reason().toStdString() << '\n';
    return kUnusableInput;
  }
  Series& series = chosen.value();
  const std::string where =
      file.path + ':' + std::to_string(series.header.headerLine) + ": " + series.label + ": ";
  const double tau0 = *series.header.tauSeconds;
  const auto points = static_cast<std::int64_t>(series.phase.size());
  if (options.dynamic->window > points) {
    complain() << where << "a --dynamic window of " << options.dynamic->window
               << " points is longer than the series (" << points << " phase points)\n";
    return kUnusableInput;
  }
  std::vector<std::string> notes;
  if (options.removeDrift)
    if (const auto drift = stability::removeFrequencyDrift(series.phase, tau0))
      notes.push_back("# linear frequency drift " + scientific(*drift) + " /day, removed");
  if (options.removeOffset)
    if (const auto mean = stability::removeMeanFrequency(series.phase, tau0))
      notes.push_back("# mean fractional frequency " + scientific(*mean) + ", removed");

  std::optional<std::int64_t> seriesStart;
  if (!options.columns) {
    const auto start = headerStart(series.header.date, series.header.time);
    if (start)
      seriesStart = start.value();
    else
      complain() << where << "no start_time: " << start.reason().toStdString() << '\n';
  }

  const DynamicMap map =
      dynamicStability(options.statistics.front(), series.phase, tau0, *options.dynamic);
  if (options.csv) {
    for (const std::string& note : notes) complain() << where << note.substr(2) << '\n';
    writeDynamicCsv(std::cout, map, seriesStart);
  } else {
    std::string text = heading(options, file, series, map);
    for (const std::string& note : notes) text += '\n' + note;
    writeDynamicTable(std::cout, text, map, seriesStart);
  }
  std::cout.flush();
  if (!options.plotPath.empty()) return plot(options, file, series, map, seriesStart, argc, argv);
  return EXIT_SUCCESS;
}

}  // namespace tessarin::analyze
