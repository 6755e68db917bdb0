#include "cli/Options.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <map>
#include <string_view>

#include "analysis/Conditioning.h"
#include "analysis/DynamicStability.h"
#include "analysis/TelecomMasks.h"
#include "cli/ModelOverlay.h"
#include "cli/OptionTable.h"
#include "records/RecordedRun.h"

namespace tessarin::analyze::cli {

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

// What takeSpectral() says of an option that is not one of the spectra's.
constexpr const char* kNotSpectral = "-";

// Sets the spectra's option `name` from `value`: empty when taken, a usage error, or kNotSpectral.
std::string takeSpectral(Options& o, std::string_view name, std::string_view value,
                         const std::string& bad) {
  if (name == "--psd") {
    o.psd = analysis::spectralQuantityNamed(value);
    return o.psd ? std::string() : bad + " (sx, sy, sphi or lf)";
  }
  if (name == "--nominal") {
    o.spectrum.nominalHz = numberFrom<double>(value);
    return o.spectrum.nominalHz && *o.spectrum.nominalHz > 0 && std::isfinite(*o.spectrum.nominalHz)
               ? std::string()
               : bad + " (the DUT frequency in Hz, above 0)";
  }
  if (name == "--segment") {
    const auto segment = numberFrom<int>(value);
    if (!segment || *segment < analysis::kLeastSegment)
      return bad + " (points per segment, at least " + std::to_string(analysis::kLeastSegment) +
             ")";
    o.spectrum.segment = *segment;
    return {};
  }
  if (name == "--window") {
    if (value == "hann")
      o.spectrum.window = analysis::SpectralWindow::Hann;
    else if (value == "rect")
      o.spectrum.window = analysis::SpectralWindow::Rectangular;
    else
      return bad + " (hann or rect)";
    return {};
  }
  if (name == "--bands") {
    const auto bands = value == "raw" ? std::optional<int>(0) : numberFrom<int>(value);
    if (!bands || *bands < 0 || *bands > analysis::kMostBandsPerDecade ||
        (*bands == 0 && value != "raw"))
      return bad + " (bands per decade, 1 to " + std::to_string(analysis::kMostBandsPerDecade) +
             ", or raw)";
    o.spectrum.bandsPerDecade = *bands;
    return {};
  }
  return kNotSpectral;
}

// Sets --hat's pairs from `value`, A-B=FILE items separated by commas: empty when taken, else a
// usage error.
std::string takeHat(Options& o, std::string_view value) {
  for (std::string_view item : commaList(value)) {
    const std::string bad = "bad value for --hat: '" + std::string(item) + "'";
    const std::size_t equals = item.find('=');
    const std::size_t dash = item.substr(0, equals).find('-');
    if (equals == std::string_view::npos || dash == std::string_view::npos ||
        equals == item.size() - 1)
      return bad + " (pairs A-B=FILE separated by commas, e.g. A-B=ab.DAT,B-C=bc.DAT,C-A=ca.DAT)";
    HatItem hat{
        {std::string(item.substr(0, dash)), std::string(item.substr(dash + 1, equals - dash - 1))},
        std::string(item.substr(equals + 1))};
    const auto named = [](const std::string& name) {
      return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) != 0;
      });
    };
    if (!named(hat.pair.first) || !named(hat.pair.second))
      return bad + " (oscillators are named by letters and digits: '" +
             std::string(item.substr(0, equals)) + "')";
    o.hat.push_back(std::move(hat));
  }
  return {};
}

