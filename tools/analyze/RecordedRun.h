#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "run/Measurement.h"

namespace tessarin::analyze {

// A line of an input file that does not have the form it should have. Where it stood among a
// run's samples, the run has a gap (a NaN sample) in its place.
struct DamagedLine {
  std::int64_t line = 0;  // counted from 1
  int run = 0;            // the run it lies in, counted from 1; 0 before the first run
  bool gap = false;       // it stands for a sample: the run has a gap in its place
  std::string reason;
  std::string text;  // the line as read, shortened, unprintable bytes shown as '?'
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
  std::vector<double> samples;
};

// What an input file holds, and what could not be read in it.
struct InputFile {
  std::string path;
  std::vector<RecordedRun> runs;
  std::vector<DamagedLine> damaged;
};

// The line as it goes into a message: at most 40 bytes, anything unprintable as '?'.
std::string excerpt(std::string_view line);

// Reads a decimal number as the console's general format writes it ("1.5E-11", "0.25", "12"),
// also with a decimal comma as some platforms write it and without a leading zero (".5").
std::optional<double> decimalNumber(std::string_view text);

}  // namespace tessarin::analyze
