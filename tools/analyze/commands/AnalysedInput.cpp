#include "commands/AnalysedInput.h"

#include <QFileInfo>
#include <algorithm>
#include <string>

#include "analysis/Conditioning.h"
#include "analysis/PhaseSeries.h"
#include "analysis/PsdAnalysis.h"
#include "analysis/SeriesAnalysis.h"
#include "cli/Messages.h"
#include "commands/ProgressLine.h"
#include "output/ConditioningNotes.h"
#include "records/ColumnReader.h"
#include "records/DatReader.h"

namespace tessarin::analyze::commands {

namespace {

using cli::complain;

// Beyond this many damaged lines only their number is told.
constexpr std::size_t kDamageShown = 50;
// Above this many samples every averaging factor costs minutes rather than seconds.
constexpr std::size_t kCostlyEveryFactor = 100000;

bool selected(int run, const std::vector<int>& runs) {
  return run == 0 || std::find(runs.begin(), runs.end(), run) != runs.end();
}

void warnIfCostly(const cli::Options& options, std::size_t samples, const std::string& where,
                  std::ostream& messages) {
  if (options.request.factorSet == analysis::FactorSet::Every && samples > kCostlyEveryFactor)
    complain(messages) << where << "--taus all over " << samples
                       << " samples evaluates every averaging factor: this takes minutes or "
                          "more; --taus decade is far quicker\n";
}

// Tells of an analysis that failed, or of the warnings of one that did not; false when it failed.
bool tellOf(const platform::Result<analysis::SeriesAnalysis>& analysis, const std::string& where,
            const cli::Options& options, std::ostream& messages) {
  if (!analysis) {
    complain(messages) << where << analysis.reason().toStdString() << '\n';
    return false;
  }
  for (const std::string& warning : analysis.value().warnings)
    complain(messages) << where << warning << '\n';
  if (options.csv)
    for (const std::string& note : output::conditioningNotes(analysis.value().conditioning))
      complain(messages) << where << note << '\n';
  if (options.csv && analysis.value().driftPerDay)
    complain(messages) << where << "linear frequency drift " << *analysis.value().driftPerDay
                       << " /day, removed\n";
  return true;
}

// The analysis of one series, with a progress line while it takes long.
template <class Analyse>
platform::Result<analysis::SeriesAnalysis> withProgress(const std::string& what, Analyse analyse) {
  analysis::AnalysisProgress progress;
  const ProgressLine line(what, progress);
  return analyse(&progress);
}

// With --psd and neither --stat nor --report, the spectrum alone: the deviations are not asked for.
bool deviationsWanted(const cli::Options& options) {
  return !options.psd || options.statisticsGiven || !options.reportPath.empty();
}

// --psd: the spectrum of the run's phase series (`phase`), at --nominal's frequency or else the
// header's, conditioned as asked unless `conditioned` tells how it was already; false, once
// `messages` said why, when it cannot be made. With --csv and no deviations, what the
// conditioning did is told on `messages`, as tellOf() tells it with them.
bool addSpectrum(const cli::Options& options, std::span<const double> phase,
                 const records::RecordedRun& run, const std::string& where,
                 output::AnalysedRun& analysed, std::ostream& messages,
                 const analysis::ConditioningRecord* conditioned = nullptr) {
  if (!options.psd) return true;
  analysis::SpectrumRequest request = options.spectrum;
  if (conditioned != nullptr) request.preprocessing = {};
  if (!request.nominalHz) request.nominalHz = run.dutHz;
  if (analysis::needsNominal(request.quantity) && !request.nominalHz) {
    complain(messages) << where << "--psd " << analysis::nameOf(request.quantity)
                       << " is at the DUT frequency, which the header does not give: add "
                          "--nominal HZ\n";
    return false;
  }
  auto spectrum = analysis::analyseSpectrum(phase, *run.tauSeconds, request);
  if (!spectrum) {
    complain(messages) << where << spectrum.reason().toStdString() << '\n';
    return false;
  }
  analysed.spectrum = std::move(spectrum.value());
  if (conditioned != nullptr) analysed.spectrum->conditioning = *conditioned;
  if (options.csv && !deviationsWanted(options))
    for (const std::string& note : output::conditioningNotes(analysed.spectrum->conditioning))
      complain(messages) << where << note << '\n';
  return true;
}

// addSpectrum() over frequency data whose conditioning works on the frequencies: the phase series
// made of them conditioned here, as the deviations' is.
bool spectrumOfFrequencies(const cli::Options& options, const records::RecordedRun& run,
                           bool keepFirstPoint, const std::string& where,
                           output::AnalysedRun& analysed, std::ostream& messages) {
  const auto conditioned =
      analysis::conditionSamples(run.samples, run::Quantity::Frequency, *run.tauSeconds,
                                 keepFirstPoint, options.request.preprocessing);
  if (!conditioned) {
    complain(messages) << where << conditioned.reason().toStdString() << '\n';
    return false;
  }
  return addSpectrum(options, conditioned.value().phase, run, where, analysed, messages,
                     &conditioned.value().record);
}

// Whether the drift model asked for fits the data type of `run`; false, once `messages` said why,
// when it does not. The spectra and joined frequency runs are conditioned as phase series, which
// cannot tell.
bool modelFits(const cli::Options& options, const records::RecordedRun& run,
               const std::string& where, std::ostream& messages) {
  if (!run.quantity) return true;
  const std::string why = analysis::whyNotFor(options.request.preprocessing.drift, *run.quantity);
  if (!why.empty()) complain(messages) << where << why << '\n';
  return why.empty();
}

// addSpectrum() over a run of the file: its samples where it lies when they are phase, else its
// phase series integrated from them.
bool spectrumOf(const cli::Options& options, const records::RecordedRun& run,
                const std::string& where, output::AnalysedRun& analysed, std::ostream& messages) {
  if (!options.psd) return true;
  if (!modelFits(options, run, where, messages)) return false;
  if (run.quantity == run::Quantity::Phase)
    return addSpectrum(options, {run.samples.data(), run.samples.size()}, run, where, analysed,
                       messages);
  if (options.request.preprocessing.onFrequency() && analysis::whyNoPhase(run).isEmpty())
    return spectrumOfFrequencies(options, run, options.columns.has_value(), where, analysed,
                                 messages);
  const auto phase = analysis::phaseSeries(run, options.columns.has_value());
  if (!phase) {
    complain(messages) << where << phase.reason().toStdString() << '\n';
    return false;
  }
  return addSpectrum(options, phase.value(), run, where, analysed, messages);
}

// The deviations of `run` as `options` ask, or none (SeriesAnalysis of no statistic) where only
// a spectrum is.
platform::Result<analysis::SeriesAnalysis> deviationsOf(const records::RecordedRun& run,
                                                        const cli::Options& options,
                                                        analysis::AnalysisProgress* progress) {
  if (!deviationsWanted(options)) {
    if (const QString why = analysis::whyNoPhase(run); !why.isEmpty())
      return platform::Result<analysis::SeriesAnalysis>::failure(why);
    return analysis::SeriesAnalysis{*run.tauSeconds, {}, {}, {}, {}, {}};
  }
  return analysis::analyseRun(run, options.columns.has_value(), options.request, progress);
}

// --join: every run of the file as one series on the headers' time line.
bool analyseJoined(const cli::Options& options, AnalysedInput& input, std::ostream& messages) {
  auto joined = analysis::joinRuns(input.file);
  if (!joined) {
    complain(messages) << joined.reason().toStdString() << '\n';
    return false;
  }
  input.joined = std::make_unique<analysis::JoinedRuns>(std::move(joined.value()));
  const records::RecordedRun& series = input.joined->series;
  output::AnalysedRun analysed{1,  &series, {}, static_cast<int>(input.file.runs.size()),
                               {}, {},      {}};
  const std::string label = output::runLabel(analysed);
  const std::string where =
      input.file.path + ':' + std::to_string(series.headerLine) + ": " + label + ": ";
  warnIfCostly(options, series.samples.size(), where, messages);
  if (!modelFits(options, series, where, messages)) return false;
  // Frequency runs joined were integrated each on its own; when the conditioning works on their
  // frequencies, the joined frequencies are conditioned and integrated as one series.
  const bool onFrequencies =
      series.quantity == run::Quantity::Frequency && options.request.preprocessing.onFrequency();
  if (onFrequencies ? !spectrumOfFrequencies(options, series, false, where, analysed, messages)
                    : !addSpectrum(options, analysis::phaseOf(*input.joined), series, where,
                                   analysed, messages))
    return false;
  // Phase runs joined are one phase run, analysed where it lies.
  auto analysis = withProgress(label, [&](analysis::AnalysisProgress* progress) {
    if (!deviationsWanted(options))
      return platform::Result<analysis::SeriesAnalysis>(
          analysis::SeriesAnalysis{*series.tauSeconds, {}, {}, {}, {}, {}});
    return series.quantity == run::Quantity::Phase || onFrequencies
               ? analysis::analyseRun(series, false, options.request, progress)
               : analysis::analysePhase(std::move(input.joined->phase), *series.tauSeconds,
                                        options.request, progress);
  });
  if (!tellOf(analysis, where, options, messages)) return false;
  analysed.analysis = std::move(analysis.value());
  input.runs.push_back(std::move(analysed));
  return true;
}

// Each run of `runs` analysed on its own; a run that cannot be is told of and left out.
void analyseRuns(const cli::Options& options, const std::vector<int>& runs, AnalysedInput& input,
                 std::ostream& messages) {
  for (const int index : runs) {
    const records::RecordedRun& run = input.file.runs[static_cast<std::size_t>(index - 1)];
    const std::string label = "run " + std::to_string(index);
    const std::string where =
        input.file.path + ':' + std::to_string(run.headerLine) + ": " + label + ": ";
    warnIfCostly(options, run.samples.size(), where, messages);
    auto analysis = withProgress(label, [&](analysis::AnalysisProgress* progress) {
      return deviationsOf(run, options, progress);
    });
    if (!tellOf(analysis, where, options, messages)) continue;
    output::AnalysedRun analysed{index, &run, std::move(analysis.value()), 0, {}, {}, {}};
    if (!spectrumOf(options, run, where, analysed, messages)) continue;
    input.runs.push_back(std::move(analysed));
  }
}

}  // namespace

platform::Result<records::InputFile> readInput(const cli::Options& options) {
  return readInput(options, options.input);
}

platform::Result<records::InputFile> readInput(const cli::Options& options,
                                               const std::string& file) {
  const QString path = QString::fromStdString(file);
  analysis::AnalysisProgress progress;
  progress.begin(analysis::AnalysisProgress::Stage::Reading, QFileInfo(path).size());
  const ProgressLine line(QFileInfo(path).fileName().toStdString(), progress);
  if (options.columns)
    return records::readColumnFile(path, *options.columns, *options.tau0, progress.doneCounter());
  return records::readDatFile(path, progress.doneCounter());
}

std::vector<int> chosenRuns(const records::InputFile& file, const cli::Options& options,
                            std::ostream& messages) {
  const int count = static_cast<int>(file.runs.size());
  if (options.allRuns || options.list || options.join) {
    std::vector<int> all;
    for (int run = 1; run <= count; ++run) all.push_back(run);
    return all;
  }
  const int run = options.run.value_or(count);
  if (run > count) {
    complain(messages) << file.path << ": there is no run " << run << "; the file holds " << count
                       << (count == 1 ? " run\n" : " runs\n");
    return {};
  }
  return {run};
}

bool reportDamage(const records::InputFile& file, const std::vector<int>& runs, bool strict,
                  std::ostream& messages) {
  std::size_t shown = 0;
  std::size_t total = 0;
  for (const records::DamagedLine& damaged : file.damaged) {
    if (!selected(damaged.run, runs)) continue;
    if (strict) {
      complain(messages) << file.path << ':' << damaged.line << ": " << damaged.reason << ": '"
                         << damaged.text << "' (--strict)\n";
      return false;
    }
    if (++total > kDamageShown) continue;
    ++shown;
    complain(messages) << file.path << ':' << damaged.line << ": " << damaged.reason
                       << (damaged.gap ? ", taken as a gap" : ", left out") << ": '" << damaged.text
                       << "'\n";
  }
  for (int run = 0; run <= static_cast<int>(file.runs.size()); ++run)
    if (selected(run, runs))
      total += static_cast<std::size_t>(records::unkeptDamage(file, run).lines);
  if (total > shown)
    complain(messages) << file.path << ": " << total - shown << " more damaged lines not shown\n";
  return true;
}

std::optional<AnalysedInput> analyseInput(const cli::Options& options, std::ostream& messages) {
  auto read = readInput(options);
  if (!read) {
    complain(messages) << read.reason().toStdString() << '\n';
    return std::nullopt;
  }
  AnalysedInput input{std::move(read.value()), nullptr, {}};
  const std::vector<int> runs = chosenRuns(input.file, options, messages);
  if (runs.empty() || !reportDamage(input.file, runs, options.strict, messages))
    return std::nullopt;
  if (options.join) {
    if (!analyseJoined(options, input, messages)) return std::nullopt;
  } else {
    analyseRuns(options, runs, input, messages);
  }
  if (input.runs.empty()) return std::nullopt;
  for (output::AnalysedRun& analysed : input.runs)
    analysed.masks = analysis::judgeAnalysis(analysed.analysis, options.masks);
  return input;
}

}  // namespace tessarin::analyze::commands