// Sets the conditioning's option `name` from `value`: empty when taken, a usage error, or
// kNotSpectral when it is not one of them.
std::string takeConditioning(Options& o, std::string_view name, std::string_view value,
                             const std::string& bad) {
  analysis::Preprocessing& preprocessing = o.request.preprocessing;
  if (name == "--outliers" || name == "--find-steps") {
    const auto limit = numberFrom<double>(value);
    if (!limit || !(*limit > 0) || !std::isfinite(*limit))
      return bad + (name == "--outliers" ? " (K above 0: normalised MADs from the median)"
                                         : " (SIGMAS above 0: standard errors of the step)");
    (name == "--outliers" ? preprocessing.outlierLimit : preprocessing.stepLimit) = *limit;
    return {};
  }
  if (name == "--remove-drift") {
    const auto model = value.empty() ? std::optional(analysis::DriftModel::PhaseQuadratic)
                                     : analysis::driftModelNamed(value);
    if (!model)
      return "unknown drift model for --remove-drift: '" + std::string(value) + "' (" +
             std::string(analysis::kDriftModelChoices) + ")";
    preprocessing.drift = *model;
    return {};
  }
  return kNotSpectral;
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
    return o.tau0 && records::usableTau0(*o.tau0) ? std::string() : bad + " (seconds, 1e-9 to 1e9)";
  }
  if (name == "--stat") {
    o.request.statistics.clear();
    for (std::string_view item : commaList(value)) {
      const auto statistic = stability::statisticNamed(item);
      if (!statistic) return bad + " (" + std::string(stability::kStatisticChoices) + ")";
      if (std::find(o.request.statistics.begin(), o.request.statistics.end(), *statistic) ==
          o.request.statistics.end())
        o.request.statistics.push_back(*statistic);
    }
    return {};
  }
  if (name == "--taus") {
    if (o.request.factorSet == analysis::FactorSet::Listed)
      return "--taus and --m exclude each other";
    if (value == "octave")
      o.request.factorSet = analysis::FactorSet::Octave;
    else if (value == "decade")
      o.request.factorSet = analysis::FactorSet::Decade;
    else if (value == "all")
      o.request.factorSet = analysis::FactorSet::Every;
    else
      return bad + " (octave, decade or all)";
    return {};
  }
  if (name == "--m") {
    if (o.request.factorSet != analysis::FactorSet::Octave)
      return "--taus and --m exclude each other";
    o.request.factorSet = analysis::FactorSet::Listed;
    for (std::string_view item : commaList(value)) {
      const auto m = numberFrom<int>(item);
      if (!m || *m < 1) return bad + " (averaging factors from 1, separated by commas)";
      if (std::find(o.request.factors.begin(), o.request.factors.end(), *m) ==
          o.request.factors.end())
        o.request.factors.push_back(*m);
    }
    std::sort(o.request.factors.begin(), o.request.factors.end());
    return {};
  }
  if (name == "--ci") {
    o.request.valuesOnly = value == "none";
    if (o.request.valuesOnly) return {};
    const auto level = numberFrom<double>(value);
    if (!level || !(*level > 0 && *level < 1))
      return bad + " (a confidence between 0 and 1, or none)";
    o.request.confidence = *level;
    return {};
  }
  if (name == "--edf") {
    if (value == "coverage")
      o.request.intervals.edf = stability::EdfMethod::Coverage;
    else if (value == "reference")
      o.request.intervals.edf = stability::EdfMethod::Reference;
    else
      return bad + " (coverage or reference)";
    return {};
  }
  if (name == "--dynamic") {
    const std::size_t colon = value.find(':');
    const auto window = numberFrom<int>(value.substr(0, colon));
    if (!window) return bad + " (WINDOW[:STEP], whole numbers of samples, e.g. 10000:1000)";
    if (*window < analysis::kLeastDynamicWindow)
      return bad + " (WINDOW is at least " + std::to_string(analysis::kLeastDynamicWindow) +
             " samples)";
    o.dynamic = analysis::DynamicWindows{*window, std::max(1, *window / 10)};
    if (colon == std::string_view::npos) return {};
    const auto step = numberFrom<int>(value.substr(colon + 1));
    if (!step) return bad + " (STEP after the colon is a whole number of samples)";
    if (*step < 1 || *step > *window) return bad + " (STEP is from 1 to WINDOW samples)";
    o.dynamic->step = *step;
    return {};
  }
  if (name == "--mask") {
    const std::vector<std::string_view> known = analysis::telecomMaskNames();
    for (std::string_view item : commaList(value)) {
      const auto mask = std::find(known.begin(), known.end(), item);
      if (mask == known.end()) {
        std::string names;
        for (std::string_view k : known) names += (names.empty() ? "" : ", ") + std::string(k);
        return "bad value for --mask: '" + std::string(item) + "' (the masks are " + names + ")";
      }
      if (std::find(o.masks.begin(), o.masks.end(), *mask) == o.masks.end())
        o.masks.push_back(*mask);
    }
    return {};
  }
  if (const std::string conditioning = takeConditioning(o, name, value, bad);
      conditioning != kNotSpectral)
    return conditioning;
  if (const std::string spectral = takeSpectral(o, name, value, bad); spectral != kNotSpectral)
    return spectral;
  if (name == "--hat") return takeHat(o, value);
  if (name == "--plot") {
    o.plotPath = value;
    return endsWithNoCase(value, ".png") || endsWithNoCase(value, ".pdf")
               ? std::string()
               : bad + " (a file name ending in .png or .pdf)";
  }
  if (name == "--overlay") {
    ModelOverlay overlay;
    const std::string error = readModelOverlay(value, overlay);
    o.overlays.push_back(std::move(overlay));
    return error.empty() ? std::string() : "bad value for --overlay" + error;
  }
  if (name == "--overlay-points") {
    o.overlayPoints.emplace_back(value);
    return {};
  }
  if (name == "--report") {
    o.reportPath = value;
    return endsWithNoCase(value, ".pdf") ? std::string() : bad + " (a file name ending in .pdf)";
  }
  o.verifyPath = value;  // --verify, the last of them
  return endsWithNoCase(value, ".json") ? std::string() : bad + " (the .json record of a report)";
}

