#include "link/InstrumentCommands.h"

#include <cmath>

namespace tessarin::link {

namespace {

constexpr double kCoarseSteps = 65536.0;    // 2^16
constexpr double kFineSteps = 268435456.0;  // 2^28
constexpr double kCoarseOffsetHz = 455000.0;
constexpr double kFineOffsetHz = 1000.0;
constexpr double kFineScale = 32.0;

// Nearest integer, ties to even, as the instrument's words are computed.
std::int32_t roundToInt32(double value) { return static_cast<std::int32_t>(std::nearbyint(value)); }

int hexDigitValue(char ch) {
  if (ch >= '0' && ch <= '9') return ch - '0';
  if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
  if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
  return -1;
}

// A group of four characters read as hexadecimal up to its first non-digit.
std::uint32_t readHexGroup(std::string_view group) {
  std::uint32_t value = 0;
  for (char ch : group) {
    const int digit = hexDigitValue(ch);
    if (digit < 0) break;
    value = value * 16 + static_cast<std::uint32_t>(digit);
  }
  return value;
}

}  // namespace

std::string hexText(std::int32_t value) {
  static const char* const kDigits = "0123456789ABCDEF";
  auto bits = static_cast<std::uint32_t>(value);
  std::string text;
  do {
    text.insert(text.begin(), kDigits[bits & 0xF]);
    bits >>= 4;
  } while (bits != 0);
  return text;
}

FrequencyWords frequencyWordsFor(double f) {
  FrequencyWords words;
  words.n1 = roundToInt32((f - kCoarseOffsetHz) * kCoarseSteps / kReferenceHz);
  const std::string coarse = "0000" + hexText(words.n1);
  words.coarseCommand = "DA" + coarse.substr(coarse.size() - 4) + "0000";
  words.coarseFreq = words.n1 * kReferenceHz / kCoarseSteps;

  const double fineHz = (f - words.coarseFreq - kFineOffsetHz) * kFineScale;
  words.n2 = roundToInt32(fineHz * kFineSteps / kReferenceHz);
  words.fineCommand = "DB" + (hexText(words.n2) + "0000000000000000").substr(0, 8);
  words.fineFreq = words.n2 * kReferenceHz / kFineSteps;
  return words;
}

double programmedFrequency(double coarseFreq, double fineFreq) {
  return fineFreq / kFineScale + (coarseFreq + kFineOffsetHz);
}

std::int32_t readingCounts(std::string_view s) {
  if (s.size() < 8) return 0;
  const std::uint32_t hi = readHexGroup(s.substr(0, 4));
  const std::uint32_t lo = readHexGroup(s.substr(4, 4));
  return static_cast<std::int32_t>((hi << 16) | lo);
}

std::string tauCommand(double milliseconds) {
  const std::string digits = "00000000" + hexText(roundToInt32(milliseconds));
  return "TA" + digits.substr(digits.size() - 8);
}

}  // namespace tessarin::link
