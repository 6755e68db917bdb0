#include "ColumnReader.h"

#include <QFile>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

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

}  // namespace

InputFile parseColumnText(std::string path, std::string_view text, run::Quantity quantity,
                          double tau0) {
  InputFile file;
  file.path = std::move(path);
  RecordedRun& run = file.runs.emplace_back();
  run.headerLine = 1;
  run.quantity = quantity;
  run.tauSeconds = tau0;
  std::int64_t number = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    ++number;
    const std::vector<std::string_view> fields = fieldsOf(line.substr(0, line.find('#')));
    if (fields.empty()) continue;
    std::optional<double> value;
    if (fields.size() <= 2) value = columnNumber(fields.back());
    if (fields.size() == 2 && !columnNumber(fields.front())) value.reset();
    if (value) {
      run.samples.push_back(*value);
    } else {
      file.damaged.push_back({number, 1, true,
                              fields.size() > 2 ? "more than two columns" : "not a number",
                              excerpt(line)});
      run.samples.push_back(std::numeric_limits<double>::quiet_NaN());
    }
  }
  return file;
}

platform::Result<InputFile> readColumnFile(const QString& path, run::Quantity quantity,
                                           double tau0) {
  QFile device(path);
  if (!device.open(QIODevice::ReadOnly))
    return platform::Result<InputFile>::failure(path + ": " + device.errorString());
  const QByteArray bytes = device.readAll();
  return parseColumnText(path.toStdString(), std::string_view(bytes.data(), bytes.size()), quantity,
                         tau0);
}

}  // namespace tessarin::analyze
