#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/Fault.h"
#include "model/PowerLawNoise.h"

namespace tessarin::sim {

struct InstrumentOptions {
  double dutHz = 10000000.0;      // nominal frequency of the simulated device under test
  std::vector<NoiseLevel> noise;  // the DUT's power-law noises
  double frequencyOffset = 0.0;   // constant fractional frequency offset of the DUT
  double driftPerDay = 0.0;       // linear fractional frequency drift of the DUT, per day
  std::uint64_t seed = 1;         // seed of the noise generator
  double speedup = 1.0;           // the instrument's clock runs this many times faster
  double lockAfterSeconds = 3.0;  // XTAL filter settling time after a new frequency word
  std::vector<Fault> faults;      // each happens once, in the first stream that gets there
};

// One sample line as the instrument made it: what a log needs to recompute the console's data.
struct SampleRecord {
  std::int64_t number;    // within its stream, from 1
  double instrumentTime;  // seconds on the instrument's clock
  double timeError;       // x of the DUT then, seconds
  std::string sent;       // the bytes sent for it, line ending included
};

// Told about every sample line sent and every fault as it happens.
class InstrumentObserver {
 public:
  virtual ~InstrumentObserver() = default;
  virtual void sampleSent(const SampleRecord& sample) = 0;
  virtual void faultHappened(const Fault& fault) = 0;
};

// The Tessarin / RS as its console sees it on the serial line: a command line in, reply text out.
//
// Times passed in are seconds of the caller's clock; the instrument's own clock is that times the
// speed-up, and every duration of the instrument (sample interval, filter settling, the faults'
// silences and absences) runs on it.
//
// The instrument compares the DUT with its synthesizer, programmed by the "DA"/"DB" words to
// Fprog = coarse + fine / 32 + 1000 Hz. A sample line is the accumulated beat phase as a 32-bit
// count of the 120 MHz reference:
//   r(t) = ((Fprog - Fdut) / 1000) * t - (Fdut / 1000) * x(t)   seconds,
// continuous across reprogramming, with x the DUT's time error:
//   x(t) = offset * t + drift / 86400 * t^2 / 2 + power-law noise,
// t in seconds of the instrument's clock since the simulator started. The noise is drawn once per
// sample line at the sample interval in force.
class InstrumentModel {
 public:
  explicit InstrumentModel(const InstrumentOptions& options);

  void setObserver(InstrumentObserver* observer) { observer_ = observer; }

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
  // A "vanish" fault has happened: the instrument is back in its power-on state, takes no
  // commands until asked this, and its line is to stay away this many seconds of the caller's
  // clock. Asked once; nullopt when nothing vanished.
  std::optional<double> takeVanish();

  double programmedFrequency() const;
  bool streaming() const { return streaming_; }
  bool filtered() const { return filtered_; }
  bool locked(double now) const;

 private:
  // Per stream: what the faults of this stream have set going.
  struct StreamFaults {
    std::int64_t badLengthLeft = 0;
    std::int64_t badLengthDone = 0;
    std::int64_t holdUntil = 0;  // lines up to this number are held back
    double silentUntil = 0.0;    // instrument time
    std::vector<SampleRecord> held;
  };

  double instrumentTime(double now) const { return now * options_.speedup; }
  double fractionalFrequency(double t) const;
  double timeError(double t);
  double beatSlope() const;
  void program(std::uint32_t coarseWord, std::uint32_t fineWord, double t);
  void startStream(double t);
  void endStream();
  void powerOn();
  // Makes sample line `number` of the stream, due at `t`, and appends what is sent to `sent`.
  void sampleAt(std::int64_t number, double t, std::string& sent);
  void sendSample(const SampleRecord& sample, std::string& sent);

  InstrumentOptions options_;
  InstrumentObserver* observer_ = nullptr;
  std::optional<PowerLawNoise> noise_;
  double noiseInterval_ = 0.0;
  double noiseBase_ = 0.0;  // keeps x continuous when a new interval needs a new generator
  double lastNoise_ = 0.0;
  std::uint64_t noiseGenerations_ = 0;
  std::uint32_t coarseWord_ = 0;
  std::uint32_t fineWord_ = 0;
  std::optional<double> programmedAt_;
  double beatCounts_ = 0.0;  // noise-free reading at beatTime_, in counts modulo 2^32
  double beatTime_ = 0.0;
  bool filtered_ = false;
  double interval_ = 1.0;
  bool streaming_ = false;
  double streamOrigin_ = 0.0;
  std::int64_t slotsSinceOrigin_ = 0;
  std::int64_t streamSample_ = 0;
  std::vector<bool> faultDone_;
  StreamFaults streamFaults_;
  std::optional<double> vanishSeconds_;
};

}  // namespace tessarin::sim
