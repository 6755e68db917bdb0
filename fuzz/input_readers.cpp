// The analyser's readers of recorded runs, the .DAT reader and the column reader, over any bytes
// as a file's content. Whatever they take must be safe to show and to sum: no byte of a file
// reaches a message or a header field unescaped, no sample is infinite or beyond the bound where
// the sums overflow, no tau0 is out of range. And the lines must not depend on how the bytes
// arrive: read in small pieces, as from a device, they are the lines of the whole.
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "records/ColumnReader.h"
#include "records/DatReader.h"
#include "records/InputLines.h"

namespace {

using namespace tessarin::records;

bool shownSafely(const std::string& text) {
  for (const char c : text)
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7f) return false;
  return true;
}

void check(const InputFile& file) {
  for (const DamagedLine& damaged : file.damaged)
    if (!shownSafely(damaged.text)) __builtin_trap();
  for (const RecordedRun& run : file.runs) {
    if (!shownSafely(run.date) || !shownSafely(run.time)) __builtin_trap();
    if (run.tauSeconds && !usableTau0(*run.tauSeconds)) __builtin_trap();
    for (const double x : run.samples)
      if (std::isinf(x) || std::abs(x) > kLargestSample) __builtin_trap();
  }
}

using Lines = std::vector<std::tuple<std::int64_t, std::string, LineEnd>>;

Lines linesOf(std::string_view text, std::size_t piece) {
  Lines lines;
  LineSplitter splitter([&lines](std::int64_t number, std::string_view line, LineEnd end) {
    if (line.size() > kLongestLine) __builtin_trap();
    lines.emplace_back(number, std::string(line), end);
  });
  for (std::size_t at = 0; at < text.size(); at += piece) splitter.feed(text.substr(at, piece));
  splitter.finish();
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  check(parseDatText("fuzz.DAT", text));
  check(parseColumnText("fuzz.txt", text, tessarin::run::Quantity::Phase, 1));
  check(parseColumnText("fuzz.txt", text, tessarin::run::Quantity::Frequency, 1e-3));
  const std::size_t piece = size == 0 ? 1 : data[0] % 13 + 1;
  if (linesOf(text, text.size() + 1) != linesOf(text, piece)) __builtin_trap();
  return 0;
}
