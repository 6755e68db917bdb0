#include "cli/ModelOverlay.h"

#include <charconv>
#include <cmath>

namespace tessarin::analyze::cli {

namespace {

std::optional<double> numberFrom(std::string_view text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// The alpha of "h2" ... "h-2"; nothing for another name.
std::optional<int> alphaNamed(std::string_view name) {
  for (int alpha = -2; alpha <= 2; ++alpha)
    if (name == "h" + std::to_string(alpha)) return alpha;
  return std::nullopt;
}

}  // namespace

std::string readModelOverlay(std::string_view text, ModelOverlay& overlay) {
  const std::string given = " '" + std::string(text) + "'";
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos || colon == 0)
    return given + " (NAME:LEVELS, e.g. \"xo:h0=1e-22,h-2=2e-30\")";
  overlay.name = std::string(text.substr(0, colon));
  std::string_view levels = text.substr(colon + 1);
  while (!levels.empty()) {
    const std::size_t comma = levels.find(',');
    const std::string_view item = levels.substr(0, comma);
    levels = comma == std::string_view::npos ? std::string_view() : levels.substr(comma + 1);
    const std::size_t equals = item.find('=');
    const std::string_view key = item.substr(0, equals);
    const auto value =
        equals == std::string_view::npos ? std::nullopt : numberFrom(item.substr(equals + 1));
    if (!value || !std::isfinite(*value) || *value <= 0)
      return given + ": '" + std::string(item) +
             "' is not a level: h2 to h-2 or fh, '=' and a "
             "positive number";
    if (key == "fh") {
      overlay.bandwidthHz = value;
    } else if (const auto alpha = alphaNamed(key)) {
      overlay.levels.emplace_back(*alpha, *value);
    } else {
      return given + ": '" + std::string(key) + "' is none of h2, h1, h0, h-1, h-2, fh";
    }
  }
  if (overlay.levels.empty()) return given + ": no level h2 to h-2 given";
  for (const auto& [alpha, h] : overlay.levels)
    if (alpha > 0 && !overlay.bandwidthHz)
      return given + ": white and flicker PM (h2, h1) need the measurement bandwidth fh=HZ";
  return {};
}

}  // namespace tessarin::analyze::cli
