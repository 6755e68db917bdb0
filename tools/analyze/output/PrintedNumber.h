#pragma once

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace tessarin::analyze::output {

// `values` written as printf's `format` writes them.
std::string printed(const char* format, auto... values) {
  const int length = std::snprintf(nullptr, 0, format, values...);
  std::string text(static_cast<std::size_t>(std::max(length, 0)), '\0');
  std::snprintf(text.data(), text.size() + 1, format, values...);
  return text;
}

// A figure of the aligned tables: seven significant digits, "-" for none.
inline std::string scientific(double value) {
  return std::isnan(value) ? std::string("-") : printed("%.6e", value);
}

}  // namespace tessarin::analyze::output
