#include "model/InstrumentModel.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <random>
#include <utility>

namespace tessarin::sim {

namespace {

constexpr double kReferenceHz = 120000000.0;
constexpr double kCountModulus = 4294967296.0;  // 2^32: the sample count wraps
constexpr double kCountScaleHz = 5.0;           // Hz per unit of the count reply
constexpr double kSecondsPerDay = 86400.0;

std::string hex8(std::uint32_t value) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", value);
  return text;
}

std::string framed(const std::string& text) { return text + "\r\n"; }

// The 8 hexadecimal digits after a two-letter command, or nothing when they are not there.
std::optional<std::uint32_t> parameterOf(const std::string& command) {
  if (command.size() != 10) return std::nullopt;
  std::uint32_t value = 0;
  const char* first = command.data() + 2;
  const char* last = command.data() + command.size();
  const auto [end, error] = std::from_chars(first, last, value, 16);
  if (error != std::errc() || end != last) return std::nullopt;
  return value;
}

std::uint32_t wrapToCount(double counts) {
  double wrapped = std::fmod(std::nearbyint(counts), kCountModulus);
  if (wrapped < 0) wrapped += kCountModulus;
  return static_cast<std::uint32_t>(wrapped);
}

std::string trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// What a confused line driver or a terminal on the wrong port sends: terminal control sequences,
// then random bytes of every value but CR and LF (so it stays one line), `length` bytes in all.
std::string garbage(std::size_t length, std::uint64_t seed) {
  static const std::string escapes("\x1b[2J\x1b[H\x1b]0;tty\x07\x1b[31m\0\xff\x80\x1b", 24);
  std::string bytes = escapes.substr(0, length);
  std::mt19937_64 random(seed);
  while (bytes.size() < length) {
    const auto byte = static_cast<char>(random() & 0xff);
    if (byte != '\r' && byte != '\n') bytes += byte;
  }
  return bytes;
}

}  // namespace

InstrumentModel::InstrumentModel(const InstrumentOptions& options)
    : options_(options), faultDone_(options.faults.size(), false) {}

std::string InstrumentModel::handleCommand(const std::string& line, double now) {
  if (vanishSeconds_) return {};  // gone: nothing reaches the instrument
  std::string sent = advanceTo(now);
  const double t = instrumentTime(now);
  const std::string command = trimmed(line);
  if (command == "MK0") {
    endStream();
  } else if (command == "CB9") {
    const double hz = options_.dutHz * (1.0 + fractionalFrequency(t));
    const auto count = static_cast<std::uint32_t>(std::nearbyint(hz / kCountScaleHz));
    sent += framed("CB" + hex8(count));
  } else if (command.starts_with("DA")) {
    if (const auto word = parameterOf(command)) program(*word, fineWord_, t);
  } else if (command.starts_with("DB")) {
    if (const auto word = parameterOf(command)) program(coarseWord_, *word, t);
  } else if (command == "FN0" || command == "FN1") {
    filtered_ = command == "FN1";
  } else if (command.starts_with("TA")) {
    const auto milliseconds = parameterOf(command);
    if (milliseconds && *milliseconds > 0) {
      // A new interval while streaming takes effect from the last sample sent.
      if (streaming_) {
        streamOrigin_ += static_cast<double>(slotsSinceOrigin_) * interval_;
        slotsSinceOrigin_ = 0;
      }
      interval_ = *milliseconds / 1000.0;
    }
  } else if (command == "PH05") {
    startStream(t);
  } else if (command == "PH00") {
    endStream();
  } else if (command == "CL9") {
    sent += framed(locked(now) ? "CL1" : "CL0");
  }
  return sent;
}

std::string InstrumentModel::advanceTo(double now) {
  std::string sent;
  const double t = instrumentTime(now);
  while (streaming_) {
    const double due = streamOrigin_ + static_cast<double>(slotsSinceOrigin_ + 1) * interval_;
    if (due > t) break;
    ++slotsSinceOrigin_;
    sampleAt(++streamSample_, due, sent);
  }
  return sent;
}

std::optional<double> InstrumentModel::nextSampleDue() const {
  if (!streaming_) return std::nullopt;
  return (streamOrigin_ + static_cast<double>(slotsSinceOrigin_ + 1) * interval_) /
         options_.speedup;
}

void InstrumentModel::stopStream() { endStream(); }

std::optional<double> InstrumentModel::takeVanish() {
  const auto seconds = std::exchange(vanishSeconds_, {});
  if (seconds) return *seconds / options_.speedup;
  return std::nullopt;
}

double InstrumentModel::programmedFrequency() const {
  const double n1 = coarseWord_ >> 16;
  const double n2 = fineWord_ / 16.0;
  const double coarse = n1 * kReferenceHz / 65536.0;
  const double fine = n2 * kReferenceHz / 268435456.0;
  return coarse + fine / 32.0 + 1000.0;
}