void takeFlag(Options& o, std::string_view name) {
  if (name == "--help")
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
    o.request.intervals.noise = stability::NoiseReading::PerStatistic;
  else if (name == "--no-bias-correction")
    o.request.noBiasCorrection = true;
  else if (name == "--list-outliers")
    o.listOutliers = true;
  else if (name == "--remove-steps")
    o.request.preprocessing.removeSteps = true;
  else if (name == "--remove-offset")
    o.request.preprocessing.removeOffset = true;
  else if (name == "--strict")
    o.strict = true;
  else if (name == "--noise-fit")
    o.spectrum.noiseFit = true;
  else  // --csv, the last of them
    o.csv = true;
}

// What --dynamic cannot be combined with: a usage error as one line, empty when there is none.
std::string dynamicConflict(const Options& o) {
  if (o.request.statistics.size() != 1 ||
      !analysis::isWindowedDeviation(o.request.statistics.front()))
    return "--dynamic takes one deviation: --stat " +
           std::string(analysis::kWindowedDeviationChoices);
  if (o.allRuns) return "--dynamic takes one series: --run K or --join, not --run all";
  if (o.request.factorSet != analysis::FactorSet::Octave)
    return "--dynamic uses the octave factors: --taus and --m are not for it";
  if (o.noise) return "--noise is not available with --dynamic";
  if (!o.reportPath.empty()) return "--report is not available with --dynamic";
  return {};
}

// A mask limits MTIE or TDEV: any other statistic with --mask is a usage error, as one line.
std::string maskConflict(const Options& o) {
  if (o.psd) return "--mask holds deviations to a mask, not a spectrum: not with --psd";
  for (const stability::Statistic statistic : o.request.statistics)
    if (statistic != stability::Statistic::Mtie && statistic != stability::Statistic::Tdev)
      return "--mask holds mtie and tdev to their limits: not " +
             std::string(stability::nameOf(statistic)) + " (give --stat mtie, tdev or both)";
  return {};
}

// What several input files cannot be combined with, or how they mix: a usage error as one line,
// empty when there is none.
std::string severalInputsConflict(const Options& o) {
  if (o.inputs.size() > static_cast<std::size_t>(kMostTracesShown) && !o.csv)
    return std::to_string(o.inputs.size()) + " input files: one picture and table compare up to " +
           std::to_string(kMostTracesShown) + "; more only with --csv";
  if (o.list || o.dynamic || o.join || o.listOutliers || o.psd || !o.masks.empty())
    return "several input files are compared in one table and picture: not with --list, "
           "--dynamic, --join, --list-outliers, --psd or --mask";
  const auto dat = std::find_if(o.inputs.begin(), o.inputs.end(), isDatName);
  const auto column = std::find_if_not(o.inputs.begin(), o.inputs.end(), isDatName);
  if (dat != o.inputs.end() && column != o.inputs.end() && !o.tau0)
    return "inputs of different kinds mixed: '" + *dat + "' is a .DAT file, '" + *column +
           "' is not: give the column files' data and sample interval with --phase or --freq and "
           "--tau0";
  return {};
}

// What --psd cannot be combined with, or what the spectra's options need: a usage error as one
// line, empty when there is none. `spectral` names a spectra's option given, empty for none.
std::string spectrumConflict(const Options& o, const std::string& spectral) {
  if (!o.psd) return spectral.empty() ? std::string() : spectral + " is for --psd";
  if (o.dynamic) return "--psd and --dynamic exclude each other";
  if (o.list) return "--list shows the runs and stops: not with --psd";
  if (o.noise) return "--noise is for the table of deviations; with --psd, --noise-fit";
  if (o.statisticsGiven && !o.spectrum.noiseFit)
    return "--stat with --psd draws the deviations beside what --noise-fit predicts: add "
           "--noise-fit";
  if (o.spectrum.noiseFit && o.request.valuesOnly)
    return "--ci none leaves out the intervals that --noise-fit rests on";
  if (analysis::needsNominal(*o.psd) && o.columns && !o.spectrum.nominalHz)
    return "--psd " + std::string(analysis::nameOf(*o.psd)) +
           " is at the DUT frequency, which a column file does not give: add --nominal HZ";
  return {};
}

