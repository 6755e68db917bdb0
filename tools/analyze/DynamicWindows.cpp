#include "DynamicWindows.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "Options.h"
#include "stability/LongTau.h"

namespace tessarin::analyze {

namespace {

std::optional<int> wholeNumber(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

// The long-tau statistics are whole-record estimators: no sliding-window form.
bool isWindowedDeviation(stability::Statistic statistic) {
  return statistic != stability::Statistic::Mtie && statistic != stability::Statistic::TieRms &&
         !stability::isLongTau(statistic);
}

}  // namespace

std::variant<DynamicWindows, std::string> parseDynamicWindows(std::string_view value) {
  const std::string bad = "bad value for --dynamic: '" + std::string(value) + "'";
  const std::size_t colon = value.find(':');
  const auto window = wholeNumber(value.substr(0, colon));
  if (!window) return bad + " (WINDOW[:STEP], whole numbers of samples, e.g. 10000:1000)";
  if (*window < kLeastDynamicWindow)
    return bad + " (WINDOW is at least " + std::to_string(kLeastDynamicWindow) + " samples)";
  DynamicWindows windows{*window, std::max(1, *window / 10)};
  if (colon == std::string_view::npos) return windows;
  const auto step = wholeNumber(value.substr(colon + 1));
  if (!step) return bad + " (STEP after the colon is a whole number of samples)";
  if (*step < 1 || *step > *window) return bad + " (STEP is from 1 to WINDOW samples)";
  windows.step = *step;
  return windows;
}

std::string dynamicConflict(const Options& options) {
  if (options.statistics.size() != 1 || !isWindowedDeviation(options.statistics.front()))
    return "--dynamic takes one deviation: --stat adev, oadev, mdev, tdev, hdev, ohdev or totdev";
  if (options.allRuns) return "--dynamic takes one series: --run K or --join, not --run all";
  if (options.factorSet != FactorSet::Octave)
    return "--dynamic uses the octave factors: --taus and --m are not for it";
  if (options.noise) return "--noise is not available with --dynamic";
  if (!options.reportPath.empty()) return "--report is not available with --dynamic";
  return {};
}

}  // namespace tessarin::analyze
