#include "model/Fault.h"

#include <array>
#include <charconv>
#include <cmath>
#include <iomanip>
#include <sstream>
#include <string_view>

namespace tessarin::sim {

namespace {

struct KindInfo {
  FaultKind kind;
  std::string_view name;
  double defaultArgument;
  double smallest;  // the least argument that makes sense
  double largest;
  bool whole;  // the argument counts something
};

constexpr std::array<KindInfo, 7> kKinds{{
    {FaultKind::Jump, "jump", 10 * kRejectionThresholdCounts, -2147483647.0, 2147483647.0, true},
    {FaultKind::Garbage, "garbage", 48, 1, 4096, true},
    {FaultKind::BadLength, "badlength", 1, 1, 1000000, true},
    {FaultKind::Cr, "cr", 0, 0, 0, true},
    {FaultKind::Burst, "burst", 100, 2, 100000, true},
    {FaultKind::Silence, "silence", 30, 0, 1e7, false},
    {FaultKind::Vanish, "vanish", 5, 0, 1e7, false},
}};

const KindInfo& infoOf(FaultKind kind) {
  for (const KindInfo& info : kKinds)
    if (info.kind == kind) return info;
  return kKinds[0];
}

template <typename Number>
bool readWhole(std::string_view text, Number& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

std::string_view trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

std::optional<Fault> parseFault(const std::string& text, std::string& error) {
  const std::string_view written = text;
  const auto at = written.find('@');
  const auto colon = written.find(':', at == std::string_view::npos ? 0 : at);
  error = "bad fault \"" + text + "\": ";
  if (at == std::string_view::npos) {
    error += "expected KIND@SAMPLE[:ARG]";
    return std::nullopt;
  }
  const std::string_view name = written.substr(0, at);
  const KindInfo* info = nullptr;
  for (const KindInfo& candidate : kKinds)
    if (candidate.name == name) info = &candidate;
  if (!info) {
    error += "unknown kind (jump, garbage, badlength, cr, burst, silence, vanish)";
    return std::nullopt;
  }
  Fault fault{info->kind, 0, info->defaultArgument};
  const std::string_view sample = written.substr(
      at + 1, colon == std::string_view::npos ? std::string_view::npos : colon - at - 1);
  if (!readWhole(sample, fault.sample) || fault.sample < 1) {
    error += "the sample number must be a whole number from 1";
    return std::nullopt;
  }
  if (colon != std::string_view::npos) {
    const std::string_view argument = written.substr(colon + 1);
    double value = 0;
    bool read = false;
    if (info->whole) {
      long long whole = 0;
      read = readWhole(argument, whole);
      value = static_cast<double>(whole);
    } else {
      read = readWhole(argument, value) && std::isfinite(value);
    }
    if (fault.kind == FaultKind::Cr) {
      error += "cr takes no argument";
      return std::nullopt;
    }
    if (!read || value < info->smallest || value > info->largest ||
        (fault.kind == FaultKind::Jump && value == 0)) {
      std::ostringstream range;
      range << std::setprecision(12) << "the argument of " << info->name << " must be a "
            << (info->whole ? "whole number" : "number of seconds") << " from " << info->smallest
            << " to " << info->largest;
      error += range.str();
      return std::nullopt;
    }
    fault.argument = value;
  }
  error.clear();
  return fault;
}

std::optional<std::vector<Fault>> parseFaultList(const std::string& text, std::string& error) {
  std::vector<Fault> faults;
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    const std::string_view content = trimmed(std::string_view(line).substr(0, line.find('#')));
    if (content.empty()) continue;
    const auto fault = parseFault(std::string(content), error);
    if (!fault) {
      error = "line " + std::to_string(number) + ": " + error;
      return std::nullopt;
    }
    faults.push_back(*fault);
  }
  return faults;
}

std::string describe(const Fault& fault) {
  const KindInfo& info = infoOf(fault.kind);
  std::ostringstream text;
  text << info.name << '@' << fault.sample;
  if (fault.argument == info.defaultArgument) return text.str();
  text << ':';
  if (info.whole)
    text << static_cast<long long>(fault.argument);
  else
    text << std::setprecision(12) << fault.argument;
  return text.str();
}

}  // namespace tessarin::sim
