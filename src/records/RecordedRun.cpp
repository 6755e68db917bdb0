#include "records/RecordedRun.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>

#include "records/InputLines.h"

namespace tessarin::records {

RecordedRun headerOf(const RecordedRun& run) {
  return {run.headerLine, run.date,     run.time, run.dutHz, run.tauSeconds,
          run.mode,       run.quantity, {},       {}};
}

void noteSampleLine(RecordedRun& run, std::int64_t line) {
  const auto next = static_cast<std::int64_t>(run.samples.size());
  if (!run.lines.empty()) {
    const SampleLines& last = run.lines.back();
    if (last.line != 0 && last.line + (next - last.sample) == line) return;
  }
  run.lines.push_back({next, line});
}

std::int64_t lineOfSample(const RecordedRun& run, std::int64_t sample) {
  const auto after = std::upper_bound(
      run.lines.begin(), run.lines.end(), sample,
      [](std::int64_t k, const SampleLines& stretch) { return k < stretch.sample; });
  if (after == run.lines.begin()) return 0;
  const SampleLines& stretch = *(after - 1);
  return stretch.line == 0 ? 0 : stretch.line + (sample - stretch.sample);
}

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

void noteDamage(InputFile& file, std::int64_t number, int run, bool gap, const char* reason,
                std::string_view line) {
  const bool firstOfRun = file.damaged.empty() || file.damaged.back().run != run;
  if (file.damaged.size() < kKeptDamage || firstOfRun) {
    file.damaged.push_back({number, run, gap, reason, excerpt(line)});
    return;
  }
  const auto index = static_cast<std::size_t>(run);
  if (file.unkeptDamage.size() <= index) file.unkeptDamage.resize(index + 1);
  ++file.unkeptDamage[index].lines;
  file.unkeptDamage[index].gaps += gap;
}

UnkeptDamage unkeptDamage(const InputFile& file, int run) {
  const auto index = static_cast<std::size_t>(run);
  return index < file.unkeptDamage.size() ? file.unkeptDamage[index] : UnkeptDamage{};
}

std::optional<double> decimalNumber(std::string_view text) {
  if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '.'))
    return std::nullopt;
  // A decimal comma is read as the point it stands for, in a copy on the stack: a sample line
  // costs no allocation. Nothing longer than a line is a number.
  std::array<char, kLongestLine> withPoint;
  if (std::count(text.begin(), text.end(), ',') == 1 && text.find('.') == std::string_view::npos) {
    if (text.size() > withPoint.size()) return std::nullopt;
    std::replace_copy(text.begin(), text.end(), withPoint.begin(), ',', '.');
    text = std::string_view(withPoint.data(), text.size());
  }
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace tessarin::records
