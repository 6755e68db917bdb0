#pragma once

#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "analysis/JoinedRuns.h"
#include "analysis/MaskJudgement.h"
#include "analysis/PsdAnalysis.h"
#include "analysis/SeriesAnalysis.h"
#include "records/RecordedRun.h"

namespace tessarin::analyze::output {

// One run of the input and its analysis, as a report shows them.
struct AnalysedRun {
  int index = 0;  // from 1, in the order of the file
  const records::RecordedRun* run = nullptr;
  analysis::SeriesAnalysis analysis;
  int joined = 0;  // with --join, the number of runs the series joins; `run` is the series
  std::vector<analysis::CurveAgainstMask> masks;       // with --mask: each curve held to each mask
  std::optional<analysis::SpectrumAnalysis> spectrum;  // with --psd
  // With several inputs, the file and (where the file holds several) run the curves came from,
  // which the CSV's source column and the picture's legend name; empty with one input.
  std::string source;
};

// The curves of `analysed` held to masks that belong to `statistic`.
std::vector<const analysis::CurveAgainstMask*> masksOf(const AnalysedRun& analysed,
                                                       stability::Statistic statistic);

// "run 2" for a run, "3 runs joined" for the series of --join.
std::string runLabel(const AnalysedRun& analysed);

// "phase" or "frequency", as the run's header gives its data; "?" when it doesn't.
std::string quantityName(const records::RecordedRun& run);

// The gaps of a run: its NaN samples.
std::int64_t gapCount(const records::RecordedRun& run);

// The table of --list: per run its index, date, time, DUT frequency, tau, mode, data type, number
// of samples and of gaps; with `gapBefore` (one per run, from --join) also the gap before each
// run, in seconds and in samples.
void writeRunList(std::ostream& out, const records::InputFile& file,
                  const std::vector<analysis::RunGap>& gapBefore = {});

// The heading line of a run in the text reports: "# FILE, run 1 of 2: DATE TIME, DUT ... Hz,
// tau0 ... s, phase data, N samples, G gaps".
void writeRunHeading(std::ostream& out, const records::InputFile& file,
                     const AnalysedRun& analysed);

// The aligned text report: per run a heading and what its conditioning did, then one row per
// statistic and averaging factor.
// With `noise` a column gives the noise type identified there. With `masked` (--mask) each row
// is written once per mask of its statistic, with the mask, limit, margin, limit/value and
// verdict.
void writeTable(std::ostream& out, const records::InputFile& file,
                std::span<const AnalysedRun> runs, bool noise, bool masked);

// CSV: with several inputs (runs that name their source) first a "source" column, quoted where
// the name holds a comma or quote; the header "statistic,tau,m,value,terms,ci_low,ci_high", then
// with `noise` an "alpha" column, then with more than one run of one input a "run" column, then
// with `masked` the columns "mask,limit,margin,verdict" (limit and margin in seconds, empty where
// not covered) and a row per mask of the statistic. Numbers are written in full precision; fields
// with nothing to say are empty.
void writeCsv(std::ostream& out, const std::vector<AnalysedRun>& runs, bool noise, bool masked);

}  // namespace tessarin::analyze::output
