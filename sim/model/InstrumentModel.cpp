#include "model/InstrumentModel.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

constexpr double kReferenceHz = 120000000.0;
constexpr double kCountModulus = 4294967296.0;  // 2^32: the sample count wraps
constexpr double kCountScaleHz = 5.0;           // Hz per unit of the count reply

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

}  // namespace

InstrumentModel::InstrumentModel(const InstrumentOptions& options)
    : options_(options), noise_(options.whitePhaseSeconds, options.whiteFrequency, options.seed) {}

std::string InstrumentModel::handleCommand(const std::string& line, double now) {
  std::string sent = advanceTo(now);
  const double t = instrumentTime(now);
  const std::string command = trimmed(line);
  if (command == "MK0") {
    streaming_ = false;
  } else if (command == "CB9") {
    const auto count = static_cast<std::uint32_t>(std::nearbyint(options_.dutHz / kCountScaleHz));
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
        streamOrigin_ += static_cast<double>(samplesSent_) * interval_;
        samplesSent_ = 0;
      }
      interval_ = *milliseconds / 1000.0;
    }
  } else if (command == "PH05") {
    streaming_ = true;
    streamOrigin_ = t;
    samplesSent_ = 0;
  } else if (command == "PH00") {
    streaming_ = false;
  } else if (command == "CL9") {
    sent += framed(locked(now) ? "CL1" : "CL0");
  }
  return sent;
}

std::string InstrumentModel::advanceTo(double now) {
  std::string sent;
  const double t = instrumentTime(now);
  while (streaming_) {
    const double due = streamOrigin_ + static_cast<double>(samplesSent_ + 1) * interval_;
    if (due > t) break;
    sent += sampleLineAt(due);
    ++samplesSent_;
  }
  return sent;
}

std::optional<double> InstrumentModel::nextSampleDue() const {
  if (!streaming_) return std::nullopt;
  return (streamOrigin_ + static_cast<double>(samplesSent_ + 1) * interval_) / options_.speedup;
}

void InstrumentModel::stopStream() { streaming_ = false; }

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

std::string InstrumentModel::sampleLineAt(double t) {
  const double x = noise_.next(interval_);
  const double counts =
      beatCounts_ + (beatSlope() * (t - beatTime_) - options_.dutHz / 1000.0 * x) * kReferenceHz;
  return framed(hex8(wrapToCount(counts)));
}
