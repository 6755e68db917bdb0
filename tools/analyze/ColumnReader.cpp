#include "ColumnReader.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

#include "InputLines.h"

namespace tessarin::analyze {

namespace {

std::vector<std::string_view> fieldsOf(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  while (true) {
    while (start < line.size() && (std::isspace(static_cast<unsigned char>(line[start])) ||
                                   line[start] == ',' || line[start] == ';'))
      ++start;
    if (start == line.size()) return fields;
    std::size_t end = start;
    while (end < line.size() && !std::isspace(static_cast<unsigned char>(line[end])) &&
           line[end] != ',' && line[end] != ';')
      ++end;
    fields.push_back(line.substr(start, end - start));
    start = end;
  }
}

// A number as other programs write it: "1.5e-11", "-2.3E+00", "+4", or NaN for a gap.
std::optional<double> columnNumber(std::string_view text) {
  if (text == "NaN" || text == "nan" || text == "NAN")
    return std::numeric_limits<double>::quiet_NaN();
  if (text.starts_with('+')) text.remove_prefix(1);
  if (text.empty() ||
      !(std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '.' || text[0] == '-'))
    return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || std::isinf(value))
    return std::nullopt;
  return value;
}

InputFile columnFile(std::string path, run::Quantity quantity, double tau0) {
  InputFile file;
  file.path = std::move(path);
  RecordedRun& run = file.runs.emplace_back();
  run.headerLine = 1;
  run.quantity = quantity;
  run.tauSeconds = tau0;
  return file;
}

// Takes one line of the file into its one run.
TakeLine lineTaker(InputFile& file) {
  return [&file](std::int64_t number, std::string_view line, LineEnd end) {
    RecordedRun& run = file.runs.front();
    const auto damage = [&](const char* reason) {
      file.damaged.push_back({number, 1, true, reason, excerpt(line)});
      run.samples.push_back(std::numeric_limits<double>::quiet_NaN());
    };
    if (end == LineEnd::TooLong) return damage("line longer than 4096 characters");
    const std::vector<std::string_view> fields = fieldsOf(line.substr(0, line.find('#')));
    if (fields.empty()) return;
    std::optional<double> value;
    if (fields.size() <= 2) value = columnNumber(fields.back());
    if (fields.size() == 2 && !columnNumber(fields.front())) value.reset();
    if (!value) return damage(fields.size() > 2 ? "more than two columns" : "not a number");
    if (std::abs(*value) > kLargestSample)
      return damage("sample beyond 1e100, where the statistics would overflow");
    run.samples.push_back(*value);
  };
}

}  // namespace

InputFile parseColumnText(std::string path, std::string_view text, run::Quantity quantity,
                          double tau0) {
  InputFile file = columnFile(std::move(path), quantity, tau0);
  LineSplitter lines(lineTaker(file));
  lines.feed(text);
  lines.finish();
  if (!lines.refusal().empty()) file.unusable = file.path + ": " + lines.refusal();
  return file;
}

platform::Result<InputFile> readColumnFile(const QString& path, run::Quantity quantity,
                                           double tau0) {
  InputFile file = columnFile(path.toStdString(), quantity, tau0);
  const auto read = readLines(path, lineTaker(file));
  if (!read) return platform::Result<InputFile>::failure(read.reason());
  return file;
}

}  // namespace tessarin::analyze
