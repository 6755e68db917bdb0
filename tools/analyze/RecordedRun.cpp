#include "RecordedRun.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace tessarin::analyze {

std::string excerpt(std::string_view line) {
  constexpr std::size_t kLongest = 40;
  std::string text(line.substr(0, kLongest));
  for (char& c : text)
    if (!std::isprint(static_cast<unsigned char>(c))) c = '?';
  if (line.size() > kLongest) text += "...";
  return text;
}

std::optional<double> decimalNumber(std::string_view text) {
  if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '.'))
    return std::nullopt;
  std::string digits(text);
  if (std::count(digits.begin(), digits.end(), ',') == 1 && digits.find('.') == std::string::npos)
    std::replace(digits.begin(), digits.end(), ',', '.');
  double value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return value;
}

}  // namespace tessarin::analyze
