#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessarin::sim {

// Something going wrong with the instrument or its line, at one sample line of a stream. Sample
// numbers count the sample lines of a stream from 1, the first line after "PH05" being sample 1
// (the console only primes itself with that line, so its own sample k is our k + 1).
enum class FaultKind {
  Jump,       // line n carries an outlier of `argument` reference counts (default 6000000)
  Garbage,    // in place of line n: `argument` bytes of binary and escape sequences, CR LF
  BadLength,  // lines n ... n + argument - 1 have 7, 9, 7, ... digits
  Cr,         // line n ends in CR without LF
  Burst,      // lines n ... n + argument - 1 are held back and sent together
  Silence,    // no sample lines for `argument` instrument seconds from line n on
  Vanish,     // the line closes at line n and comes back after `argument` instrument seconds
};

struct Fault {
  FaultKind kind;
  std::int64_t sample;
  double argument;
};

// The console rejects a reading that differs from the one before by more than 0.005 s of the
// beat, i.e. 0.005 * 120e6 reference counts whatever the DUT frequency. The default jump is ten
// times that.
constexpr double kRejectionThresholdCounts = 600000.0;

// Reads "KIND@SAMPLE" or "KIND@SAMPLE:ARG"; on a mistake returns nullopt and says why in `error`.
std::optional<Fault> parseFault(const std::string& text, std::string& error);
// Reads a fault file: one fault per line, blank lines and "#" comments ignored. Errors name the
// line number.
std::optional<std::vector<Fault>> parseFaultList(const std::string& text, std::string& error);
// The fault as the command line writes it, the argument left out where it is the default:
// "silence@300:20", "jump@120".
std::string describe(const Fault& fault);

}  // namespace tessarin::sim
