#include "analysis/JoinedRuns.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "analysis/PhaseSeries.h"
#include "records/HeaderTime.h"
#include "run/DataFile.h"

namespace tessarin::analysis {

namespace {

using records::RecordedRun;

constexpr double kGap = std::numeric_limits<double>::quiet_NaN();
// DUT frequencies closer than this, relative, are the same oscillator set up the same way.
constexpr double kSameDutFrequency = 1e-6;
// Twenty of the console's longest runs: a joined series longer than this comes from a misread
// header date (months apart) rather than from one measurement, and would not fit in memory.
constexpr std::int64_t kMostJoinedSamples = 20000000;

std::string plain(const std::optional<double>& value) {
  return value ? run::formatPlainDecimal(*value).toStdString() : std::string("?");
}

std::string quantityName(const std::optional<run::Quantity>& quantity) {
  if (!quantity) return "?";
  return *quantity == run::Quantity::Phase ? "phase" : "frequency";
}

bool sameDutFrequency(const std::optional<double>& a, const std::optional<double>& b) {
  if (!a || !b) return a.has_value() == b.has_value();
  return std::fabs(*a - *b) <= kSameDutFrequency * std::max(std::fabs(*a), std::fabs(*b));
}

// What keeps two runs from being one series, in words; empty when nothing does.
std::string difference(const RecordedRun& a, const RecordedRun& b) {
  if (a.tauSeconds != b.tauSeconds)
    return "tau (" + plain(a.tauSeconds) + " s and " + plain(b.tauSeconds) + " s)";
  if (a.quantity != b.quantity)
    return "stored quantity (" + quantityName(a.quantity) + " and " + quantityName(b.quantity) +
           ")";
  if (a.mode != b.mode)
    return "mode (" + (a.mode.empty() ? "?" : a.mode) + " and " + (b.mode.empty() ? "?" : b.mode) +
           ")";
  if (!sameDutFrequency(a.dutHz, b.dutHz))
    return "DUT frequency (" + plain(a.dutHz) + " Hz and " + plain(b.dutHz) + " Hz)";
  return {};
}

}  // namespace

platform::Result<JoinedRuns> joinRuns(const records::InputFile& file) {
  using Joined = platform::Result<JoinedRuns>;
  JoinedRuns joined;
  std::int64_t previousStart = 0;
  for (std::size_t k = 0; k < file.runs.size(); ++k) {
    const RecordedRun& run = file.runs[k];
    const std::string where = file.path + ':' + std::to_string(run.headerLine) + ": ";
    const std::string number = std::to_string(k + 1);
    const auto fail = [&](const std::string& message) {
      return Joined::failure(QString::fromStdString(where + message));
    };
    const auto start = records::headerStart(run.date, run.time);
    if (!start)
      return fail("run " + number +
                  " cannot be placed on the time line: " + start.reason().toStdString());
    if (const QString why = whyNoPhase(run); !why.isEmpty())
      return fail("run " + number + ": " + why.toStdString());

    if (k == 0) {
      joined.series = records::headerOf(run);
      joined.gapBefore.emplace_back();
    } else {
      const RecordedRun& before = file.runs[k - 1];
      const std::string pair =
          "runs " + std::to_string(k) + " and " + number + " cannot be joined: ";
      if (const std::string why = difference(before, run); !why.empty())
        return fail(pair + "they differ in " + why);
      const double tau = *run.tauSeconds;
      const auto recorded = static_cast<double>(before.samples.size());
      const std::int64_t elapsed = start.value() - previousStart;
      if (elapsed < 0)
        return fail(pair + "their times go backwards (run " + number + " starts at " + run.date +
                    ' ' + run.time + ", before run " + std::to_string(k) + " at " + before.date +
                    ' ' + before.time + ")");
      const double placed = static_cast<double>(elapsed) / tau;
      if (placed < recorded - 0.5)
        return fail(
            pair + "their times overlap (run " + number + " starts " +
            run::formatPlainDecimal(recorded * tau - static_cast<double>(elapsed)).toStdString() +
            " s before run " + std::to_string(k) + " ends)");
      const std::int64_t gap = std::llround(placed) - static_cast<std::int64_t>(recorded);
      const auto length = static_cast<std::int64_t>(joined.series.samples.size());
      if (gap > kMostJoinedSamples - length - static_cast<std::int64_t>(run.samples.size()))
        return fail(pair + "the gap between them (" + std::to_string(gap) +
                    " samples) would make the series longer than " +
                    std::to_string(kMostJoinedSamples) + " samples");
      joined.gapBefore.push_back({static_cast<double>(elapsed) - recorded * tau, gap});
      if (gap > 0) joined.series.lines.push_back({length, 0});
      joined.series.samples.append(static_cast<std::size_t>(gap), kGap);
      if (*run.quantity == run::Quantity::Frequency)
        joined.phase.insert(joined.phase.end(), static_cast<std::size_t>(gap), kGap);
    }
    const auto placed = static_cast<std::int64_t>(joined.series.samples.size());
    for (const records::SampleLines& stretch : run.lines)
      joined.series.lines.push_back({placed + stretch.sample, stretch.line});
    joined.series.samples.append(run.samples);
    if (*run.quantity == run::Quantity::Frequency) {
      const std::vector<double> phase = phaseSeries(run, false).value();
      joined.phase.insert(joined.phase.end(), phase.begin(), phase.end());
    }
    previousStart = start.value();
  }
  return joined;
}

std::span<const double> phaseOf(const JoinedRuns& joined) {
  if (joined.series.quantity == run::Quantity::Phase) return joined.series.samples;
  return joined.phase;
}

}  // namespace tessarin::analysis
