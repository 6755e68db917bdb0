#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "cli/Options.h"
#include "output/Report.h"
#include "platform/Result.h"
#include "report/InputFingerprint.h"

namespace tessarin::analyze::report {

// What a run report tells of one run (or of the series of --join), the same in its PDF and in
// its JSON.
struct RunFacts {
  QString label;  // "run 1 of 2", "3 runs joined", "column file"
  const output::AnalysedRun* analysed = nullptr;
  const records::RecordedRun* run = nullptr;  // its header and samples
  const analysis::SeriesAnalysis* analysis = nullptr;
  std::int64_t gaps = 0;
  std::vector<records::DamagedLine> damaged;  // the damaged lines that lie in it, as far as kept
  records::UnkeptDamage unkeptDamage;         // and those beyond, counted
  std::optional<double> driftPerDay;          // the linear frequency drift, measured even when kept
  // What the data plot shows: the stored quantity (phase in s, or fractional frequency) of the
  // series as analysed, conditioned as asked; one value per sample interval.
  std::vector<double> data;
};

// What a run report holds: each run's facts and how the analysis was made.
struct ReportFacts {
  QString version;
  QString build;       // the SHA-256 of the program that made it: the same build, the same bytes
  QString analysedAt;  // UTC, ISO 8601
  QString workingDirectory;
  QStringList arguments;  // the command line, without the program's name
  QString inputPath;      // absolute
  InputFingerprint input;
  double confidence = 0;
  analysis::Preprocessing conditioning;  // as asked
  bool driftRemoved = false;
  bool offsetRemoved = false;
  bool columnFile = false;  // a plain column file: no header, one series
  std::vector<RunFacts> runs;
};

// Gathers the facts of `runs`, analysed from `file` as `options` asked. Reads the input file again
// for its fingerprint and the program's file for its build; fails when either cannot be read.
platform::Result<ReportFacts> collectFacts(const cli::Options& options,
                                           const records::InputFile& file,
                                           const std::vector<output::AnalysedRun>& runs,
                                           const QStringList& arguments);

// The JSON record of a report: every figure as a JSON number that reads back as the same double
// (NaN as null). Each run's "conditioning" lists the steps taken, in their order, each with its
// parameters and what it did.
QJsonObject toJson(const ReportFacts& facts);

// The conditioning as asked, in words and in its order: "outliers beyond 5 MADs taken as gaps,
// then ..."; "none" for none.
QString conditioningAsked(const analysis::Preprocessing& preprocessing);

// The SHA-256 (hex) of the running program's file; empty when it cannot be read.
QString buildId();

}  // namespace tessarin::analyze::report
