#include "records/ColumnReader.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

#include "records/InputLines.h"

namespace tessarin::records {

namespace {

// Spaces as the C locale has them, and the commas and semicolons of CSV files.
bool separates(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == ',' ||
         c == ';';
}

// The first fields of a line, and how many it has up to one more than a line may hold: a third
// is enough to call the line damaged.
struct Fields {
  std::array<std::string_view, 2> first;
  int count = 0;
};

Fields fieldsOf(std::string_view line) {
  Fields fields;
  std::size_t start = 0;
  while (fields.count <= std::ssize(fields.first)) {
    while (start < line.size() && separates(line[start])) ++start;
    if (start == line.size()) break;
    std::size_t end = start;
    while (end < line.size() && !separates(line[end])) ++end;
    if (fields.count < std::ssize(fields.first))
      fields.first[static_cast<std::size_t>(fields.count)] = line.substr(start, end - start);
    ++fields.count;
    start = end;
  }
  return fields;
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

// A line of one number and nothing else, the form of nearly every line of a long file, read
// without splitting it into fields: nullopt for any other line, which is then read field by
// field, and where this reads a value that reading gives the same.
std::optional<double> plainSample(std::string_view line) {
  if (line.empty() ||
      !(std::isdigit(static_cast<unsigned char>(line[0])) || line[0] == '.' || line[0] == '-'))
    return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), value);
  if (error != std::errc() || end != line.data() + line.size() || std::abs(value) > kLargestSample)
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
      noteDamage(file, number, 1, true, reason, line);
      noteSampleLine(run, number);
      run.samples.push_back(std::numeric_limits<double>::quiet_NaN());
    };
    if (end == LineEnd::TooLong) return damage("line longer than 4096 characters");
    if (const std::optional<double> sample = plainSample(line)) {
      noteSampleLine(run, number);
      return run.samples.push_back(*sample);
    }
    const Fields fields = fieldsOf(line.substr(0, line.find('#')));
    if (fields.count == 0) return;
    std::optional<double> value;
    if (fields.count <= 2)
      value = columnNumber(fields.first[static_cast<std::size_t>(fields.count - 1)]);
    if (fields.count == 2 && !columnNumber(fields.first[0])) value.reset();
    if (!value) return damage(fields.count > 2 ? "more than two columns" : "not a number");
    if (std::abs(*value) > kLargestSample)
      return damage("sample beyond 1e100, where the statistics would overflow");
    noteSampleLine(run, number);
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

platform::Result<InputFile> readColumnFile(const QString& path, run::Quantity quantity, double tau0,
                                           std::atomic<std::int64_t>* bytesRead) {
  InputFile file = columnFile(path.toStdString(), quantity, tau0);
  const auto read = readLines(path, lineTaker(file), bytesRead);
  if (!read) return platform::Result<InputFile>::failure(read.reason());
  return file;
}

}  // namespace tessarin::records
