#pragma once

#include <string>
#include <string_view>
#include <variant>

namespace tessarin::analyze {

struct Options;

// The windows of --dynamic WINDOW[:STEP]: `window` successive phase points, a new window starting
// every `step` points.
struct DynamicWindows {
  int window = 0;
  int step = 0;
};

// The least window: the deviations need a few terms at m = 1 and m = 2 to say anything.
constexpr int kLeastDynamicWindow = 8;

// Reads WINDOW[:STEP]; STEP defaults to WINDOW / 10 (at least 1). Gives the windows, or the usage
// error as one line.
std::variant<DynamicWindows, std::string> parseDynamicWindows(std::string_view value);

// What --dynamic cannot be combined with: a usage error as one line, empty when there is none.
std::string dynamicConflict(const Options& options);

}  // namespace tessarin::analyze
