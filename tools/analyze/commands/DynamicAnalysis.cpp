#include "commands/DynamicAnalysis.h"

#include <QApplication>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <span>

#include "analysis/Conditioning.h"
#include "analysis/DynamicStability.h"
#include "analysis/JoinedRuns.h"
#include "analysis/MaskJudgement.h"
#include "analysis/PhaseSeries.h"
#include "cli/Messages.h"
#include "output/ConditioningNotes.h"
#include "output/DynamicPlot.h"
#include "output/DynamicReport.h"
#include "output/MaskSummary.h"
#include "output/PrintedNumber.h"
#include "records/HeaderTime.h"

namespace tessarin::analyze::commands {

namespace {

using cli::complain;
using cli::kUnusableInput;
using output::scientific;
using output::writeDynamicCsv;
using output::writeDynamicPlot;
using output::writeDynamicTable;

// The series to analyse: its header (without the samples, which `phase` stands for), its phase
// points and how it is named in messages; with frequency data whose conditioning works on the
// frequencies, `phase` is conditioned already and `conditioning` tells how.
struct Series {
  records::RecordedRun header;
  std::vector<double> phase;
  std::string label;
  std::optional<analysis::ConditioningRecord> conditioning;
};

// Conditions the frequencies of `recorded` into the series' phase when the conditioning works on
// them; fails for a model of phase data.
platform::Result<Series> conditioned(Series series, const records::RecordedRun& recorded,
                                     const cli::Options& options, bool keepFirstPoint,
                                     const std::string& path) {
  const QString where = QString::fromStdString(path + ':' + std::to_string(recorded.headerLine) +
                                               ": " + series.label + ": ");
  if (recorded.quantity != run::Quantity::Frequency) return series;
  // A phase model would be taken for phase data by the phase series alone: refused here.
  if (const std::string why =
          analysis::whyNotFor(options.request.preprocessing.drift, run::Quantity::Frequency);
      !why.empty())
    return platform::Result<Series>::failure(where + QString::fromStdString(why));
  if (!options.request.preprocessing.onFrequency()) return series;
  auto made =
      analysis::conditionSamples(recorded.samples, run::Quantity::Frequency, *recorded.tauSeconds,
                                 keepFirstPoint, options.request.preprocessing);
  if (!made) return platform::Result<Series>::failure(where + made.reason());
  series.phase = std::move(made.value().phase);
  series.conditioning = std::move(made.value().record);
  return series;
}

platform::Result<Series> seriesFor(const cli::Options& options, const records::InputFile& file,
                                   int run) {
  using Chosen = platform::Result<Series>;
  if (options.join) {
    auto joined = analysis::joinRuns(file);
    if (!joined) return Chosen::failure(joined.reason());
    const std::string label = std::to_string(file.runs.size()) + " runs joined";
    const std::span<const double> phase = analysis::phaseOf(joined.value());
    return conditioned(
        {records::headerOf(joined.value().series), {phase.begin(), phase.end()}, label, {}},
        joined.value().series, options, false, file.path);
  }
  const records::RecordedRun& recorded = file.runs[static_cast<std::size_t>(run - 1)];
  const std::string label =
      options.columns ? std::string("the series")
                      : "run " + std::to_string(run) + " of " + std::to_string(file.runs.size());
  auto phase = analysis::phaseSeries(recorded, options.columns.has_value());
  if (!phase)
    return Chosen::failure(QString::fromStdString(file.path + ':' +
                                                  std::to_string(recorded.headerLine) + ": " +
                                                  label + ": ") +
                           phase.reason());
  return conditioned({records::headerOf(recorded), std::move(phase.value()), label, {}}, recorded,
                     options, options.columns.has_value(), file.path);
}

std::string heading(const cli::Options& options, const records::InputFile& file,
                    const Series& series, std::size_t points, const analysis::DynamicMap& map) {
  std::string text = "# " + file.path;
  if (!options.columns) text += ", " + series.label;
  if (!series.header.date.empty() || !series.header.time.empty())
    text += ": " + series.header.date + ' ' + series.header.time;
  char numbers[160];
  std::snprintf(numbers, sizeof numbers,
                ", tau0 %g s, %zu phase points\n# %s over windows of %d points every %d: %zu "
                "windows",
                map.tau0, points, std::string(stability::nameOf(map.statistic)).c_str(),
                options.dynamic->window, options.dynamic->step, map.starts.size());
  return text + numbers;
}

int plot(const cli::Options& options, const records::InputFile& file, const Series& series,
         const analysis::DynamicMap& map, std::optional<std::int64_t> seriesStart, int argc,
         char** argv) {
  // The picture goes to a file, so no display is needed; a platform chosen outside still wins.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  QString title = QFileInfo(QString::fromStdString(file.path)).fileName();
  if (!options.columns) title += QString::fromStdString(", " + series.label);
  title += QStringLiteral(": %1 over windows of %2 points")
               .arg(QString::fromUtf8(stability::nameOf(map.statistic)))
               .arg(map.windows.window);
  const auto written =
      writeDynamicPlot(QString::fromStdString(options.plotPath), title, map, seriesStart);
  if (written) return EXIT_SUCCESS;
  complain() << written.reason().toStdString() << '\n';
  return kUnusableInput;
}

}  // namespace

int analyseDynamic(const cli::Options& options, const records::InputFile& file, int run, int argc,
                   char** argv) {
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
  std::optional<std::int64_t> seriesStart;
  if (!options.columns) {
    const auto start = records::headerStart(series.header.date, series.header.time);
    if (start)
      seriesStart = start.value();
    else
      complain() << where << "no start_time: " << start.reason().toStdString() << '\n';
  }

  auto made = analysis::analyseDynamic(
      std::move(series.phase), tau0,
      {options.request.statistics.front(), *options.dynamic,
       series.conditioning ? analysis::Preprocessing{} : options.request.preprocessing});
  if (!made) {
    complain() << where << made.reason().toStdString() << '\n';
    return kUnusableInput;
  }
  analysis::DynamicAnalysis& dynamic = made.value();
  if (series.conditioning) {
    dynamic.conditioning = std::move(*series.conditioning);
    const std::optional<analysis::DriftFit>& drift = dynamic.conditioning.drift;
    if (drift && drift->model == analysis::DriftModel::PhaseQuadratic && drift->converged)
      dynamic.driftPerDay = drift->coefficients.front().value;
    dynamic.meanFrequency = dynamic.conditioning.meanFrequency;
  }
  const analysis::DynamicMap& map = dynamic.map;
  std::vector<std::string> notes;
  for (const std::string& note : output::conditioningNotes(dynamic.conditioning))
    notes.push_back("# " + note);
  if (dynamic.driftPerDay)
    notes.push_back("# linear frequency drift " + scientific(*dynamic.driftPerDay) +
                    " /day, removed");
  if (dynamic.meanFrequency)
    notes.push_back("# mean fractional frequency " + scientific(*dynamic.meanFrequency) +
                    ", removed");
  if (options.csv) {
    for (const std::string& note : notes) complain() << where << note.substr(2) << '\n';
    writeDynamicCsv(std::cout, map, seriesStart);
  } else {
    std::string text = heading(options, file, series, static_cast<std::size_t>(points), map);
    for (const std::string& note : notes) text += '\n' + note;
    writeDynamicTable(std::cout, text, map, seriesStart);
  }
  std::cout.flush();
  bool maskFailed = false;
  for (const std::string_view name : options.masks) {
    const analysis::TelecomMask& mask = *analysis::telecomMask(name, map.statistic);
    const analysis::WindowsAgainstMask judged = analysis::judgeWindows(mask, map);
    complain() << where << output::maskHeading(mask) << ": "
               << output::windowsVerdictText(judged, map, seriesStart) << '\n';
    maskFailed = maskFailed || judged.firstFailing.has_value();
  }
  if (!options.plotPath.empty())
    if (const int status = plot(options, file, series, map, seriesStart, argc, argv);
        status != EXIT_SUCCESS)
      return status;
  return maskFailed ? cli::kMaskFailed : EXIT_SUCCESS;
}

}  // namespace tessarin::analyze::commands
