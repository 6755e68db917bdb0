#include "RecordedRun.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace tessarin::analyze {

bool usableTau0(double seconds) { return seconds >= kShortestTau0 && seconds <= kLongestTau0; }

std::string printable(std::string_view text) {
  constexpr char kDigits[] = "0123456789abcdef";
  std::string shown;
  shown.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7f && c != '\\') {
      shown += c;
    } else {
      shown += "\\x";
      shown += kDigits[byte >> 4];
      shown += kDigits[byte & 0xf];
    }
  }
  return shown;
}

std::string excerpt(std::string_view line) {
  constexpr std::size_t kLongest = 40;
  std::string text = printable(line.substr(0, kLongest));
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
