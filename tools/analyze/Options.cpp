#include "Options.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <string_view>
#include <variant>

#include "RecordedRun.h"

namespace tessarin::analyze {

namespace {

using Parsed = platform::Result<Options>;

Parsed usageError(const std::string& message) {
  return Parsed::failure(QString::fromStdString(message));
}

template <typename Number>
std::optional<Number> numberFrom(std::string_view text) {
  Number value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::vector<std::string_view> commaList(std::string_view text) {
  std::vector<std::string_view> items;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    items.push_back(text.substr(start, comma - start));
    if (comma == std::string_view::npos) return items;
    start = comma + 1;
  }
}

bool endsWithNoCase(std::string_view text, std::string_view ending) {
  return text.size() >= ending.size() &&
         std::equal(ending.begin(), ending.end(), text.end() - static_cast<long>(ending.size()),
                    [](char a, char b) { return std::tolower(a) == std::tolower(b); });
}

// Sets the option `name` from `value`; an empty result means it was taken.
std::string takeValue(Options& o, std::string_view name, std::string_view value) {
  const std::string bad = "bad value for " + std::string(name) + ": '" + std::string(value) + "'";
  if (name == "--run") {
    if (value == "all") {
      o.allRuns = true;
      return {};
    }
    o.run = numberFrom<int>(value);
    return o.run && *o.run >= 1 ? std::string() : bad + " (a run number from 1, or all)";
  }
  if (name == "--tau0") {
    o.tau0 = numberFrom<double>(value);
    return o.tau0 && usableTau0(*o.tau0) ? std::string() : bad + " (seconds, 1e-9 to 1e9)";
  }
  if (name == "--stat") {
    o.statistics.clear();
    for (std::string_view item : commaList(value)) {
      const auto statistic = stability::statisticNamed(item);
      if (!statistic)
        return bad +
               " (adev, console-adev, oadev, mdev, tdev, hdev, ohdev, totdev, mtie, "
               "tierms, mtotdev, ttotdev, htotdev, theo1, theobr, theoh)";
      if (std::find(o.statistics.begin(), o.statistics.end(), *statistic) == o.statistics.end())
        o.statistics.push_back(*statistic);
    }
    return {};
  }
  if (name == "--taus") {
    if (o.factorSet == FactorSet::Listed) return "--taus and --m exclude each other";
    if (value == "octave")
      o.factorSet = FactorSet::Octave;
    else if (value == "decade")
      o.factorSet = FactorSet::Decade;
    else if (value == "all")
      o.factorSet = FactorSet::Every;
    else
      return bad + " (octave, decade or all)";
    return {};
  }
  if (name == "--m") {
    if (o.factorSet != FactorSet::Octave) return "--taus and --m exclude each other";
    o.factorSet = FactorSet::Listed;
    for (std::string_view item : commaList(value)) {
      const auto m = numberFrom<int>(item);
      if (!m || *m < 1) return bad + " (averaging factors from 1, separated by commas)";
      if (std::find(o.factors.begin(), o.factors.end(), *m) == o.factors.end())
        o.factors.push_back(*m);
    }
    std::sort(o.factors.begin(), o.factors.end());
    return {};
  }
  if (name == "--ci") {
    o.valuesOnly = value == "none";
    if (o.valuesOnly) return {};
    const auto level = numberFrom<double>(value);
    if (!level || !(*level > 0 && *level < 1))
      return bad + " (a confidence between 0 and 1, or none)";
    o.confidence = *level;
    return {};
  }
  if (name == "--edf") {
    if (value == "coverage")
      o.intervals.edf = stability::EdfMethod::Coverage;
    else if (value == "reference")
      o.intervals.edf = stability::EdfMethod::Reference;
    else
      return bad + " (coverage or reference)";
    return {};
  }
  if (name == "--dynamic") {
    auto windows = parseDynamicWindows(value);
    if (auto* error = std::get_if<std::string>(&windows)) return *error;
    o.dynamic = std::get<DynamicWindows>(windows);
    return {};
  }
  if (name == "--plot") {
    o.plotPath = value;
    return endsWithNoCase(value, ".png") || endsWithNoCase(value, ".pdf")
               ? std::string()
               : bad + " (a file name ending in .png or .pdf)";
  }
  if (name == "--report") {
    o.reportPath = value;
    return endsWithNoCase(value, ".pdf") ? std::string() : bad + " (a file name ending in .pdf)";
  }
  if (name == "--verify") {
    o.verifyPath = value;
    return endsWithNoCase(value, ".json") ? std::string() : bad + " (the .json record of a report)";
  }
  return "unknown option: " + std::string(name);
}

bool takeFlag(Options& o, std::string_view name) {
  if (name == "--help" || name == "-h")
    o.help = true;
  else if (name == "--version")
    o.version = true;
  else if (name == "--list")
    o.list = true;
  else if (name == "--join")
    o.join = true;
  else if (name == "--phase")
    o.columns = o.columns ? o.columns : run::Quantity::Phase;
  else if (name == "--freq")
    o.columns = o.columns ? o.columns : run::Quantity::Frequency;
  else if (name == "--noise")
    o.noise = true;
  else if (name == "--noise-per-statistic")
    o.intervals.noise = stability::NoiseReading::PerStatistic;
  else if (name == "--no-bias-correction")
    o.noBiasCorrection = true;
  else if (name == "--remove-drift")
    o.removeDrift = true;
  else if (name == "--remove-offset")
    o.removeOffset = true;
  else if (name == "--strict")
    o.strict = true;
  else if (name == "--csv")
    o.csv = true;
  else
    return false;
  return true;
}

constexpr std::string_view kValueOptions[] = {"--run",    "--tau0",    "--stat", "--taus",
                                              "--m",      "--ci",      "--plot", "--report",
                                              "--verify", "--dynamic", "--edf"};

}  // namespace

platform::Result<Options> parseOptions(const std::vector<std::string>& args) {
  Options o;
  int columnChoices = 0;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (arg.size() < 2 || arg[0] != '-') {
      if (!o.input.empty()) return usageError("one input file only: '" + std::string(arg) + "'");
      o.input = arg;
      continue;
    }
    const std::size_t equals = arg.find('=');
    const std::string_view name = arg.substr(0, equals);
    if (equals == std::string_view::npos && takeFlag(o, name)) {
      columnChoices += name == "--phase" || name == "--freq";
      continue;
    }
    if (std::find(std::begin(kValueOptions), std::end(kValueOptions), name) ==
        std::end(kValueOptions))
      return usageError("unknown option: " + std::string(name));
    std::string_view value;
    if (equals != std::string_view::npos)
      value = arg.substr(equals + 1);
    else if (i + 1 < args.size())
      value = args[++i];
    else
      return usageError(std::string(name) + " needs a value");
    if (const std::string error = takeValue(o, name, value); !error.empty())
      return usageError(error);
  }
  if (o.help || o.version) return o;
  if (!o.verifyPath.empty())
    return o.input.empty() ? Parsed(o)
                           : usageError("--verify takes the report's .json record, no input file");
  if (o.input.empty()) return usageError("no input file given");
  if (columnChoices > 1) return usageError("--phase and --freq exclude each other");
  if (o.columns && !o.tau0) return usageError("a column file needs --tau0 (the sample interval)");
  if (!o.columns && o.tau0)
    return usageError("--tau0 is for column files (with --phase or --freq); a .DAT file has it");
  if (o.columns && o.join)
    return usageError("--join is for .DAT files; a column file holds one series");
  if (o.columns && (o.list || o.run || o.allRuns))
    return usageError("--list and --run are for .DAT files; a column file holds one series");
  if (o.run && o.allRuns) return usageError("--run given twice");
  if (o.join && (o.run || o.allRuns))
    return usageError("--join and --run exclude each other: --join takes every run of the file");
  if (o.valuesOnly && (o.noise || !o.reportPath.empty()))
    return usageError(
        "--ci none leaves out the noise identification that --noise and --report show");
  if (o.dynamic)
    if (const std::string conflict = dynamicConflict(o); !conflict.empty())
      return usageError(conflict);
  return o;
}

}  // namespace tessarin::analyze