// What --hat cannot be combined with: a usage error as one line, empty when there is none.
std::string hatConflict(const Options& o) {
  if (!o.input.empty())
    return "--hat names its pair files itself: no input file beside it ('" + o.input + "')";
  if (o.list || o.run || o.allRuns || o.join)
    return "--hat joins every run of each pair file: not with --list, --run or --join";
  if (o.dynamic || o.psd || !o.masks.empty())
    return "--hat separates the deviations: not with --dynamic, --psd or --mask";
  if (o.noise) return "--noise is not available with --hat";
  // Outliers and steps taken out of each pair apart would leave the pairs with different gaps and
  // the closure of the hat broken where one pair was changed and the others were not.
  const analysis::Preprocessing& preprocessing = o.request.preprocessing;
  if (preprocessing.outlierLimit || preprocessing.stepLimit || o.listOutliers)
    return "--hat takes the pairs' samples as measured: not with --outliers, --find-steps or "
           "--list-outliers";
  return {};
}

// What the conditioning's options need, or cannot be combined with: a usage error as one line,
// empty when there is none.
std::string conditioningConflict(const Options& o) {
  const analysis::Preprocessing& preprocessing = o.request.preprocessing;
  if (o.listOutliers && !preprocessing.outlierLimit)
    return "--list-outliers lists the outliers of --outliers K: give K";
  if (preprocessing.removeSteps && !preprocessing.stepLimit)
    return "--remove-steps removes the steps --find-steps SIGMAS finds: give SIGMAS";
  if (o.listOutliers && (o.list || o.dynamic || o.psd || !o.reportPath.empty() ||
                         !o.plotPath.empty() || !o.masks.empty()))
    return "--list-outliers lists the outliers and stops: not with --list, --dynamic, --psd, "
           "--report, --plot or --mask";
  if (o.columns)
    if (const std::string why = analysis::whyNotFor(preprocessing.drift, *o.columns); !why.empty())
      return "--remove-drift " + std::string(analysis::nameOf(preprocessing.drift)) + ": " + why;
  return {};
}

// --remove-drift takes an optional MODEL, which QCommandLineParser cannot: the word after it is
// joined to it as its value when it is a model, or looks like one (letters alone, no such file);
// else it gets an empty value.
std::vector<std::string> withDriftModels(const std::vector<std::string>& args) {
  std::vector<std::string> joined;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--") {
      joined.insert(joined.end(), args.begin() + static_cast<long>(i), args.end());
      break;
    }
    if (arg != "--remove-drift" && arg != "-remove-drift") {
      joined.push_back(arg);
      continue;
    }
    const bool next = i + 1 < args.size();
    const bool word =
        next && !args[i + 1].empty() &&
        std::all_of(args[i + 1].begin(), args[i + 1].end(),
                    [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }) &&
        !QFileInfo::exists(QString::fromStdString(args[i + 1]));
    if (next && (analysis::driftModelNamed(args[i + 1]) || word))
      joined.push_back(arg + "=" + args[++i]);
    else
      joined.push_back(arg + "=");
  }
  return joined;
}

// Why the parser refused the command line, in the words of the options themselves: the first
// argument that names no option, a switch given a value, or an option left without its value.
std::string refusal(const std::vector<std::string>& args, const QCommandLineParser& parser) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (arg == "--") break;
    if (arg.size() < 2 || arg[0] != '-') continue;
    const std::size_t equals = arg.find('=');
    const std::string_view written = arg.substr(0, equals);
    const std::size_t name = written.find_first_not_of('-');
    const OptionEntry* option =
        name == std::string_view::npos ? nullptr : optionNamed(written.substr(name));
    if (option == nullptr) return "unknown option: " + std::string(written);
    if (option->valueName.empty() && equals != std::string_view::npos)
      return std::string(written) + " takes no value";
    if (!option->valueName.empty() && equals == std::string_view::npos && ++i == args.size())
      return std::string(written) + " needs a value";
  }
  return parser.errorText().toStdString();
}

}  // namespace

