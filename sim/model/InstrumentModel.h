#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "model/PhaseNoise.h"

struct InstrumentOptions {
  double dutHz = 10000000.0;       // frequency of the simulated device under test
  double whitePhaseSeconds = 0.0;  // RMS of the white phase noise of the DUT's time error
  double whiteFrequency = 0.0;     // RMS fractional frequency per sample interval (white FM)
  std::uint64_t seed = 1;          // seed of the noise generator
  double speedup = 1.0;            // the instrument's clock runs this many times faster
  double lockAfterSeconds = 3.0;   // XTAL filter settling time after a new frequency word
};

// The Tessarin / RS as its console sees it on the serial line: a command line in, reply text out.
//
// Times passed in are seconds of the caller's clock; the instrument's own clock is that times the
// speed-up, and every duration of the instrument (sample interval, filter settling) runs on it.
//
// The instrument compares the DUT with its synthesizer, programmed by the "DA"/"DB" words to
// Fprog = coarse + fine / 32 + 1000 Hz. A sample line is the accumulated beat phase as a 32-bit
// count of the 120 MHz reference:
//   r(t) = ((Fprog - Fdut) / 1000) * t - (Fdut / 1000) * x(t)   seconds,
// continuous across reprogramming, with x the DUT's time error. A console that fits a line
// through the readings gets slope (Fprog - Fdut) / 1000, so Fprog - slope * 1000 is the DUT.
class InstrumentModel {
 public:
  explicit InstrumentModel(const InstrumentOptions& options);

  // Takes one command line (without CR LF) received at `now`. Returns what the instrument sends
  // from then on: the sample lines already due, then the command's reply if it has one (text, CR,
  // LF). Unknown or malformed commands are ignored.
  std::string handleCommand(const std::string& line, double now);
  // The sample lines due by `now` and not yet sent.
  std::string advanceTo(double now);
  // When the next sample line falls due; nullopt while the stream is stopped.
  std::optional<double> nextSampleDue() const;
  // The console has gone (line closed): the stream stops as if "PH00" had been received.
  void stopStream();

  double programmedFrequency() const;
  bool streaming() const { return streaming_; }
  bool filtered() const { return filtered_; }
  double sampleIntervalSeconds() const { return interval_; }
  bool locked(double now) const;

 private:
  double instrumentTime(double now) const { return now * options_.speedup; }
  double beatSlope() const;
  void program(std::uint32_t coarseWord, std::uint32_t fineWord, double t);
  std::string sampleLineAt(double t);

  InstrumentOptions options_;
  PhaseNoise noise_;
  std::uint32_t coarseWord_ = 0;
  std::uint32_t fineWord_ = 0;
  std::optional<double> programmedAt_;
  double beatCounts_ = 0.0;  // noise-free reading at beatTime_, in counts modulo 2^32
  double beatTime_ = 0.0;
  bool filtered_ = false;
  double interval_ = 1.0;
  bool streaming_ = false;
  double streamOrigin_ = 0.0;
  std::uint64_t samplesSent_ = 0;
};
