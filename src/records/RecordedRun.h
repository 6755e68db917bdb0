#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "records/SampleSeries.h"
#include "run/Measurement.h"

namespace tessarin::records {

// A line of an input file that does not have the form it should have. Where it stood among a
// run's samples, the run has a gap (a NaN sample) in its place.
struct DamagedLine {
  std::int64_t line = 0;  // counted from 1
  int run = 0;            // the run it lies in, counted from 1; 0 before the first run
  bool gap = false;       // it stands for a sample: the run has a gap in its place
  std::string reason;
  std::string text;  // the line as read, shortened, shown as printable() shows it
};

// Where a stretch of a run's samples lies in its file: from `sample` on (counted from 0), sample k
// lies on line `line` + (k - sample); line 0 for samples that lie on no line (the gap samples
// between runs joined).
struct SampleLines {
  std::int64_t sample = 0;
  std::int64_t line = 0;
};

// One run as a file holds it: what its header says and its samples in order, in the console's
// units (phase in seconds, frequency as a fractional frequency). A NaN sample is a gap.
struct RecordedRun {
  std::int64_t headerLine = 0;  // the line its header starts on
  std::string date;
  std::string time;
  std::optional<double> dutHz;
  std::optional<double> tauSeconds;
  std::string mode;  // "Filtered" or "Non-Filtered" as the header says; empty when it doesn't
  std::optional<run::Quantity> quantity;
  SampleSeries samples;
  // Where the samples lie: a new stretch wherever a line without a sample (a comment) comes
  // between two, so a file written without such lines has one.
  std::vector<SampleLines> lines;
};

// Notes that the run's next sample (the one about to be appended) lies on `line`.
void noteSampleLine(RecordedRun& run, std::int64_t line);

// The line of the file that sample `sample` (from 0) of the run lies on; 0 when none.
std::int64_t lineOfSample(const RecordedRun& run, std::int64_t sample);

// The damaged lines of one run that were counted but not kept.
struct UnkeptDamage {
  std::int64_t lines = 0;
  std::int64_t gaps = 0;
};

// What the run's header says, without its samples.
RecordedRun headerOf(const RecordedRun& run);

// What an input file holds, and what could not be read in it.
struct InputFile {
  std::string path;
  std::vector<RecordedRun> runs;
  // The damaged lines kept in full, in the order of the file: the first kKeptDamage of them, and
  // after those the first of each run, so that every run's damage can still be named.
  std::vector<DamagedLine> damaged;
  // Per run (index 0: before the first run), the damaged lines beyond those kept. A file of
  // millions of damaged lines is told of in bounded memory.
  std::vector<UnkeptDamage> unkeptDamage;
  // Why nothing of the file can be used ("osc.DAT:7: tau ... outside ..."); empty when it can.
  std::string unusable;
};

// How many damaged lines of a file are kept in full before only the first of each run is.
constexpr std::size_t kKeptDamage = 1000;

// Notes the damaged `line` numbered `number` in `run` of `file`: in full while the bound allows,
// else counted.
void noteDamage(InputFile& file, std::int64_t number, int run, bool gap, const char* reason,
                std::string_view line);

// The damaged lines of `run` counted but not kept.
UnkeptDamage unkeptDamage(const InputFile& file, int run);

// The shortest and longest sample interval taken, in seconds. Beyond them the averaging times
// and the sums of squares leave the range in which the statistics stay exact.
constexpr double kShortestTau0 = 1e-9;
constexpr double kLongestTau0 = 1e9;
bool usableTau0(double seconds);

// A sample value beyond this (seconds of phase, or fractional frequency) is taken as damaged:
// integrated over 200,000,000 samples of up to 1e9 s, a frequency that large makes a phase below
// 1e118 s, whose squared differences, summed over every term and divided by the smallest tau
// squared, stay below 1e264, far from the largest double (1.8e308); a phase that large, likewise.
constexpr double kLargestSample = 1e100;

// Text read from a file as it goes to a terminal or a report: every byte outside printable
// ASCII shown as \xNN, so that no control sequence in a file reaches the operator's terminal.
std::string printable(std::string_view text);

// The line as it goes into a message: at most 40 bytes of it, shown by printable().
std::string excerpt(std::string_view line);

// Reads a decimal number as the console's general format writes it ("1.5E-11", "0.25", "12"),
// also with a decimal comma as some platforms write it and without a leading zero (".5").
std::optional<double> decimalNumber(std::string_view text);

}  // namespace tessarin::records