bool InstrumentModel::locked(double now) const {
  return programmedAt_ && instrumentTime(now) - *programmedAt_ >= options_.lockAfterSeconds;
}

double InstrumentModel::fractionalFrequency(double t) const {
  return options_.frequencyOffset + options_.driftPerDay * t / kSecondsPerDay;
}

double InstrumentModel::timeError(double t) {
  if (!noise_ || noiseInterval_ != interval_) {
    // Each generator gets its own stream of deviates, all fixed by the seed.
    const std::uint64_t seed = options_.seed ^ (0x9E3779B97F4A7C15ull * noiseGenerations_++);
    noise_.emplace(options_.noise, interval_, seed);
    noiseInterval_ = interval_;
    noiseBase_ = lastNoise_;
  }
  lastNoise_ = noiseBase_ + noise_->next();
  return options_.frequencyOffset * t + options_.driftPerDay / kSecondsPerDay * t * t / 2.0 +
         lastNoise_;
}

double InstrumentModel::beatSlope() const {
  return (programmedFrequency() - options_.dutHz) / 1000.0;
}

// The beat phase runs on without a jump; only its rate changes with the new words. The XTAL
// filter has to settle on the new frequency before it reports lock again.
void InstrumentModel::program(std::uint32_t coarseWord, std::uint32_t fineWord, double t) {
  beatCounts_ =
      std::fmod(beatCounts_ + beatSlope() * (t - beatTime_) * kReferenceHz, kCountModulus);
  beatTime_ = t;
  coarseWord_ = coarseWord;
  fineWord_ = fineWord;
  programmedAt_ = t;
}

void InstrumentModel::startStream(double t) {
  endStream();
  streaming_ = true;
  streamOrigin_ = t;
}

// Lines still held back by a burst are lost with the stream.
void InstrumentModel::endStream() {
  streaming_ = false;
  slotsSinceOrigin_ = 0;
  streamSample_ = 0;
  streamFaults_ = {};
}

void InstrumentModel::powerOn() {
  endStream();
  coarseWord_ = 0;
  fineWord_ = 0;
  programmedAt_.reset();
  filtered_ = false;
  interval_ = 1.0;
}

void InstrumentModel::sampleAt(std::int64_t number, double t, std::string& sent) {
  // The DUT runs on whatever happens to the line, so every slot draws its noise.
  const double x = timeError(t);
  double counts =
      beatCounts_ + (beatSlope() * (t - beatTime_) - options_.dutHz / 1000.0 * x) * kReferenceHz;
  std::optional<std::string> replacement;
  bool withoutLineFeed = false;
  StreamFaults& faults = streamFaults_;
  for (std::size_t i = 0; i < options_.faults.size(); ++i) {
    const Fault& fault = options_.faults[i];
    if (faultDone_[i] || fault.sample != number) continue;
    faultDone_[i] = true;
    if (observer_) observer_->faultHappened(fault);
    const auto argument = static_cast<std::int64_t>(fault.argument);
    switch (fault.kind) {
      case FaultKind::Jump:
        counts += fault.argument;
        break;
      case FaultKind::Garbage:
        replacement = garbage(static_cast<std::size_t>(argument),
                              options_.seed ^ static_cast<std::uint64_t>(number));
        break;
      case FaultKind::BadLength:
        faults.badLengthLeft = argument;
        faults.badLengthDone = 0;
        break;
      case FaultKind::Cr:
        withoutLineFeed = true;
        break;
      case FaultKind::Burst:
        faults.holdUntil = number + argument - 1;
        break;
      case FaultKind::Silence:
        faults.silentUntil = t + fault.argument;
        break;
      case FaultKind::Vanish:
        powerOn();
        vanishSeconds_ = fault.argument;
        return;
    }
  }
  if (t < faults.silentUntil) return;
  std::string line = replacement.value_or(hex8(wrapToCount(counts)));
  if (faults.badLengthLeft > 0 && !replacement) {
    line = faults.badLengthDone % 2 == 0 ? line.substr(0, 7) : line + "0";
    --faults.badLengthLeft;
    ++faults.badLengthDone;
  }
  const SampleRecord sample{number, t, x, line + (withoutLineFeed ? "\r" : "\r\n")};
  if (number < faults.holdUntil) {
    faults.held.push_back(sample);
    return;
  }
  for (const SampleRecord& held : faults.held) sendSample(held, sent);
  faults.held.clear();
  sendSample(sample, sent);
}

void InstrumentModel::sendSample(const SampleRecord& sample, std::string& sent) {
  sent += sample.sent;
  if (observer_) observer_->sampleSent(sample);
}

}  // namespace tessarin::sim
