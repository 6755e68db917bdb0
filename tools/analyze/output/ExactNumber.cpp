#include "output/ExactNumber.h"

#include <array>
#include <charconv>
#include <cmath>

namespace tessarin::analyze::output {

std::string exact(double value) {
  if (std::isnan(value)) return {};
  std::array<char, 32> buffer{};
  const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
  return std::string(buffer.data(), end);
}

}  // namespace tessarin::analyze::output