platform::Result<Options> parseOptions(const std::vector<std::string>& written) {
  const std::vector<std::string> args = withDriftModels(written);
  QCommandLineParser parser;
  // One dash or two before a word: "-stat" is the option stat, not the letters s, t, a, t.
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  for (const OptionEntry& option : optionTable()) {
    QStringList names{QString::fromUtf8(option.name)};
    if (!option.shortName.empty()) names.prepend(QString::fromUtf8(option.shortName));
    parser.addOption(QCommandLineOption(names, QString(), QString::fromUtf8(option.valueName)));
  }
  QStringList arguments{QStringLiteral("tessarin-analyze")};
  for (const std::string& arg : args) arguments << QString::fromStdString(arg);
  if (!parser.parse(arguments)) return usageError(refusal(args, parser));

  Options o;
  int columnChoices = 0;
  std::string spectral;  // the first of the spectra's own options given
  // The options in the order given, so that a later one meets what an earlier one set.
  std::map<std::string_view, qsizetype> valuesTaken;
  for (const QString& given : parser.optionNames()) {
    const OptionEntry& option = *optionNamed(given.toStdString());
    const std::string name = "--" + std::string(option.name);
    if (option.section == "Spectra" && name != "--psd" && spectral.empty()) spectral = name;
    o.statisticsGiven |= name == "--stat";
    if (option.valueName.empty()) {
      takeFlag(o, name);
      columnChoices += name == "--phase" || name == "--freq";
      continue;
    }
    const std::string value =
        parser.values(QString::fromUtf8(option.name)).at(valuesTaken[option.name]++).toStdString();
    if (const std::string error = takeValue(o, name, value); !error.empty())
      return usageError(error);
  }
  for (const QString& input : parser.positionalArguments()) o.inputs.push_back(input.toStdString());
  if (!o.inputs.empty()) o.input = o.inputs.front();
  const bool several = o.inputs.size() > 1;

  if (o.help || o.version) return o;
  if (!o.verifyPath.empty())
    return o.input.empty() && o.hat.empty()
               ? Parsed(o)
               : usageError("--verify takes the report's .json record, no input file");
  if (!o.hat.empty()) {
    if (const std::string conflict = hatConflict(o); !conflict.empty()) return usageError(conflict);
  } else if (o.input.empty()) {
    return usageError("no input file given");
  }
  if (columnChoices > 1) return usageError("--phase and --freq exclude each other");
  if (o.columns && !o.tau0) return usageError("a column file needs --tau0 (the sample interval)");
  if (!o.columns && o.tau0)
    return usageError("--tau0 is for column files (with --phase or --freq); a .DAT file has it");
  if (o.columns && o.join)
    return usageError("--join is for .DAT files; a column file holds one series");
  if (several)
    if (const std::string conflict = severalInputsConflict(o); !conflict.empty())
      return usageError(conflict);
  const bool datAmongInputs = std::any_of(o.inputs.begin(), o.inputs.end(), isDatName);
  if (o.columns && (o.list || o.run || o.allRuns) && !(several && datAmongInputs))
    return usageError("--list and --run are for .DAT files; a column file holds one series");
  if (o.run && o.allRuns) return usageError("--run given twice");
  if (o.join && (o.run || o.allRuns))
    return usageError("--join and --run exclude each other: --join takes every run of the file");
  if ((!o.overlays.empty() || !o.overlayPoints.empty()) && (o.plotPath.empty() || o.psd))
    return usageError("--overlay and --overlay-points draw over the deviations of --plot");
  if (o.request.valuesOnly && (o.noise || !o.reportPath.empty()))
    return usageError(
        "--ci none leaves out the noise identification that --noise and --report show");
  if (o.dynamic)
    if (const std::string conflict = dynamicConflict(o); !conflict.empty())
      return usageError(conflict);
  if (!o.masks.empty())
    if (const std::string conflict = maskConflict(o); !conflict.empty())
      return usageError(conflict);
  if (const std::string conflict = spectrumConflict(o, spectral); !conflict.empty())
    return usageError(conflict);
  if (const std::string conflict = conditioningConflict(o); !conflict.empty())
    return usageError(conflict);
  o.request.preprocessing.keepOutliers = o.listOutliers;
  if (o.psd) {
    o.spectrum.quantity = *o.psd;
    o.spectrum.preprocessing = o.request.preprocessing;
    o.spectrum.confidence =
        o.request.valuesOnly ? std::nullopt : std::optional<double>(o.request.confidence);
  }
  return o;
}

bool isDatName(std::string_view path) { return endsWithNoCase(path, ".dat"); }

}  // namespace tessarin::analyze::cli
