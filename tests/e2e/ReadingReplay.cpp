#include "e2e/ReadingReplay.h"

#include <cmath>
#include <cstdint>

namespace tessarin::test {

namespace {

constexpr double kReferenceHz = 120000000.0;
constexpr int kSampleLimit = 999999;

// Four characters as a hexadecimal number, read up to the first that is not a digit.
std::uint32_t hexGroup(const std::string& text, std::size_t first) {
  std::uint32_t value = 0;
  for (std::size_t i = first; i < first + 4; ++i) {
    const char ch = text[i];
    int digit = -1;
    if (ch >= '0' && ch <= '9') digit = ch - '0';
    if (ch >= 'A' && ch <= 'F') digit = ch - 'A' + 10;
    if (ch >= 'a' && ch <= 'f') digit = ch - 'a' + 10;
    if (digit < 0) break;
    value = value * 16 + static_cast<std::uint32_t>(digit);
  }
  return value;
}

// Eight characters as two four-digit halves of a two's-complement 32-bit count.
double signedCount(const std::string& line) {
  const std::uint32_t bits = hexGroup(line, 0) << 16 | hexGroup(line, 4);
  return static_cast<double>(static_cast<std::int32_t>(bits));
}

std::uint32_t hexWord(const std::string& command) {
  return static_cast<std::uint32_t>(std::stoul(command.substr(2, 8), nullptr, 16));
}

}  // namespace

double programmedFrequency(const std::string& coarseCommand, const std::string& fineCommand) {
  const double coarse = (hexWord(coarseCommand) >> 16) * kReferenceHz / 65536;
  // The fine word is seven digits followed by one zero.
  const double fine = (hexWord(fineCommand) >> 4) * kReferenceHz / 268435456;
  return coarse + fine / 32 + 1000;
}

std::vector<std::string> framedLines(const QByteArray& bytes) {
  std::vector<std::string> lines;
  std::string line;
  for (const char ch : bytes) {
    if (ch == '\n')
      line.clear();
    else if (ch == '\r')
      lines.push_back(line);
    else
      line += ch;
  }
  return lines;
}

std::vector<double> expectedSampleValues(const std::vector<std::string>& lines,
                                         const ReplayedRun& run) {
  // Readings are scaled to the DUT frequency in whole hertz, ties to even.
  const double dutKHz = std::nearbyint(run.measuredHz) / 1000;
  const double offset = (run.measuredHz - run.programmedHz) / run.measuredHz;
  const double jumpLimit = 0.005 / dutKHz;
  std::vector<double> phase{0.0};
  std::vector<double> values;
  double previous = 0;
  int n = 0;
  for (const std::string& line : lines) {
    if (line.size() != 8) continue;
    const double reading = signedCount(line) / kReferenceHz / dutKHz;
    if (n > 0) {
      phase.resize(static_cast<std::size_t>(n) + 1);
      const auto k = static_cast<std::size_t>(n);
      phase[k] = phase[k - 1] - (reading - previous) - run.tauSeconds * offset;
      if (std::abs(reading - previous) > jumpLimit)
        --n;
      else
        values.push_back(run.frequencyData ? (phase[k] - phase[k - 1]) / run.tauSeconds : phase[k]);
    }
    previous = reading;
    if (++n == kSampleLimit) break;
  }
  return values;
}

}  // namespace tessarin::test
